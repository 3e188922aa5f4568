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

// Inserts past the end fill with empty strings; elements of the array itself
// may be added to it, and copies are independent.
TEST(CStringArray, EditsCopiesAndTakesItsOwnElements) {
    CStringArray a;
    for (int i = 0; i < 20; ++i) {
        CString s;
        s.Format(L"%d", i);
        EXPECT_EQ(i, a.Add(s));
    }
    a.RemoveAt(1, 18);
    a.InsertAt(1, L"x", 2);
    a.InsertAt(6, L"far");
    EXPECT_STREQ(L"0,x,x,19,,,far", Joined(a));
    a.SetSize(2);
    a.ElementAt(0) = L"z";
    a.Add(a[0]);
    EXPECT_STREQ(L"z,x,z", Joined(a));

    CStringArray b;
    b.Copy(a);
    b[0] = L"uno";
    EXPECT_EQ(3, a.Append(b));
    EXPECT_STREQ(L"z,x,z,uno,x,z", Joined(a));
    a.Append(a);
    EXPECT_EQ(12, a.GetSize());
    b.RemoveAt(1);
    b.InsertAt(1, &b);
    EXPECT_STREQ(L"uno,uno,z,z", Joined(b));
}
