#include "runtime/StringHelpers.h"

#include <cwchar>

namespace {

// The name buffer of GetExportAddress: the longest name it looks up is one
// byte shorter, so the buffer always stays terminated.
constexpr int kExportNameBytes = 1024;

bool IsBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}

// Skips white space and one sign; returns true when the sign was a minus.
bool SkipBlanksAndSign(const wchar_t*& p, const wchar_t* pEnd) {
    while (p != pEnd && IsBlank(*p))
        ++p;
    bool negative = false;
    if (p != pEnd && (*p == L'+' || *p == L'-')) {
        negative = *p == L'-';
        ++p;
    }
    return negative;
}

bool HasHexPrefix(const wchar_t* p, const wchar_t* pEnd) {
    return pEnd - p >= 3 && p[0] == L'0' && (p[1] == L'x' || p[1] == L'X') &&
           HexDigitValue(p[2]) >= 0;
}

} // namespace

int GetTokenFrom(const CString& strText, LPCWSTR pszSeparator, CString& strToken, int nStart) {
    strToken.Empty();
    if (nStart < 0 || nStart > strText.GetLength())
        return -1;
    int separator = -1;
    if (pszSeparator && *pszSeparator)
        separator = strText.Find(pszSeparator, nStart);
    if (separator < 0) {
        strToken = strText.Mid(nStart);
        return -1;
    }
    strToken = strText.Mid(nStart, separator - nStart);
    return separator;
}

int GetTokenAt(const CString& strText, LPCWSTR pszSeparator, CString& strToken, int nIndex) {
    strToken.Empty();
    if (nIndex < 0)
        return -1;
    int separator = -1;
    CString token;
    int next = GetTokenFrom(strText, pszSeparator, token, 0);
    for (int i = 0; i < nIndex; ++i) {
        if (next < 0)
            return -1;
        separator = next;
        next = GetTokenFrom(strText, pszSeparator, token, separator + 1);
    }
    strToken = token;
    return separator;
}

CString SplitPath(const CString& strPath, CString* pDirectory, CString* pFile) {
    int slash = strPath.ReverseFind(L'\\');
    CString file = slash < 0 ? CString() : strPath.Mid(slash + 1);
    if (pDirectory)
        *pDirectory = slash < 0 ? strPath : strPath.Left(slash + 1);
    if (pFile)
        *pFile = file;
    return file;
}

void EnsureTrailingBackslash(CString& strDirectory) {
    int length = strDirectory.GetLength();
    while (length > 0 && strDirectory[length - 1] == L'\\')
        --length;
    strDirectory = strDirectory.Left(length) + L"\\";
}

bool ScanDecimal(const wchar_t* pBegin, const wchar_t* pEnd, int32_t& nValue,
                 const wchar_t** pNext) {
    const wchar_t* p = pBegin;
    bool negative = SkipBlanksAndSign(p, pEnd);
    const wchar_t* digits = p;
    uint32_t value = 0;
    for (; p != pEnd && *p >= L'0' && *p <= L'9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - L'0');
    if (p == digits)
        return false;
    nValue = static_cast<int32_t>(negative ? 0u - value : value);
    if (pNext)
        *pNext = p;
    return true;
}

bool ScanHex(const wchar_t* pBegin, const wchar_t* pEnd, uint32_t& nValue, const wchar_t** pNext) {
    const wchar_t* p = pBegin;
    bool negative = SkipBlanksAndSign(p, pEnd);
    // "0x" counts as a prefix only when a digit follows; a bare "0x" reads 0.
    if (HasHexPrefix(p, pEnd))
        p += 2;
    const wchar_t* digits = p;
    uint32_t value = 0;
    for (int digit; p != pEnd && (digit = HexDigitValue(*p)) >= 0; ++p)
        value = (value << 4) | static_cast<uint32_t>(digit);
    if (p == digits)
        return false;
    nValue = negative ? 0u - value : value;
    if (pNext)
        *pNext = p;
    return true;
}

BOOL ParseNumber(const CString& strText, int& nValue) {
    int32_t value = 0;
    const ValueForm form = ReadNumberText(strText, value);
    if (form == ValueForm::Whole || form == ValueForm::Partial)
        nValue = value;
    return form != ValueForm::Empty;
}

FARPROC GetExportAddress(HMODULE hModule, LPCWSTR pszName) {
    if (!pszName)
        return nullptr;
    char name[kExportNameBytes] = {};
    BOOL usedDefault = FALSE;
    // A name that does not fit, or that the code page can only approximate,
    // would look up some other export: treat it as missing.
    // (A UTF-8 code page spells every name exactly and takes neither check.)
    bool utf8 = GetACP() == CP_UTF8;
    int bytes = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, pszName, -1, name,
                                    kExportNameBytes - 1, nullptr, utf8 ? nullptr : &usedDefault);
    if (bytes <= 0 || usedDefault)
        return nullptr;
    return GetProcAddress(hModule, name);
}
