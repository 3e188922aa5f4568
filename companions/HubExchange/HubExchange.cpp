// The notification centre's table lives in a named file mapping of the
// session, guarded by a named mutex, so every process of the suite sees the
// same subscriptions whether it is a 32-bit or a 64-bit one.
#include "companions/HubExchange/HubExchange.h"

#include <cstdint>

namespace {

const wchar_t kTableName[] = L"Local\\Kelvane.HubExchange.Table.1";
const wchar_t kLockName[] = L"Local\\Kelvane.HubExchange.Lock.1";
const DWORD kLockTimeoutMs = 5000;

// Fixed-width fields only, so both flavours lay the table out alike. Window
// handles are significant in 32 bits on 64-bit Windows for this very kind
// of sharing.
struct Entry {
    int32_t notify;
    uint32_t window;
    uint32_t message;
    uint32_t processId;
};

struct Table {
    uint32_t count;
    uint32_t reserved[3];
    Entry entries[HX_CAPACITY];
};
static_assert(sizeof(Table) == 4096, "the table fills one page");

uint32_t ToStored(HWND window) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
}

// Sign-extended, as Windows widens a 32-bit window handle.
HWND FromStored(uint32_t window) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(window)));
}

// A window handle can be reused once its window is gone; the owning
// process tells the reused one apart.
bool IsLive(const Entry& entry) {
    DWORD processId = 0;
    return GetWindowThreadProcessId(FromStored(entry.window), &processId) != 0 &&
           processId == entry.processId;
}

bool Matches(const Entry& entry, int notify, HWND window, UINT message) {
    return entry.notify == notify && entry.window == ToStored(window) && entry.message == message;
}

int Find(const Table& table, int notify, HWND window, UINT message) {
    for (uint32_t i = 0; i < table.count; ++i) {
        if (Matches(table.entries[i], notify, window, message))
            return static_cast<int>(i);
    }
    return -1;
}

// Keeps the order of the others, so listings show the oldest first.
void RemoveAt(Table& table, uint32_t index) {
    for (uint32_t i = index + 1; i < table.count; ++i)
        table.entries[i - 1] = table.entries[i];
    --table.count;
}

void DropGoneWindows(Table& table) {
    uint32_t i = 0;
    while (i < table.count) {
        if (IsLive(table.entries[i]))
            ++i;
        else
            RemoveAt(table, i);
    }
}

class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~UniqueHandle() {
        if (m_handle != nullptr)
            CloseHandle(m_handle);
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// This process's view of the table: opened on first use and kept until the
// library is unloaded.
class SharedTable {
public:
    SharedTable()
        : m_lock(CreateMutexW(nullptr, FALSE, kLockName)),
          m_mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       sizeof(Table), kTableName)) {
        if (m_mapping.Get() != nullptr)
            m_table = static_cast<Table*>(
                MapViewOfFile(m_mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(Table)));
    }
    ~SharedTable() {
        if (m_table != nullptr)
            UnmapViewOfFile(m_table);
    }
    SharedTable(const SharedTable&) = delete;
    SharedTable& operator=(const SharedTable&) = delete;

    // Runs `work` on the table under the lock, after the subscriptions of
    // vanished windows were dropped. Returns its result or a HubResult.
    template <typename Work> int Locked(Work work) {
        if (m_table == nullptr || m_lock.Get() == nullptr)
            return HX_UNAVAILABLE;
        const DWORD waited = WaitForSingleObject(m_lock.Get(), kLockTimeoutMs);
        if (waited == WAIT_TIMEOUT)
            return HX_BUSY;
        // An abandoned lock is ours now; its owner died between two whole
        // updates at worst, and the count is checked below anyway.
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
            return HX_UNAVAILABLE;
        // Another process may have written anything here.
        if (m_table->count > HX_CAPACITY)
            m_table->count = HX_CAPACITY;
        DropGoneWindows(*m_table);
        const int result = work(*m_table);
        ReleaseMutex(m_lock.Get());
        return result;
    }

private:
    UniqueHandle m_lock;
    UniqueHandle m_mapping;
    Table* m_table = nullptr;
};

SharedTable& TheTable() {
    static SharedTable table;
    return table;
}

// A named mapping lives only while some process holds it, and callers free
// this library right after subscribing. Pinning keeps the library, and with
// it this process's hold on the table, until the process ends: its windows
// end no later, so no subscription can outlive the hold that keeps it.
bool PinThisLibrary() {
    HMODULE self = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_PIN,
                              reinterpret_cast<LPCWSTR>(&PinThisLibrary), &self) != FALSE;
}

uint32_t HeldBy(const Table& table, DWORD processId) {
    uint32_t held = 0;
    for (uint32_t i = 0; i < table.count; ++i)
        held += table.entries[i].processId == processId ? 1 : 0;
    return held;
}

int Subscribe(Table& table, int notify, HWND window, UINT message, DWORD processId) {
    if (Find(table, notify, window, message) >= 0)
        return HX_UNCHANGED;
    if (table.count >= HX_CAPACITY || HeldBy(table, processId) >= HX_PROCESS_SHARE)
        return HX_TABLE_FULL;
    table.entries[table.count++] = {notify, ToStored(window), message, processId};
    return HX_OK;
}

// Another process's window, or a system one, is not the caller's to steer.
bool IsOwnWindow(HWND window) {
    DWORD processId = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &processId) != 0 &&
           processId == GetCurrentProcessId();
}

bool IsOtherProcessWindow(HWND window) {
    DWORD processId = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &processId) != 0 &&
           processId != GetCurrentProcessId();
}

} // namespace

extern "C" int __cdecl HXRegComNotifyMessage(int nNotify, HWND hWnd, UINT nMessage,
                                             int /*nReserved*/) {
    if (!IsOwnWindow(hWnd))
        return HX_BAD_WINDOW;
    // Below WM_USER the system gives each message its meaning (WM_QUIT, WM_DESTROY).
    if (nMessage < WM_USER)
        return HX_BAD_MESSAGE;
    const DWORD processId = GetCurrentProcessId();
    if (!PinThisLibrary())
        return HX_UNAVAILABLE;
    return TheTable().Locked(
        [&](Table& table) { return Subscribe(table, nNotify, hWnd, nMessage, processId); });
}

extern "C" int __cdecl HXUnRegComNotifyMessage(int nNotify, HWND hWnd, UINT nMessage,
                                               int /*nReserved*/) {
    if (IsOtherProcessWindow(hWnd))
        return HX_BAD_WINDOW;
    return TheTable().Locked([&](Table& table) {
        const int index = Find(table, nNotify, hWnd, nMessage);
        if (index < 0)
            return static_cast<int>(HX_UNCHANGED);
        RemoveAt(table, static_cast<uint32_t>(index));
        return static_cast<int>(HX_OK);
    });
}

extern "C" int __cdecl HXBroadcastNotify(int nNotify, WPARAM wParam, LPARAM lParam) {
    return TheTable().Locked([&](Table& table) {
        int reached = 0;
        for (uint32_t i = 0; i < table.count; ++i) {
            const Entry& entry = table.entries[i];
            if (entry.notify == nNotify &&
                PostMessageW(FromStored(entry.window), entry.message, wParam, lParam))
                ++reached;
        }
        return reached;
    });
}

extern "C" int __cdecl HXListNotify(HXSubscription* pEntries, int nCapacity) {
    // Copied out under the lock and handed over after it: a caller that
    // stops or faults in its own memory must not hold every process up.
    Entry copy[HX_CAPACITY];
    const int count = TheTable().Locked([&](Table& table) {
        for (uint32_t i = 0; i < table.count; ++i)
            copy[i] = table.entries[i];
        return static_cast<int>(table.count);
    });
    const int room = pEntries != nullptr ? nCapacity : 0;
    for (int i = 0; i < count && i < room; ++i)
        pEntries[i] = {copy[i].notify, FromStored(copy[i].window), copy[i].message,
                       copy[i].processId};
    return count;
}
