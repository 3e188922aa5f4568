#include "runtime/ModuleApp.h"

#include "xml/XmlDocument.h"

// The image base is this module's own instance handle, valid from the first
// static constructor on, before the framework has stored it anywhere.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// The module's application object: private to the module, which starts
// Xerces-C++ with it and stops it with it.
class CKelvaneApp : public CWinApp {
public:
    CKelvaneApp();
    ~CKelvaneApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKelvaneApp, CWinApp)
END_MESSAGE_MAP()

CKelvaneApp::CKelvaneApp() : CWinApp(nullptr) {
    InitXml4c();
}

CKelvaneApp::~CKelvaneApp() {
    UninitXml4c();
}

BOOL CKelvaneApp::InitInstance() {
    CWinApp::InitInstance();
    AfxEnableControlContainer();
    return TRUE;
}

CKelvaneApp theApp;

} // namespace

CString GetModuleDirectory(HMODULE hModule) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(hModule, path, MAX_PATH);
    CString directory(path, static_cast<int>(length));
    int slash = directory.ReverseFind(L'\\');
    return directory.Left(slash + 1);
}

CString GetLibraryDirectory() {
    return GetModuleDirectory(reinterpret_cast<HMODULE>(&__ImageBase));
}

CString GetConfigDirectory() {
    return GetLibraryDirectory() + L"common\\config\\" KELVANE_CONFIG_FOLDER L"\\";
}

CString GetLogFilePath() {
    return GetConfigDirectory() + L"Kelvane.log";
}
