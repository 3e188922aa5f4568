// What only the linter judges of a skin's values: the ranges GDI+ accepts
// for a text format and where an item lies on its sheet. How values are read
// is the reader's own grammar (skin/SkinValue.h).
#pragma once

#include <windows.h>

#include <cstdint>

// One token of "FontFormat" and the range that GDI+ accepts for it.
struct FontFormatToken {
    const wchar_t* pszName;
    int32_t nMin;
    int32_t nMax;
};
// Style bits, horizontal alignment, vertical alignment, trimming.
extern const FontFormatToken kFontFormatTokens[4];

enum class SheetFit { Inside, Partly, Outside };
// Where a non-empty rectangle lies on a cx x cy sheet.
SheetFit FitOnSheet(const RECT& rc, const POINT& ptSheet);
