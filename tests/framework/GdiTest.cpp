#include <afxwin.h>
#include <gtest/gtest.h>

TEST(Gdi, MemoryDcDrawsIntoASelectedBitmap) {
    CClientDC screen(nullptr);
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 16));
    CBitmap* pOld = mem.SelectObject(&bitmap);
    ASSERT_NE(nullptr, pOld);
    EXPECT_NE(bitmap.m_hObject, pOld->m_hObject);
    mem.FillSolidRect(0, 0, 16, 16, RGB(255, 0, 0));
    mem.FillSolidRect(CRect(4, 4, 8, 8), RGB(0, 0, 255));
    EXPECT_EQ(RGB(255, 0, 0), mem.GetPixel(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), mem.GetPixel(5, 5));

    CDC copy;
    ASSERT_TRUE(copy.CreateCompatibleDC(&screen));
    CBitmap target;
    ASSERT_TRUE(target.CreateCompatibleBitmap(&screen, 16, 16));
    CBitmap* pOldTarget = copy.SelectObject(&target);
    EXPECT_TRUE(copy.BitBlt(0, 0, 16, 16, &mem, 0, 0, SRCCOPY));
    EXPECT_EQ(RGB(0, 0, 255), copy.GetPixel(6, 6));
    copy.SelectObject(pOldTarget);
    mem.SelectObject(pOld); // deselected before the bitmap is deleted
    BITMAP info;
    ASSERT_EQ(static_cast<int>(sizeof(info)), bitmap.GetBitmap(&info));
    EXPECT_EQ(16, info.bmWidth);
}

TEST(Gdi, WrappersOwnExactlyTheHandleTheyHold) {
    HFONT hFont = nullptr;
    {
        CFont font;
        ASSERT_TRUE(font.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                    L"DejaVu Sans"));
        hFont = static_cast<HFONT>(font.m_hObject);
        EXPECT_FALSE(font.CreatePointFont(90, L"DejaVu Sans")); // already holds one
        EXPECT_EQ(static_cast<UINT>(OBJ_FONT), font.GetObjectType());
    }
    EXPECT_EQ(0u, static_cast<UINT>(::GetObjectType(hFont))); // deleted with its wrapper

    HBRUSH hBrush = ::CreateSolidBrush(RGB(1, 2, 3));
    {
        CBrush* pTemp = CBrush::FromHandle(hBrush);
        EXPECT_EQ(pTemp, CBrush::FromHandle(hBrush));
        AfxLockTempMaps();
        AfxUnlockTempMaps(); // temporaries go, their handles stay
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(hBrush));
    CBrush owner;
    EXPECT_TRUE(owner.Attach(hBrush));
    EXPECT_EQ(hBrush, owner.Detach());
    ::DeleteObject(hBrush);
}

namespace {
class CPainted : public CWnd {
public:
    int m_nPaints = 0;
    COLORREF m_clrSeen = CLR_INVALID;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++m_nPaints;
        dc.FillSolidRect(&dc.m_ps.rcPaint, RGB(0, 128, 255));
        m_clrSeen = dc.GetPixel(1, 1);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPainted, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()
} // namespace

TEST(Gdi, PaintDcBracketsThePaintMessage) {
    CPainted wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr));
    wnd.Invalidate();
    wnd.UpdateWindow();
    EXPECT_GE(wnd.m_nPaints, 1);
    EXPECT_EQ(RGB(0, 128, 255), wnd.m_clrSeen);
    CRect update;
    EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, &update, FALSE)); // validated by EndPaint
    wnd.DestroyWindow();
}
