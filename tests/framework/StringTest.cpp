#include <afx.h>
#include <gtest/gtest.h>

#include <stdio.h>
#include <wchar.h>

// Passed through "..." as printf-style functions expect a character pointer.
static_assert(sizeof(CString) == sizeof(void*), "a CString is its character pointer");

TEST(CString, FormatPassesStringsAsWideLikeThePlatformPrintf) {
    CString name(L"K\u00e9lvane");
    CString s;
    s.Format(L"[%s|%d|%5.2f|%c|%x]", static_cast<LPCWSTR>(name), -42, 3.14159, L'z', 255u);
    EXPECT_STREQ(L"[K\u00e9lvane|-42| 3.14|z|ff]", s.GetString());

    // String objects given to Format arrive as their character pointers.
    CString t;
    t.Format(L"<%s|%S>", name, CStringA("narrow"));
    EXPECT_STREQ(L"<K\u00e9lvane|narrow>", t.GetString());

    EXPECT_EQ(*reinterpret_cast<const wchar_t* const*>(&name), name.GetString());

    t.AppendFormat(L"%s%d", L"+", 7);
    EXPECT_STREQ(L"<K\u00e9lvane|narrow>+7", t);
    CString big;
    big.Format(L"%s%s", CString(L'x', 3000).GetString(), L"end");
    EXPECT_EQ(3003, big.GetLength());
    EXPECT_STREQ(L"end", big.Right(3));
}

TEST(CString, ConvertsThroughTheAnsiCodePage) {
    CString wide("caf\xe9"); // 1252: e acute
    EXPECT_STREQ(L"caf\u00e9", wide);
    CStringA narrow(wide);
    EXPECT_STREQ("caf\xe9", narrow);
    CStringA fromLiteral = CString(L"x\u00e9");
    EXPECT_EQ(2, fromLiteral.GetLength());
    CString empty(static_cast<const char*>(nullptr));
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(CString, SearchesByCharacterSubstringAndSet) {
    CString s(L"skin\\default\\button.png");
    EXPECT_EQ(4, s.Find(L'\\'));
    EXPECT_EQ(12, s.Find(L'\\', 5));
    EXPECT_EQ(-1, s.Find(L'\\', 13));
    EXPECT_EQ(5, s.Find(L"default"));
    EXPECT_EQ(-1, s.Find(L"default", 6));
    EXPECT_EQ(-1, s.Find(L"x", 100));
    EXPECT_EQ(-1, s.Find(L'x', -1));
    EXPECT_EQ(12, s.ReverseFind(L'\\'));
    EXPECT_EQ(-1, s.ReverseFind(L'#'));
    EXPECT_EQ(4, s.FindOneOf(L"\\."));
    EXPECT_EQ(-1, s.FindOneOf(L"#!"));
    EXPECT_STREQ(L"skin", s.Left(4));
    EXPECT_STREQ(L"default", s.Mid(5, 7));
    EXPECT_STREQ(s, s.Left(1000));
    EXPECT_STREQ(L"", s.Mid(100));
    EXPECT_STREQ(L"", s.Left(-3));
    EXPECT_STREQ(L"ng", s.Mid(21, 50));
}

TEST(CString, ComparesWithAndWithoutCase) {
    CString s(L"BTN_Close");
    EXPECT_EQ(0, s.CompareNoCase(L"btn_close"));
    EXPECT_NE(0, s.Compare(L"btn_close"));
    EXPECT_LT(s.CompareNoCase(L"btn_closf"), 0);
    EXPECT_GT(s.CompareNoCase(L"BTN"), 0);
    EXPECT_EQ(0, s.CollateNoCase(L"BTN_CLOSE"));
    EXPECT_TRUE(L"BTN_Close" == s);
    EXPECT_TRUE(CString(L"a") < CString(L"b"));
    EXPECT_EQ(0, CString().Compare(nullptr));
}

TEST(CString, BuffersHandedOutAreTheStringsOwn) {
    CString original(L"shared text");
    CString copy = original;
    wchar_t* p = original.GetBuffer(64);
    wcscpy(p, L"rewritten");
    original.ReleaseBuffer();
    EXPECT_STREQ(L"rewritten", original);
    EXPECT_EQ(9, original.GetLength());
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
    wchar_t* r = t.GetBuffer(8);
    wcscpy(r, L"12345678");
    t.ReleaseBuffer(3);
    EXPECT_STREQ(L"123", t);

    // A buffer left without a terminator is measured within its room only.
    CString u;
    wchar_t* w = u.GetBufferSetLength(4);
    for (int i = 0; i < 4; ++i)
        w[i] = L'q';
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
    s.Trim();
    EXPECT_STREQ(L"Left Middle Right", s);
    EXPECT_STREQ(L"  \tLeft Middle Right \n", keep);
    CString t(L"xxhixx");
    t.TrimLeft(L'x');
    EXPECT_STREQ(L"hixx", t);
    t.TrimRight(L"x#");
    EXPECT_STREQ(L"hi", t);
    CString all(L"####");
    all.Trim(L'#');
    EXPECT_TRUE(all.IsEmpty());

    CString u(L"MiXeD \u00c9");
    u.MakeUpper();
    EXPECT_STREQ(L"MIXED \u00c9", u);
    u.MakeLower();
    EXPECT_STREQ(L"mixed \u00e9", u);

    CString r(L"a.b.c");
    EXPECT_EQ(2, r.Replace(L'.', L'/'));
    EXPECT_STREQ(L"a/b/c", r);
    EXPECT_EQ(2, r.Replace(L"/", L"::"));
    EXPECT_STREQ(L"a::b::c", r);
    EXPECT_EQ(0, r.Replace(L"", L"x"));
    EXPECT_EQ(4, r.Remove(L':'));
    EXPECT_STREQ(L"abc", r);
    EXPECT_EQ(5, r.Insert(1, L"XY"));
    EXPECT_STREQ(L"aXYbc", r);
    EXPECT_EQ(6, r.Insert(100, L'!'));
    EXPECT_STREQ(L"aXYbc!", r);
    EXPECT_EQ(4, r.Delete(1, 2));
    EXPECT_STREQ(L"abc!", r);
    EXPECT_EQ(3, r.Delete(3, 50));
    EXPECT_EQ(3, r.Delete(-5, 0));
    r.SetAt(0, L'A');
    EXPECT_EQ(L'A', r[0]);
    EXPECT_EQ(L'c', r.GetAt(2));

    CString grow(L"ab");
    grow += grow; // source is the string itself
    grow += L'c';
    grow += CString(L"d") + L"e" + L'f';
    EXPECT_STREQ(L"ababcdef", grow);
    EXPECT_STREQ(L"<ababcdef", L"<" + grow);
}

TEST(CString, TokenizeSkipsRunsOfDelimiters) {
    CString s(L";;0XFF000000;;12;x");
    int pos = 0;
    EXPECT_STREQ(L"0XFF000000", s.Tokenize(L";", pos));
    EXPECT_STREQ(L"12", s.Tokenize(L";", pos));
    EXPECT_STREQ(L"x", s.Tokenize(L";", pos));
    EXPECT_TRUE(s.Tokenize(L";", pos).IsEmpty());
    EXPECT_EQ(-1, pos);
    pos = 40;
    EXPECT_TRUE(s.Tokenize(L";", pos).IsEmpty());
    EXPECT_EQ(-1, pos);
}

TEST(CStringA, FormatsAndSlicesBytes) {
    CStringA s;
    s.Format("POST %s HTTP/1.1\r\nContent-Length: %d\r\n", "/up", 1234);
    s += "\r\n";
    EXPECT_EQ(s.Find("Content-Length"), 19);
    EXPECT_STREQ("/up", s.Mid(5, 3));
    EXPECT_STREQ("POST", s.Left(4));
    char* raw = s.GetBuffer(s.GetLength() + 10);
    raw[0] = 'p';
    s.ReleaseBuffer();
    EXPECT_EQ('p', s[0]);
    EXPECT_EQ(43, s.GetLength());
}

TEST(CString, LoadStringOfAMissingIdFailsCleanly) {
    CString s(L"unchanged");
    EXPECT_FALSE(s.LoadString(54321));
    EXPECT_STREQ(L"unchanged", s);
}
