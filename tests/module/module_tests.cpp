// Kelvane.dll as a host loads it: its exports, its application object and
// the paths it derives from its own file.
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using PathFunction = CString (*)();
using ModuleDirectoryFunction = CString (*)(HMODULE);

template <typename Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

CString ExeDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString dir(path);
    return dir.Left(dir.ReverseFind(L'\\') + 1);
}

// A copy of the DLL in a folder of its own, so that its paths can only come
// from where the DLL really is.
class DllCopy {
public:
    explicit DllCopy(const wchar_t* folderName) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_root = CString(temp) + folderName + L"\\";
        m_dir = m_root + L"B\\";
        CreateDirectoryW(m_root, nullptr);
        CreateDirectoryW(m_dir, nullptr);
        CopyFileW(ExeDirectory() + L"Kelvane.dll", m_dir + L"Kelvane.dll", FALSE);
    }
    ~DllCopy() {
        DeleteFileW(m_dir + L"Kelvane.dll");
        RemoveDirectoryW(m_dir);
        RemoveDirectoryW(m_root);
    }
    CString Directory() const { return m_dir; }
    CString Path() const { return m_dir + L"Kelvane.dll"; }

private:
    CString m_root;
    CString m_dir;
};

} // namespace

TEST(KelvaneModule, ExportsTheXmlStartAndStopUndecorated) {
    HMODULE module = LoadLibraryW(L"Kelvane.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "InitXml4c"), nullptr);
    EXPECT_NE(GetProcAddress(module, "UninitXml4c"), nullptr);
    FreeLibrary(module);
}

TEST(KelvaneModule, PathsComeFromTheDllsOwnFolder) {
    DllCopy copy(L"kv_module_A");
    HMODULE module = LoadLibraryW(copy.Path());
    ASSERT_NE(module, nullptr) << GetLastError();
    // The copy's own functions, found by their exported (mangled) names.
    auto config = Export<PathFunction>(module, "_Z18GetConfigDirectoryv");
    auto log = Export<PathFunction>(module, "_Z14GetLogFilePathv");
    auto moduleDir =
        Export<ModuleDirectoryFunction>(module, "_Z18GetModuleDirectoryP11HINSTANCE__");
    ASSERT_TRUE(config && log && moduleDir);

    EXPECT_EQ(moduleDir(module), copy.Directory());
    EXPECT_EQ(config(), copy.Directory() + L"common\\config\\Kelvane\\");
    EXPECT_EQ(log(), copy.Directory() + L"common\\config\\Kelvane\\Kelvane.log");
    // A null handle names the host executable, not the library.
    EXPECT_EQ(moduleDir(nullptr), ExeDirectory());
    EXPECT_NE(ExeDirectory(), copy.Directory());
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(KelvaneModule, LinkedModuleAgreesWithItsFile) {
    HMODULE module = GetModuleHandleW(L"Kelvane.dll");
    ASSERT_NE(module, nullptr);
    CString dir = GetModuleDirectory(module);
    EXPECT_EQ(dir, ExeDirectory());
    EXPECT_EQ(dir.Right(1), CString(L"\\"));
    EXPECT_EQ(GetLogFilePath(), GetConfigDirectory() + L"Kelvane.log");
}

extern CKelvaneApp theApp;

TEST(KelvaneModule, ApplicationObjectIsStartedWithTheLibrarysHandle) {
    HMODULE module = GetModuleHandleW(L"Kelvane.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(theApp.IsKindOf(RUNTIME_CLASS(CWinApp)));
    EXPECT_EQ(theApp.m_hInstance, module);
    // Registered with the library's own module state, not the program's.
    auto moduleState = Export<AFX_MODULE_STATE* (*)()>(module, "_Z23AfxGetStaticModuleStatev");
    ASSERT_NE(moduleState, nullptr);
    EXPECT_EQ(moduleState()->m_pCurrentWinApp, &theApp);
    EXPECT_EQ(moduleState()->m_hCurrentInstanceHandle, module);
    EXPECT_NE(AfxGetModuleState(), moduleState());
}
