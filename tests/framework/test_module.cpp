// A regular DLL with an application object. It reports each step of its
// start and end to the program that loaded it (KvRecordLoadEvent there).
#include <afxwin.h>

#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

void Record(const std::string& event) {
    auto fn = reinterpret_cast<void (*)(const char*)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "KvRecordLoadEvent")));
    if (fn != nullptr)
        fn(event.c_str());
}

const HINSTANCE g_hThis = reinterpret_cast<HINSTANCE>(&__ImageBase);

const wchar_t* g_className = nullptr;

bool ClassRegistered() {
    WNDCLASSW wc;
    return g_className != nullptr && GetClassInfoW(g_hThis, g_className, &wc) != FALSE;
}

std::string Flag(const char* name, bool b) {
    return std::string(" ") + name + (b ? "=yes" : "=no");
}

struct StaticObject {
    StaticObject() { Record("static-construct"); }
    ~StaticObject() { Record("static-destruct" + Flag("class", ClassRegistered())); }
};
StaticObject g_staticObject;

class CTestModuleApp : public CWinApp {
public:
    CTestModuleApp() {
        Record("app-construct" +
               Flag("own-state", AfxGetModuleState() == AfxGetStaticModuleState()) +
               Flag("registered", AfxGetApp() == this));
    }
    ~CTestModuleApp() override { Record("app-destruct" + Flag("class", ClassRegistered())); }
    BOOL InitInstance() override {
        CWinApp::InitInstance();
        g_className = AfxRegisterWndClass(0);
        Record("init-instance" +
               Flag("own-state", AfxGetModuleState() == AfxGetStaticModuleState()) +
               Flag("instance", m_hInstance == g_hThis && AfxGetInstanceHandle() == g_hThis &&
                                    AfxGetResourceHandle() == g_hThis) +
               Flag("class", ClassRegistered()));
        return GetEnvironmentVariableW(L"KV_TEST_REFUSE_INIT", nullptr, 0) == 0;
    }
    int ExitInstance() override {
        Record("exit-instance" + Flag("class", ClassRegistered()));
        return CWinApp::ExitInstance();
    }
};

CTestModuleApp theApp;

} // namespace

// Entered from the host: works under the module's own state.
extern "C" __declspec(dllexport) HINSTANCE TestModuleInstance() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetInstanceHandle();
}
