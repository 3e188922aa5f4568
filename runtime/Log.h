// A process-wide diagnostic log: one text file that any part of the module
// appends time-stamped, tagged lines to. It writes only while its file exists,
// so logging is switched on and off from outside by creating or deleting it.
#pragma once

#include <windows.h>
#include <stddef.h>

#include "runtime/KelvaneApi.h"
// Capacities of the two settings, terminator included.
constexpr size_t kLogTagCapacity = 32;
constexpr size_t kLogPathCapacity = MAX_PATH;
// Capacity of the message and of the finished line, terminator included.
constexpr size_t kLogLineCapacity = 4096;
// A file of this size or more is emptied before the next line is written.
constexpr long long kLogRestartSize = 0x100000;

// Copies a non-null tag (cut to 31 characters) and a non-null path over the
// settings. A path of 260 characters or more names no file that can be
// opened, so it switches the log off rather than being cut into another name.
KELVANE_API void InitLog(const wchar_t* pszTag, const wchar_t* pszPath);

// Appends one line: "[<time stamp> <tag> ] | <message>" and a line feed unless
// the message ends with one. printf-style, with %s taking a wide string.
// Never reports a failure; does nothing while the log file is missing.
KELVANE_API void WriteLog(const wchar_t* pszFormat, ...);
