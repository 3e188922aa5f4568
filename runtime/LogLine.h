// The log's pure parts: the time stamp, the finished line, the cut that never
// splits a surrogate pair, and the name of the lock that writers of one file
// share. The module's own, not exported: tests and
// benchmarks compile runtime/LogLine.cpp in.
#pragma once

#include "runtime/Log.h"

// Characters of pszText before its terminator, at most nLimit.
size_t BoundedLogLength(const wchar_t* pszText, size_t nLimit);

// How many characters of the text to keep when at most nLimit fit: a cut never
// leaves the first half of a surrogate pair behind.
size_t KeptLogLength(const wchar_t* pszText, size_t nLimit);

// "yyyy-mm-dd hh-mm-ss" into a buffer of at least 20 characters.
void FormatLogTimeStamp(const SYSTEMTIME& time, wchar_t* pszStamp, size_t nCapacity);

// Builds the finished line from its parts into pszLine (nCapacity characters,
// terminator included) and returns its length. A message that does not fit is
// cut, never inside a surrogate pair, so that the line feed still fits.
size_t ComposeLogLine(const wchar_t* pszStamp, const wchar_t* pszTag, const wchar_t* pszMessage,
                      wchar_t* pszLine, size_t nCapacity);

// How long a line waits for another writer that holds the file's lock.
constexpr DWORD kLogLockWaitMs = 2000;

// The name of the lock of the file with this identity (volume serial and file
// index), which every spelling of its path shares: "KelvaneLogFile-" and
// hexadecimal digits, into a buffer of at least 48 characters.
void FormatLogMutexName(const BY_HANDLE_FILE_INFORMATION& file, wchar_t* pszName, size_t nCapacity);
