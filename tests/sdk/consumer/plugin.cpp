// A regular DLL of a host's own: its application object starts at load, in
// the module state that the framework's start-up object gives this DLL.
#include <afxwin.h>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

class CPluginApp : public CWinApp {
public:
    BOOL InitInstance() override {
        m_bStarted = TRUE;
        return TRUE;
    }
    BOOL m_bStarted = FALSE;
};

CPluginApp theApp;

} // namespace

extern "C" __declspec(dllexport) int PluginStarted() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetApp() == &theApp && theApp.m_bStarted &&
           AfxGetInstanceHandle() == reinterpret_cast<HINSTANCE>(&__ImageBase);
}
