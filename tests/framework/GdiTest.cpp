#include <afxwin.h>
#include <gtest/gtest.h>

// SelectObject hands back what it replaced, as a wrapper of the right class.
TEST(Gdi, MemoryDcDrawsIntoASelectedBitmap) {
    CClientDC screen(nullptr);
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 16, 16));
    CBitmap* pOld = mem.SelectObject(&bitmap);
    ASSERT_NE(nullptr, pOld);
    EXPECT_TRUE(pOld->IsKindOf(RUNTIME_CLASS(CBitmap)));
    EXPECT_EQ(bitmap.m_hObject, mem.GetCurrentBitmap()->m_hObject);
    mem.FillSolidRect(CRect(4, 4, 8, 8), RGB(0, 0, 255));
    EXPECT_EQ(RGB(0, 0, 255), mem.GetPixel(5, 5));
    mem.SelectObject(pOld); // deselected before the bitmap is deleted
}

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
}

namespace {
class CPainted : public CWnd {
public:
    COLORREF m_clrSeen = CLR_INVALID;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
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
    EXPECT_EQ(RGB(0, 128, 255), wnd.m_clrSeen);
    CRect update;
    EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, &update, FALSE)); // validated by EndPaint
    wnd.DestroyWindow();
}
