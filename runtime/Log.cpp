#include "runtime/Log.h"

#include "runtime/LogLine.h"

#include <fcntl.h>
#include <io.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <winternl.h>

namespace {

wchar_t g_szLogTag[kLogTagCapacity] = L"TARN";
wchar_t g_szLogPath[kLogPathCapacity] = L"c:\\logfile.log";

// The runtime's append mode seeks to the end and then writes, in two steps,
// so without this lock lines of different threads overwrite each other. It
// also keeps the size check, the restart and the append of one line together,
// and the settings whole while a line is written.
SRWLOCK g_logLock = SRWLOCK_INIT;

// The same across processes that write one file: a mutex named after the
// identity of the file that the line opened, which every spelling of its path
// (an 8.3 short name, the "\\?\" prefix) shares. Made again when the path
// comes to name another file.
HANDLE g_hFileMutex = nullptr;
LONGLONG g_lockedFileIndex = 0;
// Since the last wait for it timed out, the lock has not been seen free.
bool g_bFileLockStuck = false;

class CLogLock {
public:
    CLogLock() { AcquireSRWLockExclusive(&g_logLock); }
    ~CLogLock() { ReleaseSRWLockExclusive(&g_logLock); }
    CLogLock(const CLogLock&) = delete;
    CLogLock& operator=(const CLogLock&) = delete;
};

// The file's index, cheap to ask for on every line. The volume's serial,
// which the whole identity needs, costs a slow query, made only when the
// index changes.
bool QueryFileIndex(HANDLE hFile, LONGLONG* pIndex) {
    IO_STATUS_BLOCK status;
    FILE_INTERNAL_INFORMATION info;
    if (NtQueryInformationFile(hFile, &status, &info, sizeof(info), FileInternalInformation) != 0)
        return false;
    *pIndex = info.IndexNumber.QuadPart;
    return true;
}

// Null when the file system gives no identity: the line is then written
// unguarded.
HANDLE FileMutexFor(HANDLE hFile) {
    LONGLONG index = 0;
    if (g_hFileMutex != nullptr && QueryFileIndex(hFile, &index) && index == g_lockedFileIndex)
        return g_hFileMutex;
    BY_HANDLE_FILE_INFORMATION file;
    if (!GetFileInformationByHandle(hFile, &file))
        return nullptr;
    if (g_hFileMutex != nullptr)
        CloseHandle(g_hFileMutex);
    wchar_t name[48];
    FormatLogMutexName(file, name, 48);
    g_hFileMutex = CreateMutexW(nullptr, FALSE, name);
    g_bFileLockStuck = false;
    g_lockedFileIndex = (static_cast<LONGLONG>(file.nFileIndexHigh) << 32) | file.nFileIndexLow;
    return g_hFileMutex;
}

// A writer that stays inside the file mutex longer than kLogLockWaitMs
// (stopped in a debugger, say, or any process of the user that took it)
// costs the others one wait, never a hang: they write unguarded. After a
// time-out a line only looks whether the lock is free, so that a stuck holder
// does not cost every line the wait; once the lock is seen free again, lines
// wait for it as before.
class CFileLock {
public:
    explicit CFileLock(HANDLE hMutex) : m_hMutex(hMutex) {
        const DWORD wait = g_bFileLockStuck ? 0 : kLogLockWaitMs;
        const DWORD result = hMutex ? WaitForSingleObject(hMutex, wait) : WAIT_FAILED;
        // An abandoned mutex is owned all the same; its owner died mid-line.
        m_bHeld = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        if (result == WAIT_TIMEOUT || m_bHeld)
            g_bFileLockStuck = !m_bHeld;
    }
    ~CFileLock() {
        if (m_bHeld)
            ReleaseMutex(m_hMutex);
    }
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

private:
    HANDLE m_hMutex;
    bool m_bHeld;
};

void CopyCut(wchar_t* pszSetting, size_t nCapacity, const wchar_t* pszValue) {
    size_t length = KeptLogLength(pszValue, nCapacity - 1);
    wmemcpy(pszSetting, pszValue, length);
    pszSetting[length] = L'\0';
}

// The log file, open for one line. It shares deletion, so that the log can
// be switched off while a line is written.
class CLogFile {
public:
    explicit CLogFile(const wchar_t* pszPath)
        : m_hFile(CreateFileW(pszPath, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~CLogFile() {
        if (IsOpen())
            CloseHandle(m_hFile);
    }
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // False when the file is missing or cannot be opened: the log is off.
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return m_hFile; }

    // A full file is emptied in place, so that the coming line starts it
    // afresh. Deleting it would not do: while a viewer holds it sharing
    // deletion, the lines that follow go into a file that vanishes with the
    // viewer, and the log stays off; while one holds it without, the file
    // keeps growing. False when the file is full and cannot be emptied (a
    // viewer maps it): the line is dropped rather than grow it further.
    bool MakeRoom() {
        LARGE_INTEGER size = {};
        if (!GetFileSizeEx(m_hFile, &size) || size.QuadPart < kLogRestartSize)
            return true;
        const LARGE_INTEGER start = {};
        return SetFilePointerEx(m_hFile, start, nullptr, FILE_BEGIN) && SetEndOfFile(m_hFile);
    }

    // Appends the line through the runtime's text mode, which writes it in
    // the narrow encoding of the current locale with CR LF line ends, and
    // closes the file.
    void Append(const wchar_t* pszLine) {
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(m_hFile), _O_APPEND | _O_TEXT);
        if (fd == -1)
            return;
        m_hFile = INVALID_HANDLE_VALUE; // the descriptor closes it
        FILE* file = _wfdopen(fd, L"a");
        if (file == nullptr) {
            _close(fd);
            return;
        }
        fputws(pszLine, file);
        fclose(file);
    }

private:
    HANDLE m_hFile;
};

void FormatLogMessage(wchar_t* pszMessage, const wchar_t* pszFormat, va_list args) {
    // The runtime leaves a cut result unterminated.
    _vsnwprintf(pszMessage, kLogLineCapacity - 1, pszFormat, args);
    pszMessage[kLogLineCapacity - 1] = L'\0';
}

// The runtime stops writing a line at the first character that the current
// locale cannot represent, losing the rest and the line feed with it.
void ReplaceUnwritableCharacters(wchar_t* pszLine) {
    char bytes[MB_LEN_MAX];
    for (; *pszLine != L'\0'; ++pszLine) {
        if (wctomb(bytes, *pszLine) < 0)
            *pszLine = L'?';
    }
}

} // namespace

void InitLog(const wchar_t* pszTag, const wchar_t* pszPath) {
    CLogLock lock;
    if (pszTag != nullptr)
        CopyCut(g_szLogTag, kLogTagCapacity, pszTag);
    if (pszPath == nullptr)
        return;
    // Another path may name a file on another volume with the same index.
    if (g_hFileMutex != nullptr && wcscmp(pszPath, g_szLogPath) != 0) {
        CloseHandle(g_hFileMutex);
        g_hFileMutex = nullptr;
    }
    if (BoundedLogLength(pszPath, kLogPathCapacity) < kLogPathCapacity)
        CopyCut(g_szLogPath, kLogPathCapacity, pszPath);
    else
        g_szLogPath[0] = L'\0';
}

void WriteLog(const wchar_t* pszFormat, ...) {
    if (pszFormat == nullptr)
        return;
    CLogLock lock;
    CLogFile file(g_szLogPath);
    if (!file.IsOpen())
        return;
    CFileLock fileLock(FileMutexFor(file.Handle()));
    if (!file.MakeRoom())
        return;

    wchar_t message[kLogLineCapacity] = {};
    va_list args;
    va_start(args, pszFormat);
    FormatLogMessage(message, pszFormat, args);
    va_end(args);

    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[20] = {};
    FormatLogTimeStamp(now, stamp, sizeof(stamp) / sizeof(stamp[0]));

    wchar_t line[kLogLineCapacity] = {};
    ComposeLogLine(stamp, g_szLogTag, message, line, kLogLineCapacity);
    ReplaceUnwritableCharacters(line);
    file.Append(line);
}
