// Token, path and number helpers, run inside the real Kelvane.dll.
#include "runtime/StringHelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Token {
    int nResult;
    CString strToken;
};

Token TokenAt(const wchar_t* text, const wchar_t* separator, int index) {
    Token token{0, L"stale"};
    token.nResult = GetTokenAt(text, separator, token.strToken, index);
    return token;
}

Token TokenFrom(const wchar_t* text, int start) {
    Token token{0, L"stale"};
    token.nResult = GetTokenFrom(text, L";", token.strToken, start);
    return token;
}

// ParseNumber's result and value, starting from a sentinel that shows
// whether the value was written.
struct Number {
    BOOL bResult;
    int nValue;
};

constexpr int kUntouched = 4242;

Number Parse(const wchar_t* text) {
    Number number{FALSE, kUntouched};
    number.bResult = ParseNumber(text, number.nValue);
    return number;
}

} // namespace

TEST(GetTokenAt, WalksSeparatedTokens) {
    Token a = TokenAt(L"a;b;c", L";", 0);
    EXPECT_EQ(a.nResult, -1);
    EXPECT_EQ(a.strToken, L"a");
    Token b = TokenAt(L"a;b;c", L";", 1);
    EXPECT_EQ(b.nResult, 1);
    EXPECT_EQ(b.strToken, L"b");
    Token c = TokenAt(L"a;b;c", L";", 2);
    EXPECT_EQ(c.nResult, 3);
    EXPECT_EQ(c.strToken, L"c");
    Token longer = TokenAt(L"12,345,6", L",", 1);
    EXPECT_EQ(longer.nResult, 2);
    EXPECT_EQ(longer.strToken, L"345");
}

TEST(GetTokenAt, MissingAndEmptyTokens) {
    Token beyond = TokenAt(L"a;b;c", L";", 3);
    EXPECT_EQ(beyond.nResult, -1);
    EXPECT_TRUE(beyond.strToken.IsEmpty());
    Token empty = TokenAt(L"a;;c", L";", 1);
    EXPECT_EQ(empty.nResult, 1);
    EXPECT_TRUE(empty.strToken.IsEmpty());
    Token trailing = TokenAt(L"a;", L";", 1);
    EXPECT_EQ(trailing.nResult, 1);
    EXPECT_TRUE(trailing.strToken.IsEmpty());
    Token negative = TokenAt(L"a;b", L";", -1);
    EXPECT_EQ(negative.nResult, -1);
    EXPECT_TRUE(negative.strToken.IsEmpty());
    Token whole = TokenAt(L"", L";", 0);
    EXPECT_EQ(whole.nResult, -1);
    EXPECT_TRUE(whole.strToken.IsEmpty());
    // Without a separator to look for the whole text is token 0.
    EXPECT_EQ(TokenAt(L"a;b", L"", 0).strToken, L"a;b");
    EXPECT_EQ(TokenAt(L"a;b", L"", 1).nResult, -1);
    EXPECT_EQ(TokenAt(L"a;b", nullptr, 1).nResult, -1);
}

TEST(GetTokenFrom, StopsAtTheNextSeparator) {
    Token first = TokenFrom(L"ab;cd", 0);
    EXPECT_EQ(first.nResult, 2);
    EXPECT_EQ(first.strToken, L"ab");
    Token rest = TokenFrom(L"ab;cd", 3);
    EXPECT_EQ(rest.nResult, -1);
    EXPECT_EQ(rest.strToken, L"cd");
    Token atSeparator = TokenFrom(L"ab;cd", 2);
    EXPECT_EQ(atSeparator.nResult, 2);
    EXPECT_TRUE(atSeparator.strToken.IsEmpty());
    Token atEnd = TokenFrom(L"ab;", 3);
    EXPECT_EQ(atEnd.nResult, -1);
    EXPECT_TRUE(atEnd.strToken.IsEmpty());
}

TEST(GetTokenFrom, StartsOutsideTheTextGiveNothing) {
    for (int start : {-1, -7, 6, 100}) {
        Token token = TokenFrom(L"ab;cd", start);
        EXPECT_EQ(token.nResult, -1) << start;
        EXPECT_TRUE(token.strToken.IsEmpty()) << start;
    }
}

TEST(SplitPath, SplitsAtTheLastBackslash) {
    CString directory, file;
    EXPECT_EQ(SplitPath(L"C:\\x\\y.png", &directory, &file), L"y.png");
    EXPECT_EQ(directory, L"C:\\x\\");
    EXPECT_EQ(file, L"y.png");

    EXPECT_TRUE(SplitPath(L"y.png", &directory, &file).IsEmpty());
    EXPECT_EQ(directory, L"y.png");
    EXPECT_TRUE(file.IsEmpty());

    EXPECT_TRUE(SplitPath(L"C:\\x\\", &directory, nullptr).IsEmpty());
    EXPECT_EQ(directory, L"C:\\x\\");
    EXPECT_EQ(SplitPath(L"\\\\server\\share\\a.xml", nullptr, nullptr), L"a.xml");
}

TEST(EnsureTrailingBackslash, LeavesExactlyOne) {
    for (const wchar_t* text : {L"C:\\x\\\\\\", L"C:\\x", L"C:\\x\\"}) {
        CString directory(text);
        EnsureTrailingBackslash(directory);
        EXPECT_EQ(directory, L"C:\\x\\") << text;
    }
    CString empty;
    EnsureTrailingBackslash(empty);
    EXPECT_EQ(empty, L"\\");
    CString only(L"\\\\\\");
    EnsureTrailingBackslash(only);
    EXPECT_EQ(only, L"\\");
}

TEST(ParseNumber, ReadsDecimalAndHexadecimal) {
    EXPECT_EQ(Parse(L"0x1F").nValue, 31);
    EXPECT_EQ(Parse(L"0X1f").nValue, 31);
    EXPECT_EQ(Parse(L"12").nValue, 12);
    EXPECT_EQ(Parse(L"1 2").nValue, 12);
    EXPECT_EQ(Parse(L"-12").nValue, -12);
    EXPECT_EQ(Parse(L"+7").nValue, 7);
    EXPECT_EQ(Parse(L"12px").nValue, 12);
    EXPECT_EQ(Parse(L"0x1Fg7").nValue, 31);
    EXPECT_EQ(static_cast<uint32_t>(Parse(L"0xFF 00 00 00").nValue), 0xFF000000u);
    EXPECT_EQ(static_cast<uint32_t>(Parse(L"0xffffffff").nValue), 0xFFFFFFFFu);
    EXPECT_TRUE(Parse(L"12").bResult);
}

TEST(ParseNumber, PrefixesWithoutDigits) {
    // Two characters only: read as decimal, which stops after the 0.
    Number bare = Parse(L"0X");
    EXPECT_TRUE(bare.bResult);
    EXPECT_EQ(bare.nValue, 0);
    Number noDigits = Parse(L"0xZZ");
    EXPECT_TRUE(noDigits.bResult);
    EXPECT_EQ(noDigits.nValue, 0);
    // A sign in front of the prefix makes it decimal.
    EXPECT_EQ(Parse(L"-0x10").nValue, 0);
}

TEST(ParseNumber, EmptyOrUnreadableLeavesTheValue) {
    for (const wchar_t* text : {L"", L" ", L"    "}) {
        Number number = Parse(text);
        EXPECT_FALSE(number.bResult) << wcslen(text) << " spaces";
        EXPECT_EQ(number.nValue, kUntouched);
    }
    // Not empty, so TRUE, but nothing to read.
    for (const wchar_t* text : {L"abc", L"-", L"px12", L"x1"}) {
        Number number = Parse(text);
        EXPECT_TRUE(number.bResult) << text;
        EXPECT_EQ(number.nValue, kUntouched) << text;
    }
}

TEST(ParseNumber, OverflowWrapsAt32Bits) {
    EXPECT_EQ(Parse(L"4294967295").nValue, -1);
    EXPECT_EQ(Parse(L"2147483648").nValue, INT32_MIN);
    EXPECT_EQ(static_cast<uint32_t>(Parse(L"0x1FFFFFFFF").nValue), 0xFFFFFFFFu);
    EXPECT_EQ(Parse(L"99999999999999999999999999999").bResult, TRUE);
}

TEST(Scanners, SkipWhiteSpaceAndReportWhereTheyStopped) {
    const std::wstring text = L"\t-42,7";
    const wchar_t* next = nullptr;
    int32_t value = 0;
    ASSERT_TRUE(ScanDecimal(text.data(), text.data() + text.size(), value, &next));
    EXPECT_EQ(value, -42);
    EXPECT_EQ(*next, L',');
    // The end pointer bounds the scan, not the terminator.
    ASSERT_TRUE(ScanDecimal(text.data(), text.data() + 3, value, &next));
    EXPECT_EQ(value, -4);

    const std::wstring hex = L" 0xff00 rest";
    uint32_t colour = 0;
    ASSERT_TRUE(ScanHex(hex.data(), hex.data() + hex.size(), colour, &next));
    EXPECT_EQ(colour, 0xFF00u);
    EXPECT_EQ(*next, L' ');
    const std::wstring plain = L"FF0000";
    ASSERT_TRUE(ScanHex(plain.data(), plain.data() + plain.size(), colour));
    EXPECT_EQ(colour, 0x00FF0000u);
    const std::wstring none = L"xyz";
    colour = 5;
    EXPECT_FALSE(ScanHex(none.data(), none.data() + none.size(), colour));
    EXPECT_EQ(colour, 5u);
}

TEST(GetExportAddress, FindsExportsByWideName) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    FARPROC expected = GetProcAddress(kernel, "GetTickCount");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(GetExportAddress(kernel, L"GetTickCount"), expected);
    EXPECT_EQ(GetExportAddress(kernel, L"NoSuchExportAnywhere"), nullptr);
    EXPECT_EQ(GetExportAddress(kernel, nullptr), nullptr);
}

TEST(GetExportAddress, NamesThatCannotBeSpelledExactlyFindNothing) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    // Longer than the name buffer: refused instead of cut to another name.
    std::wstring tooLong(1023, L'A');
    EXPECT_EQ(GetExportAddress(kernel, tooLong.c_str()), nullptr);
    tooLong.replace(0, 12, L"GetTickCount");
    EXPECT_EQ(GetExportAddress(kernel, tooLong.c_str()), nullptr);
    // A character the ANSI code page can only approximate.
    if (GetACP() != CP_UTF8) {
        EXPECT_EQ(GetExportAddress(kernel, L"GetTickCount\u4E00"), nullptr);
    }
}
