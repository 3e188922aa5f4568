// Lines per second of WriteLog (one open and close per line) against
// formatting the same lines and writing them with fputws to a file that stays
// open, both measured in this run. Usage: log_bench [lines]
#include "runtime/Log.h"
#include "runtime/LogLine.h"

#include <stdio.h>
#include <stdlib.h>
#include <string>

namespace {

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

bool CreateEmptyFile(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"w");
    if (file == nullptr)
        return false;
    fclose(file);
    return true;
}

double TimeWriteLog(const std::wstring& path, int lines) {
    InitLog(L"Kelvane", path.c_str());
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < lines; ++i)
        WriteLog(L"Enter RecvResponse %d of %s", i, L"bench");
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double TimeOpenFile(const std::wstring& path, int lines) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    FILE* file = _wfopen(path.c_str(), L"a+");
    if (file == nullptr)
        return -1;
    SYSTEMTIME now;
    wchar_t stamp[20], message[kLogLineCapacity], line[kLogLineCapacity];
    for (int i = 0; i < lines; ++i) {
        _snwprintf(message, kLogLineCapacity - 1, L"Enter RecvResponse %d of %s", i, L"bench");
        message[kLogLineCapacity - 1] = L'\0';
        GetLocalTime(&now);
        FormatLogTimeStamp(now, stamp, 20);
        ComposeLogLine(stamp, L"Kelvane", message, line, kLogLineCapacity);
        fputws(line, file);
    }
    fclose(file);
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

} // namespace

int main(int argc, char** argv) {
    int lines = argc > 1 ? atoi(argv[1]) : 5000;
    if (lines <= 0)
        lines = 5000;
    wchar_t temp[MAX_PATH];
    if (GetTempPathW(MAX_PATH, temp) == 0)
        return 1;
    std::wstring pid = std::to_wstring(GetCurrentProcessId());
    std::wstring logPath = std::wstring(temp) + L"kv_bench_log_" + pid + L".log";
    std::wstring openPath = std::wstring(temp) + L"kv_bench_open_" + pid + L".log";
    if (!CreateEmptyFile(logPath) || !CreateEmptyFile(openPath))
        return 1;

    double logSeconds = TimeWriteLog(logPath, lines);
    double openSeconds = TimeOpenFile(openPath, lines);
    _wremove(logPath.c_str());
    _wremove(openPath.c_str());
    if (openSeconds <= 0 || logSeconds <= 0)
        return 1;

    double logRate = lines / logSeconds;
    double openRate = lines / openSeconds;
    printf("WriteLog:               %8.0f lines/s (%d lines)\n", logRate, lines);
    printf("fputws, file kept open: %8.0f lines/s (%d lines)\n", openRate, lines);
    printf("ratio open-file / WriteLog: %.1f\n", openRate / logRate);
    return 0;
}
