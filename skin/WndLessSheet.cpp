#include "skin/WndLessSheet.h"

#include "skin/DialogLayout.h"

namespace {

// The parts of the sheet that hDC's clip region lets through, or the whole
// sheet when it has none. The region is in device coordinates, which are the
// sheet's on the canvases the dialogs compose into.
std::vector<RECT> PartsToCompose(HDC hDC, SIZE sheet) {
    const RECT whole = {0, 0, sheet.cx, sheet.cy};
    HRGN hClip = ::CreateRectRgn(0, 0, 0, 0);
    std::vector<BYTE> data;
    if (::GetClipRgn(hDC, hClip) == 1) {
        data.resize(::GetRegionData(hClip, 0, nullptr));
        if (data.size() < sizeof(RGNDATAHEADER) ||
            !::GetRegionData(hClip, static_cast<DWORD>(data.size()),
                             reinterpret_cast<RGNDATA*>(data.data())))
            data.clear();
    }
    ::DeleteObject(hClip);
    if (data.empty())
        return {whole};
    const auto* pRegion = reinterpret_cast<const RGNDATA*>(data.data());
    const auto* pRects = reinterpret_cast<const RECT*>(pRegion->Buffer);
    std::vector<RECT> parts;
    for (DWORD i = 0; i < pRegion->rdh.nCount; ++i) {
        RECT part;
        if (::IntersectRect(&part, &pRects[i], &whole))
            parts.push_back(part);
    }
    return parts;
}

} // namespace

void CWndLessSheet::ForgetBackground() {
    m_backSurface.Release();
    m_pBackSource = nullptr;
}

CKvCanvas* CWndLessSheet::Background(Gdiplus::Bitmap* pBackImage, SIZE sheet) {
    if (!pBackImage)
        return nullptr;
    if (m_pBackSource == pBackImage && m_szBackSurface.cx == sheet.cx &&
        m_szBackSurface.cy == sheet.cy)
        return &m_backSurface;
    m_backSurface.Release();
    m_pBackSource = pBackImage;
    m_szBackSurface = sheet;
    if (static_cast<int>(pBackImage->GetWidth()) == sheet.cx &&
        static_cast<int>(pBackImage->GetHeight()) == sheet.cy) {
        m_backSurface.CopyFrom(pBackImage);
    } else {
        Gdiplus::Bitmap* pStretched = nullptr;
        CreateCacheBitmap(&pStretched, sheet.cx, sheet.cy);
        const std::unique_ptr<Gdiplus::Bitmap> stretched(pStretched);
        if (stretched) {
            Gdiplus::Graphics(stretched.get()).DrawImage(pBackImage, 0, 0, sheet.cx, sheet.cy);
            m_backSurface.CopyFrom(stretched.get());
        }
    }
    return &m_backSurface;
}

Gdiplus::Bitmap* CWndLessSheet::MeasuringSurface() {
    // Of the layers' own kind, so that text measures as it does on them.
    if (!m_measuring.IsReady())
        m_measuring.Create(1, 1);
    return m_measuring.Bitmap();
}

RECT CWndLessSheet::ItemRect(CWndLessItem& item, SIZE sheet) {
    return item.DrawnRect(sheet, MeasuringSurface());
}

BOOL CWndLessSheet::Compose(HDC hDC, SIZE sheet, Gdiplus::Bitmap* pBackImage,
                            std::vector<_XmlDynamicItem>& items) {
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        return FALSE;
    CKvCanvas* pBack = Background(pBackImage, sheet);
    const std::vector<RECT> parts = PartsToCompose(hDC, sheet);
    BOOL bDone = TRUE;
    for (const RECT& rcPart : parts)
        bDone = ComposePart(hDC, rcPart, sheet, pBack, items) && bDone;
    // A layer of the whole sheet is not worth its memory until the next one.
    if (parts.size() == 1 && parts[0].right - parts[0].left == sheet.cx &&
        parts[0].bottom - parts[0].top == sheet.cy)
        m_layer.Release();
    return bDone;
}

CKvCanvas& CWndLessSheet::LayerFor(SIZE part) {
    // The parts of one change, hovered back and forth, come in the same size.
    if (m_layer.Width() != part.cx || m_layer.Height() != part.cy)
        m_layer.Create(part.cx, part.cy);
    return m_layer;
}

BOOL CWndLessSheet::ComposePart(HDC hDC, const RECT& rcPart, SIZE sheet, CKvCanvas* pBack,
                                std::vector<_XmlDynamicItem>& items) {
    // The part is composed off the screen and then put in place whole,
    // replacing what hDC held there: the background piece, then the items
    // over it, in order. Premultiplied throughout, nothing is converted.
    const SIZE part = {rcPart.right - rcPart.left, rcPart.bottom - rcPart.top};
    CKvCanvas& layer = LayerFor(part);
    if (!layer.Bitmap())
        return FALSE;
    if (pBack)
        ::BitBlt(layer.DC(), 0, 0, part.cx, part.cy, pBack->DC(), rcPart.left, rcPart.top, SRCCOPY);
    else
        layer.Clear(RECT{0, 0, part.cx, part.cy});
    std::vector<CWndLessItem*> drawnItems;
    std::vector<RECT> itemRects;
    for (auto& item : items)
        if (CWndLessItem* pItem = item.pControl.get<CWndLessItem>()) {
            drawnItems.push_back(pItem);
            itemRects.push_back(ItemRect(*pItem, sheet));
        }
    ::GdiFlush(); // the background piece is in the layer before GDI+ draws on it
    {
        Gdiplus::Graphics graphics(layer.Bitmap());
        for (size_t i : KvWndLess::ItemsOverlapping(itemRects, rcPart))
            drawnItems[i]->DrawLook(graphics, POINT{rcPart.left, rcPart.top});
    }
    return ::BitBlt(hDC, rcPart.left, rcPart.top, part.cx, part.cy, layer.DC(), 0, 0, SRCCOPY);
}
