#include "skin/BmpButton.h"

#include "skin/Accessible.h"
#include "skin/ControlLayout.h"
#include "skin/DisplayScale.h"
#include "skin/DrawUtil.h"
#include "skin/ScaledImage.h"

#include <commctrl.h>

#include <utility>

IMPLEMENT_DYNAMIC(CKvBmpButton, CButton)

BEGIN_MESSAGE_MAP(CKvBmpButton, CButton)
ON_WM_GETDLGCODE()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_KEYUP()
ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
ON_MESSAGE(BM_SETCHECK, OnSetCheck)
ON_MESSAGE(BM_GETCHECK, OnGetCheck)
ON_MESSAGE(WM_BMPBUTTON_UNCHECK, OnUncheck)
ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUIState)
ON_MESSAGE(BM_CLICK, OnClick)
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

CKvBmpButton::CKvBmpButton()
    : m_ppParentBk(nullptr), m_clrCached(0xFF000000), m_nCachedState(0), m_bHover(FALSE),
      m_bDrawFocus(FALSE),
      // Matches the look of a fresh, unfocused button, so the first erase and
      // the first owner-draw agree and the cache is built once.
      m_bCachedFocus(FALSE), m_nKind(KvLayout::kKindPush), m_bChecked(FALSE), m_bLButtonDown(FALSE),
      m_nCacheBuilds(0) {
    m_textLook.nFontSize = 12;
    m_textLook.clrNormal = m_textLook.clrDisabled = 0xFF000000;
}

CKvBmpButton::~CKvBmpButton() = default;

bool CKvBmpButton::AcceleratorsHidden() const {
    return m_bHideAccel;
}

LRESULT CKvBmpButton::OnUpdateUIState(WPARAM wParam, LPARAM lParam) {
    const LRESULT lResult = DefWindowProc(WM_UPDATEUISTATE, wParam, lParam);
    // The keyboard was used (or the cues were hidden again): the caption's
    // underline and the focus frame follow.
    if (ApplyUIState(LOWORD(wParam), HIWORD(wParam)))
        InputChanged(TRUE);
    return lResult;
}

bool CKvBmpButton::ApplyUIState(WORD nAction, WORD nFlags) {
    // Read from the message itself: not every system keeps the state for
    // WM_QUERYUISTATE to answer.
    const bool bInitialize = nAction != UIS_SET && nAction != UIS_CLEAR;
    const LRESULT nQueried = bInitialize ? SendMessage(WM_QUERYUISTATE) : 0;
    bool bChanged = false;
    for (auto [nFlag, pbHide] :
         {std::pair{UISF_HIDEACCEL, &m_bHideAccel}, std::pair{UISF_HIDEFOCUS, &m_bHideFocus}}) {
        if (!(nFlags & nFlag))
            continue;
        const bool bHide = bInitialize ? (nQueried & nFlag) != 0 : nAction == UIS_SET;
        bChanged |= bHide != *pbHide;
        *pbHide = bHide;
    }
    return bChanged;
}

void CKvBmpButton::InputChanged(BOOL bRedraw) {
    m_pCache.reset();
    if (bRedraw && m_hWnd)
        InvalidateRect(nullptr, TRUE);
}

void CKvBmpButton::SetText(CString strText, BOOL bRedraw) {
    const bool bRenamed = strText != m_strText;
    m_strText = strText;
    m_pCache.reset();
    // The button repaints itself on a text change: let that paint show the new caption.
    if (m_hWnd)
        SetWindowText(m_strText);
    if (m_hWnd && bRenamed)
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    if (bRedraw && m_hWnd)
        InvalidateRect(nullptr, TRUE);
}

void CKvBmpButton::SetTextColors(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrDisabled, BOOL bRedraw) {
    m_textLook.clrNormal = clrNormal;
    m_textLook.clrDisabled = clrDisabled;
    InputChanged(bRedraw);
}

void CKvBmpButton::SetFontStyle(int nStyle, BOOL bRedraw) {
    m_textLook.nFontStyle = nStyle;
    InputChanged(bRedraw);
}

void CKvBmpButton::SetFontSize(int nSize, BOOL bRedraw) {
    m_textLook.nFontSize = nSize;
    InputChanged(bRedraw);
}

void CKvBmpButton::SetFontName(CString strName, BOOL bRedraw) {
    m_textLook.strFontName = strName;
    InputChanged(bRedraw);
}

void CKvBmpButton::SetTextFormat(int nAlign, int nLineAlign, int nTrimming, BOOL bRedraw) {
    m_textLook.nAlign = nAlign;
    m_textLook.nLineAlign = nLineAlign;
    m_textLook.nTrimming = nTrimming;
    InputChanged(bRedraw);
}

void CKvBmpButton::SetParentBackground(Gdiplus::Image** ppImage, BOOL bRedraw) {
    m_ppParentBk = ppImage;
    InputChanged(bRedraw);
}

void CKvBmpButton::SetDrawFocus(BOOL bDrawFocus, BOOL bRedraw) {
    m_bDrawFocus = bDrawFocus;
    InputChanged(bRedraw);
}

BOOL CKvBmpButton::LoadStateImage(LPCWSTR pszPath, BOOL bRedraw) {
    m_pStateImage.reset();
    m_pCache.reset();
    if (!pszPath)
        return FALSE;
    // Check boxes and radio buttons hold eight frames, push buttons four.
    m_pStateImage = LoadImageAt(pszPath, m_nImageDpi,
                                m_nKind == KvLayout::kKindPush ? KvLayout::kPushFrameCount
                                                               : KvLayout::kToggleFrameCount);
    InputChanged(bRedraw);
    return TRUE;
}

BOOL CKvBmpButton::LoadIconImage(LPCWSTR pszPath, BOOL bRedraw) {
    m_pIconImage.reset();
    m_pCache.reset();
    if (!pszPath)
        return FALSE;
    m_pIconImage = LoadImageAt(pszPath, m_nImageDpi, 1);
    if (m_pIconImage && m_pIconImage->GetWidth() == 0)
        m_pIconImage.reset();
    InputChanged(bRedraw);
    return TRUE;
}

void CKvBmpButton::PreSubclassWindow() {
    m_nKind = KvLayout::ButtonKindFromStyle(GetStyle());
    m_bDefault = (GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    // The type is replaced, not OR-ed: radio (4) OR owner-draw (11) would be
    // 15, a type the system draws itself.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    // The cues of the window the button is in: a skinned dialog keeps them
    // itself, where the system does not.
    HWND hParent = ::GetParent(m_hWnd);
    const LRESULT nHidden =
        hParent ? ::SendMessageW(hParent, WM_QUERYUISTATE, 0, 0) : SendMessage(WM_QUERYUISTATE);
    m_bHideAccel = (nHidden & UISF_HIDEACCEL) != 0;
    m_bHideFocus = (nHidden & UISF_HIDEFOCUS) != 0;
    CButton::PreSubclassWindow();
}

void CKvBmpButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    UpdateCachedLook(lpDrawItemStruct->itemState);
    PaintCache(lpDrawItemStruct->hDC);
}

void CKvBmpButton::UpdateCachedLook(UINT nItemState) {
    const KvLayout::ButtonLook look = KvLayout::ButtonLookFor(
        m_nKind, m_bChecked != FALSE, nItemState, m_bHover != FALSE, !m_bHideFocus);
    const Gdiplus::ARGB clr = look.bDisabled ? m_textLook.clrDisabled : m_textLook.clrNormal;
    const BOOL bFocus = look.bFocus ? TRUE : FALSE;
    if (clr != m_clrCached || look.nState != m_nCachedState || bFocus != m_bCachedFocus)
        m_pCache.reset();
    m_clrCached = clr;
    m_nCachedState = look.nState;
    m_bCachedFocus = bFocus;
}

UINT CKvBmpButton::CurrentItemState() {
    UINT nState = 0;
    if (!IsWindowEnabled())
        nState |= ODS_DISABLED;
    const LRESULT buttonState = DefWindowProc(BM_GETSTATE, 0, 0);
    if (buttonState & BST_PUSHED)
        nState |= ODS_SELECTED;
    if (buttonState & BST_FOCUS)
        nState |= ODS_FOCUS;
    return nState;
}

void CKvBmpButton::PaintCache(HDC hDC) {
    if (EnsureCache())
        PaintComposedCache(hDC, m_pCache.get(), m_cacheCopy, static_cast<int>(m_pCache->GetWidth()),
                           static_cast<int>(m_pCache->GetHeight()));
}

bool CKvBmpButton::EnsureCache() {
    CRect rcClient;
    GetClientRect(&rcClient);
    return EnsureComposedCache(rcClient.Width(), rcClient.Height(), m_pCache, m_cacheCopy,
                               m_nCacheBuilds, [&] { ComposeCache(rcClient); });
}

void CKvBmpButton::ComposeCache(const CRect& rcClient) {
    if (m_ppParentBk && *m_ppParentBk)
        DrawImagePart(*m_ppParentBk, m_pCache.get(), GetRectInParentClient(m_hWnd));
    if (m_pStateImage)
        DrawStateFrame(rcClient);
    DrawContent(m_clrCached);
}

void CKvBmpButton::DrawStateFrame(const CRect& rcClient) {
    if (m_nKind == KvLayout::kKindPush) {
        // Scaled, the strip's frames are each the skin's width scaled on its
        // own, while the button spans two scaled edges: the two can differ by
        // a pixel, and picking frames by the button's width would then slide
        // one pixel further into the strip with every state.
        const int nFrameWidth =
            m_nImageDpi == KvScale::kBaseDpi
                ? rcClient.Width()
                : static_cast<int>(m_pStateImage->GetWidth()) / KvLayout::kPushFrameCount;
        DrawImagePart(m_pStateImage.get(), m_pCache.get(),
                      KvLayout::PushFrameSource(nFrameWidth, rcClient.Height(), m_nCachedState));
        return;
    }
    const KvLayout::FramePlacement frame = KvLayout::ToggleFramePlacement(
        static_cast<int>(m_pStateImage->GetWidth()), static_cast<int>(m_pStateImage->GetHeight()),
        rcClient.Height(), m_nCachedState);
    const CRect src(frame.rcSource);
    const CRect dest(frame.rcDest);
    Gdiplus::Graphics graphics(m_pCache.get());
    graphics.DrawImage(m_pStateImage.get(),
                       Gdiplus::Rect(dest.left, dest.top, dest.Width(), dest.Height()), src.left,
                       src.top, src.Width(), src.Height(), Gdiplus::UnitPixel);
}

int CKvBmpButton::MeasureCaptionWidth() {
    RECT rc{0, 0, 1024, 0};
    Gdiplus::Graphics graphics(m_pCache.get());
    MeasureTextBounds(m_strText, &graphics, *CreateLookFont(m_textLook), rc);
    return rc.right - rc.left;
}

void CKvBmpButton::DrawContent(Gdiplus::ARGB clrCaption) {
    CRect rcClient;
    GetClientRect(&rcClient);
    KvLayout::ContentInputs in{};
    in.nKind = m_nKind;
    in.nClientWidth = rcClient.Width();
    in.nClientHeight = rcClient.Height();
    in.bHasStateImage = m_pStateImage != nullptr;
    in.nStateImageWidth = m_pStateImage ? static_cast<int>(m_pStateImage->GetWidth()) : 0;
    in.bHasCaption = !m_strText.IsEmpty();
    in.bHasIcon = m_nKind == KvLayout::kKindPush && m_pIconImage != nullptr;
    in.nIconWidth = in.bHasIcon ? static_cast<int>(m_pIconImage->GetWidth()) : 0;
    in.nIconHeight = in.bHasIcon ? static_cast<int>(m_pIconImage->GetHeight()) : 0;
    in.nGap = KvScale::Length(KvLayout::kContentGap, m_nImageDpi);
    if (KvLayout::NeedsCaptionWidth(in))
        in.nCaptionWidth = MeasureCaptionWidth();
    const KvLayout::ContentLayout layout = KvLayout::LayoutButtonContent(in);
    if (layout.bEmpty)
        return;
    {
        Gdiplus::Graphics graphics(m_pCache.get());
        if (layout.bDrawIcon)
            graphics.DrawImage(m_pIconImage.get(), layout.ptIcon.x, layout.ptIcon.y, in.nIconWidth,
                               in.nIconHeight);
        if (in.bHasCaption)
            DrawSkinText(graphics, m_strText, m_textLook, clrCaption, RectFOf(layout.rcCaption),
                         AcceleratorsHidden() ? Gdiplus::HotkeyPrefixHide
                                              : Gdiplus::HotkeyPrefixShow);
    }
    if (!m_bCachedFocus)
        return;
    // DrawFocusFrame insets the frame by the gap at 96 DPI; the rest of the
    // gap at the button's DPI is taken here.
    const int nMoreInset = in.nGap - KvLayout::kContentGap;
    CRect rcFocus(rcClient);
    if (m_nKind != KvLayout::kKindPush) {
        rcFocus = CRect(layout.rcCaption);
        rcFocus.InflateRect(in.nGap, in.nGap);
    }
    rcFocus.DeflateRect(nMoreInset, nMoreInset);
    DrawFocusFrame(m_pCache.get(), rcFocus);
}

BOOL CKvBmpButton::IsTransparentAt(int x, int y) {
    // Hover changes discard the cache: answering "opaque" until the next
    // paint would let moves and clicks over clear pixels reach the button.
    UpdateCachedLook(CurrentItemState());
    if (!EnsureCache())
        return FALSE;
    Gdiplus::Color pixel;
    if (m_pCache->GetPixel(x, y, &pixel) != Gdiplus::Ok)
        return FALSE;
    return KvLayout::IsFullyTransparent(pixel.GetValue()) ? TRUE : FALSE;
}

UINT CKvBmpButton::OnGetDlgCode() {
    if (m_nKind == KvLayout::kKindRadio)
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    // Only the default one says what it is, so that the dialog manager finds
    // it for Enter; the others never take the default over (Enter on a
    // focused push button is the skinned dialog's own).
    return m_bDefault && m_nKind == KvLayout::kKindPush ? DLGC_BUTTON | DLGC_DEFPUSHBUTTON
                                                        : DLGC_BUTTON;
}

void CKvBmpButton::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) {
    if (!m_bHover) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
        if (_TrackMouseEvent(&tme)) {
            m_bHover = TRUE;
            InputChanged(TRUE);
            AnnounceState();
        }
    }
    Default();
}

void CKvBmpButton::EndHover() {
    m_bHover = FALSE;
    InputChanged(TRUE);
    AnnounceState();
}

void CKvBmpButton::AnnounceState() {
    ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

LRESULT CKvBmpButton::OnClick(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (!IsWindowEnabled())
        return 0;
    // A click focuses the button before it acts.
    SetFocus();
    ApplyClickToCheck();
    if (HWND hParent = ::GetParent(m_hWnd))
        ::SendMessageW(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_hWnd));
    return 0;
}

LRESULT CKvBmpButton::OnGetObject(WPARAM wParam, LPARAM lParam) {
    const LRESULT lResult = KvAnswerItemGetObject(m_hWnd, wParam, lParam);
    return lResult ? lResult : Default();
}

void CKvBmpButton::OnMouseLeave() {
    EndHover();
}

BOOL CKvBmpButton::OnEraseBkgnd(CDC* pDC) {
    // The erase comes before the owner-draw of the same paint: show the look
    // that owner-draw is about to ask for, so both copy one cache.
    UpdateCachedLook(CurrentItemState());
    PaintCache(pDC->GetSafeHdc());
    return TRUE;
}

void CKvBmpButton::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/) {
    Default();
    m_pCache.reset();
}

void CKvBmpButton::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) {
    m_bLButtonDown = TRUE;
    Default();
}

void CKvBmpButton::OnLButtonUp(UINT /*nFlags*/, CPoint point) {
    if (m_bLButtonDown) {
        m_bLButtonDown = FALSE;
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        if (::WindowFromPoint(ptScreen) == m_hWnd)
            ApplyClickToCheck();
    }
    Default();
}

void CKvBmpButton::OnKeyUp(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    if (nChar == VK_SPACE) {
        ApplyClickToCheck();
        HWND hParent = ::GetParent(m_hWnd);
        if (m_nKind == KvLayout::kKindRadio && hParent)
            ::PostMessage(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                          reinterpret_cast<LPARAM>(m_hWnd));
    }
    Default();
}

void CKvBmpButton::ApplyClickToCheck() {
    const bool bChecked = SendMessage(BM_GETCHECK, 0, 0) != 0;
    const bool bNext = KvLayout::CheckAfterClick(m_nKind, bChecked);
    SendMessage(BM_SETCHECK, bNext ? 1 : 0, 0);
}

LRESULT CKvBmpButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
    // The dialog manager switches default-button styles; keep owner-draw.
    return DefWindowProc(BM_SETSTYLE, KvLayout::OwnerDrawStyle(static_cast<DWORD>(wParam)), lParam);
}

LRESULT CKvBmpButton::OnSetCheck(WPARAM wParam, LPARAM /*lParam*/) {
    const BOOL bWas = m_bChecked;
    m_bChecked = wParam != 0 ? TRUE : FALSE;
    if (m_nKind == KvLayout::kKindRadio) {
        // As the system's radio buttons do: the checked one of a group is its
        // Tab stop, so the group is one stop.
        ModifyStyle(m_bChecked ? 0 : WS_TABSTOP, m_bChecked ? WS_TABSTOP : 0);
        if (m_bChecked)
            UncheckGroupSiblings();
    }
    InvalidateRect(nullptr, TRUE);
    if (bWas != m_bChecked)
        AnnounceState();
    return 0;
}

LRESULT CKvBmpButton::OnGetCheck(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return m_bChecked;
}

LRESULT CKvBmpButton::OnUncheck(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    // Another radio of the group is checked: it is the group's Tab stop.
    ModifyStyle(WS_TABSTOP, 0);
    if (m_bChecked) {
        m_bChecked = FALSE;
        InvalidateRect(nullptr, TRUE);
        AnnounceState();
    }
    return 0;
}

void CKvBmpButton::UncheckGroupSiblings() {
    HWND hParent = ::GetParent(m_hWnd);
    if (!hParent)
        return;
    HWND hFirst = nullptr;
    HWND hCurrent = m_hWnd;
    for (;;) {
        hCurrent = ::GetNextDlgGroupItem(hParent, hCurrent, FALSE);
        if (!hFirst)
            hFirst = hCurrent;
        else if (hCurrent == hFirst)
            break;
        if (!hCurrent || hCurrent == m_hWnd)
            break;
        CWnd* pWnd = CWnd::FromHandlePermanent(hCurrent);
        if (pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CKvBmpButton)) &&
            (static_cast<CKvBmpButton*>(pWnd)->GetButtonKind() & 15) == KvLayout::kKindRadio)
            ::PostMessage(hCurrent, WM_BMPBUTTON_UNCHECK, 0, 0);
    }
}

BEGIN_MESSAGE_MAP(CKvBmpButtonRegin, CKvBmpButton)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CKvBmpButtonRegin::CKvBmpButtonRegin() = default;

CKvBmpButtonRegin::~CKvBmpButtonRegin() = default;

void CKvBmpButtonRegin::OnMouseMove(UINT nFlags, CPoint point) {
    if (IsTransparentAt(point.x, point.y)) {
        // Moving off the shape inside the window is leaving the button.
        if (m_bHover) {
            TRACKMOUSEEVENT tme{sizeof(tme), TME_CANCEL | TME_LEAVE, m_hWnd, 0};
            _TrackMouseEvent(&tme);
            EndHover();
        }
        return;
    }
    CKvBmpButton::OnMouseMove(nFlags, point);
}

void CKvBmpButtonRegin::OnLButtonDown(UINT nFlags, CPoint point) {
    if (IsTransparentAt(point.x, point.y))
        return;
    CKvBmpButton::OnLButtonDown(nFlags, point);
}
