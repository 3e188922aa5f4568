// Skinned dialogs in real windows, driven by real messages.
#include "DialogKit.h"

#include "skin/BmpButton.h"
#include "skin/Label.h"
#include "tools/common/Input.h"

#include <gtest/gtest.h>

using namespace DialogKit;

namespace {

const Gdiplus::ARGB kTop = 0xFF2060A0;

// Opaque top half; bottom left red at half alpha, bottom right clear.
void SaveBackground(const ImageKit::TempFolder& folder, const wchar_t* name, Gdiplus::ARGB top) {
    Gdiplus::Bitmap image(240, 160, PixelFormat32bppARGB);
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 240; ++x)
            image.SetPixel(x, y, Gdiplus::Color(y < 80 ? top : x < 120 ? 0x80FF0000 : 0));
    ImageKit::SavePng(image, folder.File(name));
}

// The label with ID 256 painted into a bitmap: its top-left pixel.
DWORD LabelCorner(CProbeDlg& dlg) {
    CSheetCanvas canvas(4, 4);
    ::SendMessageW(::GetDlgItem(dlg.m_hWnd, 256), WM_ERASEBKGND,
                   reinterpret_cast<WPARAM>(canvas.DC()->m_hDC), 0);
    return canvas.Pixel(0, 0);
}

// A real click on the button with ID 256 + 2, then the end message.
void ClickOkThenEnd(CProbeDlg& dlg) {
    KvInput::PostClick(::GetDlgItem(dlg.m_hWnd, 258), {5, 5});
    dlg.PostMessage(WM_PROBE_END, 42);
}

class SkinDialogTest : public testing::Test {
protected:
    void SetUp() override {
        SaveBackground(m_folder, L"back.png", kTop);
        ImageKit::SaveStrip(m_folder, L"strip.png", {0xFF00C000, 0xFF00D000, 0xFF00E000, 0}, 60,
                            24);
        ImageKit::WriteBytes(m_folder.File(L"app.ico"), ImageKit::IconFileBytes(1, 32));
        m_skin.window = Parse(L"Title=Skinned|Icon=app.ico|BackBmp=back.png|SheetSize=240,160|"
                              L"FontName=DejaVu Sans|FontSize=0x0D|FontWeight=700|ShowToolTip=1|"
                              L"IsDrag=1|CaptionHeight=30|FontColor=0xFF102030");
        m_skin.items = {Parse(L"ID=status|Name=Ready|Pos=10,40,100,20|ControlType=1|"
                              L"ControlStyle=0x80|ToolTip=Status line"),
                        Parse(L"ID=spare|Pos=0,0,5,5|ControlType=3"),
                        Parse(L"ID=IDOK|Name=&amp;OK|Pos=10,100,60,24|ControlType=2|"
                              L"BkImg=strip.png|ToolTip=Accept"),
                        Parse(L"ID=close|Pos=200,4,30,20|ControlType=4|BkImg=strip.png")};
    }
    void TearDown() override {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
    }

    std::wstring SkinPath() { return WriteSkin(m_folder, L"skin.xml", m_skin); }
    void CreateShown(CProbeDlg& dlg) { ASSERT_TRUE(CreateShownAt(dlg, {100, 100}, SkinPath(), 0)); }
    // A modal run whose initialisation loads the skin, then posts what the test needs.
    INT_PTR RunModal(CProbeDlg& dlg, std::function<void(CProbeDlg&)> act) {
        const std::wstring path = SkinPath();
        dlg.m_onInit = [&](CProbeDlg& self) {
            self.LoadTestSkin(path);
            act(self);
        };
        return dlg.DoModal();
    }

    ImageKit::TempFolder m_folder;
    Skin m_skin;
    CProbeDlg m_dlg;
};

} // namespace

TEST_F(SkinDialogTest, WindowAndItemControlsTakeWhatTheSkinSays) {
    CProbeDlg captioned(300); // shown, a captioned window would wait for a window manager
    ASSERT_TRUE(captioned.Create(300));
    captioned.LoadTestSkin(SkinPath());
    CreateShown(m_dlg);
    CString title;
    captioned.GetWindowText(title);
    EXPECT_STREQ(title, L"Skinned");
    ASSERT_NE(captioned.m_hIcon, nullptr);
    EXPECT_EQ(captioned.GetIcon(FALSE), captioned.m_hIcon);
    CRect rc;
    captioned.GetWindowRect(&rc);
    EXPECT_EQ(rc.Size(), CSize(240 + 2 * ::GetSystemMetrics(SM_CXDLGFRAME),
                               160 + 2 * ::GetSystemMetrics(SM_CYDLGFRAME) +
                                   ::GetSystemMetrics(SM_CYCAPTION)));
    m_dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.Size(), CSize(240, 160));

    // The template's controls carry the dialog font; item controls come later.
    const LRESULT hFont = reinterpret_cast<LRESULT>(captioned.m_font.GetSafeHandle());
    EXPECT_EQ(captioned.GetDlgItem(IDCANCEL)->SendMessage(WM_GETFONT), hFont);
    // Its size (written 0x0D) the model and scale suites check.
    LOGFONTW font = {};
    ASSERT_TRUE(captioned.m_font.GetLogFont(&font));
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_STREQ(font.lfFaceName, L"DejaVu Sans");

    // One child per item, with its class, rectangle, style, text and tooltip.
    const DWORD dwButton = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
    const struct {
        UINT nID;
        CRuntimeClass* pClass; // null: no control
        bool bShaped;
        CRect rc;
        DWORD dwStyle;
        LPCWSTR pszText, pszTip;
    } rows[] = {
        // clang-format off
        {256, RUNTIME_CLASS(CLabel), false, {10, 40, 110, 60},
         WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX, L"", L"Status line"},
        {257, nullptr, false, {}, 0, L"", L""},
        {258, RUNTIME_CLASS(CKvBmpButton), false, {10, 100, 70, 124}, dwButton, L"&OK", L"Accept"},
        {259, RUNTIME_CLASS(CKvBmpButton), true, {200, 4, 230, 24}, dwButton, L"", L""},
        // clang-format on
    };
    for (const auto& row : rows) {
        CWnd* pChild = CWnd::FromHandlePermanent(::GetDlgItem(m_dlg.m_hWnd, row.nID));
        if (!row.pClass) {
            EXPECT_EQ(pChild, nullptr); // its index still counts
            continue;
        }
        ASSERT_NE(pChild, nullptr) << row.nID;
        EXPECT_TRUE(pChild->IsKindOf(row.pClass)) << row.nID;
        EXPECT_EQ(dynamic_cast<CKvBmpButtonRegin*>(pChild) != nullptr, row.bShaped) << row.nID;
        CRect rc;
        pChild->GetWindowRect(&rc);
        m_dlg.ScreenToClient(&rc);
        EXPECT_EQ(rc, row.rc) << row.nID;
        EXPECT_EQ(pChild->GetStyle() & ~(WS_TABSTOP | WS_GROUP), row.dwStyle) << row.nID;
        CString text;
        pChild->GetWindowText(text);
        EXPECT_STREQ(text, row.pszText);
        EXPECT_STREQ(
            ToolTipText(m_dlg.m_toolTip.m_hWnd, m_dlg.m_hWnd, ::GetDlgItem(m_dlg.m_hWnd, row.nID)),
            row.pszTip);
    }
    EXPECT_EQ(m_dlg.m_toolTip.GetToolCount(), 2);
}

TEST_F(SkinDialogTest, ClicksOnItemsApplyTheirRolesInAnyCaseUnlessTheHookHandledThem) {
    // Handled, an OK item does not end it; other commands (Cancel, and one
    // past the last item) go to the framework.
    m_dlg.m_bItemCommandResult = FALSE;
    EXPECT_EQ(RunModal(m_dlg,
                       [](CProbeDlg& dlg) {
                           dlg.PostMessage(WM_COMMAND, MAKEWPARAM(258, BN_CLICKED));
                           dlg.PostMessage(WM_COMMAND, 256 + 4); // one past the last item
                           dlg.PostMessage(WM_COMMAND, IDCANCEL);
                           dlg.PostMessage(WM_PROBE_END, 42);
                       }),
              IDCANCEL);
    EXPECT_EQ(m_dlg.m_itemCommands.size(), 1u);
    // The same object runs again: its items get new controls.
    EXPECT_EQ(RunModal(m_dlg, ClickOkThenEnd), 42);
    EXPECT_EQ(m_dlg.m_itemCommands.size(), 2u);

    const struct {
        LPCWSTR pszID;
        INT_PTR nResult;
    } rows[] = {{L"close", IDCANCEL}, {L"idok", IDOK}, {L"idNo", IDNO}, {L"BTN_CLOSE", 42}};
    for (const auto& row : rows) {
        SetAttribute(m_skin.items[2], L"ID", row.pszID);
        CProbeDlg dlg;
        EXPECT_EQ(RunModal(dlg, ClickOkThenEnd), row.nResult) << row.pszID;
        EXPECT_EQ(dlg.m_itemCommands, std::vector<CString>{row.pszID});
    }
    // (That a minimised window pushes no picture, the windowless suite checks.)
    SetAttribute(m_skin.items[2], L"ID", L"Minimize");
    CProbeDlg shown;
    CreateShown(shown);
    shown.SendMessage(WM_COMMAND, MAKEWPARAM(258, BN_CLICKED));
    EXPECT_TRUE(shown.IsIconic());
    shown.DestroyWindow();
}

// The sheet is wider than the background: the rest is the button face. (A
// control's new look recomposed, the next test checks; its push to the
// screen is the one the windowless keyboard test sees.)
TEST_F(SkinDialogTest, LayeredSheetKeepsTheBackgroundAlphaShowsTheControlsAndAPlainOnePaintsIt) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const DWORD faceArgb =
        0xFF000000 | GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    SetAttribute(m_skin.window, L"SheetSize", L"260,160");
    SetAttribute(m_skin.window, L"IsLayerWnd", L"1"); // no opacity given: opaque
    CreateShown(m_dlg);
    EXPECT_TRUE(m_dlg.GetExStyle() & WS_EX_LAYERED);
    CSheetCanvas sheet(260, 160);
    EXPECT_TRUE(m_dlg.DrawSheet(sheet.DC()));
    EXPECT_EQ(sheet.Pixel(10, 10), kTop);
    EXPECT_EQ(sheet.Pixel(100, 120) >> 24, 0x80u);
    EXPECT_EQ(sheet.Pixel(200, 120), 0u);
    EXPECT_EQ(sheet.Pixel(250, 10), faceArgb);
    EXPECT_EQ(sheet.Pixel(12, 102), 0xFF00C000u); // the button's normal frame
    Pump(&m_dlg, 200); // the X server shows a layered picture in its own time
    EXPECT_EQ(ScreenPixel(m_dlg.m_hWnd, {150, 10}), RGB(0x20, 0x60, 0xA0));
    EXPECT_EQ(ScreenPixel(m_dlg.m_hWnd, {12, 102}), RGB(0x00, 0xC0, 0x00));
    m_dlg.DestroyWindow();

    SetAttribute(m_skin.window, L"IsLayerWnd", L"0");
    CreateShown(m_dlg);
    EXPECT_EQ(ScreenPixel(m_dlg.m_hWnd, {150, 60}), RGB(0x20, 0x60, 0xA0));
    EXPECT_EQ(ScreenPixel(m_dlg.m_hWnd, {250, 60}), face);
    // Without its image the sheet is the button face, in the sheet's size.
    SetAttribute(m_skin.window, L"BackBmp", L"missing.png");
    m_dlg.LoadTestSkin(SkinPath());
    m_dlg.Invalidate();
    Pump(&m_dlg);
    ASSERT_NE(m_dlg.m_pBackImage, nullptr);
    EXPECT_EQ(CSize(m_dlg.m_pBackImage->GetWidth(), m_dlg.m_pBackImage->GetHeight()),
              CSize(260, 160));
    EXPECT_EQ(ImageKit::PixelAt(m_dlg.m_pBackImage, 0, 0), faceArgb);
    EXPECT_EQ(ScreenPixel(m_dlg.m_hWnd, {150, 60}), face);
}

// A control that draws a new look has its part of the kept layered picture
// composed again, with the controls that overlap it, and nothing else: after
// every step the picture holds the very bytes of a whole composition.
TEST_F(SkinDialogTest, AControlsNewLookRecomposesItsPartOfTheLayeredPicture) {
    SetAttribute(m_skin.window, L"IsLayerWnd", L"1");
    // Half-transparent frames over the half-transparent part of the sheet,
    // overlapping the OK button: a part blended twice would show.
    ImageKit::SaveStrip(m_folder, L"glass.png", {0x8000C000, 0x8000D000, 0x8000E000, 0}, 60, 24);
    m_skin.items.push_back(Parse(L"ID=over|Pos=40,90,60,24|ControlType=2|BkImg=glass.png"));
    CreateShown(m_dlg);
    Pump(&m_dlg, 200); // the controls' first paints
    const HWND hOver = ::GetDlgItem(m_dlg.m_hWnd, 256 + 4);
    ASSERT_NE(hOver, nullptr);
    KvInput::CursorTo(hOver, {20, 10}); // over the OK button too
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE}) {
        const int nParts = m_dlg.m_nPartCompositions, nAll = m_dlg.m_nCompositions;
        ::PostMessageW(hOver, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                       MAKELPARAM(10, 10));
        Pump(&m_dlg, 100);
        EXPECT_GT(m_dlg.m_nPartCompositions, nParts) << message;
        EXPECT_EQ(m_dlg.m_nCompositions - nAll, m_dlg.m_nPartCompositions - nParts) << message;
        CSheetCanvas whole(240, 160);
        m_dlg.CKvCommonDlg::DrawSheet(whole.DC());
        EXPECT_EQ(PictureDifference(m_dlg.LayeredPicture(), whole), "") << message;
    }
    EXPECT_EQ(m_dlg.m_itemCommands, std::vector<CString>{L"over"});
}

TEST_F(SkinDialogTest, ReloadHandsTheNewBackgroundToLabelsAndAddsNothingTwice) {
    CreateShown(m_dlg);
    EXPECT_EQ(LabelCorner(m_dlg), kTop);
    SaveBackground(m_folder, L"back2.png", 0xFF00FF00);
    SetAttribute(m_skin.window, L"Icon", L"missing.ico");
    SetAttribute(m_skin.window, L"BackBmp", L"back2.png");
    SetAttribute(m_skin.items[0], L"ControlType", L"2"); // a label item turned button
    DWORD cornerBeforeItems = 0;
    // Labels may paint between the new background and their new settings.
    m_dlg.m_afterWindowSkin = [&](CProbeDlg& dlg) { cornerBeforeItems = LabelCorner(dlg); };
    const HWND hToolTip = m_dlg.m_toolTip.m_hWnd; // a second one would orphan it
    m_dlg.LoadTestSkin(SkinPath());
    EXPECT_EQ(m_dlg.m_toolTip.m_hWnd, hToolTip);
    EXPECT_EQ(cornerBeforeItems, 0xFF00FF00u);
    EXPECT_TRUE(CWnd::FromHandlePermanent(::GetDlgItem(m_dlg.m_hWnd, 256))
                    ->IsKindOf(RUNTIME_CLASS(CLabel)));
    int nChildren = 0;
    for (HWND h = ::GetWindow(m_dlg.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        ++nChildren;
    EXPECT_EQ(nChildren, 3);
    EXPECT_EQ(m_dlg.m_toolTip.GetToolCount(), 2);
    // An icon that cannot be loaded leaves none, not the destroyed one.
    EXPECT_EQ(m_dlg.m_hIcon, nullptr);
    EXPECT_EQ(m_dlg.GetIcon(FALSE), nullptr);
    // One that turns tips off ends them.
    SetAttribute(m_skin.window, L"ShowToolTip", L"0");
    m_dlg.LoadTestSkin(SkinPath());
    EXPECT_EQ(m_dlg.m_toolTip.m_hWnd, nullptr);
}

// A sheet that fits no section leaves the window at its template's size;
// missing files, a face that does not exist or an empty section still work.
TEST_F(SkinDialogTest, SheetsThatFitNoSectionMissingFilesOrAnEmptySectionFailCleanly) {
    HBITMAP hBitmap = reinterpret_cast<HBITMAP>(1);
    EXPECT_FALSE(CKvCommonDlg::CreateBitmap32(&hBitmap, 100000, 100000));
    EXPECT_EQ(hBitmap, nullptr);
    SetAttribute(m_skin.window, L"BackBmp", L"missing.png");
    SetAttribute(m_skin.window, L"IsLayerWnd", L"1");
    for (LPCWSTR sheet : {L"-5,-7", L"100000,100000", L"8193,100"}) {
        SCOPED_TRACE(testing::Message() << "sheet " << sheet);
        SetAttribute(m_skin.window, L"SheetSize", sheet);
        CProbeDlg dlg;
        ASSERT_TRUE(CreateShownAt(dlg, {100, 100}, SkinPath(), 0));
        CRect rcTemplate(0, 0, 200, 120), rcSkinned; // template 301's, in dialog units
        ::MapDialogRect(dlg.m_hWnd, &rcTemplate);
        dlg.GetWindowRect(&rcSkinned);
        EXPECT_EQ(rcSkinned.Size(), rcTemplate.Size());
        EXPECT_EQ(dlg.m_pBackImage, nullptr);
        EXPECT_FALSE(dlg.UpdateLayered(100));
        dlg.RedrawWindow();
        EXPECT_TRUE(::IsWindow(::GetDlgItem(dlg.m_hWnd, 258)));
    }

    m_skin.window = Parse(L"Icon=none.ico|BackBmp=none.png|SheetSize=200,100|"
                          L"FontName=No Such Face|FontSize=12|ShowToolTip=1");
    for (auto& item : m_skin.items)
        for (LPCWSTR name : {L"Icon", L"BkImg", L"Cursor"})
            SetAttribute(item, name, L"none.png");
    CProbeDlg missingFiles;
    EXPECT_EQ(RunModal(missingFiles, ClickOkThenEnd), IDOK);
    EXPECT_EQ(missingFiles.m_hIcon, nullptr);

    CProbeDlg emptySection;
    emptySection.m_onInit = [](CProbeDlg& dlg) {
        dlg.InitDialogSkin(L"Z:\\no\\such\\skin.xml", L"Test\\Dlg", L"", L".");
        dlg.PostMessage(WM_COMMAND, IDCANCEL);
        dlg.PostMessage(WM_PROBE_END, 42);
    };
    EXPECT_EQ(emptySection.DoModal(), IDCANCEL);
}
