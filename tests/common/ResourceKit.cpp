#include "tests/common/ResourceKit.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace ResourceKit {

namespace {

// Wine's GDI handle table: 64K entries of 24 bytes in both flavours, with the
// object type in byte 14, 0 when free.
constexpr int kGdiEntries = 0x10000;
constexpr size_t kGdiEntrySize = 24;
constexpr size_t kGdiTypeByte = 14;
// GdiSharedHandleTable in the 64-bit PEB, which the 64-bit TEB points to.
constexpr size_t kPeb64GdiTable = 0xF8;
constexpr size_t kTeb64Peb = 0x60;
// WowTebOffset in the 32-bit TEB: where the 64-bit TEB lies from it.
constexpr size_t kTeb32WowTebOffset = 0xFDC;

// The table as the 64-bit PEB holds it. A 32-bit process's own PEB has no
// table under Wine (its slot stays null); Wine keeps it in the 64-bit PEB
// that every 32-bit process also has, as WoW64 does, below a pointer-sized
// slot that a 32-bit process reads as its low half.
// GCC 12 takes the segment read inside NtCurrentTeb for an access to an empty
// array (a false -Warray-bounds), so the TEB is read in this one place.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const BYTE* CurrentTeb() {
    return reinterpret_cast<const BYTE*>(NtCurrentTeb());
}
#pragma GCC diagnostic pop

const BYTE* GdiHandleTable() {
    const BYTE* pTeb64 = CurrentTeb();
    if (sizeof(void*) == 4) {
        const LONG nOffset = *reinterpret_cast<const LONG*>(pTeb64 + kTeb32WowTebOffset);
        if (nOffset == 0)
            return nullptr;
        pTeb64 += nOffset;
    }
    const ULONG_PTR nPeb64 =
        static_cast<ULONG_PTR>(*reinterpret_cast<const ULONGLONG*>(pTeb64 + kTeb64Peb));
    if (nPeb64 == 0)
        return nullptr;
    const ULONGLONG nTable =
        *reinterpret_cast<const ULONGLONG*>(reinterpret_cast<const BYTE*>(nPeb64) + kPeb64GdiTable);
    return reinterpret_cast<const BYTE*>(static_cast<ULONG_PTR>(nTable));
}

} // namespace

long long GdiObjects() {
    if (DWORD nCount = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return nCount;
    const BYTE* pTable = GdiHandleTable();
    long long nCount = 0;
    for (int i = 0; pTable && i < kGdiEntries; ++i)
        nCount += pTable[i * kGdiEntrySize + kGdiTypeByte] != 0;
    return nCount;
}

static BOOL CALLBACK CountWindow(HWND hWnd, LPARAM lParam) {
    DWORD nProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &nProcess);
    if (nProcess == ::GetCurrentProcessId()) {
        ++*reinterpret_cast<long long*>(lParam);
        ::EnumChildWindows(hWnd, CountWindow, lParam);
    }
    return TRUE;
}

long long UserObjects() {
    if (DWORD nCount = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS))
        return nCount;
    long long nCount = 0;
    ::EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&nCount));
    return nCount;
}

long long PrivateBytes() {
    PROCESS_MEMORY_COUNTERS memory = {};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
    return static_cast<long long>(memory.PagefileUsage);
}

Usage Measure() {
    return Usage{GdiObjects(), UserObjects(), PrivateBytes()};
}

Growth MeasureCycles(int nWarmUp, int nCycles, const std::function<void(int)>& cycle) {
    for (int i = 0; i < nWarmUp; ++i)
        cycle(i);
    Growth growth;
    growth.before = Measure();
    for (int i = nWarmUp; i < nWarmUp + nCycles; ++i)
        cycle(i);
    growth.after = Measure();
    return growth;
}

bool Growth::Within(long long nObjects, long long nBytes) const {
    return after.nGdi - before.nGdi <= nObjects && after.nUser - before.nUser <= nObjects &&
           after.nBytes - before.nBytes <= nBytes;
}

std::string Growth::Describe() const {
    char text[200];
    std::snprintf(text, sizeof(text),
                  "GDI objects %lld -> %lld, USER objects %lld -> %lld, private bytes %lld -> %lld",
                  before.nGdi, after.nGdi, before.nUser, after.nUser, before.nBytes, after.nBytes);
    return text;
}

} // namespace ResourceKit
