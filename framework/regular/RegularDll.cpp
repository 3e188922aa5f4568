// Start and end of a regular DLL that uses the framework DLL: linked into
// each such module, it gives the module its own module state and runs the
// application object's InitInstance and ExitInstance around the module's life.
#include <afxwin.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// Constant-initialised, so it is ready before any constructor of the module runs.
AFX_MODULE_STATE g_moduleState;
AFX_EXTENSION_MODULE g_resourceModule;
CDynLinkLibrary* g_pResourceLink = nullptr;
AFX_MODULE_STATE* g_pStateBeforeLoad = nullptr;
bool g_bStarted = false;

HINSTANCE ThisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

// Runs before the module's other static constructors, so that the
// application object's constructor registers with this module's state.
struct ModuleStateFirst {
    ModuleStateFirst() {
        g_moduleState.m_hCurrentInstanceHandle = ThisModule();
        g_moduleState.m_hCurrentResourceHandle = ThisModule();
        g_moduleState.m_bDLL = TRUE;
        g_pStateBeforeLoad = AfxSetModuleState(&g_moduleState);
    }
};
__attribute__((init_priority(101))) ModuleStateFirst g_moduleStateFirst;

wchar_t g_emptyCommandLine[1] = {0};

BOOL StartModule(HINSTANCE hInstance) {
    if (!AfxWinInit(hInstance, nullptr, g_emptyCommandLine, 0)) {
        AfxWinTerm();
        return FALSE;
    }
    CWinApp* pApp = g_moduleState.m_pCurrentWinApp;
    if (pApp != nullptr && !pApp->InitInstance()) {
        pApp->ExitInstance();
        AfxWinTerm();
        return FALSE;
    }
    // The module's resources join the application's chain, after the
    // application's own: a host that constructs one of this module's dialogs
    // without switching to the module's state still finds its template.
    AfxInitExtensionModule(g_resourceModule, hInstance);
    AFX_MANAGE_STATE(AfxGetAppModuleState());
    g_pResourceLink = new CDynLinkLibrary(g_resourceModule);
    return TRUE;
}

void EndModule() {
    CWinApp* pApp = g_moduleState.m_pCurrentWinApp;
    if (pApp != nullptr)
        pApp->ExitInstance();
    AfxLockTempMaps();
    AfxUnlockTempMaps(-1);
    AfxWinTerm();
    delete g_pResourceLink; // leaves the application's chain
    g_pResourceLink = nullptr;
    AfxTermExtensionModule(g_resourceModule, TRUE);
}

} // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    return &g_moduleState;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    switch (dwReason) {
    case DLL_PROCESS_ATTACH: {
        AfxSetModuleState(&g_moduleState);
        g_bStarted = StartModule(hInstance) != FALSE;
        AfxSetModuleState(g_pStateBeforeLoad);
        return g_bStarted ? TRUE : FALSE;
    }
    case DLL_PROCESS_DETACH:
        // After a refused load the system may still send the detach: end only what started.
        if (g_bStarted) {
            AFX_MANAGE_STATE(&g_moduleState);
            EndModule();
            g_bStarted = false;
        }
        break;
    case DLL_THREAD_DETACH: {
        AFX_MANAGE_STATE(&g_moduleState);
        AfxLockTempMaps();
        AfxUnlockTempMaps(-1);
        AfxTermThread(hInstance);
        break;
    }
    default:
        break;
    }
    return TRUE;
}
