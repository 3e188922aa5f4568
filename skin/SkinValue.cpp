#include "skin/SkinValue.h"

#include <cwchar>

namespace {

CString WithoutSpaces(const CString& strText) {
    CString compact(strText);
    compact.Remove(L' ');
    return compact;
}

// A value without its spaces: in a buffer of its own when it is short, as
// skin values are, so that reading thousands of them makes no strings.
class CCompactValue {
public:
    explicit CCompactValue(const wchar_t* pszText) {
        const size_t nLength = wcslen(pszText);
        if (nLength >= kShort) {
            m_strLong = WithoutSpaces(pszText);
            m_pBegin = m_strLong.GetString();
            m_pEnd = m_pBegin + m_strLong.GetLength();
            return;
        }
        wchar_t* pOut = m_short;
        for (const wchar_t* p = pszText; *p; ++p)
            if (*p != L' ')
                *pOut++ = *p;
        m_pBegin = m_short;
        m_pEnd = pOut;
    }
    CCompactValue(const CCompactValue&) = delete;
    CCompactValue& operator=(const CCompactValue&) = delete;
    const wchar_t* Begin() const { return m_pBegin; }
    const wchar_t* End() const { return m_pEnd; }

private:
    static const size_t kShort = 64;
    wchar_t m_short[kShort];
    CString m_strLong;
    const wchar_t* m_pBegin;
    const wchar_t* m_pEnd;
};

IntegerListReading ReadIntegerList(const wchar_t* p, const wchar_t* end, int32_t* pValues,
                                   int nCount) {
    IntegerListReading reading;
    if (p == end)
        return reading;
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

} // namespace

NumberReading ReadSkinNumber(const CString& strText) {
    NumberReading reading;
    reading.form = ReadNumberText(strText, reading.nValue);
    return reading;
}

NumberReading ReadSkinNumber(const wchar_t* pszText) {
    const CCompactValue compact(pszText);
    NumberReading reading;
    reading.form = ReadCompactNumber(compact.Begin(), compact.End(), reading.nValue);
    return reading;
}

IntegerListReading ReadSkinIntegers(const CString& strText, int32_t* pValues, int nCount) {
    const CString compact = WithoutSpaces(strText);
    const wchar_t* p = compact.GetString();
    return ReadIntegerList(p, p + compact.GetLength(), pValues, nCount);
}

IntegerListReading ReadSkinIntegers(const wchar_t* pszText, int32_t* pValues, int nCount) {
    const CCompactValue compact(pszText);
    return ReadIntegerList(compact.Begin(), compact.End(), pValues, nCount);
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
