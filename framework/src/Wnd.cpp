// Window objects: creation, subclassing, the per-thread handle map and the
// routing of messages through message maps to default processing.
#include "AfxState.h"

namespace {

bool IsPlacementMarker(const CWnd* pWnd) {
    return pWnd == &CWnd::wndTop || pWnd == &CWnd::wndBottom || pWnd == &CWnd::wndTopMost ||
           pWnd == &CWnd::wndNoTopMost;
}

HWND HwndOf(const CWnd* pWnd) {
    return pWnd == nullptr ? nullptr : pWnd->m_hWnd;
}

// The input-method window that the system may create for a thread is no framework window.
bool IsImeWindow(HWND hWnd) {
    if (GetClassLongPtrW(hWnd, GCL_STYLE) & CS_IME)
        return true;
    wchar_t name[16] = {};
    GetClassNameW(hWnd, name, 16);
    return lstrcmpiW(name, L"ime") == 0;
}

} // namespace

// One framework message being handled on this thread.
struct AfxMessageFrame {
    CWnd* pWnd; // null once the object was deleted under the frame
    AfxMessageFrame* pOuter;
};

// ---------------------------------------------------------------------------
// Window procedure

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    AfxThreadState* pState = AfxGetThreadState();
    MSG previous = pState->lastSentMsg;
    pState->lastSentMsg.hwnd = hWnd;
    pState->lastSentMsg.message = nMsg;
    pState->lastSentMsg.wParam = wParam;
    pState->lastSentMsg.lParam = lParam;
    AfxMessageFrame frame = {pWnd, pState->pTopFrame};
    pState->pTopFrame = &frame;
    const size_t tempMark = pState->tempLog.size();
    ++pWnd->m_nMsgDepth;

    LRESULT lResult = pWnd->WindowProc(nMsg, wParam, lParam);

    pState->pTopFrame = frame.pOuter;
    pState->lastSentMsg = previous;
    if (frame.pWnd != nullptr)
        pWnd->LeaveMessage(hWnd, nMsg); // may delete the object
    if (pState->pTopFrame == nullptr)
        AfxReleaseTemporariesSince(pState, tempMark);
    return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr || pWnd->m_hWnd != hWnd)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    AFX_MANAGE_STATE(pWnd->m_pModuleState);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

// Gives the first window created inside the innermost creation scope to its
// object before the window sees any message.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    AfxThreadState* pState = AfxGetThreadState();
    AfxCreateWindowScope* pScope = pState->pCreating;
    if (code == HCBT_CREATEWND && pScope != nullptr && !pScope->m_bAttached) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        CWnd* pWnd = pScope->m_pWnd;
        if (!IsImeWindow(hWnd) && pWnd->Attach(hWnd)) {
            pScope->m_bAttached = true;
            pWnd->PreSubclassWindow();
            pWnd->TakeOverProcedure(hWnd);
        }
    }
    return CallNextHookEx(pState->hHookCbt, code, wParam, lParam);
}

AfxCreateWindowScope::AfxCreateWindowScope(CWnd* pWnd)
    : m_pWnd(pWnd), m_pState(AfxGetThreadState()), m_pOuter(m_pState->pCreating) {
    if (m_pState->nHookUsers++ == 0)
        m_pState->hHookCbt =
            SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, GetCurrentThreadId());
    m_pState->pCreating = this;
}

AfxCreateWindowScope::~AfxCreateWindowScope() {
    m_pState->pCreating = m_pOuter;
    if (--m_pState->nHookUsers == 0 && m_pState->hHookCbt != nullptr) {
        UnhookWindowsHookEx(m_pState->hHookCbt);
        m_pState->hHookCbt = nullptr;
    }
    // An attached object is not touched: the end of its window may have deleted it.
    if (!m_bAttached)
        m_pWnd->PostNcDestroy();
}

void CWnd::TakeOverProcedure(HWND hWnd) {
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    m_pfnSuper = previous == &AfxWndProc ? nullptr : previous;
}

// ---------------------------------------------------------------------------
// Construction, handle map

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd()
    : m_hWnd(nullptr), m_nFlags(0), m_nModalResult(0), m_pfnSuper(nullptr), m_hWndOwner(nullptr),
      m_nMsgDepth(0), m_bPostNcDestroyPending(false) {}

CWnd::CWnd(HWND hWndMarker)
    : m_hWnd(hWndMarker), m_nFlags(0), m_nModalResult(0), m_pfnSuper(nullptr), m_hWndOwner(nullptr),
      m_nMsgDepth(0), m_bPostNcDestroyPending(false) {}

CWnd::~CWnd() {
    if (m_hWnd != nullptr && !IsPlacementMarker(this))
        DestroyWindow();
    // Deleted inside one of its own messages: the frames must not reach it afterwards.
    if (m_nMsgDepth > 0) {
        for (AfxMessageFrame* p = AfxGetThreadState()->pTopFrame; p != nullptr; p = p->pOuter)
            if (p->pWnd == this)
                p->pWnd = nullptr;
    }
}

HWND CWnd::GetSafeHwnd() const {
    // Read through a volatile pointer: callers rely on a null object answering null.
    const CWnd* volatile self = this;
    return self == nullptr ? nullptr : self->m_hWnd;
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    AfxThreadState* pState = AfxGetThreadState();
    auto it = pState->permanentWnds.find(hWnd);
    return it == pState->permanentWnds.end() ? nullptr : it->second;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    return AfxTemporaryWnd(AfxGetThreadState(), hWnd);
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (m_hWnd != nullptr || hWndNew == nullptr)
        return FALSE;
    m_hWnd = hWndNew;
    AfxGetThreadState()->permanentWnds[hWndNew] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        auto& map = AfxGetThreadState()->permanentWnds;
        auto it = map.find(hWnd);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    if (GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == 0) { // not ours to take
        Detach();
        return FALSE;
    }
    TakeOverProcedure(hWnd);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hWndControl = ::GetDlgItem(HwndOf(pParent), static_cast<int>(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd == nullptr)
        return nullptr;
    WNDPROC original = m_pfnSuper != nullptr ? m_pfnSuper : ::DefWindowProcW;
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::PreSubclassWindow() {}

// ---------------------------------------------------------------------------
// Creation and destruction

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, HwndOf(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, HwndOf(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    if (m_hWnd != nullptr)
        return FALSE;
    CREATESTRUCTW cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxCreateWindowScope scope(this);
    return ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style),
                             cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                             cs.lpCreateParams) != nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (cs.lpszClass == nullptr) {
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                           ::LoadCursorW(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        if (cs.lpszClass == nullptr)
            return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    HWND hWndOrig = m_hWnd;
    bool permanent = FromHandlePermanent(hWndOrig) == this;
    BOOL bResult = ::DestroyWindow(hWndOrig);
    // A permanent object was detached at WM_NCDESTROY and may be gone by now.
    if (!permanent)
        Detach();
    return bResult;
}

void CWnd::PostNcDestroy() {}

void CWnd::OnNcDestroy() {
    Default();
    EndNcDestroy();
}

// The one end of a window for its object, whether or not the handler of
// WM_NCDESTROY called the base class: the window gets back its own procedure
// unless someone subclassed it after us, and leaves the handle map at once.
// PostNcDestroy waits until no message of the object is being handled, since
// a handler further up the stack may still use the object.
void CWnd::EndNcDestroy() {
    if (m_pfnSuper != nullptr &&
        GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&AfxWndProc))
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    if (m_nMsgDepth > 0)
        m_bPostNcDestroyPending = true;
    else
        PostNcDestroy();
}

void CWnd::LeaveMessage(HWND hWnd, UINT nMsg) {
    if (nMsg == WM_NCDESTROY && FromHandlePermanent(hWnd) == this)
        EndNcDestroy();
    if (--m_nMsgDepth == 0 && m_bPostNcDestroyPending) {
        m_bPostNcDestroyPending = false;
        PostNcDestroy();
    }
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

// ---------------------------------------------------------------------------
// Routing

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        lResult = 1;
    } else if (message == WM_NOTIFY) {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        if (pNMHDR == nullptr || pNMHDR->hwndFrom == nullptr || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
    } else {
        UINT lookup = message;
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
            lookup = WM_CTLCOLOR;
        const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), lookup, 0, 0);
        if (pEntry == nullptr)
            return FALSE;
        AFX_MSGCALL call = {message, wParam, lParam, 0};
        pEntry->pfnHandler(this, call);
        lResult = call.lResult;
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_hWnd == nullptr)
        return 0; // the window has ended under its handler
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = AfxGetThreadState()->lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    if (hWndCtrl != nullptr) {
        if (ReflectLastMsg(hWndCtrl))
            return TRUE; // the control took its own notification
        if (nID == 0)
            return FALSE;
    } else {
        nCode = CN_COMMAND; // menu or accelerator
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (ReflectLastMsg(pNMHDR->hwndFrom, pResult))
        return TRUE;
    const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), WM_NOTIFY, pNMHDR->code,
                                                         static_cast<UINT>(pNMHDR->idFrom));
    if (pEntry == nullptr)
        return FALSE;
    AFX_MSGCALL call = {WM_NOTIFY, 0, lParam, 0};
    pEntry->pfnHandler(this, call);
    if (pResult != nullptr)
        *pResult = call.lResult;
    return TRUE;
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    return pWnd != nullptr && pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
    const MSG& msg = AfxGetThreadState()->lastSentMsg;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_COMMAND: {
        int nCode = MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND);
        if (!CCmdTarget::OnCmdMsg(0, nCode, nullptr, nullptr))
            return FALSE;
        if (pResult != nullptr)
            *pResult = 1;
        return TRUE;
    }
    case WM_NOTIFY: {
        auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        const AFX_MSGMAP_ENTRY* pEntry =
            AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0);
        if (pEntry == nullptr)
            return FALSE;
        AFX_MSGCALL call = {WM_NOTIFY, wParam, lParam, 0};
        pEntry->pfnHandler(this, call);
        if (pResult != nullptr)
            *pResult = call.lResult;
        return TRUE;
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
        return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    default:
        break;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const AFX_MSGMAP_ENTRY* pEntry =
            AfxFindMessageEntry(GetMessageMap(), WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0);
        if (pEntry == nullptr)
            return FALSE;
        AFX_MSGCALL call = {message, wParam, lParam, 0};
        pEntry->pfnHandler(this, call);
        if (call.lResult == 0) // no brush: the parent decides
            return FALSE;
        if (pResult != nullptr)
            *pResult = call.lResult;
        return TRUE;
    }
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Modal loop

namespace {

// Every message of the thread reaches the modal window's PreTranslateMessage:
// first each framework window from the target up through its parents (owners
// for pop-ups) to the modal window may take it; when that chain does not pass
// through the modal window (thread messages, windows it does not own), the
// modal window is offered the message last.
bool PreTranslateInModalLoop(CWnd* pModal, HWND hWndModal, MSG* pMsg) {
    for (HWND h = pMsg->hwnd; h != nullptr; h = ::GetParent(h)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return true;
        if (h == hWndModal)
            return false;
    }
    return CWnd::FromHandlePermanent(hWndModal) == pModal && pModal->PreTranslateMessage(pMsg);
}

} // namespace

int CWnd::RunModalLoop(DWORD dwFlags) {
    bool showWhenIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    m_nFlags |= (WF_MODALLOOP | WF_CONTINUEMODAL);
    HWND hWndSelf = m_hWnd;
    AfxThreadState* pState = AfxGetThreadState();
    // Temporaries made before the loop belong to its caller; those made for
    // one message go when it is done, even while the loop itself runs inside
    // a message and the queue never runs dry.
    const size_t tempMark = pState->tempLog.size();
    MSG msg;
    // A window destroyed without EndDialog ends the loop too, rather than leaving it waiting.
    while (::IsWindow(hWndSelf) && ContinueModal()) {
        if (showWhenIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ShowWindow(SW_SHOWNORMAL);
            UpdateWindow();
            showWhenIdle = false;
        }
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // Leave the quit message for the loop that owns the thread.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (!PreTranslateInModalLoop(this, hWndSelf, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        AfxReleaseTemporariesSince(pState, tempMark);
    }
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

BOOL CWnd::ContinueModal() {
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CWnd::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL); // wake the loop
    }
}

// ---------------------------------------------------------------------------
// Default message handlers: default processing, with reflection where the
// child controls expect it.

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_CTLCOLOR()
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

void CWnd::OnPaint() {
    Default();
}
void CWnd::OnNcPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseHover(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseLeave() {
    Default();
}
void CWnd::OnNcLButtonDown(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return static_cast<BOOL>(Default());
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
int CWnd::OnCreate(LPCREATESTRUCTW) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnMove(int, int) {
    Default();
}
void CWnd::OnMoving(UINT, LPRECT) {
    Default();
}
void CWnd::OnWindowPosChanged(WINDOWPOS*) {
    Default();
}
void CWnd::OnWindowPosChanging(WINDOWPOS*) {
    Default();
}
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
LRESULT CWnd::OnNcHitTest(CPoint) {
    return Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
UINT CWnd::OnGetDlgCode() {
    return static_cast<UINT>(Default());
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
    LRESULT lResult = 0;
    if (pWnd != nullptr && ReflectLastMsg(pWnd->m_hWnd, &lResult))
        return reinterpret_cast<HBRUSH>(lResult);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct->CtlType != ODT_MENU && ReflectLastMsg(lpDrawItemStruct->hwndItem))
        return;
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT) {
    if (nIDCtl != 0) {
        CWnd* pChild = FromHandlePermanent(::GetDlgItem(m_hWnd, nIDCtl));
        if (pChild != nullptr && pChild->SendChildNotifyLastMsg())
            return;
    }
    Default();
}

// ---------------------------------------------------------------------------
// Attributes and operations

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(GetWindowLongW(m_hWnd, GWL_EXSTYLE));
}

namespace {
BOOL ModifyWindowLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD dwStyle = static_cast<DWORD>(GetWindowLongW(hWnd, nIndex));
    DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNewStyle)
        return FALSE;
    SetWindowLongW(hWnd, nIndex, static_cast<LONG>(dwNewStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}
} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
CWnd* CWnd::SetParent(CWnd* pWndNewParent) {
    return FromHandle(::SetParent(m_hWnd, HwndOf(pWndNewParent)));
}
CWnd* CWnd::GetOwner() const {
    return m_hWndOwner != nullptr ? FromHandle(m_hWndOwner) : GetParent();
}
void CWnd::SetOwner(CWnd* pOwnerWnd) {
    m_hWndOwner = HwndOf(pOwnerWnd);
}
CWnd* CWnd::GetTopLevelParent() const {
    return FromHandle(::GetAncestor(m_hWnd, GA_ROOT));
}
CWnd* CWnd::GetWindow(UINT nCmd) const {
    return FromHandle(::GetWindow(m_hWnd, nCmd));
}
CWnd* CWnd::GetNextWindow(UINT nFlag) const {
    return FromHandle(::GetWindow(m_hWnd, nFlag));
}
CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
int CWnd::SetDlgCtrlID(int nID) {
    return static_cast<int>(SetWindowLongPtrW(m_hWnd, GWLP_ID, nID));
}
CWnd* CWnd::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const {
    return FromHandle(::GetNextDlgGroupItem(m_hWnd, HwndOf(pWndCtl), bPrevious));
}
CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, HwndOf(pWndCtl), bPrevious));
}
BOOL CWnd::IsChild(const CWnd* pWnd) const {
    return ::IsChild(m_hWnd, HwndOf(pWnd));
}

void CWnd::SetWindowText(LPCWSTR lpszString) {
    ::SetWindowTextW(m_hWnd, lpszString);
}
int CWnd::GetWindowText(LPWSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
}
void CWnd::GetWindowText(CString& rString) const {
    int nLen = ::GetWindowTextLengthW(m_hWnd);
    int nGot = ::GetWindowTextW(m_hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
    rString.ReleaseBuffer(nGot);
}
int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}
void CWnd::SetDlgItemText(int nID, LPCWSTR lpszString) {
    ::SetDlgItemTextW(m_hWnd, nID, lpszString);
}
int CWnd::GetDlgItemText(int nID, CString& rString) const {
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    rString.Empty();
    if (hItem == nullptr)
        return 0;
    FromHandle(hItem)->GetWindowText(rString);
    return rString.GetLength();
}
void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont != nullptr ? pFont->m_hObject : nullptr),
                bRedraw);
}
CFont* CWnd::GetFont() const {
    return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
}
HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}
HICON CWnd::GetIcon(BOOL bBigIcon) const {
    return reinterpret_cast<HICON>(SendMessage(WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL));
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}
void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}
void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    ::ClientToScreen(m_hWnd, lpPoint);
}
void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}
void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    ::ScreenToClient(m_hWnd, lpPoint);
}
void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}
void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, HwndOf(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
}
void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
    ::MapWindowPoints(m_hWnd, HwndOf(pwndTo), lpPoint, nCount);
}
BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, HwndOf(pWndInsertAfter), x, y, cx, cy, nFlags);
}
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
}
void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    HWND hCenter = HwndOf(pAlternateOwner);
    if (hCenter == nullptr)
        hCenter = ::GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    if (hCenter != nullptr && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter))
        ::GetWindowRect(hCenter, &area);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    if (GetStyle() & WS_CHILD)
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&area), 2);
    CRect rc;
    GetWindowRect(&rc);
    if (GetStyle() & WS_CHILD)
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rc), 2);
    int x = (area.left + area.right - rc.Width()) / 2;
    int y = (area.top + area.bottom - rc.Height()) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) {
    return ::SetWindowRgn(m_hWnd, hRgn, bRedraw);
}
BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}
BOOL CWnd::IsZoomed() const {
    return ::IsZoomed(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    ::InvalidateRect(m_hWnd, lpRect, bErase);
}
void CWnd::ValidateRect(LPCRECT lpRect) {
    ::ValidateRect(m_hWnd, lpRect);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}
BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
    HRGN hRgn = prgnUpdate != nullptr ? static_cast<HRGN>(prgnUpdate->m_hObject) : nullptr;
    return ::RedrawWindow(m_hWnd, lpRectUpdate, hRgn, flags);
}
CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}
CDC* CWnd::GetWindowDC() {
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}
int CWnd::ReleaseDC(CDC* pDC) {
    return pDC == nullptr ? 0 : ::ReleaseDC(m_hWnd, pDC->m_hDC);
}

CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}
CWnd* PASCAL CWnd::GetFocus() {
    return FromHandle(::GetFocus());
}
CWnd* CWnd::SetCapture() {
    return FromHandle(::SetCapture(m_hWnd));
}
CWnd* PASCAL CWnd::GetCapture() {
    return FromHandle(::GetCapture());
}
CWnd* CWnd::SetActiveWindow() {
    return FromHandle(::SetActiveWindow(m_hWnd));
}
CWnd* PASCAL CWnd::GetActiveWindow() {
    return FromHandle(::GetActiveWindow());
}
BOOL CWnd::SetForegroundWindow() {
    return ::SetForegroundWindow(m_hWnd);
}
void CWnd::BringWindowToTop() {
    ::BringWindowToTop(m_hWnd);
}
UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return ::KillTimer(m_hWnd, nIDEvent);
}
int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) {
    if (lpszCaption == nullptr)
        lpszCaption = AfxGetAppName();
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption != nullptr ? lpszCaption : L"", nType);
}
