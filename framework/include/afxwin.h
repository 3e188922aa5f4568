// Command targets with message maps, modules and their state, the
// application object, and (below) windows, dialogs, controls and GDI wrappers.
#pragma once

#include "afx.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

class CCmdTarget;
class CWinThread;
class CWinApp;
class CWnd;
class CDC;
class CDynLinkLibrary;

// ---------------------------------------------------------------------------
// Points, sizes and rectangles

class CSize : public tagSIZE {
public:
    CSize() { cx = cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX, cy = initCY; }
    CSize(SIZE s) { cx = s.cx, cy = s.cy; }
    bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(SIZE s) const { return !(*this == s); }
};

class CPoint : public tagPOINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int initX, int initY) { x = initX, y = initY; }
    CPoint(POINT p) { x = p.x, y = p.y; }
    // Signed client coordinates as mouse messages pack them.
    explicit CPoint(LPARAM dwPoint) {
        x = static_cast<short>(LOWORD(dwPoint));
        y = static_cast<short>(HIWORD(dwPoint));
    }
    void Offset(int xOffset, int yOffset) { x += xOffset, y += yOffset; }
    bool operator==(POINT p) const { return x == p.x && y == p.y; }
    bool operator!=(POINT p) const { return !(*this == p); }
    CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
    CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
    CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
};

class CRect : public tagRECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    CRect(const RECT& r) { left = r.left, top = r.top, right = r.right, bottom = r.bottom; }
    CRect(const RECT* r) { *this = *r; }
    CRect(POINT topLeft, SIZE size) {
        left = topLeft.x, top = topLeft.y, right = left + size.cx, bottom = top + size.cy;
    }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Left and top edges inside, right and bottom edges outside.
    BOOL PtInRect(POINT p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void OffsetRect(SIZE s) { OffsetRect(s.cx, s.cy); }
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    void InflateRect(int dx, int dy) { left -= dx, top -= dy, right += dx, bottom += dy; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void NormalizeRect() {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }
    BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }
    BOOL EqualRect(const RECT* r) const { return ::EqualRect(this, r); }
    bool operator==(const RECT& r) const {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const RECT& r) const { return !(*this == r); }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

// ---------------------------------------------------------------------------
// Module state: which module's application object, instance and resources are current.

struct AFX_CLASS_REGISTRATION;

struct AFX_MODULE_STATE {
    CWinApp* m_pCurrentWinApp = nullptr;
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    LPCWSTR m_lpszCurrentAppName = nullptr;
    BOOL m_bDLL = FALSE;
    CDynLinkLibrary* m_pFirstLibrary = nullptr;             // resource chain of this module
    AFX_CLASS_REGISTRATION* m_pRegisteredClasses = nullptr; // unregistered by AfxWinTerm
};

// The current module state of this thread (the process's own one when none was switched in).
AFX_MODULE_STATE* AfxGetModuleState();
// The module state of the module this code is linked into: defined by each regular DLL.
AFX_MODULE_STATE* AfxGetStaticModuleState();
// The executable's module state.
AFX_MODULE_STATE* AfxGetAppModuleState();
// Makes pNewState current on this thread and returns the one it replaces.
AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* pNewState);

// Switches the thread's module state for the life of the object.
class AFX_MAINTAIN_STATE2 {
public:
    explicit AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState);
    ~AFX_MAINTAIN_STATE2();
    AFX_MAINTAIN_STATE2(const AFX_MAINTAIN_STATE2&) = delete;
    AFX_MAINTAIN_STATE2& operator=(const AFX_MAINTAIN_STATE2&) = delete;

private:
    AFX_MODULE_STATE* m_pPrevModuleState;
};
typedef AFX_MAINTAIN_STATE2 AFX_MAINTAIN_STATE;

#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE2 _ctlState(p)

// ---------------------------------------------------------------------------
// Message maps

// One message as a handler thunk sees it; the thunk stores its result in lResult.
struct AFX_MSGCALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT lResult;
};

typedef void (*AFX_MSGHANDLER)(CCmdTarget* pTarget, AFX_MSGCALL& call);

// Entry flag: lResult tells whether the handler took the message (the _EX entries).
#define AFX_MSGF_RESULT_DECIDES 1u

struct AFX_MSGMAP_ENTRY {
    UINT nMessage; // 0 ends the map
    UINT nCode;    // control notification code, or 0
    UINT nID;      // first control or command ID, or 0
    UINT nLastID;  // last ID of a range
    UINT nFlags;
    AFX_MSGHANDLER pfnHandler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP*(PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The first entry for the message, code and ID, searching the map and then its bases.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode,
                                            UINT nID);

#define WM_REFLECT_BASE 0xBC00
#define CN_COMMAND 0
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();                                           \
    virtual const AFX_MSGMAP* GetMessageMap() const;

// Handlers are named without their class, as in ON_MESSAGE(WM_X, OnX): each
// entry holds a small function that calls the handler on the map's class.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                                       \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static_cast<void>(sizeof(ThisClass*));                                                     \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, 0, nullptr }                                                                     \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};  \
    return &messageMap;                                                                            \
    }

#define AFX_MSG_THUNK(body)                                                                        \
    [](CCmdTarget* pTarget_, AFX_MSGCALL& call_) {                                                 \
        ThisClass* pThis_ = static_cast<ThisClass*>(pTarget_);                                     \
        static_cast<void>(pThis_);                                                                 \
        static_cast<void>(call_);                                                                  \
        body;                                                                                      \
    }

#define AFX_MSG_ENTRY(msg, body) {msg, 0, 0, 0, 0, AFX_MSG_THUNK(body)},

#define ON_MESSAGE(message, memberFxn)                                                             \
    AFX_MSG_ENTRY(message, call_.lResult = pThis_->memberFxn(call_.wParam, call_.lParam))
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), 0, AFX_MSG_THUNK(pThis_->memberFxn())},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                    \
    {                                                                                              \
        WM_COMMAND, CN_COMMAND,                                                                    \
        (WORD)(id), (WORD)(idLast),                                                                \
        0,          AFX_MSG_THUNK(pThis_->memberFxn(static_cast<UINT>(call_.wParam)))},
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                     \
    {WM_COMMAND, (WORD)(wNotifyCode),                                                              \
     (WORD)(id), (WORD)(id),                                                                       \
     0,          AFX_MSG_THUNK(pThis_->memberFxn())},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_STN_DBLCLK(id, memberFxn) ON_CONTROL(STN_DBLCLK, id, memberFxn)
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                      \
    {WM_NOTIFY,                                                                                    \
     (UINT)(wNotifyCode),                                                                          \
     (WORD)(id),                                                                                   \
     (WORD)(id),                                                                                   \
     0,                                                                                            \
     AFX_MSG_THUNK(pThis_->memberFxn(reinterpret_cast<NMHDR*>(call_.lParam), &call_.lResult))},

// Reflected notifications: the parent hands these back to the control that sent them.
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                                 \
    {WM_COMMAND + WM_REFLECT_BASE,      (WORD)(wNotifyCode), 0, 0, 0,                              \
     AFX_MSG_THUNK(pThis_->memberFxn())},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                              \
    {WM_COMMAND + WM_REFLECT_BASE,                                                                 \
     (WORD)(wNotifyCode),                                                                          \
     0,                                                                                            \
     0,                                                                                            \
     AFX_MSGF_RESULT_DECIDES,                                                                      \
     AFX_MSG_THUNK(call_.lResult = pThis_->memberFxn())},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                                  \
    {WM_NOTIFY + WM_REFLECT_BASE,                                                                  \
     (UINT)(wNotifyCode),                                                                          \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AFX_MSG_THUNK(pThis_->memberFxn(reinterpret_cast<NMHDR*>(call_.lParam), &call_.lResult))},
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
    {WM_CTLCOLOR + WM_REFLECT_BASE,                                                                \
     0,                                                                                            \
     0,                                                                                            \
     0,                                                                                            \
     AFX_MSGF_RESULT_DECIDES,                                                                      \
     AFX_MSG_THUNK(call_.lResult = reinterpret_cast<LRESULT>(                                      \
                       pThis_->CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(call_.wParam)),      \
                                        static_cast<UINT>(call_.message - WM_CTLCOLORMSGBOX))))},
#define ON_WM_DRAWITEM_REFLECT()                                                                   \
    AFX_MSG_ENTRY(WM_DRAWITEM + WM_REFLECT_BASE,                                                   \
                  pThis_->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(call_.lParam));              \
                  call_.lResult = TRUE)

#define AFX_POINT_OF(lp) CPoint(static_cast<LPARAM>(lp))
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, pThis_->OnPaint())
#define ON_WM_NCPAINT() AFX_MSG_ENTRY(WM_NCPAINT, pThis_->OnNcPaint())
#define ON_WM_ERASEBKGND()                                                                         \
    AFX_MSG_ENTRY(WM_ERASEBKGND, call_.lResult = pThis_->OnEraseBkgnd(                             \
                                     CDC::FromHandle(reinterpret_cast<HDC>(call_.wParam))))
#define AFX_MOUSE_ENTRY(msg, fn)                                                                   \
    AFX_MSG_ENTRY(msg, pThis_->fn(static_cast<UINT>(call_.wParam), AFX_POINT_OF(call_.lParam)))
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEHOVER() AFX_MOUSE_ENTRY(WM_MOUSEHOVER, OnMouseHover)
#define ON_WM_MOUSELEAVE() AFX_MSG_ENTRY(WM_MOUSELEAVE, pThis_->OnMouseLeave())
#define ON_WM_NCLBUTTONDOWN()                                                                      \
    AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, pThis_->OnNcLButtonDown(static_cast<UINT>(call_.wParam),       \
                                                            AFX_POINT_OF(call_.lParam)))
#define ON_WM_MOUSEWHEEL()                                                                         \
    AFX_MSG_ENTRY(WM_MOUSEWHEEL,                                                                   \
                  call_.lResult = pThis_->OnMouseWheel(LOWORD(call_.wParam),                       \
                                                       static_cast<short>(HIWORD(call_.wParam)),   \
                                                       AFX_POINT_OF(call_.lParam)))
#define ON_WM_SETCURSOR()                                                                          \
    AFX_MSG_ENTRY(WM_SETCURSOR, call_.lResult = pThis_->OnSetCursor(                               \
                                    CWnd::FromHandle(reinterpret_cast<HWND>(call_.wParam)),        \
                                    LOWORD(call_.lParam), HIWORD(call_.lParam)))
#define ON_WM_CREATE()                                                                             \
    AFX_MSG_ENTRY(WM_CREATE, call_.lResult =                                                       \
                                 pThis_->OnCreate(reinterpret_cast<LPCREATESTRUCT>(call_.lParam)))
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, pThis_->OnDestroy())
#define ON_WM_NCDESTROY() AFX_MSG_ENTRY(WM_NCDESTROY, pThis_->OnNcDestroy())
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, pThis_->OnClose())
#define ON_WM_SIZE()                                                                               \
    AFX_MSG_ENTRY(WM_SIZE, pThis_->OnSize(static_cast<UINT>(call_.wParam), LOWORD(call_.lParam),   \
                                          HIWORD(call_.lParam)))
#define ON_WM_MOVE()                                                                               \
    AFX_MSG_ENTRY(WM_MOVE, pThis_->OnMove(static_cast<short>(LOWORD(call_.lParam)),                \
                                          static_cast<short>(HIWORD(call_.lParam))))
#define ON_WM_MOVING()                                                                             \
    AFX_MSG_ENTRY(WM_MOVING, pThis_->OnMoving(static_cast<UINT>(call_.wParam),                     \
                                              reinterpret_cast<LPRECT>(call_.lParam));             \
                  call_.lResult = TRUE)
#define ON_WM_WINDOWPOSCHANGED()                                                                   \
    AFX_MSG_ENTRY(WM_WINDOWPOSCHANGED,                                                             \
                  pThis_->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(call_.lParam)))
#define ON_WM_WINDOWPOSCHANGING()                                                                  \
    AFX_MSG_ENTRY(WM_WINDOWPOSCHANGING,                                                            \
                  pThis_->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(call_.lParam)))
#define ON_WM_GETMINMAXINFO()                                                                      \
    AFX_MSG_ENTRY(WM_GETMINMAXINFO,                                                                \
                  pThis_->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(call_.lParam)))
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, pThis_->OnTimer(static_cast<UINT_PTR>(call_.wParam)))
// One entry serves every WM_CTLCOLORxxx message; nCtlColor tells which.
#define ON_WM_CTLCOLOR()                                                                           \
    AFX_MSG_ENTRY(WM_CTLCOLOR, call_.lResult = reinterpret_cast<LRESULT>(pThis_->OnCtlColor(       \
                                   CDC::FromHandle(reinterpret_cast<HDC>(call_.wParam)),           \
                                   CWnd::FromHandle(reinterpret_cast<HWND>(call_.lParam)),         \
                                   static_cast<UINT>(call_.message - WM_CTLCOLORMSGBOX))))
#define ON_WM_NCHITTEST()                                                                          \
    AFX_MSG_ENTRY(WM_NCHITTEST, call_.lResult = pThis_->OnNcHitTest(AFX_POINT_OF(call_.lParam)))
#define ON_WM_SETFOCUS()                                                                           \
    AFX_MSG_ENTRY(WM_SETFOCUS,                                                                     \
                  pThis_->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(call_.wParam))))
#define ON_WM_KILLFOCUS()                                                                          \
    AFX_MSG_ENTRY(WM_KILLFOCUS,                                                                    \
                  pThis_->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(call_.wParam))))
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, pThis_->OnEnable(static_cast<BOOL>(call_.wParam)))
#define ON_WM_SHOWWINDOW()                                                                         \
    AFX_MSG_ENTRY(WM_SHOWWINDOW, pThis_->OnShowWindow(static_cast<BOOL>(call_.wParam),             \
                                                      static_cast<UINT>(call_.lParam)))
#define ON_WM_ACTIVATE()                                                                           \
    AFX_MSG_ENTRY(WM_ACTIVATE,                                                                     \
                  pThis_->OnActivate(LOWORD(call_.wParam),                                         \
                                     CWnd::FromHandle(reinterpret_cast<HWND>(call_.lParam)),       \
                                     static_cast<BOOL>(HIWORD(call_.wParam))))
#define ON_WM_SYSCOMMAND()                                                                         \
    AFX_MSG_ENTRY(WM_SYSCOMMAND,                                                                   \
                  pThis_->OnSysCommand(static_cast<UINT>(call_.wParam), call_.lParam))
#define ON_WM_DRAWITEM()                                                                           \
    AFX_MSG_ENTRY(WM_DRAWITEM,                                                                     \
                  pThis_->OnDrawItem(static_cast<int>(call_.wParam),                               \
                                     reinterpret_cast<LPDRAWITEMSTRUCT>(call_.lParam));            \
                  call_.lResult = TRUE)
#define ON_WM_MEASUREITEM()                                                                        \
    AFX_MSG_ENTRY(WM_MEASUREITEM,                                                                  \
                  pThis_->OnMeasureItem(static_cast<int>(call_.wParam),                            \
                                        reinterpret_cast<LPMEASUREITEMSTRUCT>(call_.lParam));      \
                  call_.lResult = TRUE)
#define ON_WM_GETDLGCODE() AFX_MSG_ENTRY(WM_GETDLGCODE, call_.lResult = pThis_->OnGetDlgCode())
#define AFX_KEY_ENTRY(msg, fn)                                                                     \
    AFX_MSG_ENTRY(msg, pThis_->fn(static_cast<UINT>(call_.wParam), LOWORD(call_.lParam),           \
                                  HIWORD(call_.lParam)))
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_CAPTURECHANGED()                                                                     \
    AFX_MSG_ENTRY(WM_CAPTURECHANGED, pThis_->OnCaptureChanged(                                     \
                                         CWnd::FromHandle(reinterpret_cast<HWND>(call_.lParam))))

// ---------------------------------------------------------------------------
// Command targets, threads and the application object

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget();
    ~CCmdTarget() override;

    // Routes a command or control notification through the message map.
    // nCode may carry a message in its high word (WM_COMMAND when zero).
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

    // The module that was current when the object was made.
    AFX_MODULE_STATE* m_pModuleState;

    DECLARE_MESSAGE_MAP()
};

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);
    virtual CWnd* GetMainWnd();

    CWnd* m_pMainWnd;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    MSG m_msgCur;
};

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    HICON LoadIcon(UINT nIDResource) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCWSTR lpszCursorName) const;

    LPCWSTR m_pszAppName;
    LPCWSTR m_pszExeName;
    HINSTANCE m_hInstance;
    LPWSTR m_lpCmdLine;
    int m_nCmdShow;

    // Fills in the names from the module file once the instance handle is known.
    void SetCurrentHandles();

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWinThread* AfxGetThread();
CWnd* AfxGetMainWnd();
LPCWSTR AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// Sets the current module's instance and resource handles and the
// application object's start-up fields. Fails only for a null instance.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
// Unregisters the window classes the current module registered.
void AfxWinTerm();
// Registers (once) a window class of the current module with these looks and
// returns its generated name; the class goes away with the module's AfxWinTerm.
LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                            HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

// Temporary objects made by FromHandle live until the lock count drops back to zero.
void AfxLockTempMaps();
BOOL AfxUnlockTempMaps(BOOL bDeleteTemps = TRUE);
// Releases this thread's framework data held for the module.
void AfxTermThread(HINSTANCE hInstTerm = nullptr);

// We host no ActiveX controls; kept so module start-up reads as usual.
void AfxEnableControlContainer();

// Resource chain
struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

class CDynLinkLibrary : public CCmdTarget {
    DECLARE_DYNAMIC(CDynLinkLibrary)
public:
    // Enters the module into the current module state's resource chain.
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    ~CDynLinkLibrary() override;

    HMODULE m_hModule;
    HMODULE m_hResource;
    BOOL m_bSystem;
    CDynLinkLibrary* m_pNextDLL;
    AFX_MODULE_STATE* m_pOwnerState;
};

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Removes (and deletes) the module's entries from the resource chain.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
