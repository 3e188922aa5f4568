// Kelvane.dll as a host loads it: its start as a regular DLL and the paths it
// derives from its own file. (The build checks that the XML calls are
// exported undecorated.)
#include "res/resource.h"
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

#include "tests/common/ImageKit.h"

namespace {

template <typename Function> Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

// Started as a regular DLL: its application object registered with the
// library's own module state, not the program's, and after its start the
// library's resources joined the program's resource chain.
TEST(KelvaneModule, StartsInItsOwnModuleStateAndJoinsTheResourceChain) {
    HMODULE module = GetModuleHandleW(L"Kelvane.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(AfxGetApp(), nullptr); // this program has no application object
    bool bLinked = false;
    for (CDynLinkLibrary* pLink = AfxGetAppModuleState()->m_pFirstLibrary; pLink != nullptr;
         pLink = pLink->m_pNextDLL)
        bLinked = bLinked || pLink->m_hModule == module;
    EXPECT_TRUE(bLinked);
    EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEW(IDD_CONTAINER), RT_DIALOG), module);
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
