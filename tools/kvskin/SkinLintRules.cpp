#include "tools/kvskin/SkinLintRules.h"

#include "runtime/StringHelpers.h"

namespace {

CString WithoutSpaces(const CString& strText) {
    CString compact(strText);
    compact.Remove(L' ');
    return compact;
}

bool IsHexForm(const CString& strCompact) {
    return strCompact.GetLength() > 2 && strCompact[0] == L'0' &&
           (strCompact[1] == L'x' || strCompact[1] == L'X');
}

} // namespace

const FontFormatToken kFontFormatTokens[4] = {
    {L"font style bits", 0, 15},
    {L"horizontal alignment", 0, 2},
    {L"vertical alignment", 0, 2},
    {L"trimming", 0, 5},
};

NumberReading ReadSkinNumber(const CString& strText) {
    NumberReading reading;
    CString compact = WithoutSpaces(strText);
    if (compact.IsEmpty())
        return reading;
    const wchar_t* begin = compact.GetString();
    const wchar_t* end = begin + compact.GetLength();
    const wchar_t* next = begin;
    bool read = false;
    if (IsHexForm(compact)) {
        uint32_t value = 0;
        read = ScanHex(begin, end, value, &next);
        reading.nValue = static_cast<int32_t>(value);
    } else {
        read = ScanDecimal(begin, end, reading.nValue, &next);
    }
    if (!read) {
        reading.form = ValueForm::Unreadable;
        reading.nValue = 0;
    } else {
        reading.form = next == end ? ValueForm::Whole : ValueForm::Partial;
    }
    return reading;
}

ValueForm ReadIntegerListForm(const CString& strText, int nCount) {
    CString compact = WithoutSpaces(strText);
    if (compact.IsEmpty())
        return ValueForm::Empty;
    const wchar_t* p = compact.GetString();
    const wchar_t* end = p + compact.GetLength();
    int read = 0;
    int32_t value = 0;
    while (read < nCount && ScanDecimal(p, end, value, &p)) {
        ++read;
        if (read == nCount || p == end || *p != L',')
            break;
        ++p;
    }
    if (read == 0)
        return ValueForm::Unreadable;
    return read == nCount && p == end ? ValueForm::Whole : ValueForm::Partial;
}

std::vector<CString> SkinListTokens(const CString& strText) {
    std::vector<CString> tokens;
    CString compact = WithoutSpaces(strText);
    if (compact.IsEmpty())
        return tokens;
    CString token;
    int separator = 0;
    for (int start = 0; separator >= 0; start = separator + 1) {
        separator = GetTokenFrom(compact, L";", token, start);
        tokens.push_back(token);
    }
    return tokens;
}

int StateStripFrames(int32_t nControlType, uint32_t nControlStyle) {
    if (nControlType != 2 && nControlType != 4)
        return 0;
    // The button decides its kind from the low byte of its style.
    uint32_t type = nControlStyle & 0xFF;
    bool checkOrRadio = (type & 3) == 3 || (type & 9) == 9;
    return checkOrRadio ? 8 : 4;
}

bool ControlTypeMakesItem(int32_t nControlType) {
    return nControlType == 1 || nControlType == 2 || nControlType == 4;
}

SheetFit FitOnSheet(const RECT& rc, const POINT& ptSheet) {
    if (rc.left >= 0 && rc.top >= 0 && rc.right <= ptSheet.x && rc.bottom <= ptSheet.y)
        return SheetFit::Inside;
    bool apart = rc.right <= 0 || rc.bottom <= 0 || rc.left >= ptSheet.x || rc.top >= ptSheet.y;
    return apart ? SheetFit::Outside : SheetFit::Partly;
}
