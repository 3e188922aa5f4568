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

TEST(GetTokenAt, FindsTokensAndTheSeparatorInFront) {
    const TokenCase cases[] = {
        {L"a;b;c", L";", 0, -1, L"a"},
        {L"a;b;c", L";", 1, 1, L"b"},
        {L"a;b;c", L";", 2, 3, L"c"},
        {L"a;b;c", L";", 3, -1, L""},
        {L"a;;c", L";", 1, 1, L""},
        {L"a;", L";", 1, 1, L""},
        {L"12,345,6", L",", 1, 2, L"345"},
        {L"a;b", L";", -1, -1, L""},
        {L"", L";", 0, -1, L""},
        // Without a separator to look for, the whole text is token 0.
        {L"a;b", L"", 0, -1, L"a;b"},
        {L"a;b", L"", 1, -1, L""},
        {L"a;b", nullptr, 1, -1, L""},
    };
    for (const TokenCase& c : cases) {
        CString token(L"stale");
        EXPECT_EQ(GetTokenAt(c.pszText, c.pszSeparator, token, c.nIndex), c.nResult)
            << c.pszText << " #" << c.nIndex;
        EXPECT_STREQ(token.GetString(), c.pszToken) << c.pszText << " #" << c.nIndex;
    }
}

TEST(GetTokenFrom, ReadsUpToTheNextSeparator) {
    // The index column holds the start position here.
    const TokenCase cases[] = {
        {L"ab;cd", L";", 0, 2, L"ab"}, {L"ab;cd", L";", 3, -1, L"cd"},
        {L"ab;cd", L";", 2, 2, L""},   {L"ab;", L";", 3, -1, L""},
        {L"ab;cd", L";", -1, -1, L""}, {L"ab;cd", L";", -7, -1, L""},
        {L"ab;cd", L";", 6, -1, L""},  {L"ab;cd", L";", 100, -1, L""},
    };
    for (const TokenCase& c : cases) {
        CString token(L"stale");
        EXPECT_EQ(GetTokenFrom(c.pszText, c.pszSeparator, token, c.nIndex), c.nResult) << c.nIndex;
        EXPECT_STREQ(token.GetString(), c.pszToken) << c.nIndex;
    }
}

TEST(PathHelpers, SplitAndTrailingBackslash) {
    CString directory, file;
    EXPECT_STREQ(SplitPath(L"C:\\x\\y.png", &directory, &file).GetString(), L"y.png");
    EXPECT_STREQ(directory.GetString(), L"C:\\x\\");
    EXPECT_STREQ(file.GetString(), L"y.png");
    EXPECT_TRUE(SplitPath(L"y.png", &directory, &file).IsEmpty());
    EXPECT_STREQ(directory.GetString(), L"y.png");
    EXPECT_TRUE(file.IsEmpty());
    EXPECT_STREQ(SplitPath(L"\\\\server\\share\\a.xml", nullptr, nullptr).GetString(), L"a.xml");

    const wchar_t* const cases[][2] = {{L"C:\\x\\\\\\", L"C:\\x\\"},
                                       {L"C:\\x", L"C:\\x\\"},
                                       {L"C:\\x\\", L"C:\\x\\"},
                                       {L"", L"\\"},
                                       {L"\\\\\\", L"\\"}};
    for (const auto& c : cases) {
        CString path(c[0]);
        EnsureTrailingBackslash(path);
        EXPECT_STREQ(path.GetString(), c[1]) << c[0];
    }
}

TEST(ParseNumber, DecimalHexadecimalAndWhatCannotBeRead) {
    const NumberCase cases[] = {
        {L"0x1F", TRUE, 31},
        {L"0X1f", TRUE, 31},
        {L"12", TRUE, 12},
        {L"1 2", TRUE, 12},
        {L"-12", TRUE, -12},
        {L"12px", TRUE, 12},
        {L"0x1Fg7", TRUE, 31},
        {L"0xFF 00 00 00", TRUE, static_cast<int>(0xFF000000u)},
        // Two characters only: decimal, which stops after the 0.
        {L"0X", TRUE, 0},
        {L"0xZZ", TRUE, 0},
        // A sign in front of the prefix makes it decimal.
        {L"-0x10", TRUE, 0},
        // Overflow wraps at 32 bits.
        {L"4294967295", TRUE, -1},
        {L"2147483648", TRUE, INT32_MIN},
        {L"0x1FFFFFFFF", TRUE, -1},
        // Not empty, so TRUE, but nothing to read.
        {L"abc", TRUE, kUntouched},
        {L"-", TRUE, kUntouched},
        {L"x1", TRUE, kUntouched},
        {L"", FALSE, kUntouched},
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
    EXPECT_EQ(GetExportAddress(kernel, L"NoSuchExportAnywhere"), nullptr);
    EXPECT_EQ(GetExportAddress(kernel, nullptr), nullptr);
    // Longer than the name buffer: refused instead of cut to another name.
    std::wstring tooLong = L"GetTickCount" + std::wstring(1011, L'A');
    EXPECT_EQ(GetExportAddress(kernel, tooLong.c_str()), nullptr);
    // A character the ANSI code page can only approximate.
    if (GetACP() != CP_UTF8) {
        EXPECT_EQ(GetExportAddress(kernel, L"GetTickCount\u4E00"), nullptr);
    }
}
