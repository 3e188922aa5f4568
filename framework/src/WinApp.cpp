#include "AfxState.h"

#include <stdlib.h>
#include <wchar.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread()
    : m_pMainWnd(nullptr), m_hThread(GetCurrentThread()), m_nThreadID(GetCurrentThreadId()),
      m_msgCur() {}

CWinThread::~CWinThread() = default;

// A thread object without its own start-up has nothing to run.
BOOL CWinThread::InitInstance() {
    return FALSE;
}

int CWinThread::ExitInstance() {
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinThread::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        AfxLockTempMaps();
        AfxUnlockTempMaps(TRUE);
    }
    return FALSE;
}

CWnd* CWinThread::GetMainWnd() {
    return m_pMainWnd;
}

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_pszAppName(lpszAppName != nullptr ? _wcsdup(lpszAppName) : nullptr), m_pszExeName(nullptr),
      m_hInstance(nullptr), m_lpCmdLine(nullptr), m_nCmdShow(SW_SHOWNORMAL) {
    // The module being initialised owns this application object.
    AFX_MODULE_STATE* pModule = AfxGetModuleState();
    pModule->m_pCurrentWinApp = this;
    if (m_pszAppName != nullptr)
        pModule->m_lpszCurrentAppName = m_pszAppName;
}

CWinApp::~CWinApp() {
    if (m_pModuleState->m_pCurrentWinApp == this)
        m_pModuleState->m_pCurrentWinApp = nullptr;
    if (m_pModuleState->m_lpszCurrentAppName == m_pszAppName)
        m_pModuleState->m_lpszCurrentAppName = nullptr;
    free(const_cast<LPWSTR>(m_pszAppName));
    free(const_cast<LPWSTR>(m_pszExeName));
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::SetCurrentHandles() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(m_hInstance, path, MAX_PATH);
    wchar_t* name = wcsrchr(path, L'\\');
    name = name != nullptr ? name + 1 : path;
    wchar_t* dot = wcsrchr(name, L'.');
    if (dot != nullptr)
        *dot = 0;
    if (m_pszExeName == nullptr)
        m_pszExeName = _wcsdup(name);
    if (m_pszAppName == nullptr)
        m_pszAppName = _wcsdup(name);
    m_pModuleState->m_lpszCurrentAppName = m_pszAppName;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
    return ::LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), RT_GROUP_ICON),
                       MAKEINTRESOURCEW(nIDResource));
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const {
    return ::LoadCursorW(AfxFindResourceHandle(MAKEINTRESOURCEW(nIDResource), RT_GROUP_CURSOR),
                         MAKEINTRESOURCEW(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCWSTR lpszCursorName) const {
    return ::LoadCursorW(nullptr, lpszCursorName);
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    if (hInstance == nullptr)
        return FALSE;
    AFX_MODULE_STATE* pModule = AfxGetModuleState();
    pModule->m_hCurrentInstanceHandle = hInstance;
    pModule->m_hCurrentResourceHandle = hInstance;
    CWinApp* pApp = pModule->m_pCurrentWinApp;
    if (pApp != nullptr) {
        pApp->m_hInstance = hInstance;
        pApp->m_lpCmdLine = lpCmdLine;
        pApp->m_nCmdShow = nCmdShow;
        pApp->SetCurrentHandles();
    }
    return TRUE;
}

void AfxWinTerm() {
    AFX_MODULE_STATE* pModule = AfxGetModuleState();
    AFX_CLASS_REGISTRATION* pReg = pModule->m_pRegisteredClasses;
    pModule->m_pRegisteredClasses = nullptr;
    while (pReg != nullptr) {
        AFX_CLASS_REGISTRATION* pNext = pReg->pNext;
        UnregisterClassW(pReg->szName, pReg->hInstance);
        delete pReg;
        pReg = pNext;
    }
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    AFX_MODULE_STATE* pModule = AfxGetModuleState();
    HINSTANCE hInst = pModule->m_hCurrentInstanceHandle;
    wchar_t name[80];
    _snwprintf(name, 80, L"Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
               static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
               static_cast<void*>(hIcon));
    name[79] = 0;
    WNDCLASSW existing;
    for (AFX_CLASS_REGISTRATION* p = pModule->m_pRegisteredClasses; p != nullptr; p = p->pNext) {
        // Another module state of the same instance may have unregistered it meanwhile.
        if (wcscmp(p->szName, name) == 0 && GetClassInfoW(hInst, name, &existing))
            return p->szName;
    }
    // Windows get the framework's procedure by subclassing as they are created.
    WNDCLASSW wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = hInst;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = name;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    for (AFX_CLASS_REGISTRATION* p = pModule->m_pRegisteredClasses; p != nullptr; p = p->pNext)
        if (wcscmp(p->szName, name) == 0)
            return p->szName;
    auto* pReg = new AFX_CLASS_REGISTRATION;
    wcscpy(pReg->szName, name);
    pReg->hInstance = hInst;
    pReg->pNext = pModule->m_pRegisteredClasses;
    pModule->m_pRegisteredClasses = pReg;
    return pReg->szName;
}

int AfxMessageBox(LPCWSTR lpszText, UINT nType, UINT) {
    LPCWSTR caption = AfxGetAppName();
    return ::MessageBoxW(::GetActiveWindow(), lpszText, caption != nullptr ? caption : L"", nType);
}
