#include "skin/Label.h"

#include "skin/Accessible.h"
#include "skin/DrawUtil.h"
#include "skin/ScaledImage.h"

IMPLEMENT_DYNCREATE(CLabel, CStatic)

BEGIN_MESSAGE_MAP(CLabel, CStatic)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CLabel::CLabel() : m_pParentBk(nullptr), m_nCacheBuilds(0) {
    m_textLook.nFontSize = 12;
    m_textLook.clrNormal = m_textLook.clrDisabled = 0xFF000000;
}

CLabel::~CLabel() = default;

void CLabel::InputChanged() {
    if (!m_pCache)
        return;
    m_pCache.reset();
    if (m_hWnd)
        InvalidateRect(nullptr, TRUE);
}

void CLabel::SetText(CString strText) {
    const bool bRenamed = strText != m_strText;
    m_strText = strText;
    InputChanged();
    // A screen reader reads the label by its text: it hears of the change.
    if (m_hWnd && bRenamed)
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

void CLabel::SetTextColors(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrDisabled) {
    m_textLook.clrNormal = clrNormal;
    m_textLook.clrDisabled = clrDisabled;
    InputChanged();
}

void CLabel::SetFontSize(int nSize) {
    m_textLook.nFontSize = nSize;
    InputChanged();
}

void CLabel::SetFontName(CString strName) {
    m_textLook.strFontName = strName;
    InputChanged();
}

void CLabel::SetFontStyle(int nStyle) {
    m_textLook.nFontStyle = nStyle;
    InputChanged();
}

void CLabel::SetTextFormat(int nAlign, int nLineAlign, int nTrimming) {
    m_textLook.nAlign = nAlign;
    m_textLook.nLineAlign = nLineAlign;
    m_textLook.nTrimming = nTrimming;
    InputChanged();
}

void CLabel::SetParentBackground(Gdiplus::Image* pImage) {
    m_pParentBk = pImage;
    InputChanged();
}

BOOL CLabel::SetImageFile(LPCWSTR pszPath) {
    m_pImage.reset();
    m_pCache.reset();
    if (!pszPath)
        return FALSE;
    m_pImage = LoadImageAt(pszPath, m_nImageDpi, 1);
    if (m_hWnd)
        InvalidateRect(nullptr, TRUE);
    return TRUE;
}

void CLabel::SetLabelCursor(HCURSOR hCursor) {
    // Handing the held cursor back in must not destroy it.
    if (hCursor != m_hCursor.get())
        m_hCursor.reset(hCursor);
}

void CLabel::PaintCache(HDC hDC) {
    CRect rcClient;
    GetClientRect(&rcClient);
    PaintThroughCache(hDC, rcClient.Width(), rcClient.Height(), m_pCache, m_cacheCopy,
                      m_nCacheBuilds, [&] { ComposeCache(rcClient); });
}

void CLabel::ComposeCache(const CRect& rcClient) {
    if (m_pParentBk)
        DrawImagePart(m_pParentBk, m_pCache.get(), GetRectInParentClient(m_hWnd));
    if (m_pImage)
        DrawImagePart(m_pImage.get(), m_pCache.get(), rcClient);
    if (m_strText.IsEmpty())
        return;
    // The label shows its text as given: no hot-key prefix, one colour in every state.
    Gdiplus::Graphics graphics(m_pCache.get());
    DrawSkinText(graphics, m_strText, m_textLook, m_textLook.clrNormal, RectFOf(rcClient),
                 Gdiplus::HotkeyPrefixNone);
}

void CLabel::OnPaint() {
    CPaintDC dc(this);
    PaintCache(dc.GetSafeHdc());
}

BOOL CLabel::OnEraseBkgnd(CDC* pDC) {
    PaintCache(pDC->GetSafeHdc());
    return TRUE;
}

BOOL CLabel::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (!m_hCursor)
        return CStatic::OnSetCursor(pWnd, nHitTest, message);
    ::SetCursor(m_hCursor.get());
    return FALSE;
}

LRESULT CLabel::OnGetObject(WPARAM wParam, LPARAM lParam) {
    const LRESULT lResult = KvAnswerItemGetObject(m_hWnd, wParam, lParam);
    return lResult ? lResult : Default();
}
