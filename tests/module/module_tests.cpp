// Kelvane.dll as a host loads it: its application object and the paths it
// derives from its own file. (The build checks that the XML calls are
// exported undecorated.)
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

#include "tests/common/ImageKit.h"

namespace {

template <typename Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

extern CKelvaneApp theApp;

// Registered with the library's own module state, not the program's.
TEST(KelvaneModule, StartsWithTheLibrarysHandleAndModuleState) {
    HMODULE module = GetModuleHandleW(L"Kelvane.dll");
    EXPECT_EQ(theApp.m_hInstance, module);
    auto moduleState = Export<AFX_MODULE_STATE* (*)()>(module, "_Z23AfxGetStaticModuleStatev");
    ASSERT_NE(moduleState, nullptr);
    EXPECT_EQ(moduleState()->m_pCurrentWinApp, &theApp);
    EXPECT_NE(AfxGetModuleState(), moduleState());
}

// A copy in a folder of its own, so that its paths can only come from there.
TEST(KelvaneModule, PathsComeFromTheDllsOwnFolder) {
    ImageKit::TempFolder folder(L"kv_module");
    const CString dir = folder.Path().c_str();
    ASSERT_TRUE(CopyFileW(GetModuleDirectory(nullptr) + L"Kelvane.dll", dir + L"Kelvane.dll", 0));
    HMODULE module = LoadLibraryW(dir + L"Kelvane.dll");
    ASSERT_NE(module, nullptr) << GetLastError();
    auto log = Export<CString (*)()>(module, "_Z14GetLogFilePathv");
    auto moduleDir = Export<CString (*)(HMODULE)>(module, "_Z18GetModuleDirectoryP11HINSTANCE__");
    ASSERT_TRUE(log && moduleDir);
    EXPECT_EQ(moduleDir(module), dir);
    EXPECT_EQ(log(), dir + L"common\\config\\Kelvane\\Kelvane.log");
    EXPECT_EQ(moduleDir(nullptr), GetModuleDirectory(nullptr)); // the host program
    EXPECT_TRUE(FreeLibrary(module));
}
