#include <afx.h>
#include <gtest/gtest.h>

namespace {
CString Joined(const CStringArray& a) {
    CString out;
    for (INT_PTR i = 0; i < a.GetSize(); ++i)
        out += (i ? L"," : L"") + a[i];
    return out;
}
} // namespace

TEST(CStringArray, GrowsShrinksAndKeepsOrder) {
    CStringArray a;
    EXPECT_TRUE(a.IsEmpty());
    for (int i = 0; i < 20; ++i) {
        CString s;
        s.Format(L"%d", i);
        EXPECT_EQ(i, a.Add(s));
    }
    EXPECT_EQ(20, a.GetCount());
    a.RemoveAt(1, 18);
    EXPECT_STREQ(L"0,19", Joined(a));
    a.InsertAt(1, L"x", 2);
    EXPECT_STREQ(L"0,x,x,19", Joined(a));
    a.InsertAt(6, L"far");
    EXPECT_STREQ(L"0,x,x,19,,,far", Joined(a));
    a.SetSize(2);
    EXPECT_STREQ(L"0,x", Joined(a));
    a.SetAt(1, L"y");
    a.ElementAt(0) = L"z";
    EXPECT_STREQ(L"z,y", Joined(a));
    a.Add(a[0]); // an element of the array itself
    EXPECT_STREQ(L"z,y,z", Joined(a));
    a.RemoveAll();
    EXPECT_EQ(0, a.GetSize());
}

TEST(CStringArray, CopiesAndAppendsIndependently) {
    CStringArray a, b;
    a.Add(L"one");
    a.Add(L"two");
    b.Copy(a);
    b[0] = L"uno";
    EXPECT_STREQ(L"one,two", Joined(a));
    EXPECT_STREQ(L"uno,two", Joined(b));
    EXPECT_EQ(2, a.Append(b));
    EXPECT_STREQ(L"one,two,uno,two", Joined(a));
    a.Append(a);
    EXPECT_EQ(8, a.GetSize());
    CStringArray c;
    c.Add(L"first");
    c.Add(L"last");
    c.InsertAt(1, &b);
    EXPECT_STREQ(L"first,uno,two,last", Joined(c));
}
