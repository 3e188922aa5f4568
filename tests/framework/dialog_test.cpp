#include "framework_kit.h"

#include <map>

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
