#include <afxwin.h>
#include <gtest/gtest.h>

// Wrappers own exactly the handle they hold; temporaries own none.
TEST(Gdi, WrappersOwnExactlyTheHandleTheyHold) {
    HFONT hFont = nullptr;
    {
        CFont font;
        ASSERT_TRUE(font.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                    L"DejaVu Sans"));
        hFont = static_cast<HFONT>(font.m_hObject);
        EXPECT_FALSE(font.CreatePointFont(90, L"DejaVu Sans")); // already holds one
    }
    EXPECT_EQ(0u, static_cast<UINT>(::GetObjectType(hFont))); // deleted with its wrapper

    HBRUSH hBrush = ::CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(CBrush::FromHandle(hBrush), CBrush::FromHandle(hBrush));
    AfxLockTempMaps();
    AfxUnlockTempMaps(); // temporaries go, their handles stay
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(hBrush));
    ::DeleteObject(hBrush);
}
