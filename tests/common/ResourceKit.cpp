#include "tests/common/ResourceKit.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdio>

namespace ResourceKit {

constexpr size_t kGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;

long long GdiObjects() {
    if (DWORD nCount = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return nCount;
    // Wine's table, which the PEB points to (GdiSharedHandleTable, whose
    // offset differs between the 32- and 64-bit PEB): 64K entries of 24 bytes
    // in both flavours, with the object type in byte 14, 0 when free.
    PROCESS_BASIC_INFORMATION info = {};
    ::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info),
                                nullptr);
    const BYTE* pPeb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    const BYTE* pTable =
        pPeb ? *reinterpret_cast<const BYTE* const*>(pPeb + kGdiTableOffset) : nullptr;
    long long nCount = 0;
    for (int i = 0; pTable && i < 0x10000; ++i)
        nCount += pTable[i * 24 + 14] != 0;
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
