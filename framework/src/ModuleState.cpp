// Thread and module state, and the framework DLL's own start and end.
#include "AfxState.h"

namespace {

AFX_MODULE_STATE g_appModuleState;

// Taken on first use: this DLL's own static objects ask for it before DllMain runs.
DWORD ThreadStateSlot() {
    static DWORD slot = TlsAlloc();
    return slot;
}

void FreeThreadState() {
    if (ThreadStateSlot() == TLS_OUT_OF_INDEXES)
        return;
    auto* pState = static_cast<AfxThreadState*>(TlsGetValue(ThreadStateSlot()));
    if (pState == nullptr)
        return;
    AfxDeleteTemporaryObjects(pState);
    if (pState->hHookCbt != nullptr)
        UnhookWindowsHookEx(pState->hHookCbt);
    TlsSetValue(ThreadStateSlot(), nullptr);
    delete pState;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID) {
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        g_appModuleState.m_hCurrentInstanceHandle = GetModuleHandleW(nullptr);
        g_appModuleState.m_hCurrentResourceHandle = g_appModuleState.m_hCurrentInstanceHandle;
        return ThreadStateSlot() != TLS_OUT_OF_INDEXES;
    case DLL_THREAD_DETACH:
        FreeThreadState();
        break;
    case DLL_PROCESS_DETACH:
        FreeThreadState();
        TlsFree(ThreadStateSlot());
        break;
    default:
        break;
    }
    return TRUE;
}

AfxThreadState* AfxGetThreadState() {
    auto* pState = static_cast<AfxThreadState*>(TlsGetValue(ThreadStateSlot()));
    if (pState == nullptr) {
        pState = new AfxThreadState;
        TlsSetValue(ThreadStateSlot(), pState);
    }
    return pState;
}

AFX_MODULE_STATE* AfxGetAppModuleState() {
    return &g_appModuleState;
}

AFX_MODULE_STATE* AfxGetModuleState() {
    AFX_MODULE_STATE* pState = AfxGetThreadState()->pModuleState;
    return pState != nullptr ? pState : &g_appModuleState;
}

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* pNewState) {
    AfxThreadState* pThread = AfxGetThreadState();
    AFX_MODULE_STATE* pPrev = pThread->pModuleState;
    pThread->pModuleState = pNewState;
    return pPrev;
}

AFX_MAINTAIN_STATE2::AFX_MAINTAIN_STATE2(AFX_MODULE_STATE* pNewState)
    : m_pPrevModuleState(AfxSetModuleState(pNewState)) {}

AFX_MAINTAIN_STATE2::~AFX_MAINTAIN_STATE2() {
    AfxSetModuleState(m_pPrevModuleState);
}

CWinApp* AfxGetApp() {
    return AfxGetModuleState()->m_pCurrentWinApp;
}
CWinThread* AfxGetThread() {
    return AfxGetApp();
}

CWnd* AfxGetMainWnd() {
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr ? pApp->GetMainWnd() : nullptr;
}

LPCWSTR AfxGetAppName() {
    return AfxGetModuleState()->m_lpszCurrentAppName;
}
HINSTANCE AfxGetInstanceHandle() {
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}
HINSTANCE AfxGetResourceHandle() {
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}
void AfxSetResourceHandle(HINSTANCE hInstResource) {
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}

void AfxLockTempMaps() {
    ++AfxGetThreadState()->nTempMapLock;
}

BOOL AfxUnlockTempMaps(BOOL bDeleteTemps) {
    AfxThreadState* pState = AfxGetThreadState();
    if (pState->nTempMapLock == 0)
        return FALSE;
    if (--pState->nTempMapLock == 0 && bDeleteTemps)
        AfxDeleteTemporaryObjects(pState);
    return TRUE;
}

void AfxTermThread(HINSTANCE) {
    AfxThreadState* pState = AfxGetThreadState();
    AfxDeleteTemporaryObjects(pState);
    pState->nTempMapLock = 0;
}

void AfxEnableControlContainer() {}

// Resource chain

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem),
      m_pNextDLL(nullptr), m_pOwnerState(AfxGetModuleState()) {
    // Appended, so the chain is searched in the order modules entered it.
    CDynLinkLibrary** ppLink = &m_pOwnerState->m_pFirstLibrary;
    while (*ppLink != nullptr)
        ppLink = &(*ppLink)->m_pNextDLL;
    *ppLink = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
    for (CDynLinkLibrary** ppLink = &m_pOwnerState->m_pFirstLibrary; *ppLink != nullptr;
         ppLink = &(*ppLink)->m_pNextDLL) {
        if (*ppLink == this) {
            *ppLink = m_pNextDLL;
            break;
        }
    }
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
    if (!state.bInitialized)
        return;
    AFX_MODULE_STATE* pModule = AfxGetModuleState();
    CDynLinkLibrary* pLib = pModule->m_pFirstLibrary;
    while (pLib != nullptr) {
        CDynLinkLibrary* pNext = pLib->m_pNextDLL;
        if (bAll || pLib->m_hModule == state.hModule)
            delete pLib;
        pLib = pNext;
    }
    state.bInitialized = FALSE;
}

HINSTANCE AfxFindResourceHandle(LPCWSTR lpszName, LPCWSTR lpszType) {
    AFX_MODULE_STATE* pModule = AfxGetModuleState();
    HINSTANCE hOwn = pModule->m_hCurrentResourceHandle;
    if (hOwn != nullptr && FindResourceW(hOwn, lpszName, lpszType) != nullptr)
        return hOwn;
    for (CDynLinkLibrary* pLib = pModule->m_pFirstLibrary; pLib != nullptr;
         pLib = pLib->m_pNextDLL) {
        if (pLib->m_hResource != nullptr && FindResourceW(pLib->m_hResource, lpszName, lpszType))
            return pLib->m_hResource;
    }
    return hOwn;
}
