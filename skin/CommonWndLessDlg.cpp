#include "skin/CommonWndLessDlg.h"

#include "skin/AccessModel.h"

#include <commctrl.h>

namespace {

// Runs an item as a click does, posted so that a screen reader's call
// returns first; wParam is the item's index.
UINT RunItemMessage() {
    static const UINT nMessage = ::RegisterWindowMessageW(L"Kelvane.RunItem");
    return nMessage;
}

// The key as the drawn items' keyboard takes it; false for a key it does not know.
bool KeyInputOf(const MSG& msg, KvWndLess::KeyInput& input) {
    using KvWndLess::KeyEvent;
    if (msg.message == WM_KEYUP && msg.wParam == VK_SPACE) {
        input.event = KeyEvent::SpaceUp;
        return true;
    }
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) < 0)
        return false;
    switch (msg.wParam) {
    case VK_TAB:
        input.event = ::GetKeyState(VK_SHIFT) < 0 ? KeyEvent::BackTab : KeyEvent::Tab;
        return true;
    case VK_RIGHT:
    case VK_DOWN:
        input.event = KeyEvent::Next;
        return true;
    case VK_LEFT:
    case VK_UP:
        input.event = KeyEvent::Previous;
        return true;
    case VK_SPACE:
        input.event = KeyEvent::SpaceDown;
        return true;
    case VK_RETURN:
        input.event = KeyEvent::Enter;
        return true;
    default:
        return false;
    }
}

// The focus frame of a drawn item, as the system's focus rectangle: every
// other pixel one pixel wide, nInset pixels inside rc, in the inverse of what is
// under it, so that it shows on light and dark items alike. The 32-bit
// picture on hDC is changed through a copy of the frame's part whose rows are
// known to run from the top (opaque dots, premultiplied as the rest).
void DrawItemFocusFrame(HDC hDC, RECT rc, int nInset) {
    ::InflateRect(&rc, -nInset, -nInset);
    const LONG cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    if (cx < 2 || cy < 2)
        return;
    CKvCanvas part(cx, cy);
    if (!part.IsReady() || !::BitBlt(part.DC(), 0, 0, cx, cy, hDC, rc.left, rc.top, SRCCOPY))
        return;
    ::GdiFlush();
    uint32_t* pBits = part.Bits();
    const auto dot = [&](LONG x, LONG y) {
        // Dots at even sums of the sheet's coordinates, as the system's.
        if ((rc.left + x + rc.top + y) & 1)
            return;
        uint32_t& pixel = pBits[static_cast<size_t>(y) * static_cast<size_t>(cx) + x];
        pixel = 0xFF000000u | (~pixel & 0x00FFFFFFu);
    };
    for (LONG x = 0; x < cx; ++x) {
        dot(x, 0);
        dot(x, cy - 1);
    }
    for (LONG y = 1; y < cy - 1; ++y) {
        dot(0, y);
        dot(cx - 1, y);
    }
    ::BitBlt(hDC, rc.left, rc.top, cx, cy, part.DC(), 0, 0, SRCCOPY);
}

} // namespace

BEGIN_MESSAGE_MAP(CKvCommonWndLessDlg, CKvCommonDlg)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_WM_CAPTURECHANGED()
ON_MESSAGE(RunItemMessage(), OnRunItem)
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CKvCommonWndLessDlg::CKvCommonWndLessDlg(UINT nIDTemplate, CWnd* pParent)
    : CKvCommonDlg(nIDTemplate, pParent), m_bLButtonDown(FALSE), m_bTracking(FALSE),
      m_nHotItem(-1) {}

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
    LoadScaledSkin(strSkinFile, strSection, strSection2, strSkinName);
    CreateWndLessItems();
    return UpdateLayered(m_nAlpha);
}

void CKvCommonWndLessDlg::ApplyDpi(int nDpi) {
    m_window = ReadWindowModel(*this, nDpi);
    ApplySkinLengths(*this, m_skinLengths, nDpi);
    const KvWndLess::KeyState keys = m_keys;
    CreateWndLessItems();
    m_keys = keys;
    UpdateLayered(m_nAlpha);
}

void CKvCommonWndLessDlg::CreateWndLessItems() {
    ApplyWindowAttributes();
    // New items start normal: the next move finds the hot one again.
    m_nHotItem = -1;
    // ... and without the keyboard's focus: the next Tab gives it again.
    m_keys = KvWndLess::KeyState();
    BuildWndLessItems(m_arrDynamicItems, m_window, [this](size_t i) {
        OnItemCreated(m_arrDynamicItems[i]);
        AdoptAddedLengths();
    });
    // Screen readers read the items anew.
    ::NotifyWinEvent(EVENT_OBJECT_REORDER, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    // One tool, the whole dialog: the hovered item's text is swapped in. The
    // tooltip is switched on and off as the pointer moves.
    if (SetUpToolTip(TTS_ALWAYSTIP))
        m_toolTip.AddTool(this, L"");
}

void CKvCommonWndLessDlg::CreateWndLessItem(_XmlDynamicItem& item) {
    ItemFontInfo info;
    GetItemFontInfo(item, info);
    CWndLessImageCache images(m_window.nDpi);
    MakeWndLessItem(item, info, [&images](const CString& strPath, int nFrames) {
        return images.Decoded(strPath, nFrames);
    })->SetDpi(m_window.nDpi);
    OnItemCreated(item);
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
    // Straight onto the DC: a GDI+ Graphics made for it would cost more than
    // composing a hovered item's part.
    const BOOL bDone = m_sheet.Compose(pDC->m_hDC, GetSheetSize(), m_pBackImage, m_arrDynamicItems);
    // Inside a part's clip too: the frame is redrawn with its item, and its
    // dots are inverted over the pixels just composed, as a whole picture's.
    if (bDone && FramedItem() >= 0)
        DrawItemFocusFrame(pDC->m_hDC, m_arrDynamicItems[static_cast<size_t>(FramedItem())].rcPos,
                           KvScale::Length(KvLayout::kContentGap, m_window.nDpi));
    return bDone;
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
    CDC dc;
    dc.Attach(hDC);
    const BOOL bDone = DrawSheet(&dc);
    dc.Detach();
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
    const KvWndLess::MouseState before = CurrentMouseState();
    const KvWndLess::MouseStep step =
        KvWndLess::StepMouse(before, {event, nHit, bHitHasTip, bInCaptionBand});
    // The new states first: what capture and focus send may come back here.
    for (size_t i = 0; i < step.next.itemStates.size(); ++i)
        if (CWndLessItem* pItem = WndLessItem(static_cast<int>(i)))
            pItem->SetState(step.next.itemStates[i]);
    AnnounceItemStates(before.itemStates, step.next.itemStates);
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
    if (!step.changedItems.empty()) {
        // The rest of the kept picture is as it was: only the changed items'
        // parts are composed again.
        for (size_t i : step.changedItems)
            if (CWndLessItem* pItem = WndLessItem(static_cast<int>(i)))
                InvalidateSheet(m_sheet.ItemRect(*pItem, GetSheetSize()));
        UpdateLayeredPart(m_nAlpha);
    }
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
    // The band is tested without the child style: a windowless page drags too.
    const bool bInBand = StartsCaptionDrag(0, m_window.bDrag, m_window.nCaptionHeight, point.y);
    // A focus that the keyboard gave goes to the item pressed.
    if (const int nHit = HitTestItem(point); nHit >= 0)
        RunKeyStep({KvWndLess::KeyEvent::Pointed, nHit});
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

// ---------------------------------------------------------------------------
// Screen readers

void CKvCommonWndLessDlg::AnnounceItemStates(const std::vector<int>& before,
                                             const std::vector<int>& after) {
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i])
            if (const int nChild = ChildOfItem(static_cast<int>(i)))
                ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, nChild);
}

bool CKvCommonWndLessDlg::IsAccessibleItem(const _XmlDynamicItem& item) const {
    return item.pControl.get<CWndLessItem>() != nullptr;
}

bool CKvCommonWndLessDlg::DescribeChild(int nChild, KvAccessItem& out) {
    const int nIndex = ItemOfChild(nChild);
    const CWndLessItem* pItem = WndLessItem(nIndex);
    if (!pItem)
        return false;
    const _XmlDynamicItem& item = m_arrDynamicItems[static_cast<size_t>(nIndex)];
    const SIZE sheet = GetSheetSize();
    const RECT rcSheet = {0, 0, sheet.cx, sheet.cy};
    RECT rcShown = {0, 0, 0, 0};
    KvAccess::ItemFacts facts;
    facts.bFocused = ::GetFocus() == m_hWnd && m_keys.nFocusItem == nIndex;
    facts.bHot = pItem->GetState() == KvWndLess::kStateHot;
    facts.bPressed = pItem->GetState() == KvWndLess::kStatePressed;
    facts.bDisabled = !IsWindowEnabled();
    facts.bInvisible = !IsWindowVisible() || !::IntersectRect(&rcShown, &item.rcPos, &rcSheet);
    // Drawn items are push buttons and draw their text as it is written.
    const KvAccess::ItemSpeech speech = KvAccess::SpeechOf(item.strName, item.strToolTip, false);
    out.strName = speech.strName;
    out.strDescription = speech.strDescription;
    out.strDefaultAction = KvAccess::DefaultActionOf(ItemKind::PushButton, false);
    out.nRole = KvAccess::RoleOf(ItemKind::PushButton);
    out.nState = KvAccess::StateOf(ItemKind::PushButton, facts);
    out.rcScreen = item.rcPos;
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&out.rcScreen), 2);
    out.hWnd = nullptr;
    return true;
}

int CKvCommonWndLessDlg::AccessFocusChild() {
    return ::GetFocus() == m_hWnd ? ChildOfItem(m_keys.nFocusItem) : 0;
}

bool CKvCommonWndLessDlg::RunChild(int nChild) {
    const int nIndex = ItemOfChild(nChild);
    return WndLessItem(nIndex) && IsWindowEnabled() &&
           PostMessage(RunItemMessage(), static_cast<WPARAM>(nIndex)) != FALSE;
}

LRESULT CKvCommonWndLessDlg::OnRunItem(WPARAM wParam, LPARAM /*lParam*/) {
    // What a release over the item runs; the items may have been rebuilt since.
    const int nIndex = static_cast<int>(wParam);
    if (WndLessItem(nIndex) && IsWindowEnabled())
        OnItemCommand(m_arrDynamicItems[static_cast<size_t>(nIndex)]);
    return 0;
}

bool CKvCommonWndLessDlg::FocusChild(int nChild) {
    const int nIndex = ItemOfChild(nChild);
    if (!WndLessItem(nIndex) || !IsWindowEnabled())
        return false;
    if (::GetFocus() != m_hWnd)
        SetFocus();
    // Given as a Tab from the acting item before it gives it (from before the
    // first when there is none): a held item let go, the cues shown.
    const std::vector<KvWndLess::KeyItem> items = KeyItems();
    int nBefore = nIndex - 1;
    while (nBefore >= 0 && !items[static_cast<size_t>(nBefore)].bActs)
        --nBefore;
    m_keys.nFocusItem = nBefore;
    RunKeyStep({KvWndLess::KeyEvent::Tab});
    return m_keys.nFocusItem == nIndex;
}

// ---------------------------------------------------------------------------
// Keyboard

std::vector<KvWndLess::KeyItem> CKvCommonWndLessDlg::KeyItems() const {
    std::vector<KvWndLess::KeyItem> items;
    items.reserve(m_arrDynamicItems.size());
    for (size_t i = 0; i < m_arrDynamicItems.size(); ++i)
        items.push_back({WndLessItem(static_cast<int>(i)) != nullptr,
                         (m_arrDynamicItems[i].nControlStyle & WS_GROUP) != 0});
    return items;
}

int CKvCommonWndLessDlg::FramedItem() const {
    const int nItem = m_keys.nFocusItem;
    return KeyboardCuesShown() && WndLessItem(nItem) && ::GetFocus() == m_hWnd ? nItem : -1;
}

KvWndLess::KeyStep CKvCommonWndLessDlg::RunKeyStep(const KvWndLess::KeyInput& keyInput) {
    KvWndLess::KeyInput input = keyInput;
    input.bNeighbour = KeyboardNeighbour() != nullptr;
    const int nFramedBefore = FramedItem();
    const int nFocusBefore = m_keys.nFocusItem;
    const KvWndLess::MouseState before = CurrentMouseState();
    const KvWndLess::KeyStep step = KvWndLess::StepKey(m_keys, KeyItems(), input);
    m_keys = step.next;
    if (CWndLessItem* pItem = WndLessItem(step.nReleaseItem))
        pItem->SetState(step.nReleaseItem == m_nHotItem ? KvWndLess::kStateHot
                                                        : KvWndLess::kStateNormal);
    if (CWndLessItem* pItem = WndLessItem(step.nPressItem))
        pItem->SetState(KvWndLess::kStatePressed);
    const KvWndLess::MouseState after = CurrentMouseState();
    AnnounceItemStates(before.itemStates, after.itemStates);
    if (step.bKeyboardUsed)
        ShowKeyboardCues();
    if (m_keys.nFocusItem != nFocusBefore && ::GetFocus() == m_hWnd)
        if (const int nChild = ChildOfItem(m_keys.nFocusItem))
            ::NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, nChild);
    if (FramedItem() != nFramedBefore || before.itemStates != after.itemStates)
        UpdateLayered(m_nAlpha);
    if (step.nCommandItem >= 0)
        PostMessage(RunItemMessage(), static_cast<WPARAM>(step.nCommandItem));
    if (step.pass != KvWndLess::FocusPass::None)
        PassFocus(step.pass == KvWndLess::FocusPass::Backward);
    return step;
}

BOOL CKvCommonWndLessDlg::HandleDialogKey(const MSG& msg) {
    // Keys for a child window are the dialog manager's.
    KvWndLess::KeyInput input{KvWndLess::KeyEvent::Tab};
    if (msg.hwnd != m_hWnd || !KeyInputOf(msg, input))
        return CKvCommonDlg::HandleDialogKey(msg);
    return RunKeyStep(input).bHandled ? TRUE : FALSE;
}

void CKvCommonWndLessDlg::OnKeyboardCuesShown() {
    if (FramedItem() >= 0)
        UpdateLayered(m_nAlpha);
}

void CKvCommonWndLessDlg::ArriveFocus(bool bBack) {
    ::SetForegroundWindow(m_hWnd);
    SetActiveWindow();
    SetFocus();
    m_keys.nFocusItem = -1;
    RunKeyStep({bBack ? KvWndLess::KeyEvent::ArriveBackward : KvWndLess::KeyEvent::ArriveForward});
    ShowKeyboardCues();
}

void CKvCommonWndLessDlg::OnSetFocus(CWnd* pOldWnd) {
    CKvCommonDlg::OnSetFocus(pOldWnd);
    // The frame shows again where the keyboard left it.
    if (FramedItem() >= 0)
        UpdateLayered(m_nAlpha);
}

void CKvCommonWndLessDlg::OnKillFocus(CWnd* pNewWnd) {
    CKvCommonDlg::OnKillFocus(pNewWnd);
    // An item held with Space goes back unrun; the frame goes with the focus.
    RunKeyStep({KvWndLess::KeyEvent::FocusLost});
    if (m_keys.nFocusItem >= 0 && KeyboardCuesShown())
        UpdateLayered(m_nAlpha);
}
