// Kelvane.dll as a host loads it: its exports, its application object and
// the paths it derives from its own file.
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

namespace {

template <typename Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

CString ExeDirectory() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString dir(path);
    return dir.Left(dir.ReverseFind(L'\\') + 1);
}

} // namespace

extern CKelvaneApp theApp;

TEST(KelvaneModule, StartsWithTheLibrarysHandleAndExportsTheXmlCallsUndecorated) {
    HMODULE module = GetModuleHandleW(L"Kelvane.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "InitXml4c"), nullptr);
    EXPECT_NE(GetProcAddress(module, "UninitXml4c"), nullptr);
    EXPECT_EQ(theApp.m_hInstance, module);
    // Registered with the library's own module state, not the program's.
    auto moduleState = Export<AFX_MODULE_STATE* (*)()>(module, "_Z23AfxGetStaticModuleStatev");
    ASSERT_NE(moduleState, nullptr);
    EXPECT_EQ(moduleState()->m_pCurrentWinApp, &theApp);
    EXPECT_NE(AfxGetModuleState(), moduleState());
}

TEST(KelvaneModule, PathsComeFromTheDllsOwnFolder) {
    // A copy in a folder of its own, so that its paths can only come from there.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const CString dir = CString(temp) + L"kv_module_copy\\";
    CreateDirectoryW(dir, nullptr);
    ASSERT_TRUE(CopyFileW(ExeDirectory() + L"Kelvane.dll", dir + L"Kelvane.dll", FALSE));
    HMODULE module = LoadLibraryW(dir + L"Kelvane.dll");
    ASSERT_NE(module, nullptr) << GetLastError();
    auto log = Export<CString (*)()>(module, "_Z14GetLogFilePathv");
    auto moduleDir = Export<CString (*)(HMODULE)>(module, "_Z18GetModuleDirectoryP11HINSTANCE__");
    ASSERT_TRUE(log && moduleDir);
    EXPECT_EQ(moduleDir(module), dir);
    EXPECT_EQ(log(), dir + L"common\\config\\Kelvane\\Kelvane.log");
    EXPECT_EQ(moduleDir(nullptr), ExeDirectory()); // a null handle names the host program
    EXPECT_TRUE(FreeLibrary(module));
    DeleteFileW(dir + L"Kelvane.dll");
    RemoveDirectoryW(dir);
}
