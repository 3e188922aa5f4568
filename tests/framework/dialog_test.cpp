#include "framework_kit.h"

#include "tests/common/ResourceKit.h"

#include <map>
#include <utility>

namespace {

// Takes one message in PreTranslateMessage, so that the modal window never sees it.
class CTakingWnd : public CWnd {
public:
    BOOL PreTranslateMessage(MSG* pMsg) override { return pMsg->message == WM_APP + 14; }
};

class COfferedDialog : public CDialog {
public:
    COfferedDialog() : CDialog(200) {}
    std::map<UINT, int> m_offered;
    HWND m_hUnrelated = nullptr;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        HWND hOwned = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, m_hWnd, nullptr,
                                        nullptr, nullptr);
        m_taker.Create(nullptr, L"", 0, CRect(0, 0, 5, 5), this, 50);
        ::PostThreadMessageW(GetCurrentThreadId(), WM_APP + 10, 0, 0);
        ::PostMessageW(m_hUnrelated, WM_APP + 11, 0, 0);
        ::PostMessageW(::GetDlgItem(m_hWnd, IDOK), WM_APP + 12, 0, 0);
        ::PostMessageW(hOwned, WM_APP + 13, 0, 0);
        m_taker.PostMessage(WM_APP + 14);
        PostMessage(WM_APP + 19);
        PostMessage(WM_COMMAND, IDOK);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message >= WM_APP + 10 && pMsg->message < WM_APP + 20)
            ++m_offered[pMsg->message];
        return CDialog::PreTranslateMessage(pMsg);
    }

private:
    CTakingWnd m_taker;
};

const int kRoundsPerMessage = 10;
const int kWarmUpMessages = 200;
const int kMessages = 10000; // 100,000 erase round trips

// Each posted message sends the dialog erase requests whose handler wraps
// foreign device contexts, brushes and windows in temporaries.
class CRoundTripDialog : public CDialog {
public:
    CRoundTripDialog() : CDialog(200) {}
    ~CRoundTripDialog() override {
        for (HBRUSH hBrush : m_brushes)
            ::DeleteObject(hBrush);
    }
    long long m_nBaseline = 0;
    long long m_nAfter = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessage(WM_APP);
        return TRUE;
    }
    afx_msg LRESULT OnRounds(WPARAM, LPARAM) {
        if (++m_nMessage == kWarmUpMessages)
            m_nBaseline = ResourceKit::PrivateBytes();
        if (m_nMessage > kMessages) {
            m_nAfter = ResourceKit::PrivateBytes();
            EndDialog(IDOK);
            return 0;
        }
        for (int i = 0; i < kRoundsPerMessage; ++i)
            SendMessage(WM_ERASEBKGND);
        PostMessage(WM_APP);
        return 0;
    }
    // Keeps the last thousand brushes, so that the system hands out handle
    // values not seen before, as it does for a long-running program.
    afx_msg BOOL OnEraseBkgnd(CDC*) {
        HDC hDC = ::GetDC(m_hWnd);
        HBRUSH hBrush = ::CreateSolidBrush(RGB(m_nMessage & 255, 0, 0));
        CDC::FromHandle(hDC)->FillRect(CRect(0, 0, 4, 4), CBrush::FromHandle(hBrush));
        CWnd::FromHandle(::GetDesktopWindow());
        ::ReleaseDC(m_hWnd, hDC);
        ::DeleteObject(std::exchange(m_brushes[m_nRound++ % 1000], hBrush));
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()

private:
    int m_nMessage = 0;
    int m_nRound = 0;
    HBRUSH m_brushes[1000] = {};
};

BEGIN_MESSAGE_MAP(CRoundTripDialog, CDialog)
ON_MESSAGE(WM_APP, OnRounds)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

} // namespace

// Templates come from the current module, then from the application's chain,
// which holds every loaded module of the framework; or from memory.
TEST(Dialog, TemplatesAreFoundWhereverTheyWereCompiled) {
    HMODULE hModule = LoadLibraryW(L"KvAfxTestModule.dll");
    ASSERT_NE(nullptr, hModule);
    CDialog modeless;
    ASSERT_TRUE(modeless.Create(100)); // the module's, under the program's state
    EXPECT_NE(nullptr, modeless.GetDlgItem(1001));
    modeless.DestroyWindow();

    ASSERT_TRUE(modeless.CreateIndirect(TemplateInMemory(201)));
    // IDCANCEL ends through OnCancel; a modeless dialog stays until destroyed.
    modeless.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(::IsWindow(modeless.m_hWnd));
    EXPECT_TRUE(modeless.DestroyWindow());

    ASSERT_TRUE(FreeLibrary(hModule));
    CDialog gone(100); // left the chain with its module
    EXPECT_EQ(-1, gone.DoModal());
}

// A thread message, a window it does not own, its child, a pop-up it owns, and
// a message a framework window below it takes first: that window, made in
// WM_INITDIALOG while the dialog is still being made, must be its own object.
TEST(Dialog, ModalLoopOffersEveryMessageOfTheThreadOnce) {
    COfferedDialog dlg;
    dlg.m_hUnrelated = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr,
                                         nullptr, nullptr);
    EXPECT_EQ(IDOK, dlg.DoModal());
    std::map<UINT, int> expected = {
        {WM_APP + 10, 1}, {WM_APP + 11, 1}, {WM_APP + 12, 1}, {WM_APP + 13, 1}, {WM_APP + 19, 1}};
    EXPECT_EQ(expected, dlg.m_offered);
    ::DestroyWindow(dlg.m_hUnrelated);
}

// Temporaries go after each message of a modal loop, even of one run inside a
// message, where no message it dispatches is the outermost one.
TEST(Dialog, TemporariesOfModalRoundTripsAreReleased) {
    const long long kAllowance = 1 << 20; // without release: about 100 bytes a round trip
    CRoundTripDialog dlg;
    INT_PTR result = 0;
    CCallWnd host;
    host.Call([&] { result = dlg.DoModal(); });
    EXPECT_EQ(IDOK, result);
    ASSERT_NE(0, dlg.m_nBaseline);
    EXPECT_LT(dlg.m_nAfter, dlg.m_nBaseline + kAllowance)
        << "grew by " << (dlg.m_nAfter - dlg.m_nBaseline) << " bytes";
}
