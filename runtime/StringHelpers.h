// Small helpers on wide strings shared by the skin reader, the dialogs and the
// runtime helpers: separated tokens, path splitting, directory backslashes,
// the one rule by which skin numbers are read, and library exports.
#pragma once

#include <afx.h>

#include "runtime/KelvaneApi.h"

#include <cstdint>

// Token nIndex of a list separated by pszSeparator (one character in
// practice: ";" or ","). Returns the position of the separator in front of
// the token, -1 for token 0; -1 with an empty token when the text holds fewer
// than nIndex separators or nIndex is negative.
KELVANE_API int GetTokenAt(const CString& strText, LPCWSTR pszSeparator, CString& strToken,
                           int nIndex);

// The characters from nStart up to the next separator. Returns the
// separator's position (go on with that + 1), or -1 when none follows and the
// token runs to the end. A negative start or one past the end gives an empty
// token and -1.
KELVANE_API int GetTokenFrom(const CString& strText, LPCWSTR pszSeparator, CString& strToken,
                             int nStart);

// Splits at the last backslash: the directory keeps it, the file part is the
// rest. Without a backslash the directory is the whole path and the file part
// is empty. Either output may be null; the file part is also returned.
KELVANE_API CString SplitPath(const CString& strPath, CString* pDirectory, CString* pFile);

// Removes every trailing backslash, then appends exactly one.
KELVANE_API void EnsureTrailingBackslash(CString& strDirectory);

// Reads a skin number: spaces removed; "0x"/"0X" followed by more makes it
// hexadecimal, anything else is a decimal integer with optional sign. Reading
// stops at the first character that does not fit; values wrap to 32 bits.
// Returns FALSE for an empty (or all-space) text; TRUE otherwise, and then
// nValue is set only when at least one digit was read.
KELVANE_API BOOL ParseNumber(const CString& strText, int& nValue);

// The address of the export named pszName (converted to the ANSI code page),
// or null when it is missing or the name has no exact ANSI spelling.
KELVANE_API FARPROC GetExportAddress(HMODULE hModule, LPCWSTR pszName);

// The scanners behind the number rules, over [pBegin, pEnd). Like the C
// library's "%d" and "%X" they skip leading white space and take an optional
// sign ("%X" also an optional 0x prefix); they return false when no digit
// could be read. pNext, when given, receives the first character not used.
KELVANE_API bool ScanDecimal(const wchar_t* pBegin, const wchar_t* pEnd, int32_t& nValue,
                             const wchar_t** pNext = nullptr);
KELVANE_API bool ScanHex(const wchar_t* pBegin, const wchar_t* pEnd, uint32_t& nValue,
                         const wchar_t** pNext = nullptr);

// How much of a text a rule of the skin grammar used.
enum class ValueForm {
    Empty,      // not given: the field keeps its default
    Whole,      // every character was used
    Partial,    // read up to a character that does not fit ("12px" reads 12)
    Unreadable, // nothing could be read: the field keeps its default
};

// The number rule over text without spaces, [pBegin, pEnd).
inline ValueForm ReadCompactNumber(const wchar_t* pBegin, const wchar_t* pEnd, int32_t& nValue) {
    if (pBegin == pEnd)
        return ValueForm::Empty;
    const wchar_t* next = pBegin;
    const bool bHex =
        pEnd - pBegin > 2 && pBegin[0] == L'0' && (pBegin[1] == L'x' || pBegin[1] == L'X');
    bool bRead = false;
    if (bHex) {
        uint32_t value = 0;
        bRead = ScanHex(pBegin, pEnd, value, &next);
        if (bRead)
            nValue = static_cast<int32_t>(value);
    } else {
        bRead = ScanDecimal(pBegin, pEnd, nValue, &next);
    }
    if (!bRead)
        return ValueForm::Unreadable;
    return next == pEnd ? ValueForm::Whole : ValueForm::Partial;
}

// The number rule of ParseNumber, telling how much of the text it used;
// nValue is set only for Whole and Partial. Inline, so that the skin tools
// read with the very rule of the module without another export.
inline ValueForm ReadNumberText(const CString& strText, int32_t& nValue) {
    CString compact(strText);
    compact.Remove(L' ');
    const wchar_t* begin = compact.GetString();
    return ReadCompactNumber(begin, begin + compact.GetLength(), nValue);
}
