#include "skin/CommonWndLessDlg.h"

#include "skin/DrawUtil.h"

#include <commctrl.h>

#include <vector>

namespace {

std::shared_ptr<Gdiplus::Image> LoadSharedImage(LPCWSTR pszPath) {
    return std::shared_ptr<Gdiplus::Image>(pszPath && *pszPath ? LoadImageOrNull(pszPath)
                                                               : nullptr);
}

Gdiplus::RectF RectFOf(const RECT& rc) {
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top),
                          static_cast<Gdiplus::REAL>(rc.right - rc.left),
                          static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
}

// A fresh transparent layer of the sheet's size for one picture: a
// premultiplied DIB section that GDI+ draws the items into and GDI blends
// onto the sheet, so that no conversion of the whole layer is needed.
class CItemLayer {
public:
    explicit CItemLayer(SIZE size) : m_size(size) {
        void* pBits = nullptr;
        m_hBitmap = CreateTopDownSection(size.cx, size.cy, &pBits);
        if (!m_hBitmap)
            return;
        m_hDC = ::CreateCompatibleDC(nullptr);
        if (!m_hDC)
            return;
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        auto pBitmap = std::make_unique<Gdiplus::Bitmap>(
            size.cx, size.cy, size.cx * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(pBits));
        if (pBitmap->GetLastStatus() == Gdiplus::Ok)
            m_pBitmap = std::move(pBitmap);
    }
    ~CItemLayer() {
        m_pBitmap.reset(); // it draws into the section's pixels
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
        if (m_hDC)
            ::DeleteDC(m_hDC);
        if (m_hBitmap)
            ::DeleteObject(m_hBitmap);
    }
    CItemLayer(const CItemLayer&) = delete;
    CItemLayer& operator=(const CItemLayer&) = delete;

    // Null when the layer could not be made.
    Gdiplus::Bitmap* Bitmap() const { return m_pBitmap.get(); }

    // Blends the layer onto hDC at (0, 0), only inside the drawn rectangles:
    // the rest of the layer is transparent and would change nothing.
    BOOL BlendOnto(HDC hDC, const std::vector<RECT>& drawn) const {
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
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        const BOOL bDone =
            ::AlphaBlend(hDC, 0, 0, m_size.cx, m_size.cy, m_hDC, 0, 0, m_size.cx, m_size.cy, blend);
        ::RestoreDC(hDC, nSaved);
        ::DeleteObject(hDrawn);
        return bDone;
    }

private:
    SIZE m_size;
    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
    std::unique_ptr<Gdiplus::Bitmap> m_pBitmap;
};

} // namespace

// ---------------------------------------------------------------------------
// One drawn item

CWndLessItem::CWndLessItem()
    : m_clrNormal(0xFF000000), m_nFontSize(0), m_nFontStyle(0), m_nAlign(1), m_nLineAlign(1),
      m_nTrimming(1), m_hCursor(nullptr), m_rcItem{0, 0, 0, 0}, m_nState(KvWndLess::kStateNormal),
      m_bLaidOut(false), m_szLaidOutFor{0, 0}, m_rcIconDrawn{0, 0, 0, 0},
      m_rcTextDrawn{0, 0, 0, 0}, m_rcLook{0, 0, 0, 0} {}

CWndLessItem::~CWndLessItem() {
    SetItemCursor(nullptr);
}

void CWndLessItem::InputChanged() {
    for (auto& pLook : m_pLooks)
        pLook.reset();
    m_bLaidOut = false;
}

void CWndLessItem::SetItemRect(int nLeft, int nTop, int nRight, int nBottom) {
    m_rcItem = RECT{nLeft, nTop, nRight, nBottom};
    InputChanged();
}

void CWndLessItem::SetFontName(const CString& strFontName) {
    m_strFontName = strFontName;
    m_pFont.reset();
    InputChanged();
}

void CWndLessItem::SetFontSize(int nFontSize) {
    m_nFontSize = nFontSize;
    m_pFont.reset();
    InputChanged();
}

void CWndLessItem::SetFontStyle(int nFontStyle) {
    m_nFontStyle = nFontStyle;
    m_pFont.reset();
    InputChanged();
}

void CWndLessItem::SetTextFormat(int nAlign, int nLineAlign, int nTrimming) {
    m_nAlign = nAlign;
    m_nLineAlign = nLineAlign;
    m_nTrimming = nTrimming;
    InputChanged();
}

void CWndLessItem::SetTextColors(Gdiplus::ARGB clrNormal, Gdiplus::ARGB /*clrSecond*/) {
    m_clrNormal = clrNormal;
    InputChanged();
}

void CWndLessItem::SetText(const CString& strText) {
    m_strText = strText;
    InputChanged();
}

BOOL CWndLessItem::LoadStateImage(LPCWSTR pszPath) {
    SetStateImage(LoadSharedImage(pszPath));
    return m_pStateImage != nullptr;
}

BOOL CWndLessItem::LoadIconImage(LPCWSTR pszPath) {
    SetIconImage(LoadSharedImage(pszPath));
    return m_pIconImage != nullptr;
}

void CWndLessItem::SetStateImage(std::shared_ptr<Gdiplus::Image> pImage) {
    m_pStateImage = std::move(pImage);
    InputChanged();
}

void CWndLessItem::SetIconImage(std::shared_ptr<Gdiplus::Image> pImage) {
    m_pIconImage = std::move(pImage);
    InputChanged();
}

void CWndLessItem::SetItemCursor(HCURSOR hCursor) {
    if (m_hCursor && m_hCursor != hCursor)
        ::DestroyCursor(m_hCursor);
    m_hCursor = hCursor;
}

bool CWndLessItem::HasArea() const {
    // An empty or inverted rectangle would mirror the icon and the text.
    return m_rcItem.right > m_rcItem.left && m_rcItem.bottom > m_rcItem.top;
}

const Gdiplus::Font& CWndLessItem::Font() {
    if (!m_pFont)
        m_pFont = CreateSkinFont(m_strFontName, m_nFontSize, m_nFontStyle);
    return *m_pFont;
}

int CWndLessItem::TextWidthFor(Gdiplus::Bitmap* pTarget) {
    if (!pTarget || !KvWndLess::NeedsTextWidth(m_pIconImage != nullptr, !m_strText.IsEmpty()))
        return 0;
    RECT rc = {0, 0, 1024, 0};
    Gdiplus::Graphics graphics(pTarget);
    MeasureTextBounds(m_strText, &graphics, Font(), rc);
    return rc.right - rc.left;
}

RECT CWndLessItem::IconRectFor(int nTextWidth) const {
    const int nWidth = m_pIconImage ? static_cast<int>(m_pIconImage->GetWidth()) : 0;
    const int nHeight = m_pIconImage ? static_cast<int>(m_pIconImage->GetHeight()) : 0;
    return KvWndLess::IconRect(m_rcItem, !m_strText.IsEmpty(), nWidth, nHeight, nTextWidth);
}

RECT CWndLessItem::TextRectFor(int nTextWidth) const {
    const int nIconWidth = m_pIconImage ? static_cast<int>(m_pIconImage->GetWidth()) : 0;
    return KvWndLess::TextRect(m_rcItem, m_pIconImage != nullptr, nIconWidth, nTextWidth);
}

void CWndLessItem::GetIconRect(RECT& rc, Gdiplus::Bitmap* pTarget) {
    rc = IconRectFor(TextWidthFor(pTarget));
}

void CWndLessItem::GetTextRect(RECT& rc, Gdiplus::Bitmap* pTarget) {
    rc = TextRectFor(TextWidthFor(pTarget));
}

void CWndLessItem::DrawStateImageOn(Gdiplus::Graphics& graphics, POINT ptOrigin) {
    if (!m_pStateImage)
        return;
    const KvLayout::FramePlacement frame =
        KvWndLess::StripFramePlacement(m_rcItem, static_cast<int>(m_pStateImage->GetWidth()),
                                       static_cast<int>(m_pStateImage->GetHeight()), m_nState);
    CRect src(frame.rcSource), dest(frame.rcDest);
    if (dest.IsRectEmpty())
        return;
    dest.OffsetRect(-ptOrigin.x, -ptOrigin.y);
    graphics.DrawImage(m_pStateImage.get(),
                       Gdiplus::Rect(dest.left, dest.top, dest.Width(), dest.Height()), src.left,
                       src.top, src.Width(), src.Height(), Gdiplus::UnitPixel);
}

void CWndLessItem::DrawIconOn(Gdiplus::Graphics& graphics, POINT ptOrigin, const RECT& rc) {
    if (!m_pIconImage)
        return;
    graphics.DrawImage(m_pIconImage.get(), Gdiplus::Rect(rc.left - ptOrigin.x, rc.top - ptOrigin.y,
                                                         rc.right - rc.left, rc.bottom - rc.top));
}

void CWndLessItem::DrawTextOn(Gdiplus::Graphics& graphics, POINT ptOrigin, const RECT& rc) {
    if (m_strText.IsEmpty())
        return;
    const KvTextLook look{m_strFontName,
                          m_nFontSize,
                          m_nFontStyle,
                          m_nAlign,
                          m_nLineAlign,
                          m_nTrimming,
                          Gdiplus::HotkeyPrefixNone};
    CRect rcText(rc);
    rcText.OffsetRect(-ptOrigin.x, -ptOrigin.y);
    DrawSkinText(graphics, m_strText, Font(), look, m_clrNormal, RectFOf(rcText));
}

void CWndLessItem::DrawStateImage(Gdiplus::Bitmap* pTarget) {
    if (!pTarget || !HasArea())
        return;
    Gdiplus::Graphics graphics(pTarget);
    DrawStateImageOn(graphics, POINT{0, 0});
}

void CWndLessItem::DrawIcon(Gdiplus::Bitmap* pTarget) {
    if (!pTarget || !m_pIconImage || !HasArea())
        return;
    const RECT rc = IconRectFor(TextWidthFor(pTarget));
    Gdiplus::Graphics graphics(pTarget);
    DrawIconOn(graphics, POINT{0, 0}, rc);
}

void CWndLessItem::DrawText(Gdiplus::Bitmap* pTarget) {
    if (!pTarget || m_strText.IsEmpty() || !HasArea())
        return;
    const RECT rc = TextRectFor(TextWidthFor(pTarget));
    Gdiplus::Graphics graphics(pTarget);
    DrawTextOn(graphics, POINT{0, 0}, rc);
}

void CWndLessItem::LayOut(Gdiplus::Bitmap* pTarget) {
    const SIZE target = {static_cast<LONG>(pTarget->GetWidth()),
                         static_cast<LONG>(pTarget->GetHeight())};
    if (m_bLaidOut && target.cx == m_szLaidOutFor.cx && target.cy == m_szLaidOutFor.cy)
        return;
    InputChanged();
    const int nTextWidth = TextWidthFor(pTarget);
    m_rcIconDrawn = IconRectFor(nTextWidth);
    m_rcTextDrawn = TextRectFor(nTextWidth);
    // Every frame of the strip lands on the same rectangle.
    CRect bounds(0, 0, 0, 0);
    if (m_pStateImage) {
        const RECT rcFrame =
            KvWndLess::StripFramePlacement(m_rcItem, static_cast<int>(m_pStateImage->GetWidth()),
                                           static_cast<int>(m_pStateImage->GetHeight()),
                                           KvWndLess::kStateNormal)
                .rcDest;
        bounds.UnionRect(&bounds, &rcFrame);
    }
    if (m_pIconImage)
        bounds.UnionRect(&bounds, &m_rcIconDrawn);
    if (!m_strText.IsEmpty())
        bounds.UnionRect(&bounds, &m_rcTextDrawn);
    // What lies off the target is never seen: the look is cut to it.
    const CRect whole(0, 0, target.cx, target.cy);
    CRect visible;
    visible.IntersectRect(&bounds, &whole);
    m_rcLook = visible;
    m_szLaidOutFor = target;
    m_bLaidOut = true;
}

Gdiplus::Bitmap* CWndLessItem::Look() {
    if (m_nState < KvWndLess::kStateNormal || m_nState > KvWndLess::kStatePressed)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap>& pLook = m_pLooks[m_nState];
    if (pLook)
        return pLook.get();
    const CRect bounds(m_rcLook);
    Gdiplus::Bitmap* pNew = nullptr;
    CreateCacheBitmap(&pNew, bounds.Width(), bounds.Height());
    pLook.reset(pNew);
    if (!pLook)
        return nullptr;
    Gdiplus::Graphics graphics(pLook.get());
    DrawStateImageOn(graphics, bounds.TopLeft());
    DrawIconOn(graphics, bounds.TopLeft(), m_rcIconDrawn);
    DrawTextOn(graphics, bounds.TopLeft(), m_rcTextDrawn);
    return pLook.get();
}

RECT CWndLessItem::Draw(Gdiplus::Bitmap* pTarget) {
    if (!pTarget || !HasArea())
        return RECT{0, 0, 0, 0};
    LayOut(pTarget);
    if (::IsRectEmpty(&m_rcLook))
        return m_rcLook;
    Gdiplus::Graphics graphics(pTarget);
    if (Gdiplus::Bitmap* pLook = Look()) {
        graphics.DrawImage(pLook, Gdiplus::Rect(m_rcLook.left, m_rcLook.top,
                                                m_rcLook.right - m_rcLook.left,
                                                m_rcLook.bottom - m_rcLook.top));
        return m_rcLook;
    }
    // A state without a look of its own, or no memory for one.
    DrawStateImageOn(graphics, POINT{0, 0});
    DrawIconOn(graphics, POINT{0, 0}, m_rcIconDrawn);
    DrawTextOn(graphics, POINT{0, 0}, m_rcTextDrawn);
    return m_rcLook;
}

// ---------------------------------------------------------------------------
// The picture without a window

std::shared_ptr<Gdiplus::Image> CWndLessImageCache::Decoded(const CString& strPath) {
    auto found = m_images.find(strPath);
    if (found != m_images.end())
        return found->second;
    std::shared_ptr<Gdiplus::Image> pImage = LoadSharedImage(strPath);
    m_images[strPath] = pImage;
    return pImage;
}

CWndLessItem* MakeWndLessItem(_XmlDynamicItem& item, const ItemFontInfo& info,
                              const WndLessImageSource& decode) {
    auto pNew = std::make_unique<CWndLessItem>();
    CWndLessItem* pItem = pNew.get();
    item.pControl.reset<CWndLessItem>(pNew.release());
    pItem->SetItemRect(item.rcPos.left, item.rcPos.top, item.rcPos.right, item.rcPos.bottom);
    pItem->SetFontName(info.strFontName);
    pItem->SetFontSize(info.nFontSize);
    pItem->SetFontStyle(info.nFontStyle);
    pItem->SetTextFormat(info.nAlign, info.nLineAlign, info.nTrimming);
    pItem->SetTextColors(info.clrNormal, info.clrDisabled);
    pItem->SetText(item.strName);
    pItem->SetStateImage(decode(item.strBkImg));
    pItem->SetIconImage(decode(item.strIcon));
    if (!item.strCursor.IsEmpty())
        pItem->SetItemCursor(static_cast<HCURSOR>(
            ::LoadImageW(nullptr, item.strCursor, IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)));
    return pItem;
}

void CWndLessSheet::ForgetBackground() {
    m_backSurface.Release();
    m_pBackSource = nullptr;
}

CKvCacheSurface* CWndLessSheet::Background(Gdiplus::Bitmap* pBackImage, SIZE sheet) {
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
    const CItemLayer layer(sheet);
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
    if (CKvCacheSurface* pBack = Background(pBackImage, sheet))
        pBack->PaintTo(hDC);
    return layer.BlendOnto(hDC, drawn);
}

// ---------------------------------------------------------------------------
// The dialog

BEGIN_MESSAGE_MAP(CKvCommonWndLessDlg, CKvCommonDlg)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CKvCommonWndLessDlg::CKvCommonWndLessDlg(UINT nIDTemplate, CWnd* pParent)
    : CKvCommonDlg(nIDTemplate, pParent), m_bLButtonDown(FALSE), m_bTracking(FALSE), m_nHotItem(-1),
      m_bBuilding(false) {}

CKvCommonWndLessDlg::~CKvCommonWndLessDlg() {
    // The window goes first, so that no message reaches an item being deleted.
    if (m_hWnd)
        DestroyWindow();
    DeleteWndLessItems();
}

void CKvCommonWndLessDlg::DeleteWndLessItems() {
    // Cleared here rather than left to the description, which would have to
    // know that these objects are no windows.
    for (auto& item : m_arrDynamicItems)
        if (item.pControl.get<CWndLessItem>())
            item.pControl.reset();
}

CWndLessItem* CKvCommonWndLessDlg::WndLessItem(int nIndex) const {
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_arrDynamicItems.size())
        return nullptr;
    return m_arrDynamicItems[static_cast<size_t>(nIndex)].pControl.get<CWndLessItem>();
}

// ---------------------------------------------------------------------------
// Building

BOOL CKvCommonWndLessDlg::InitWndLessSkin(CString strSkinFile, CString strSection,
                                          CString strSection2, CString strSkinName) {
    LoadSkin(strSkinFile, strSection, strSection2, strSkinName);
    CreateWndLessItems();
    return UpdateLayered(m_nAlpha);
}

void CKvCommonWndLessDlg::CreateWndLessItems() {
    ApplyWindowAttributes();
    // New items start normal: the next move finds the hot one again.
    m_nHotItem = -1;
    m_bBuilding = true;
    // By index: a hook may load more items, which moves the array.
    for (size_t i = 0; i < m_arrDynamicItems.size(); ++i) {
        if (m_arrDynamicItems[i].nControlType == 2)
            CreateWndLessItem(m_arrDynamicItems[i]);
        else
            OnItemCreated(m_arrDynamicItems[i]);
    }
    m_bBuilding = false;
    m_buildImages.Clear();
    CreateItemToolTip();
}

void CKvCommonWndLessDlg::CreateItemToolTip() {
    int nShowToolTip = 0, nToolTipWidth = 0;
    GetWindowInfoInt(L"ShowToolTip", nShowToolTip);
    GetWindowInfoInt(L"ToolTipWidth", nToolTipWidth);
    if (nShowToolTip == 0) {
        // A reload that turns tips off ends the one an earlier load made.
        if (m_toolTip.m_hWnd)
            m_toolTip.DestroyWindow();
        return;
    }
    // A reload keeps the tooltip it has: a second one would orphan the first.
    if (!m_toolTip.m_hWnd) {
        if (!m_toolTip.Create(this, TTS_ALWAYSTIP))
            return;
        // One tool, the whole dialog: the hovered item's text is swapped in.
        m_toolTip.AddTool(this, L"");
    }
    if (nToolTipWidth != 0)
        m_toolTip.SetMaxTipWidth(nToolTipWidth);
}

void CKvCommonWndLessDlg::CreateWndLessItem(_XmlDynamicItem& item) {
    ItemFontInfo info;
    GetItemFontInfo(item, info);
    MakeWndLessItem(item, info, [this](const CString& strPath) { return DecodedImage(strPath); });
    OnItemCreated(item);
}

std::shared_ptr<Gdiplus::Image> CKvCommonWndLessDlg::DecodedImage(const CString& strPath) {
    return m_bBuilding ? m_buildImages.Decoded(strPath) : LoadSharedImage(strPath);
}

// ---------------------------------------------------------------------------
// Hit test and picture

int CKvCommonWndLessDlg::HitTestItem(POINT pt) {
    return KvWndLess::FirstItemAt(m_arrDynamicItems.size(), pt, [&](size_t i) -> const RECT* {
        const _XmlDynamicItem& item = m_arrDynamicItems[i];
        return item.pControl.get<CWndLessItem>() ? &item.rcPos : nullptr;
    });
}

BOOL CKvCommonWndLessDlg::DrawSheet(CDC* pDC) {
    Gdiplus::Graphics graphics(pDC->m_hDC);
    return DrawItems(graphics);
}

BOOL CKvCommonWndLessDlg::InitWindowSkin() {
    m_sheet.ForgetBackground();
    return CKvCommonDlg::InitWindowSkin();
}

void CKvCommonWndLessDlg::OnBackImageReplaced() {
    // The old image is deleted next; a new one may come at its address.
    m_sheet.ForgetBackground();
}

BOOL CKvCommonWndLessDlg::DrawItems(Gdiplus::Graphics& graphics) {
    HDC hDC = graphics.GetHDC();
    if (!hDC)
        return FALSE;
    const BOOL bDone = m_sheet.Compose(hDC, GetSheetSize(), m_pBackImage, m_arrDynamicItems);
    graphics.ReleaseHDC(hDC);
    return bDone;
}

// ---------------------------------------------------------------------------
// Commands

BOOL CKvCommonWndLessDlg::OnItemCommand(_XmlDynamicItem& item) {
    ApplyItemRole(ItemRoleFromID(item.strID));
    return TRUE;
}

// ---------------------------------------------------------------------------
// Mouse

KvWndLess::MouseState CKvCommonWndLessDlg::CurrentMouseState() const {
    KvWndLess::MouseState state;
    state.itemStates.resize(m_arrDynamicItems.size(), KvWndLess::kStateNormal);
    for (size_t i = 0; i < state.itemStates.size(); ++i)
        if (const CWndLessItem* pItem = WndLessItem(static_cast<int>(i)))
            state.itemStates[i] = pItem->GetState();
    state.nHotItem = m_nHotItem;
    state.bButtonDown = m_bLButtonDown != FALSE;
    state.bSheetPress = m_bSheetPress;
    return state;
}

KvWndLess::MouseStep CKvCommonWndLessDlg::RunMouseStep(KvWndLess::MouseEvent event, int nHit,
                                                       bool bInCaptionBand) {
    const bool bHitHasTip =
        WndLessItem(nHit) && !m_arrDynamicItems[static_cast<size_t>(nHit)].strToolTip.IsEmpty();
    const KvWndLess::MouseStep step =
        KvWndLess::StepMouse(CurrentMouseState(), {event, nHit, bHitHasTip, bInCaptionBand});
    // The new states first: what capture and focus send may come back here.
    for (size_t i = 0; i < step.next.itemStates.size(); ++i)
        if (CWndLessItem* pItem = WndLessItem(static_cast<int>(i)))
            pItem->SetState(step.next.itemStates[i]);
    m_nHotItem = step.next.nHotItem;
    m_bLButtonDown = step.next.bButtonDown ? TRUE : FALSE;
    m_bSheetPress = step.next.bSheetPress;
    if (step.bTakeCapture) {
        SetCapture();
        SetFocus();
    }
    if (step.bReleaseCapture)
        ::ReleaseCapture();
    ApplyTipAction(step.tip, nHit);
    if (step.bRedraw)
        UpdateLayered(m_nAlpha);
    return step;
}

void CKvCommonWndLessDlg::ApplyTipAction(KvWndLess::TipAction action, int nHit) {
    if (!m_toolTip.m_hWnd || action == KvWndLess::TipAction::None)
        return;
    if (action == KvWndLess::TipAction::NewTextOn)
        m_toolTip.UpdateTipText(m_arrDynamicItems[static_cast<size_t>(nHit)].strToolTip, this);
    // Deactivating does not stop a show the relayed moves already timed
    // (Wine's tooltip shows it anyway, wherever the pointer is then): without
    // text there is nothing to show.
    if (action == KvWndLess::TipAction::Off)
        m_toolTip.UpdateTipText(L"", this);
    m_toolTip.Activate(action != KvWndLess::TipAction::Off);
}

void CKvCommonWndLessDlg::OnMouseMove(UINT /*nFlags*/, CPoint point) {
    if (!m_bTracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        if (::_TrackMouseEvent(&track))
            m_bTracking = TRUE;
    }
    if (RunMouseStep(KvWndLess::MouseEvent::Move, HitTestItem(point)).bDefault)
        Default();
}

LRESULT CKvCommonWndLessDlg::OnMouseLeave(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    m_bTracking = FALSE;
    RunMouseStep(KvWndLess::MouseEvent::Leave, -1);
    return 0;
}

void CKvCommonWndLessDlg::OnCaptureChanged(CWnd* pWnd) {
    // Taken by another window (or ended by a cancel): the press is over.
    if (pWnd != this)
        RunMouseStep(KvWndLess::MouseEvent::CaptureLost, -1);
    CKvCommonDlg::OnCaptureChanged(pWnd);
}

void CKvCommonWndLessDlg::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    int nIsDrag = 0, nCaptionHeight = 0;
    GetWindowInfoInt(L"IsDrag", nIsDrag);
    GetWindowInfoInt(L"CaptionHeight", nCaptionHeight);
    // The band is tested without the child style: a windowless page drags too.
    const bool bInBand = StartsCaptionDrag(0, nIsDrag, nCaptionHeight, point.y);
    const KvWndLess::MouseStep step =
        RunMouseStep(KvWndLess::MouseEvent::Press, HitTestItem(point), bInBand);
    if (step.bStartDrag)
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    if (step.bDefault)
        Default();
}

void CKvCommonWndLessDlg::OnLButtonUp(UINT /*nFlags*/, CPoint point) {
    const KvWndLess::MouseStep step =
        RunMouseStep(KvWndLess::MouseEvent::Release, HitTestItem(point));
    if (step.nCommandItem >= 0)
        OnItemCommand(m_arrDynamicItems[static_cast<size_t>(step.nCommandItem)]);
    if (step.bDefault)
        Default();
}

BOOL CKvCommonWndLessDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    POINT pt = {0, 0};
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    const CWndLessItem* pItem = WndLessItem(HitTestItem(pt));
    if (pItem && pItem->GetItemCursor()) {
        ::SetCursor(pItem->GetItemCursor());
        return FALSE;
    }
    return CKvCommonDlg::OnSetCursor(pWnd, nHitTest, message);
}
