#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A plain Win32 window class whose procedure records what reaches it.
std::vector<UINT> g_originalSaw;

LRESULT CALLBACK OriginalProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_APP)
        g_originalSaw.push_back(msg);
    if (msg == WM_APP + 2)
        return 7;
    return DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND CreatePlainWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = OriginalProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvPlainTestWindow";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowExW(0, L"KvPlainTestWindow", L"plain", WS_POPUP, 10, 10, 100, 80, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

class CProbeWnd : public CWnd {
public:
    bool m_bPreSubclassed = false;
    bool m_bPostNcDestroyed = false;
    bool m_bCreated = false;
    bool m_bFailCreate = false;
    bool m_bCreateSawWindow = false;
    AFX_MODULE_STATE* m_pStateInHandler = nullptr;
    CString m_strTextDuringSet;

protected:
    void PreSubclassWindow() override { m_bPreSubclassed = true; }
    void PostNcDestroy() override { m_bPostNcDestroyed = true; }
    afx_msg LRESULT OnAnswer(WPARAM wParam, LPARAM) {
        m_pStateInHandler = AfxGetModuleState();
        return 40 + static_cast<LRESULT>(wParam);
    }
    afx_msg int OnCreate(LPCREATESTRUCTW lpCreateStruct) {
        m_bCreated = true;
        m_bCreateSawWindow = m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this;
        if (m_bFailCreate)
            return -1;
        return CWnd::OnCreate(lpCreateStruct);
    }
    afx_msg LRESULT OnSetText(WPARAM, LPARAM) {
        LRESULT result = Default(); // the system stores the text
        GetWindowText(m_strTextDuringSet);
        return result;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
ON_MESSAGE(WM_APP + 1, OnAnswer)
ON_WM_CREATE()
ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

// Deletes itself once its window is gone, as modeless windows often do.
class CSelfDeletingWnd : public CWnd {
public:
    static int s_nDeleted;
    ~CSelfDeletingWnd() override { ++s_nDeleted; }

protected:
    void PostNcDestroy() override { delete this; }
};
int CSelfDeletingWnd::s_nDeleted = 0;

} // namespace

TEST(Window, SubclassingRoutesMappedMessagesAndPassesTheRestOn) {
    g_originalSaw.clear();
    HWND hWnd = CreatePlainWindow();
    ASSERT_NE(nullptr, hWnd);
    CProbeWnd probe;
    ASSERT_TRUE(probe.SubclassWindow(hWnd));
    EXPECT_TRUE(probe.m_bPreSubclassed);
    EXPECT_EQ(&probe, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(&probe, CWnd::FromHandle(hWnd));

    EXPECT_EQ(42, ::SendMessageW(hWnd, WM_APP + 1, 2, 0)); // the map's handler
    EXPECT_EQ(7, ::SendMessageW(hWnd, WM_APP + 2, 0, 0));  // the original procedure
    EXPECT_EQ(std::vector<UINT>{WM_APP + 2}, g_originalSaw);

    probe.SetWindowText(L"routed");
    EXPECT_STREQ(L"routed", probe.m_strTextDuringSet);

    EXPECT_EQ(hWnd, probe.UnsubclassWindow());
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    g_originalSaw.clear();
    EXPECT_EQ(0, ::SendMessageW(hWnd, WM_APP + 1, 2, 0));
    EXPECT_EQ(std::vector<UINT>{WM_APP + 1}, g_originalSaw);
    ::DestroyWindow(hWnd);
}

TEST(Window, HandleMapLosesTheWindowAtNcDestroy) {
    CProbeWnd probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, L"probe", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
    HWND hWnd = probe.m_hWnd;
    EXPECT_TRUE(probe.m_bPreSubclassed);
    EXPECT_TRUE(probe.m_bCreated);
    EXPECT_TRUE(probe.m_bCreateSawWindow); // attached before WM_CREATE
    EXPECT_TRUE(::DestroyWindow(hWnd));
    EXPECT_EQ(nullptr, probe.m_hWnd);
    EXPECT_TRUE(probe.m_bPostNcDestroyed);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));

    auto* pSelf = new CSelfDeletingWnd;
    ASSERT_TRUE(pSelf->CreateEx(0, nullptr, L"self", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    HWND hSelf = pSelf->m_hWnd;
    int deletedBefore = CSelfDeletingWnd::s_nDeleted;
    EXPECT_TRUE(pSelf->DestroyWindow()); // the object is gone afterwards
    EXPECT_EQ(deletedBefore + 1, CSelfDeletingWnd::s_nDeleted);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hSelf));
}

TEST(Window, FailedCreationLeavesNoWindowBehind) {
    CProbeWnd probe;
    probe.m_bFailCreate = true;
    EXPECT_FALSE(probe.CreateEx(0, nullptr, L"fails", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    EXPECT_TRUE(probe.m_bCreated);
    EXPECT_EQ(nullptr, probe.m_hWnd);
    EXPECT_TRUE(probe.m_bPostNcDestroyed);

    CProbeWnd noClass;
    EXPECT_FALSE(
        noClass.CreateEx(0, L"NoSuchWindowClass", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    EXPECT_EQ(nullptr, noClass.m_hWnd);
}

TEST(Window, ForeignWindowsGetTemporaryObjects) {
    HWND hWnd = CreatePlainWindow();
    ASSERT_NE(nullptr, hWnd);
    AfxLockTempMaps();
    CWnd* pTemp = CWnd::FromHandle(hWnd);
    ASSERT_NE(nullptr, pTemp);
    EXPECT_EQ(hWnd, pTemp->m_hWnd);
    EXPECT_EQ(pTemp, CWnd::FromHandle(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(RUNTIME_CLASS(CWnd), pTemp->GetRuntimeClass());
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    CWnd* volatile pNone = nullptr; // MFC code asks null window pointers for their handle
    EXPECT_EQ(nullptr, pNone->GetSafeHwnd());
    EXPECT_TRUE(AfxUnlockTempMaps());
    // The temporary is gone, the window is not.
    EXPECT_TRUE(::IsWindow(hWnd));
    ::DestroyWindow(hWnd);
}

TEST(Window, ProceduresRunUnderTheCreatingModulesState) {
    static AFX_MODULE_STATE moduleState;
    moduleState.m_hCurrentInstanceHandle = GetModuleHandleW(nullptr);
    CProbeWnd* pProbe = nullptr;
    {
        AFX_MANAGE_STATE(&moduleState);
        pProbe = new CProbeWnd;
        ASSERT_TRUE(pProbe->CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    }
    AFX_MODULE_STATE* outside = AfxGetModuleState();
    ASSERT_NE(&moduleState, outside);
    pProbe->SendMessage(WM_APP + 1);
    EXPECT_EQ(&moduleState, pProbe->m_pStateInHandler);
    EXPECT_EQ(outside, AfxGetModuleState());
    pProbe->DestroyWindow();
    delete pProbe;
    {
        AFX_MANAGE_STATE(&moduleState);
        AfxWinTerm(); // the class it registered goes with it
    }
}

TEST(Window, PlacementMarkersAndGeometry) {
    CProbeWnd probe;
    ASSERT_TRUE(probe.CreateEx(0, nullptr, L"", WS_POPUP, 30, 40, 120, 90, nullptr, nullptr));
    EXPECT_TRUE(probe.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(probe.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(probe.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_FALSE(probe.GetExStyle() & WS_EX_TOPMOST);

    probe.MoveWindow(5, 6, 70, 50);
    CRect rc;
    probe.GetWindowRect(&rc);
    EXPECT_EQ(CRect(5, 6, 75, 56), rc);
    CPoint pt(1, 2);
    probe.ClientToScreen(&pt);
    EXPECT_EQ(CPoint(6, 8), pt);
    probe.ScreenToClient(&pt);
    EXPECT_EQ(CPoint(1, 2), pt);

    EXPECT_TRUE(probe.ModifyStyle(0, WS_DISABLED));
    EXPECT_FALSE(probe.IsWindowEnabled());
    EXPECT_FALSE(probe.ModifyStyle(0, WS_DISABLED)); // nothing changed
    probe.EnableWindow(TRUE);
    EXPECT_TRUE(probe.IsWindowEnabled());
    probe.DestroyWindow();
}
