#include <afx.h>
#include <gtest/gtest.h>

#include <wchar.h>

// Passed through "..." as printf-style functions expect a character pointer.
static_assert(sizeof(CString) == sizeof(void*), "a CString is its character pointer");

// String objects given to Format arrive as their character pointers, wide or narrow.
TEST(CString, FormatPassesStringsAsWideLikeThePlatformPrintf) {
    CString name(L"K\u00e9lvane");
    CString s;
    s.Format(L"[%s|%d|%5.2f|%S]", name, -42, 3.14159, CStringA("narrow"));
    s.AppendFormat(L"%s%d", L"+", 7);
    EXPECT_STREQ(L"[K\u00e9lvane|-42| 3.14|narrow]+7", s);
    CString big;
    big.Format(L"%s%s", CString(L'x', 3000).GetString(), L"end");
    EXPECT_EQ(3003, big.GetLength());
    EXPECT_STREQ(L"end", big.Right(3));
    CStringA bytes;
    bytes.Format("POST %s %d", "/up", 1234);
    EXPECT_STREQ("POST /up 1234", bytes);
}

TEST(CString, ConvertsThroughTheAnsiCodePage) {
    CString wide("caf\xe9"); // 1252: e acute
    EXPECT_STREQ(L"caf\u00e9", wide);
    EXPECT_STREQ("caf\xe9", CStringA(wide));
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
}

// Positions and counts outside the string give empty or clipped results.
TEST(CString, SearchesComparesAndSlicesWithinTheString) {
    CString s(L"skin\\default\\button.png");
    EXPECT_EQ(12, s.Find(L'\\', 5));
    EXPECT_EQ(-1, s.Find(L"x", 100));
    EXPECT_EQ(-1, s.Find(L'x', -1));
    EXPECT_EQ(12, s.ReverseFind(L'\\'));
    EXPECT_STREQ(L"default", s.Mid(5, 7));
    EXPECT_STREQ(s, s.Left(1000));
    EXPECT_STREQ(L"", s.Mid(100));
    EXPECT_STREQ(L"", s.Left(-3));
    EXPECT_STREQ(L"ng", s.Mid(21, 50));
    EXPECT_EQ(0, CString(L"BTN_Close").CompareNoCase(L"btn_close"));
    EXPECT_EQ(0, CString().Compare(nullptr));
}

TEST(CString, BuffersHandedOutAreTheStringsOwn) {
    CString original(L"shared text");
    CString copy = original;
    wcscpy(original.GetBuffer(64), L"rewritten");
    original.ReleaseBuffer();
    EXPECT_STREQ(L"rewritten", original);
    EXPECT_STREQ(L"shared text", copy);

    // A copy taken while the buffer is out keeps what the string held then.
    CString s(L"abc");
    wchar_t* q = s.GetBuffer(10);
    CString during = s;
    q[0] = L'X';
    s.ReleaseBuffer();
    EXPECT_STREQ(L"Xbc", s);
    EXPECT_STREQ(L"abc", during);

    // An explicit length wins over the terminator.
    CString t;
    wcscpy(t.GetBuffer(8), L"12345678");
    t.ReleaseBuffer(3);
    EXPECT_STREQ(L"123", t);

    // A buffer left without a terminator is measured within its room only.
    CString u;
    wmemset(u.GetBufferSetLength(4), L'q', 4);
    u.ReleaseBuffer();
    EXPECT_EQ(4, u.GetLength());

    CString e;
    e.GetBuffer(0);
    e.ReleaseBuffer();
    EXPECT_TRUE(e.IsEmpty());
}

TEST(CString, EditsInPlaceWithoutTouchingCopies) {
    CString s(L"  \tLeft Middle Right \n");
    CString keep = s;
    EXPECT_STREQ(L"Left Middle Right", s.Trim());
    EXPECT_STREQ(L"  \tLeft Middle Right \n", keep);
    CString all(L"####");
    EXPECT_TRUE(all.Trim(L'#').IsEmpty());
    CString u(L"MiXeD \u00c9");
    EXPECT_STREQ(L"mixed \u00e9", u.MakeLower());

    // Counts and positions past either end are clipped, never followed.
    CString r(L"a.b.c");
    EXPECT_EQ(2, r.Replace(L".", L"::"));
    EXPECT_EQ(0, r.Replace(L"", L"x"));
    EXPECT_EQ(4, r.Remove(L':'));
    EXPECT_EQ(5, r.Insert(1, L"XY"));
    EXPECT_EQ(6, r.Insert(100, L'!'));
    EXPECT_EQ(4, r.Delete(1, 2));
    EXPECT_EQ(3, r.Delete(3, 50));
    EXPECT_EQ(3, r.Delete(-5, 0));
    EXPECT_STREQ(L"abc", r);

    CString grow(L"ab");
    grow += grow; // source is the string itself
    EXPECT_STREQ(L"<ababcde", L"<" + grow + CString(L"c") + L"d" + L'e');
}

TEST(CString, TokenizeSkipsRunsOfDelimiters) {
    CString s(L";;0XFF000000;;12;x");
    for (int start : {0, 40}) {
        int pos = start;
        CString tokens;
        for (CString token = s.Tokenize(L";", pos); pos != -1; token = s.Tokenize(L";", pos))
            tokens += token + L"|";
        EXPECT_STREQ(start == 0 ? L"0XFF000000|12|x|" : L"", tokens);
    }
}
