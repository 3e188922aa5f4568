// The value grammar of skin files: numbers, comma-separated integers
// (rectangles and pairs) and ";" lists, each telling how much of the text it
// read, so that the reader keeps what it could read and the linter can say
// what was dropped. The reader, the dialogs' layouts and kvskin lint all read
// through these. The functions are the module's own and not exported (the
// tools compile skin/SkinValue.cpp in).
#pragma once

#include <afx.h>

#include "runtime/StringHelpers.h"

#include <cstdint>
#include <vector>

struct NumberReading {
    ValueForm form = ValueForm::Empty;
    int32_t nValue = 0; // what the reader takes (Whole and Partial only)
};

// The number rule (ParseNumber's).
NumberReading ReadSkinNumber(const CString& strText);

// Spaces removed, then up to nCount integers separated by single commas, as
// the scan format "%d,%d,..." reads them into pValues. Partial also when
// fewer than nCount numbers are given. nRead tells how many were read.
struct IntegerListReading {
    ValueForm form = ValueForm::Empty;
    int nRead = 0;
};
IntegerListReading ReadSkinIntegers(const CString& strText, int32_t* pValues, int nCount);

// The same two rules over a value as the parser hands it out, without a
// string made of it first.
NumberReading ReadSkinNumber(const wchar_t* pszText);
IntegerListReading ReadSkinIntegers(const wchar_t* pszText, int32_t* pValues, int nCount);

// The tokens of a ";" list after its spaces are removed; none for empty text.
std::vector<CString> SkinListTokens(const CString& strText);

// Token nIndex of a list read as a number into nValue; a missing, empty or
// unreadable token leaves nValue as it was and gives false.
bool ReadListNumber(const std::vector<CString>& tokens, size_t nIndex, int& nValue);
