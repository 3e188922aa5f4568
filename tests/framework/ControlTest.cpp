#include <afxcmn.h>
#include <gtest/gtest.h>

namespace {

class COwnerDrawnButton : public CButton {
public:
    int m_nDrawn = 0;
    bool m_bReflectClicks = false;
    int m_nReflectedClicks = 0;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
        ++m_nDrawn;
        CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, RGB(10, 200, 30));
    }

protected:
    afx_msg BOOL OnReflectedClick() {
        ++m_nReflectedClicks;
        return m_bReflectClicks; // FALSE lets the parent see the click too
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDrawnButton, CButton)
ON_CONTROL_REFLECT_EX(BN_CLICKED, OnReflectedClick)
END_MESSAGE_MAP()

class CParentWnd : public CWnd {
public:
    int m_nClicks = 0;

protected:
    afx_msg void OnButtonClicked() { ++m_nClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
ON_BN_CLICKED(256, OnButtonClicked)
END_MESSAGE_MAP()

class Controls : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, L"parent", WS_POPUP | WS_VISIBLE, 50, 50, 200,
                                      120, nullptr, nullptr));
        ASSERT_TRUE(
            m_button.Create(L"", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 40), &m_parent, 256));
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    CParentWnd m_parent;
    COwnerDrawnButton m_button;
};

} // namespace

// Drawing requests are reflected to the owner-drawn child; clicks reach the
// parent unless the child's reflected entry takes them.
TEST_F(Controls, NotificationsAreReflectedToTheChild) {
    m_button.Invalidate();
    m_button.UpdateWindow();
    EXPECT_GE(m_button.m_nDrawn, 1);
    CClientDC dc(&m_button);
    EXPECT_EQ(RGB(10, 200, 30), dc.GetPixel(3, 3));

    for (bool take : {false, true}) {
        m_button.m_bReflectClicks = take;
        m_button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        m_button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    EXPECT_EQ(1, m_parent.m_nClicks);
    EXPECT_EQ(2, m_button.m_nReflectedClicks);
}

// A tool is a whole child window (no ID) or a rectangle of a window with an ID.
TEST_F(Controls, TooltipToolsAreWholeWindowsOrRectangles) {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&m_parent));
    EXPECT_TRUE(tip.AddTool(&m_button, L"Press me"));
    CRect area(0, 0, 20, 20);
    EXPECT_TRUE(tip.AddTool(&m_parent, L"Area", &area, 7));
    EXPECT_FALSE(tip.AddTool(&m_parent, L"x", &area)); // a rectangle needs its own ID
    EXPECT_FALSE(tip.AddTool(nullptr, L"x"));
    EXPECT_EQ(2, tip.GetToolCount());
    tip.DelTool(&m_button);
    tip.DelTool(&m_parent, 7);
    EXPECT_EQ(0, tip.GetToolCount());
    tip.DestroyWindow();
}
