#include "runtime/LogLine.h"

#include <stdio.h>
#include <wchar.h>

namespace {

bool IsHighSurrogate(wchar_t ch) {
    return ch >= 0xD800 && ch <= 0xDBFF;
}

} // namespace

size_t BoundedLogLength(const wchar_t* pszText, size_t nLimit) {
    size_t length = 0;
    while (length < nLimit && pszText[length] != L'\0')
        ++length;
    return length;
}

size_t KeptLogLength(const wchar_t* pszText, size_t nLimit) {
    size_t length = BoundedLogLength(pszText, nLimit);
    bool cut = length == nLimit && pszText[length] != L'\0';
    if (cut && length > 0 && IsHighSurrogate(pszText[length - 1]))
        --length;
    return length;
}

void FormatLogTimeStamp(const SYSTEMTIME& time, wchar_t* pszStamp, size_t nCapacity) {
    if (nCapacity == 0)
        return;
    _snwprintf(pszStamp, nCapacity - 1, L"%04d-%02d-%02d %02d-%02d-%02d", time.wYear, time.wMonth,
               time.wDay, time.wHour, time.wMinute, time.wSecond);
    pszStamp[nCapacity - 1] = L'\0';
}

size_t ComposeLogLine(const wchar_t* pszStamp, const wchar_t* pszTag, const wchar_t* pszMessage,
                      wchar_t* pszLine, size_t nCapacity) {
    if (nCapacity == 0)
        return 0;
    const size_t limit = nCapacity - 1;
    _snwprintf(pszLine, limit, L"[%s %s ] | ", pszStamp, pszTag);
    pszLine[limit] = L'\0';
    size_t length = wcslen(pszLine);

    size_t keep = KeptLogLength(pszMessage, limit - length);
    // A cut message must leave room for the line feed.
    if (keep > 0 && length + keep == limit && pszMessage[keep - 1] != L'\n')
        keep = KeptLogLength(pszMessage, keep - 1);
    wmemcpy(pszLine + length, pszMessage, keep);
    length += keep;

    if (length == 0 || pszLine[length - 1] != L'\n') {
        if (length < limit)
            ++length;
        if (length > 0)
            pszLine[length - 1] = L'\n';
    }
    pszLine[length] = L'\0';
    return length;
}

void FormatLogMutexName(const BY_HANDLE_FILE_INFORMATION& file, wchar_t* pszName,
                        size_t nCapacity) {
    if (nCapacity == 0)
        return;
    _snwprintf(pszName, nCapacity - 1, L"KelvaneLogFile-%08lx-%08lx%08lx",
               file.dwVolumeSerialNumber, file.nFileIndexHigh, file.nFileIndexLow);
    pszName[nCapacity - 1] = L'\0';
}
