#include <afxwin.h>
#include <gtest/gtest.h>

// Wrappers own exactly the handle they hold; temporaries own none. SelectObject
// hands back what it replaced as a temporary of the right class.
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
    CBrush* pTemp = CBrush::FromHandle(hBrush);
    EXPECT_EQ(pTemp, CBrush::FromHandle(hBrush));
    AfxLockTempMaps();
    AfxUnlockTempMaps(); // temporaries go, their handles stay
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(hBrush));
    CBrush owner;
    EXPECT_TRUE(owner.Attach(hBrush));
    EXPECT_EQ(hBrush, owner.Detach());
    ::DeleteObject(hBrush);

    CClientDC screen(nullptr);
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 16));
    CBitmap* pOld = mem.SelectObject(&bitmap);
    ASSERT_NE(nullptr, pOld);
    EXPECT_TRUE(pOld->IsKindOf(RUNTIME_CLASS(CBitmap)));
    mem.SelectObject(pOld); // deselected before the bitmap is deleted
}
