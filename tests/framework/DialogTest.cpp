#include <afxwin.h>
#include <gtest/gtest.h>

namespace {

typedef INT_PTR (*RunModuleDialogFn)(int nMode, int* pPreTranslated);

class ModuleDialog : public testing::Test {
protected:
    void SetUp() override {
        m_hModule = LoadLibraryW(L"KvAfxTestModule.dll");
        ASSERT_NE(nullptr, m_hModule);
        m_run = reinterpret_cast<RunModuleDialogFn>(
            reinterpret_cast<void*>(GetProcAddress(m_hModule, "RunModuleDialog")));
        ASSERT_NE(nullptr, m_run);
    }
    void TearDown() override { FreeLibrary(m_hModule); }

    HMODULE m_hModule = nullptr;
    RunModuleDialogFn m_run = nullptr;
};

class CProgramDialog : public CDialog {
public:
    CProgramDialog() : CDialog(200) {}
    int m_nInit = 0;
    bool m_bEndAtInit = false;

protected:
    BOOL OnInitDialog() override {
        ++m_nInit;
        CDialog::OnInitDialog();
        if (m_bEndAtInit)
            EndDialog(5);
        return TRUE;
    }
};

} // namespace

TEST_F(ModuleDialog, ModalDialogEndsWithItsEndDialogResult) {
    int preTranslated = 0;
    EXPECT_EQ(1234, m_run(1, &preTranslated));
    EXPECT_EQ(77, m_run(0, &preTranslated)); // ended inside OnInitDialog: no loop
    EXPECT_EQ(0, preTranslated);
}

TEST_F(ModuleDialog, EnterAndEscapeGoThroughTheDialogManager) {
    int preTranslated = 0;
    EXPECT_EQ(IDOK, m_run(2, &preTranslated));
    EXPECT_GE(preTranslated, 1); // the key went through PreTranslateMessage first
    EXPECT_EQ(IDCANCEL, m_run(3, &preTranslated));
}

TEST(Dialog, TemplatesAreFoundThroughTheCurrentModule) {
    CDialog other(100); // exists only in the test module's resources
    EXPECT_EQ(-1, other.DoModal());
    CProgramDialog own;
    own.m_bEndAtInit = true;
    EXPECT_EQ(5, own.DoModal());
    EXPECT_EQ(1, own.m_nInit);
    EXPECT_EQ(nullptr, own.m_hWnd);
}

TEST(Dialog, ModelessDialogNavigatesItsGroups) {
    CProgramDialog dlg;
    ASSERT_TRUE(dlg.Create(200));
    EXPECT_EQ(1, dlg.m_nInit);
    CWnd* pOne = dlg.GetDlgItem(301);
    CWnd* pTwo = dlg.GetDlgItem(302);
    CWnd* pThree = dlg.GetDlgItem(303);
    ASSERT_NE(nullptr, pOne);
    EXPECT_EQ(pTwo, dlg.GetNextDlgGroupItem(pOne));
    EXPECT_EQ(pOne, dlg.GetNextDlgGroupItem(pThree)); // wraps within the group
    EXPECT_EQ(pThree, dlg.GetNextDlgGroupItem(pOne, TRUE));
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(IDOK, DC_HASDEFID)), dlg.GetDefID());

    // IDCANCEL ends through OnCancel; a modeless dialog stays until destroyed.
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}
