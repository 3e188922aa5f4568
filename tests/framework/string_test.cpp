#include <afx.h>
#include <gtest/gtest.h>

#include <wchar.h>

// Passed through "..." as printf-style functions expect a character pointer.
static_assert(sizeof(CString) == sizeof(void*), "a CString is its character pointer");

// String objects given to Format arrive as their character pointers, wide or narrow.
TEST(CString, FormatPassesStringsAsWideLikeThePlatformPrintf) {
    CString s;
    s.Format(L"[%s|%d|%5.2f|%S]", CString(L"K\u00e9lvane"), -42, 3.14159, CStringA("narrow"));
    EXPECT_STREQ(L"[K\u00e9lvane|-42| 3.14|narrow]", s);
    const CString x(L'x', 3000);
    s.Format(L"%s%s", x.GetString(), L"end"); // beyond any first guess at the length
    EXPECT_STREQ(x + L"end", s);
}

// Positions and counts outside the string are clipped, never followed.
TEST(CString, SearchesAndEditsStayWithinTheString) {
    CString s(L"skin\\default\\button.png");
    EXPECT_EQ(-1, s.Find(L"x", 100));
    EXPECT_STREQ(s, s.Left(1000));
    EXPECT_STREQ(L"", s.Mid(100));
    EXPECT_STREQ(L"", s.Left(-3));
    EXPECT_STREQ(L"ng", s.Mid(21, 50));

    CString r(L"a.b.c");
    EXPECT_EQ(2, r.Replace(L".", L"::"));
    EXPECT_EQ(0, r.Replace(L"", L"x"));
    EXPECT_EQ(4, r.Remove(L':'));
    EXPECT_STREQ(L"abc", r);
    r += r; // source is the string itself
    EXPECT_STREQ(L"abcabc", r);
}

TEST(CString, BuffersHandedOutAreTheStringsOwn) {
    // A copy taken while the buffer is out keeps what the string held then.
    CString s(L"abc");
    CString before = s;
    wchar_t* q = s.GetBuffer(10);
    CString during = s;
    q[0] = L'X';
    s.ReleaseBuffer();
    EXPECT_STREQ(L"Xbc", s);
    EXPECT_STREQ(L"abc", before);
    EXPECT_STREQ(L"abc", during);

    // A buffer left without a terminator is measured within its room only.
    CString u;
    wmemset(u.GetBufferSetLength(4), L'q', 4);
    u.ReleaseBuffer();
    EXPECT_EQ(4, u.GetLength());
}

// An element of the array itself may be added while the array grows.
TEST(CStringArray, TakesItsOwnElementsWhileGrowing) {
    CStringArray a;
    a.Add(L"seed");
    for (int i = 0; i < 40; ++i)
        a.Add(a[i]);
    ASSERT_EQ(41, a.GetSize());
    for (INT_PTR i = 0; i < a.GetSize(); ++i)
        EXPECT_STREQ(L"seed", a[i]) << i;
}
