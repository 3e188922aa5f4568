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

} // namespace

BEGIN_MESSAGE_MAP(CKvCommonWndLessDlg, CKvCommonDlg)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
ON_WM_CAPTURECHANGED()
ON_MESSAGE(RunItemMessage(), OnRunItem)
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
    LoadSkin(strSkinFile, strSection, strSection2, strSkinName);
    m_window = ReadWindowModel(*this);
    CreateWndLessItems();
    return UpdateLayered(m_nAlpha);
}

void CKvCommonWndLessDlg::CreateWndLessItems() {
    ApplyWindowAttributes();
    // New items start normal: the next move finds the hot one again.
    m_nHotItem = -1;
    BuildWndLessItems(m_arrDynamicItems, m_window,
                      [this](size_t i) { OnItemCreated(m_arrDynamicItems[i]); });
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
    CWndLessImageCache images;
    MakeWndLessItem(item, info,
                    [&images](const CString& strPath) { return images.Decoded(strPath); });
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
    // The band is tested without the child style: a windowless page drags too.
    const bool bInBand = StartsCaptionDrag(0, m_window.bDrag, m_window.nCaptionHeight, point.y);
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
    return 0;
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

bool CKvCommonWndLessDlg::FocusChild(int /*nChild*/) {
    return false;
}
