// What only the linter judges of a skin's values and names: the ranges GDI+
// accepts for a text format, where an item lies on its sheet, and which name
// of the toolkit's a misspelt one stands for. How values are read
// is the reader's own grammar (skin/SkinValue.h).
#pragma once

#include <windows.h>

#include "skin/SkinSchema.h"

#include <cstdint>

// One token of "FontFormat" and the range that GDI+ accepts for it.
struct FontFormatToken {
    const wchar_t* pszName;
    int32_t nMin;
    int32_t nMax;
    int32_t nDefault; // what stands when the token is missing or cannot be read
};
// Style bits, horizontal alignment, vertical alignment, trimming.
extern const FontFormatToken kFontFormatTokens[4];

enum class SheetFit { Inside, Partly, Outside };
// Where a non-empty rectangle lies on a cx x cy sheet.
SheetFit FitOnSheet(const RECT& rc, const POINT& ptSheet);

// How many edits (a character added, removed, replaced, or two neighbours
// swapped) turn one name into the other, compared without case.
int NameEditDistance(const wchar_t* pszA, const wchar_t* pszB);

// The name of the table that pszName is nearest to, when it is at most
// nMaxEdits edits away (ties go to the earlier name); null otherwise.
const SkinName* NearestSkinName(const SkinNameTable& names, const wchar_t* pszName, int nMaxEdits);
