// Token and export helpers, run inside the real Kelvane.dll. The skin
// reader's tests walk section paths with the tokens and the trailing
// backslash rule; skin_model_tests reads numbers through ParseNumber.
#include "runtime/StringHelpers.h"

#include <gtest/gtest.h>

#include <string>

// n is the token's index for GetTokenAt, the start for GetTokenFrom; outside
// the text there is no token.
TEST(Tokens, FindTokensByIndexOrFromAPosition) {
    const struct {
        bool bFrom;
        const wchar_t* pszText;
        const wchar_t* pszSeparator;
        int n;
        int nResult;
        const wchar_t* pszToken;
    } cases[] = {
        {false, L"a;b;c", L";", 2, 3, L"c"},  {false, L"a;b;c", L";", 3, -1, L""},
        {false, L"a;;c", L";", 1, 1, L""},    {false, L"a;b", L";", -1, -1, L""},
        {false, L"a;b", L"", 0, -1, L"a;b"},  {false, L"a;b", nullptr, 1, -1, L""},
        {true, L"ab;cd", L";", 3, -1, L"cd"}, {true, L"ab;cd", L";", -1, -1, L""},
    };
    for (const auto& c : cases) {
        CString token(L"stale");
        const int nResult = c.bFrom ? GetTokenFrom(c.pszText, c.pszSeparator, token, c.n)
                                    : GetTokenAt(c.pszText, c.pszSeparator, token, c.n);
        EXPECT_EQ(nResult, c.nResult) << c.pszText << " #" << c.n;
        EXPECT_STREQ(token.GetString(), c.pszToken) << c.pszText << " #" << c.n;
    }
}

TEST(GetExportAddress, FindsOnlyNamesSpelledExactly) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC expected = GetProcAddress(kernel, "GetTickCount");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(GetExportAddress(kernel, L"GetTickCount"), expected);
    EXPECT_EQ(GetExportAddress(kernel, nullptr), nullptr);
    // Longer than the name buffer: refused instead of cut to another name.
    std::wstring tooLong = L"GetTickCount" + std::wstring(1011, L'A');
    EXPECT_EQ(GetExportAddress(kernel, tooLong.c_str()), nullptr);
    // A character the ANSI code page can only approximate.
    if (GetACP() != CP_UTF8) {
        EXPECT_EQ(GetExportAddress(kernel, L"GetTickCount\u4E00"), nullptr);
    }
}
