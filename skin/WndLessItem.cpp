#include "skin/WndLessItem.h"

#include "skin/ScaledImage.h"

namespace {

std::shared_ptr<Gdiplus::Image> LoadSharedImage(const CString& strPath, int nDpi, int nFrames) {
    if (strPath.IsEmpty())
        return nullptr;
    return std::shared_ptr<Gdiplus::Image>(LoadImageAt(strPath, nDpi, nFrames));
}

} // namespace

CWndLessItem::CWndLessItem()
    : m_hCursor(nullptr), m_rcItem{0, 0, 0, 0}, m_nState(KvWndLess::kStateNormal),
      m_bLaidOut(false), m_szLaidOutFor{0, 0}, m_rcIconDrawn{0, 0, 0, 0},
      m_rcTextDrawn{0, 0, 0, 0}, m_rcLook{0, 0, 0, 0} {
    m_textLook.clrNormal = m_textLook.clrDisabled = 0xFF000000;
}

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
    m_textLook.strFontName = strFontName;
    m_pFont.reset();
    InputChanged();
}

void CWndLessItem::SetFontSize(int nFontSize) {
    m_textLook.nFontSize = nFontSize;
    m_pFont.reset();
    InputChanged();
}

void CWndLessItem::SetFontStyle(int nFontStyle) {
    m_textLook.nFontStyle = nFontStyle;
    m_pFont.reset();
    InputChanged();
}

void CWndLessItem::SetTextFormat(int nAlign, int nLineAlign, int nTrimming) {
    m_textLook.nAlign = nAlign;
    m_textLook.nLineAlign = nLineAlign;
    m_textLook.nTrimming = nTrimming;
    InputChanged();
}

void CWndLessItem::SetTextColors(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrSecond) {
    m_textLook.clrNormal = clrNormal;
    m_textLook.clrDisabled = clrSecond;
    InputChanged();
}

void CWndLessItem::SetText(const CString& strText) {
    m_strText = strText;
    InputChanged();
}

BOOL CWndLessItem::LoadStateImage(LPCWSTR pszPath) {
    // A host's image is drawn for 96 DPI as the skin's are, and scaled with them.
    SetStateImage(LoadSharedImage(pszPath ? pszPath : L"", m_nDpi, KvWndLess::kStripFrames));
    return m_pStateImage != nullptr;
}

BOOL CWndLessItem::LoadIconImage(LPCWSTR pszPath) {
    SetIconImage(LoadSharedImage(pszPath ? pszPath : L"", m_nDpi, 1));
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
        m_pFont = CreateLookFont(m_textLook);
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
    return KvWndLess::IconRect(m_rcItem, !m_strText.IsEmpty(), nWidth, nHeight, nTextWidth,
                               KvScale::Length(KvLayout::kContentGap, m_nDpi));
}

RECT CWndLessItem::TextRectFor(int nTextWidth) const {
    const int nIconWidth = m_pIconImage ? static_cast<int>(m_pIconImage->GetWidth()) : 0;
    return KvWndLess::TextRect(m_rcItem, m_pIconImage != nullptr, nIconWidth, nTextWidth,
                               KvScale::Length(KvLayout::kContentGap, m_nDpi));
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
    CRect rcText(rc);
    rcText.OffsetRect(-ptOrigin.x, -ptOrigin.y);
    DrawSkinText(graphics, m_strText, Font(), m_textLook, m_textLook.clrNormal, RectFOf(rcText),
                 Gdiplus::HotkeyPrefixNone);
}

void CWndLessItem::DrawPartsOn(Gdiplus::Graphics& graphics, POINT ptOrigin) {
    DrawStateImageOn(graphics, ptOrigin);
    DrawIconOn(graphics, ptOrigin, m_rcIconDrawn);
    DrawTextOn(graphics, ptOrigin, m_rcTextDrawn);
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

void CWndLessItem::LayOut(SIZE sheet, Gdiplus::Bitmap* pMeasureOn) {
    if (m_bLaidOut && sheet.cx == m_szLaidOutFor.cx && sheet.cy == m_szLaidOutFor.cy)
        return;
    InputChanged();
    const int nTextWidth = TextWidthFor(pMeasureOn);
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
    // What lies off the sheet is never seen: the look is cut to it.
    const CRect whole(0, 0, sheet.cx, sheet.cy);
    CRect visible;
    visible.IntersectRect(&bounds, &whole);
    m_rcLook = visible;
    m_szLaidOutFor = sheet;
    m_bLaidOut = true;
}

Gdiplus::Bitmap* CWndLessItem::Look() {
    if (m_nState < KvWndLess::kStateNormal || m_nState > KvWndLess::kStatePressed)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap>& pLook = m_pLooks[m_nState];
    if (pLook)
        return pLook.get();
    const CRect bounds(m_rcLook);
    // Premultiplied as the layers it is drawn onto: no conversion per draw.
    pLook =
        std::make_unique<Gdiplus::Bitmap>(bounds.Width(), bounds.Height(), PixelFormat32bppPARGB);
    if (pLook->GetLastStatus() != Gdiplus::Ok) {
        pLook.reset();
        return nullptr;
    }
    Gdiplus::Graphics graphics(pLook.get());
    DrawPartsOn(graphics, bounds.TopLeft());
    return pLook.get();
}

RECT CWndLessItem::Draw(Gdiplus::Bitmap* pTarget) {
    if (!pTarget)
        return RECT{0, 0, 0, 0};
    const RECT rcDrawn = DrawnRect(
        SIZE{static_cast<LONG>(pTarget->GetWidth()), static_cast<LONG>(pTarget->GetHeight())},
        pTarget);
    if (::IsRectEmpty(&rcDrawn))
        return rcDrawn;
    Gdiplus::Graphics graphics(pTarget);
    return DrawLook(graphics, POINT{0, 0}) ? rcDrawn : RECT{0, 0, 0, 0};
}

RECT CWndLessItem::DrawnRect(SIZE sheet, Gdiplus::Bitmap* pMeasureOn) {
    if (!pMeasureOn || !HasArea())
        return RECT{0, 0, 0, 0};
    LayOut(sheet, pMeasureOn);
    return m_rcLook;
}

BOOL CWndLessItem::DrawLook(Gdiplus::Graphics& graphics, POINT ptOrigin) {
    // A state without a look of its own, or no memory for one, draws nothing,
    // as a control whose cache cannot be made paints nothing.
    Gdiplus::Bitmap* pLook = m_bLaidOut && !::IsRectEmpty(&m_rcLook) ? Look() : nullptr;
    if (!pLook)
        return FALSE;
    graphics.DrawImage(pLook, Gdiplus::Rect(m_rcLook.left - ptOrigin.x, m_rcLook.top - ptOrigin.y,
                                            m_rcLook.right - m_rcLook.left,
                                            m_rcLook.bottom - m_rcLook.top));
    return TRUE;
}

std::shared_ptr<Gdiplus::Image> CWndLessImageCache::Decoded(const CString& strPath, int nFrames) {
    // Scaled frame by frame, the same file makes another picture per frame count.
    const std::pair<CString, int> key(strPath, nFrames);
    auto found = m_images.find(key);
    if (found != m_images.end())
        return found->second;
    if (!m_pVariants)
        m_pVariants = std::make_shared<CImageVariantIndex>();
    std::shared_ptr<Gdiplus::Image> pImage;
    if (!strPath.IsEmpty())
        pImage.reset(LoadImageAt(strPath, m_nDpi, nFrames, *m_pVariants).release());
    m_images[key] = pImage;
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
    pItem->SetStateImage(decode(item.strBkImg, KvWndLess::kStripFrames));
    pItem->SetIconImage(decode(item.strIcon, 1));
    if (!item.strCursor.IsEmpty())
        pItem->SetItemCursor(static_cast<HCURSOR>(
            ::LoadImageW(nullptr, item.strCursor, IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)));
    return pItem;
}

void BuildWndLessItems(std::vector<_XmlDynamicItem>& items, const KvWindowModel& window,
                       const std::function<void(size_t)>& afterItem) {
    CWndLessImageCache images(window.nDpi);
    const WndLessImageSource decode = [&images](const CString& strPath, int nFrames) {
        return images.Decoded(strPath, nFrames);
    };
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].nControlType == 2)
            MakeWndLessItem(items[i], ItemTextLook(items[i], window), decode)->SetDpi(window.nDpi);
        if (afterItem)
            afterItem(i);
    }
}
