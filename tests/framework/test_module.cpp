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

HINSTANCE ThisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

const wchar_t* g_className = nullptr;

bool ClassRegistered() {
    WNDCLASSW wc;
    return g_className != nullptr && GetClassInfoW(ThisModule(), g_className, &wc) != FALSE;
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
        HINSTANCE h = ThisModule();
        Record("init-instance" +
               Flag("own-state", AfxGetModuleState() == AfxGetStaticModuleState()) +
               Flag("instance", m_hInstance == h && AfxGetInstanceHandle() == h &&
                                    AfxGetResourceHandle() == h) +
               Flag("class", ClassRegistered()));
        return GetEnvironmentVariableW(L"KV_TEST_REFUSE_INIT", nullptr, 0) == 0;
    }
    int ExitInstance() override {
        Record("exit-instance" + Flag("class", ClassRegistered()));
        return CWinApp::ExitInstance();
    }
};

CTestModuleApp theApp;

// Ends itself in the way the host asks for, to exercise the modal loop.
class CModuleDialog : public CDialog {
public:
    CModuleDialog(int nMode) : CDialog(100), m_nMode(nMode) {}
    int m_nPreTranslated = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_nMode == 0)
            EndDialog(77);
        else if (m_nMode == 1)
            PostMessage(WM_APP + 1);
        else if (m_nMode == 2)
            PostMessage(WM_APP + 2);
        else // Escape, through the dialog manager
            ::PostMessageW(GetDlgItem(IDOK)->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        ++m_nPreTranslated;
        return CDialog::PreTranslateMessage(pMsg);
    }
    afx_msg LRESULT OnFinish(WPARAM, LPARAM) {
        EndDialog(1234);
        return 0;
    }
    afx_msg LRESULT OnDestroySelf(WPARAM, LPARAM) {
        DestroyWindow(); // without EndDialog
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    int m_nMode;
};

BEGIN_MESSAGE_MAP(CModuleDialog, CDialog)
ON_MESSAGE(WM_APP + 1, OnFinish)
ON_MESSAGE(WM_APP + 2, OnDestroySelf)
END_MESSAGE_MAP()

} // namespace

// Entered from the host: works under the module's own state.
extern "C" __declspec(dllexport) HINSTANCE TestModuleInstance() {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return AfxGetInstanceHandle();
}

// Runs the module's dialog 100 modally; *pPreTranslated counts the messages
// the loop offered to PreTranslateMessage.
extern "C" __declspec(dllexport) INT_PTR RunModuleDialog(int nMode, int* pPreTranslated) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CModuleDialog dlg(nMode);
    INT_PTR result = dlg.DoModal();
    *pPreTranslated = dlg.m_nPreTranslated;
    return result;
}
