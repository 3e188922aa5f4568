#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;

// Whether the module starts or refuses, every step runs under its own state,
// and its classes go before its static objects.
const std::vector<std::string> kLifeEvents = {
    "static-construct",
    "app-construct own-state=yes registered=yes",
    "init-instance own-state=yes instance=yes class=yes",
    "exit-instance class=yes",
    "app-destruct class=no",
    "static-destruct class=no",
};

} // namespace

// Called by KvAfxTestModule.dll to report the steps of its start and end.
extern "C" __declspec(dllexport) void KvRecordLoadEvent(const char* event) {
    g_events.push_back(event);
}

TEST(ModuleLoad, RunsItsStepsInOrderWhetherItStartsOrRefuses) {
    typedef HINSTANCE (*InstanceFn)();
    for (bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "refused" : "started");
        g_events.clear();
        SetEnvironmentVariableW(L"KV_TEST_REFUSE_INIT", refuse ? L"1" : nullptr);
        HMODULE h = LoadLibraryW(L"KvAfxTestModule.dll");
        EXPECT_EQ(AfxGetAppModuleState(), AfxGetModuleState()); // the loader's state is back
        EXPECT_EQ(refuse, h == nullptr);
        if (h != nullptr) {
            auto instance = reinterpret_cast<InstanceFn>(
                reinterpret_cast<void*>(GetProcAddress(h, "TestModuleInstance")));
            ASSERT_NE(nullptr, instance);
            EXPECT_EQ(h, instance()); // entered under the module's state
            EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetInstanceHandle());
            EXPECT_TRUE(FreeLibrary(h));
        }
        EXPECT_EQ(kLifeEvents, g_events);
    }
    SetEnvironmentVariableW(L"KV_TEST_REFUSE_INIT", nullptr);
}
