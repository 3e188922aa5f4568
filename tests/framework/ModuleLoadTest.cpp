#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> g_events;
}

// Called by KvAfxTestModule.dll to report the steps of its start and end.
extern "C" __declspec(dllexport) void KvRecordLoadEvent(const char* event) {
    g_events.push_back(event);
}

namespace {

class ModuleLoad : public testing::Test {
protected:
    void SetUp() override {
        g_events.clear();
        SetEnvironmentVariableW(L"KV_TEST_REFUSE_INIT", nullptr);
    }
    void TearDown() override { SetEnvironmentVariableW(L"KV_TEST_REFUSE_INIT", nullptr); }
};

} // namespace

TEST_F(ModuleLoad, StartsAfterStaticConstructionAndEndsBeforeStaticDestruction) {
    AFX_MODULE_STATE* before = AfxGetModuleState();
    HMODULE h = LoadLibraryW(L"KvAfxTestModule.dll");
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(before, AfxGetModuleState()); // the loader's state is back
    EXPECT_EQ(AfxGetAppModuleState(), AfxGetModuleState());

    typedef HINSTANCE (*InstanceFn)();
    auto instance = reinterpret_cast<InstanceFn>(
        reinterpret_cast<void*>(GetProcAddress(h, "TestModuleInstance")));
    ASSERT_NE(nullptr, instance);
    EXPECT_EQ(h, instance());
    EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetInstanceHandle());

    ASSERT_TRUE(FreeLibrary(h));
    std::vector<std::string> expected = {
        "static-construct",
        "app-construct own-state=yes registered=yes",
        "init-instance own-state=yes instance=yes class=yes",
        "exit-instance class=yes",
        "app-destruct class=no",
        "static-destruct class=no",
    };
    EXPECT_EQ(expected, g_events);
}

TEST_F(ModuleLoad, RefusedInitInstanceMakesTheLoadFail) {
    SetEnvironmentVariableW(L"KV_TEST_REFUSE_INIT", L"1");
    HMODULE h = LoadLibraryW(L"KvAfxTestModule.dll");
    EXPECT_EQ(nullptr, h);
    if (h != nullptr)
        FreeLibrary(h);
    std::vector<std::string> expected = {
        "static-construct",
        "app-construct own-state=yes registered=yes",
        "init-instance own-state=yes instance=yes class=yes",
        "exit-instance class=yes",
        "app-destruct class=no",
        "static-destruct class=no",
    };
    EXPECT_EQ(expected, g_events);
    EXPECT_EQ(AfxGetAppModuleState(), AfxGetModuleState());
}

TEST(ModuleState, RestoredOnEveryWayOutOfAScope) {
    static AFX_MODULE_STATE other;
    AFX_MODULE_STATE* outer = AfxGetModuleState();
    auto leaveEarly = [&](bool early) -> int {
        AFX_MANAGE_STATE(&other);
        if (early)
            return AfxGetModuleState() == &other ? 1 : -1;
        {
            AFX_MANAGE_STATE(outer);
            if (AfxGetModuleState() != outer)
                return -2;
        }
        return AfxGetModuleState() == &other ? 2 : -3;
    };
    EXPECT_EQ(1, leaveEarly(true));
    EXPECT_EQ(outer, AfxGetModuleState());
    EXPECT_EQ(2, leaveEarly(false));
    EXPECT_EQ(outer, AfxGetModuleState());
}

TEST(ModuleState, ResourceChainFindsResourcesOfEnteredModules) {
    AFX_MODULE_STATE state;
    state.m_hCurrentResourceHandle = GetModuleHandleW(nullptr);
    AFX_MANAGE_STATE(&state);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    // user32 carries string and dialog resources of its own; the test program carries none.
    LPCWSTR name = MAKEINTRESOURCEW(1);
    bool inUser32 = FindResourceW(user32, name, RT_GROUP_ICON) != nullptr;
    AFX_EXTENSION_MODULE ext = {};
    AfxInitExtensionModule(ext, user32);
    new CDynLinkLibrary(ext);
    if (inUser32) {
        EXPECT_EQ(user32, AfxFindResourceHandle(name, RT_GROUP_ICON));
    }
    EXPECT_EQ(GetModuleHandleW(nullptr), AfxFindResourceHandle(MAKEINTRESOURCEW(4242), RT_DIALOG));
    AfxTermExtensionModule(ext, TRUE);
    EXPECT_EQ(nullptr, state.m_pFirstLibrary);
}
