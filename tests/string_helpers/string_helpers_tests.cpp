// Token, path and number helpers, run inside the real Kelvane.dll.
#include "runtime/StringHelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kUntouched = 4242;

struct TokenCase {
    const wchar_t* pszText;
    const wchar_t* pszSeparator;
    int nIndex;
    int nResult;
    const wchar_t* pszToken;
};

struct NumberCase {
    const wchar_t* pszText;
    BOOL bResult;
    int nValue; // kUntouched: the value must not be written
};

} // namespace

TEST(Tokens, FindTokensByIndexOrFromAPosition) {
    // nIndex is the token's index for GetTokenAt, the start for GetTokenFrom.
    const struct {
        bool bFrom;
        TokenCase c;
    } cases[] = {
        {false, {L"a;b;c", L";", 0, -1, L"a"}}, {false, {L"a;b;c", L";", 2, 3, L"c"}},
        {false, {L"a;b;c", L";", 3, -1, L""}},  {false, {L"a;;c", L";", 1, 1, L""}},
        {false, {L"a;b", L";", -1, -1, L""}},   {false, {L"a;b", L"", 0, -1, L"a;b"}},
        {false, {L"a;b", nullptr, 1, -1, L""}}, {true, {L"ab;cd", L";", 0, 2, L"ab"}},
        {true, {L"ab;cd", L";", 3, -1, L"cd"}}, {true, {L"ab;cd", L";", -1, -1, L""}},
        {true, {L"ab;cd", L";", 6, -1, L""}},
    };
    for (const auto& row : cases) {
        const TokenCase& c = row.c;
        CString token(L"stale");
        const int nResult = row.bFrom ? GetTokenFrom(c.pszText, c.pszSeparator, token, c.nIndex)
                                      : GetTokenAt(c.pszText, c.pszSeparator, token, c.nIndex);
        EXPECT_EQ(nResult, c.nResult) << c.pszText << " #" << c.nIndex;
        EXPECT_STREQ(token.GetString(), c.pszToken) << c.pszText << " #" << c.nIndex;
    }
}

TEST(PathHelpers, SplitAndTrailingBackslash) {
    CString directory, file;
    EXPECT_STREQ(SplitPath(L"C:\\x\\y.png", &directory, &file).GetString(), L"y.png");
    EXPECT_STREQ(directory.GetString(), L"C:\\x\\");
    EXPECT_TRUE(SplitPath(L"y.png", &directory, &file).IsEmpty());
    EXPECT_STREQ(directory.GetString(), L"y.png");
    const wchar_t* const cases[][2] = {
        {L"C:\\x\\\\\\", L"C:\\x\\"}, {L"C:\\x", L"C:\\x\\"}, {L"", L"\\"}};
    for (const auto& c : cases) {
        CString path(c[0]);
        EnsureTrailingBackslash(path);
        EXPECT_STREQ(path.GetString(), c[1]) << c[0];
    }
}

TEST(ParseNumber, DecimalHexadecimalAndWhatCannotBeRead) {
    const NumberCase cases[] = {
        {L"0x1F", TRUE, 31},
        {L"1 2", TRUE, 12},
        {L"-12px", TRUE, -12},
        {L"0xFF 00 00 00", TRUE, static_cast<int>(0xFF000000u)},
        {L"-0x10", TRUE, 0},       // a sign in front of the prefix makes it decimal
        {L"4294967295", TRUE, -1}, // overflow wraps at 32 bits
        {L"0x1FFFFFFFF", TRUE, -1},
        {L"abc", TRUE, kUntouched}, // not empty, so TRUE, but nothing to read
        {L"    ", FALSE, kUntouched},
    };
    for (const NumberCase& c : cases) {
        int value = kUntouched;
        EXPECT_EQ(ParseNumber(c.pszText, value), c.bResult) << "'" << c.pszText << "'";
        EXPECT_EQ(value, c.nValue) << "'" << c.pszText << "'";
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
