#include "runtime/Helpers.h"

#include "runtime/ModuleApp.h"

#include <memory>
#include <type_traits>
#include <wchar.h>

namespace {

struct RegRootName {
    const wchar_t* pszName;
    HKEY hKey;
};

// Tested in this order; only the beginning of a path is compared.
const RegRootName kRegRootNames[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
    {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_DYN_DATA", HKEY_DYN_DATA},
};

const RegRootName* FindRegRoot(LPCWSTR lpszFullPath) {
    for (const RegRootName& root : kRegRootNames) {
        if (wcsncmp(lpszFullPath, root.pszName, wcslen(root.pszName)) == 0)
            return &root;
    }
    return nullptr;
}

struct RegKeyCloser {
    void operator()(HKEY hKey) const { RegCloseKey(hKey); }
};
using RegKeyHandle = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

RegKeyHandle OpenRegKeyForReading(HKEY hRootKey, const CString& strSubKey) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(hRootKey, strSubKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return RegKeyHandle();
    return RegKeyHandle(hKey);
}

RegKeyHandle CreateRegKey(HKEY hRootKey, const CString& strSubKey) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(hRootKey, strSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return RegKeyHandle();
    return RegKeyHandle(hKey);
}

// Queries a value into the caller's buffer and leaves the buffer terminated.
// A string that fills the buffer without its own terminator does not fit.
int QueryRegStringValue(HKEY hKey, const CString& strValueName, LPWSTR lpszBuffer,
                        DWORD nBufferChars) {
    if (lpszBuffer == nullptr || nBufferChars == 0)
        return 3;
    const DWORD maxChars = MAXDWORD / sizeof(wchar_t);
    DWORD nBytes = static_cast<DWORD>((std::min)(nBufferChars, maxChars) * sizeof(wchar_t));
    DWORD type = REG_NONE;
    if (RegQueryValueExW(hKey, strValueName, nullptr, &type, reinterpret_cast<BYTE*>(lpszBuffer),
                         &nBytes) != ERROR_SUCCESS)
        return 3;

    DWORD nReadChars = (nBytes + 1) / sizeof(wchar_t);
    if (nReadChars < nBufferChars) {
        lpszBuffer[nReadChars] = L'\0';
    } else if (type == REG_SZ && lpszBuffer[nBufferChars - 1] != L'\0') {
        lpszBuffer[nBufferChars - 1] = L'\0';
        return 3;
    }
    return type == REG_SZ ? 0 : 4;
}

} // namespace

int ParseRegPath(LPCWSTR lpszFullPath, HKEY& hRootKey, CString& strSubKey, CString& strValueName) {
    if (lpszFullPath == nullptr)
        return 1;
    const RegRootName* root = FindRegRoot(lpszFullPath);
    if (root == nullptr)
        return 1;

    CString strPath(lpszFullPath);
    int firstSlash = strPath.Find(L'\\');
    int lastSlash = strPath.ReverseFind(L'\\');
    if (firstSlash < 0 || firstSlash == lastSlash)
        return 1;
    CString strKey = strPath.Mid(firstSlash + 1, lastSlash - firstSlash - 1);
    CString strValue = strPath.Mid(lastSlash + 1);
    if (strKey.GetLength() > kRegNameMaxLength || strValue.GetLength() > kRegNameMaxLength)
        return 1;

    hRootKey = root->hKey;
    strSubKey = strKey;
    strValueName = strValue;
    return 0;
}

int RegReadString(LPCWSTR lpszFullPath, LPWSTR lpszBuffer, DWORD nBufferChars) {
    HKEY hRootKey = nullptr;
    CString strSubKey, strValueName;
    if (ParseRegPath(lpszFullPath, hRootKey, strSubKey, strValueName) != 0)
        return 1;
    RegKeyHandle key = OpenRegKeyForReading(hRootKey, strSubKey);
    if (!key)
        return 2;
    return QueryRegStringValue(key.get(), strValueName, lpszBuffer, nBufferChars);
}

int RegWriteString(LPCWSTR lpszFullPath, LPCWSTR lpszText) {
    HKEY hRootKey = nullptr;
    CString strSubKey, strValueName;
    if (ParseRegPath(lpszFullPath, hRootKey, strSubKey, strValueName) != 0)
        return 1;
    if (lpszText == nullptr)
        return 3;
    size_t nBytes = (wcslen(lpszText) + 1) * sizeof(wchar_t);
    if (nBytes > MAXDWORD)
        return 3;
    RegKeyHandle key = CreateRegKey(hRootKey, strSubKey);
    if (!key)
        return 2;
    if (RegSetValueExW(key.get(), strValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszText),
                       static_cast<DWORD>(nBytes)) != ERROR_SUCCESS)
        return 3;
    return 0;
}

CSafeLibrary::CSafeLibrary() : m_hModule(nullptr), m_pfnProc(nullptr) {}

CSafeLibrary::~CSafeLibrary() {
    if (m_hModule != nullptr)
        FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_pfnProc = nullptr;
}

FARPROC CSafeLibrary::GetProc(LPCWSTR lpszLibraryPath, LPCSTR lpszProcName) {
    if (m_hModule == nullptr) {
        if (lpszLibraryPath == nullptr)
            return nullptr;
        m_hModule = LoadLibraryW(lpszLibraryPath);
        if (m_hModule == nullptr)
            return nullptr;
    }
    m_pfnProc = lpszProcName != nullptr ? GetProcAddress(m_hModule, lpszProcName) : nullptr;
    return m_pfnProc;
}

CNoticeBox::CNoticeBox() : m_pfnMessageBox(nullptr), m_hModule(nullptr), m_pfnProc(nullptr) {}

// A caller that returns early between Load and Unload must not leak the library.
CNoticeBox::~CNoticeBox() {
    Unload();
}

BOOL CNoticeBox::Load(CString strDirectory, CString strLibraryName) {
    // This library's own folder: a host that calls in without switching the
    // module state would otherwise make it the executable's.
    if (strDirectory.IsEmpty())
        strDirectory = GetLibraryDirectory();
    if (strLibraryName.IsEmpty())
        strLibraryName = L"DlgNotice.dll";
    if (m_hModule == nullptr) {
        m_hModule = LoadLibraryW(strDirectory + strLibraryName);
        if (m_hModule == nullptr) {
            m_pfnMessageBox = nullptr;
            return FALSE;
        }
    }
    m_pfnProc = GetExportAddress(m_hModule, L"DNMessageBox");
    // Through void* because the export's real type is known only here.
    m_pfnMessageBox = reinterpret_cast<PFN_DNMESSAGEBOX>(reinterpret_cast<void*>(m_pfnProc));
    return m_pfnMessageBox != nullptr;
}

int CNoticeBox::Show(CString strText, CString strCaption, UINT nType) {
    if (m_pfnMessageBox == nullptr)
        return -1;
    return m_pfnMessageBox(strText, strCaption, nType);
}

void CNoticeBox::Unload() {
    if (m_hModule != nullptr)
        FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_pfnMessageBox = nullptr;
    m_pfnProc = nullptr;
}

CString MakeTempFileName() {
    wchar_t szTempDir[MAX_PATH] = {};
    DWORD length = GetTempPathW(MAX_PATH, szTempDir);
    // A result of MAX_PATH or more is the size the folder's name would need.
    CString strDirectory =
        (length == 0 || length >= MAX_PATH) ? GetModuleDirectory(nullptr) : CString(szTempDir);
    wchar_t szPath[MAX_PATH] = {};
    if (GetTempFileNameW(strDirectory, L"wf", 0, szPath) == 0)
        return CString();
    return CString(szPath);
}
