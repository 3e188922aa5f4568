// How far the skin's value rules read an attribute, as pure functions: the
// reader itself keeps whatever part it could read and says nothing, so these
// tell a skin author what was dropped.
#pragma once

#include <afx.h>

#include <cstdint>
#include <vector>

enum class ValueForm {
    Empty,      // not given: the field keeps its default
    Whole,      // every character was used
    Partial,    // read up to a character that does not fit ("12px" reads 12)
    Unreadable, // nothing could be read: the field keeps its default
};

struct NumberReading {
    ValueForm form = ValueForm::Empty;
    int32_t nValue = 0; // what the reader takes (Whole and Partial only)
};

// The number rule of the reader (ParseNumber), with how much of it was used.
NumberReading ReadSkinNumber(const CString& strText);

// The rectangle ("x,y,w,h", nCount 4) and pair ("a,b", nCount 2) rules:
// spaces removed, then integers separated by single commas. Partial also
// when fewer than nCount numbers are given (the rest count as 0).
ValueForm ReadIntegerListForm(const CString& strText, int nCount);

// The tokens of a ";" list after its spaces are removed; none for empty text.
std::vector<CString> SkinListTokens(const CString& strText);

// One token of "FontFormat" and the range that GDI+ accepts for it.
struct FontFormatToken {
    const wchar_t* pszName;
    int32_t nMin;
    int32_t nMax;
};
// Style bits, horizontal alignment, vertical alignment, trimming.
extern const FontFormatToken kFontFormatTokens[4];

// How many frames a "BkImg" strip holds for an item of this type and style:
// 8 for check and radio buttons, 4 for push buttons and windowless items,
// 0 when the image is not a strip (labels, items that make nothing).
int StateStripFrames(int32_t nControlType, uint32_t nControlStyle);

// Whether "ControlType" makes an element: 1 label, 2 button or drawn item,
// 4 shaped button.
bool ControlTypeMakesItem(int32_t nControlType);

enum class SheetFit { Inside, Partly, Outside };
// Where a non-empty rectangle lies on a cx x cy sheet.
SheetFit FitOnSheet(const RECT& rc, const POINT& ptSheet);
