#include "skin/SkinValue.h"

namespace {

CString WithoutSpaces(const CString& strText) {
    CString compact(strText);
    compact.Remove(L' ');
    return compact;
}

} // namespace

NumberReading ReadSkinNumber(const CString& strText) {
    NumberReading reading;
    reading.form = ReadNumberText(strText, reading.nValue);
    return reading;
}

IntegerListReading ReadSkinIntegers(const CString& strText, int32_t* pValues, int nCount) {
    IntegerListReading reading;
    const CString compact = WithoutSpaces(strText);
    if (compact.IsEmpty())
        return reading;
    const wchar_t* p = compact.GetString();
    const wchar_t* end = p + compact.GetLength();
    while (reading.nRead < nCount && ScanDecimal(p, end, pValues[reading.nRead], &p)) {
        ++reading.nRead;
        if (reading.nRead == nCount || p == end || *p != L',')
            break;
        ++p;
    }
    if (reading.nRead == 0)
        reading.form = ValueForm::Unreadable;
    else
        reading.form = reading.nRead == nCount && p == end ? ValueForm::Whole : ValueForm::Partial;
    return reading;
}

std::vector<CString> SkinListTokens(const CString& strText) {
    std::vector<CString> tokens;
    const CString compact = WithoutSpaces(strText);
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

bool ReadListNumber(const std::vector<CString>& tokens, size_t nIndex, int& nValue) {
    if (nIndex >= tokens.size())
        return false;
    const NumberReading reading = ReadSkinNumber(tokens[nIndex]);
    if (reading.form != ValueForm::Whole && reading.form != ValueForm::Partial)
        return false;
    nValue = reading.nValue;
    return true;
}
