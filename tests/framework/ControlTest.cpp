#include <afxcmn.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class COwnerDrawnButton : public CButton {
public:
    int m_nDrawn = 0;
    HWND m_hWndDrawn = nullptr;
    bool m_bReflectClicks = false;
    int m_nReflectedClicks = 0;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override {
        ++m_nDrawn;
        m_hWndDrawn = lpDIS->hwndItem;
        CDC* pDC = CDC::FromHandle(lpDIS->hDC);
        pDC->FillSolidRect(&lpDIS->rcItem, RGB(10, 200, 30));
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
    std::string m_log;

protected:
    afx_msg void OnButtonClicked() { ++m_nClicks; }
    afx_msg void OnSize(UINT nType, int cx, int cy) {
        m_log += "size;";
        CWnd::OnSize(nType, cx, cy);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
ON_BN_CLICKED(256, OnButtonClicked)
ON_WM_SIZE()
END_MESSAGE_MAP()

void Click(CWnd& wnd) {
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

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

TEST_F(Controls, DrawItemRequestsReachTheOwnerDrawnChild) {
    m_button.Invalidate();
    m_button.UpdateWindow();
    EXPECT_GE(m_button.m_nDrawn, 1);
    EXPECT_EQ(m_button.m_hWnd, m_button.m_hWndDrawn);
    CClientDC dc(&m_button);
    EXPECT_EQ(RGB(10, 200, 30), dc.GetPixel(3, 3));
}

TEST_F(Controls, ClicksReachTheParentUnlessTheChildTakesThem) {
    Click(m_button);
    EXPECT_EQ(1, m_parent.m_nClicks);
    EXPECT_EQ(1, m_button.m_nReflectedClicks);
    m_button.m_bReflectClicks = true;
    Click(m_button);
    EXPECT_EQ(1, m_parent.m_nClicks);
    EXPECT_EQ(2, m_button.m_nReflectedClicks);
}

TEST_F(Controls, MessagesWithoutEntriesGetDefaultProcessing) {
    m_parent.MoveWindow(50, 50, 220, 130);
    EXPECT_EQ(0u, m_parent.m_log.find("size;"));
    CRect rc;
    m_parent.GetClientRect(&rc);
    EXPECT_EQ(220, rc.Width());
    EXPECT_EQ(&m_parent, m_button.GetParent());
    EXPECT_EQ(&m_button, m_parent.GetDlgItem(256));
    EXPECT_EQ(256, m_button.GetDlgCtrlID());
}

TEST_F(Controls, ButtonStateCheckAndStyle) {
    CButton check;
    ASSERT_TRUE(check.Create(L"check", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 50, 90, 70),
                             &m_parent, 257));
    EXPECT_EQ(static_cast<UINT>(BS_AUTOCHECKBOX), check.GetButtonStyle());
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(BST_CHECKED, check.GetCheck());
    check.SetState(TRUE);
    EXPECT_TRUE(check.GetState() & BST_PUSHED);
    check.SetButtonStyle(BS_CHECKBOX);
    EXPECT_EQ(static_cast<UINT>(BS_CHECKBOX), check.GetButtonStyle());
    CString text;
    check.GetWindowText(text);
    EXPECT_STREQ(L"check", text);

    CStatic label;
    ASSERT_TRUE(label.Create(L"label", WS_VISIBLE | SS_NOTIFY, CRect(100, 50, 180, 70), &m_parent));
    EXPECT_TRUE(label.GetStyle() & WS_CHILD);
    label.GetWindowText(text);
    EXPECT_STREQ(L"label", text);
}

TEST_F(Controls, TooltipsRegisterToolsAndSettings) {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&m_parent));
    EXPECT_EQ(&m_parent, tip.GetOwner());
    tip.Activate(TRUE);
    EXPECT_TRUE(tip.AddTool(&m_button, L"Press me"));
    EXPECT_EQ(1, tip.GetToolCount());
    tip.SetMaxTipWidth(180);
    EXPECT_EQ(180, tip.GetMaxTipWidth());
    tip.SetDelayTime(TTDT_INITIAL, 123);
    EXPECT_EQ(123, tip.GetDelayTime(TTDT_INITIAL));
    tip.UpdateTipText(L"Changed", &m_button);

    TTTOOLINFOW ti;
    tip.FillInToolInfo(ti, &m_button, 0);
    wchar_t buffer[80] = {};
    ti.lpszText = buffer;
    ASSERT_TRUE(tip.SendMessage(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
    tip.SendMessage(TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(L"Changed", buffer);

    MSG msg = {m_button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3), GetTickCount(), {53, 53}};
    tip.RelayEvent(&msg); // handed to the control without complaint
    tip.DelTool(&m_button);
    EXPECT_EQ(0, tip.GetToolCount());
    EXPECT_FALSE(tip.AddTool(nullptr, L"x"));
    tip.DestroyWindow();
    PumpPending();
}

TEST_F(Controls, FontsAreSetAndReadBack) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"DejaVu Sans"));
    LOGFONTW lf;
    ASSERT_EQ(static_cast<int>(sizeof(lf)), font.GetLogFont(&lf));
    EXPECT_LT(lf.lfHeight, 0); // a character height
    EXPECT_STREQ(L"DejaVu Sans", lf.lfFaceName);
    CButton text;
    ASSERT_TRUE(text.Create(L"t", WS_VISIBLE, CRect(0, 0, 40, 20), &m_parent, 258));
    text.SetFont(&font);
    ASSERT_NE(nullptr, text.GetFont());
    EXPECT_EQ(font.m_hObject, text.GetFont()->m_hObject);
    EXPECT_TRUE(text.GetFont()->IsKindOf(RUNTIME_CLASS(CFont)));
    text.DestroyWindow(); // before the font it uses goes
}
