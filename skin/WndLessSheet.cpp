#include "skin/WndLessSheet.h"

#include "skin/DialogLayout.h"

namespace {

// Blends the item layer onto hDC only inside the drawn rectangles: the rest
// of the layer is transparent and would change nothing.
BOOL BlendInside(const CKvCanvas& layer, HDC hDC, const std::vector<RECT>& drawn) {
    if (drawn.empty())
        return TRUE;
    HRGN hDrawn = ::CreateRectRgn(0, 0, 0, 0);
    for (const RECT& rc : drawn) {
        HRGN hRect = ::CreateRectRgnIndirect(&rc);
        ::CombineRgn(hDrawn, hDrawn, hRect, RGN_OR);
        ::DeleteObject(hRect);
    }
    const int nSaved = ::SaveDC(hDC);
    ::ExtSelectClipRgn(hDC, hDrawn, RGN_AND);
    const BOOL bDone = layer.BlendOnto(hDC);
    ::RestoreDC(hDC, nSaved);
    ::DeleteObject(hDrawn);
    return bDone;
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

BOOL CWndLessSheet::Compose(HDC hDC, SIZE sheet, Gdiplus::Bitmap* pBackImage,
                            std::vector<_XmlDynamicItem>& items) {
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        return FALSE;
    // A fresh transparent layer for the picture: premultiplied pixels that
    // GDI+ draws the items into and GDI blends onto the sheet, so that no
    // conversion of the whole layer is needed.
    CKvCanvas layer(sheet.cx, sheet.cy);
    if (!layer.Bitmap())
        return FALSE;
    std::vector<RECT> drawn;
    for (auto& item : items)
        if (CWndLessItem* pItem = item.pControl.get<CWndLessItem>()) {
            const RECT rc = pItem->Draw(layer.Bitmap());
            if (!::IsRectEmpty(&rc))
                drawn.push_back(rc);
        }
    // Both are premultiplied already: GDI blends them without GDI+'s
    // conversion of every pixel of the sheet.
    if (CKvCanvas* pBack = Background(pBackImage, sheet))
        pBack->BlendOnto(hDC);
    return BlendInside(layer, hDC, drawn);
}
