// The notification centre as the suite uses it: windows of this process
// subscribe through HubExchange.dll, loaded and freed as the container does,
// and kvhub.exe broadcasts from a process of its own (the README run lists
// with it; the listing's content is read here through the library). Each test
// leaves the table empty: its windows are destroyed, and the centre drops
// what they held (the counts of the next test would show a leftover). That
// a subscription outlives FreeLibrary, as the container's does, the container
// suite's broadcast shows.
#include "companions/HubExchange/HubExchange.h"
#include "tools/common/Process.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

const UINT kMessage = WM_APP + 1;

// The library found by its undecorated export names, freed at scope end.
struct HubLibrary {
    HMODULE module = LoadLibraryW(L"HubExchange.dll");
    template <typename F> F Get(const char* name) {
        FARPROC address = GetProcAddress(module, name);
        EXPECT_NE(address, nullptr) << name;
        return reinterpret_cast<F>(reinterpret_cast<void*>(address));
    }
    using Subscribe = int(__cdecl*)(int, HWND, UINT, int);
    Subscribe reg = Get<Subscribe>("HXRegComNotifyMessage");
    Subscribe unreg = Get<Subscribe>("HXUnRegComNotifyMessage");
    decltype(&HXBroadcastNotify) broadcast = Get<decltype(broadcast)>("HXBroadcastNotify");
    decltype(&HXListNotify) list = Get<decltype(list)>("HXListNotify");
    ~HubLibrary() { FreeLibrary(module); }
};

// A hidden window whose posted messages stay in this thread's queue.
struct SinkWindow {
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, nullptr,
                                nullptr);
    ~SinkWindow() { DestroyWindow(hwnd); }
    std::vector<MSG> Take(UINT message) const {
        std::vector<MSG> taken;
        for (MSG msg; PeekMessageW(&msg, hwnd, message, message, PM_REMOVE);)
            taken.push_back(msg);
        return taken;
    }
};

// kvhub.exe in a process of its own: its output, or its exit code when that is not 0.
std::string Kvhub(const std::vector<std::wstring>& args) {
    const KvProcess::RunResult run = KvProcess::RunTool(L"kvhub.exe", args);
    return run.nExitCode == 0 ? run.strOut : "exit " + std::to_string(run.nExitCode);
}

} // namespace

TEST(Hub, BroadcastFromAnotherProcessReachesEachSubscriberOnceAsItsMessage) {
    HubLibrary hub;
    SinkWindow a, b, other;
    ASSERT_EQ(HX_OK, hub.reg(20, a.hwnd, kMessage, 0));
    ASSERT_EQ(HX_OK, hub.reg(20, b.hwnd, kMessage + 1, 0));
    ASSERT_EQ(HX_OK, hub.reg(21, other.hwnd, kMessage, 0));

    EXPECT_EQ("2\r\n", Kvhub({L"broadcast", L"20"}));
    EXPECT_EQ(1u, a.Take(kMessage).size());
    EXPECT_EQ(1u, b.Take(kMessage + 1).size());
    EXPECT_TRUE(other.Take(kMessage).empty());

    ASSERT_EQ(1, hub.broadcast(21, 7, -9));
    const std::vector<MSG> got = other.Take(kMessage);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wParam, 7u);
    EXPECT_EQ(got[0].lParam, -9);
}

// Unsubscribed and vanished windows are no longer reached; another process's
// windows (the desktop's) and the system's own messages are not a caller's to
// subscribe.
TEST(Hub, OnlyOwnLiveWindowsAndApplicationMessagesAreReached) {
    HubLibrary hub;
    SinkWindow live;
    std::optional<SinkWindow> doomed(std::in_place);
    const HWND gone = doomed->hwnd;
    ASSERT_EQ(HX_OK, hub.reg(20, live.hwnd, kMessage, 0));
    ASSERT_EQ(HX_OK, hub.reg(21, live.hwnd, kMessage, 0));
    ASSERT_EQ(HX_OK, hub.reg(20, gone, kMessage, 0));
    EXPECT_EQ(HX_OK, hub.unreg(21, live.hwnd, kMessage, 0));
    EXPECT_EQ(HX_UNCHANGED, hub.unreg(21, live.hwnd, kMessage, 0));
    doomed.reset();

    EXPECT_EQ(1, hub.broadcast(20, 0, 0));
    EXPECT_EQ(0, hub.broadcast(21, 0, 0));
    EXPECT_EQ(1, hub.list(nullptr, 0));
    EXPECT_EQ(HX_BAD_WINDOW, hub.reg(20, gone, kMessage, 0));
    EXPECT_EQ(HX_BAD_WINDOW, hub.reg(20, nullptr, kMessage, 0));
    EXPECT_EQ(HX_BAD_WINDOW, hub.reg(20, GetDesktopWindow(), WM_USER, 0));
    EXPECT_EQ(HX_BAD_WINDOW, hub.unreg(20, GetDesktopWindow(), WM_USER, 0));
    for (UINT message : {UINT(WM_QUIT), UINT(WM_DESTROY), UINT(WM_USER - 1)})
        EXPECT_EQ(HX_BAD_MESSAGE, hub.reg(22, live.hwnd, message, 0)) << message;
    EXPECT_EQ(HX_OK, hub.reg(22, live.hwnd, WM_USER, 0));
    EXPECT_EQ(2, hub.list(nullptr, 0));
}

TEST(Hub, AFullShareIsReportedWithoutReplacingAnyone) {
    HubLibrary hub;
    SinkWindow w;
    std::optional<SinkWindow> first(std::in_place);
    ASSERT_EQ(HX_OK, hub.reg(1000, first->hwnd, kMessage, 0));
    for (int n = 1; n < HX_PROCESS_SHARE; ++n)
        ASSERT_EQ(HX_OK, hub.reg(1000 + n, w.hwnd, kMessage, 0)) << n;

    EXPECT_EQ(HX_TABLE_FULL, hub.reg(2000, w.hwnd, kMessage, 0));
    EXPECT_EQ(HX_UNCHANGED, hub.reg(1001, w.hwnd, kMessage, 0));
    EXPECT_EQ(1, hub.broadcast(1000, 0, 0));
    EXPECT_EQ(1, hub.broadcast(1000 + HX_PROCESS_SHARE - 1, 0, 0));
    // A vanished subscriber's slot is free again.
    first.reset();
    EXPECT_EQ(HX_OK, hub.reg(2000, w.hwnd, kMessage, 0));
    EXPECT_EQ(HX_TABLE_FULL, hub.reg(2001, w.hwnd, kMessage, 0));
}

// While the listing thread is stopped in a fault on the caller's memory, a
// broadcast from another thread must not find the table locked.
namespace {
void* g_listPage = nullptr;
decltype(&HXBroadcastNotify) g_broadcast = nullptr;
int g_reachedDuringFault = 0;

LONG CALLBACK BroadcastOnListFault(EXCEPTION_POINTERS* pInfo) {
    const EXCEPTION_RECORD& record = *pInfo->ExceptionRecord;
    const auto address = reinterpret_cast<char*>(record.ExceptionInformation[1]);
    const auto page = static_cast<char*>(g_listPage);
    if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || address < page ||
        address >= page + 4096)
        return EXCEPTION_CONTINUE_SEARCH;
    std::thread([] { g_reachedDuringFault = g_broadcast(20, 0, 0); }).join();
    DWORD old = 0;
    VirtualProtect(g_listPage, 4096, PAGE_READWRITE, &old);
    return EXCEPTION_CONTINUE_EXECUTION;
}
} // namespace

TEST(Hub, ACallerFaultingOnItsListStopsNoOne) {
    HubLibrary hub;
    SinkWindow w;
    ASSERT_EQ(HX_OK, hub.reg(20, w.hwnd, kMessage, 0));
    g_listPage = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READONLY);
    g_broadcast = hub.broadcast;
    PVOID handler = AddVectoredExceptionHandler(1, BroadcastOnListFault);
    EXPECT_EQ(1, hub.list(static_cast<HXSubscription*>(g_listPage), 1));
    RemoveVectoredExceptionHandler(handler);
    EXPECT_EQ(1, g_reachedDuringFault);
    EXPECT_EQ(w.hwnd, static_cast<HXSubscription*>(g_listPage)->hWnd);
    VirtualFree(g_listPage, 0, MEM_RELEASE);
}

// One refusal per verb (the broadcast test walks broadcast's main path, the
// README run list's).
TEST(Kvhub, RefusesAWrongUsageOfEitherVerbAndSaysWhenTheTableIsBusy) {
    for (const wchar_t* verb : {L"broadcast", L"list"})
        EXPECT_EQ("exit 64", Kvhub({verb, L"x"})) << verb;
    // The table's lock held here, as a process stopped inside the centre would.
    HubLibrary hub;
    EXPECT_EQ(0, hub.list(nullptr, 0)); // the lock exists
    HANDLE lock = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Kelvane.HubExchange.Lock.1");
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(lock, 0));
    const KvProcess::RunResult busy = KvProcess::RunTool(L"kvhub.exe", {L"broadcast", L"20"});
    ReleaseMutex(lock);
    CloseHandle(lock);
    EXPECT_EQ(2u, busy.nExitCode);
    EXPECT_NE(std::string::npos, busy.strErr.find("is busy")) << busy.strErr;
}
