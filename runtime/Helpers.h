// Small services on the Windows platform: registry string values named by one
// full path, a once-loaded library, the suite's message box from DlgNotice.dll,
// and unique temporary files.
#pragma once

#include <afxwin.h>

#include "runtime/KelvaneApi.h"
#include "runtime/StringHelpers.h"
// Longest sub key and value name that a full registry path may carry.
constexpr int kRegNameMaxLength = 259;

// Splits "ROOT\sub\key\Value" into the root's predefined handle, "sub\key" and
// "Value" (empty for a path ending in a backslash: the key's default value).
// Returns 0, or 1 when the path does not begin with a known root name or
// cannot be split (fewer than two backslashes, a piece longer than 259).
KELVANE_API int ParseRegPath(LPCWSTR lpszFullPath, HKEY& hRootKey, CString& strSubKey,
                             CString& strValueName);

// Reads a string value into a buffer of nBufferChars characters; a string read
// is terminated even when stored without its zero. 0 read, 1 bad path, 2 key
// not readable, 3 value missing or larger than the buffer, 4 read but not
// REG_SZ (its bytes are in the buffer all the same).
KELVANE_API int RegReadString(LPCWSTR lpszFullPath, LPWSTR lpszBuffer, DWORD nBufferChars);

// Writes a REG_SZ value, creating missing keys on the way. 0 written, 1 bad
// path, 2 key can neither be opened nor created, 3 value not set (or no text).
KELVANE_API int RegWriteString(LPCWSTR lpszFullPath, LPCWSTR lpszText);

// Owns one library, loaded by the first look-up; later look-ups go to it
// whatever path they name. Entry points die with the object.
class KELVANE_API CSafeLibrary {
public:
    CSafeLibrary();
    virtual ~CSafeLibrary();
    CSafeLibrary(const CSafeLibrary&) = delete;
    CSafeLibrary& operator=(const CSafeLibrary&) = delete;

    FARPROC GetProc(LPCWSTR lpszLibraryPath, LPCSTR lpszProcName);

    HMODULE m_hModule;
    FARPROC m_pfnProc;
};

// The message box of the companion library DlgNotice.dll.
typedef int (*PFN_DNMESSAGEBOX)(CString strText, CString strCaption, UINT nType);

// Shows the suite's message box through DlgNotice.dll: Load, Show, Unload.
// Without the library or its export nothing is shown and Show returns -1.
class KELVANE_API CNoticeBox {
public:
    CNoticeBox();
    ~CNoticeBox();
    CNoticeBox(const CNoticeBox&) = delete;
    CNoticeBox& operator=(const CNoticeBox&) = delete;

    // An empty directory is this module's own; an empty name is "DlgNotice.dll".
    // The directory ends with a backslash. TRUE when the export was found.
    BOOL Load(CString strDirectory, CString strLibraryName);
    // The message box's result, or -1 when there is nothing to call.
    int Show(CString strText, CString strCaption, UINT nType);
    void Unload();

    PFN_DNMESSAGEBOX m_pfnMessageBox;
    HMODULE m_hModule;
    FARPROC m_pfnProc;
};

// Full path of a new, empty, uniquely named file ("wf" prefix) in the
// temporary folder (or the host executable's folder), or empty on failure.
KELVANE_API CString MakeTempFileName();
