// The windowless dialog in a real layered window, driven by mouse messages
// through its message loop with the cursor where they say; what it shows is
// read back from the picture DrawSheet composes.
#include "tests/skin_dialog/DialogKit.h"

#include "tools/common/Input.h"

#include <gtest/gtest.h>

#include <commctrl.h>

using namespace DialogKit;

namespace {

const Gdiplus::ARGB kBack = 0xFF203040;
const Gdiplus::ARGB kNormal = 0xFF00A000, kHot = 0xFF00B000, kPressed = 0xFF00C000;
const Gdiplus::ARGB kUnused = 0xFFFF00FF; // the fourth frame
const Gdiplus::ARGB kOther = 0xFF0000A0;  // item E's normal frame
const Gdiplus::ARGB kIcon = 0xFFFFCC00, kText = 0xFFFF0000;
const POINT kDialogAt = {100, 100};

// Item points, client coordinates. D and E overlap in (30..50, 70..80).
const POINT kA = {20, 25}, kB = {70, 25}, kLabel = {120, 25};
const POINT kDOnly = {15, 65}, kOverlap = {40, 75}, kEOnly = {60, 85};
const POINT kEmpty = {150, 70}, kCaption = {150, 5};

// Records the activation requests that reach a tooltip window.
std::vector<WPARAM> g_activations;
LRESULT CALLBACK RecordActivation(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    if (message == TTM_ACTIVATE)
        g_activations.push_back(wParam);
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

class WndLessTest : public testing::Test {
protected:
    void SetUp() override {
        ImageKit::SaveStrip(m_folder, L"back.png", {kBack}, 240, 160);
        ImageKit::SaveStrip(m_folder, L"strip.png", {kNormal, kHot, kPressed, kUnused}, 40, 20);
        ImageKit::SaveStrip(m_folder, L"other.png", {kOther, kHot, kPressed, kUnused}, 40, 20);
        ImageKit::SaveStrip(m_folder, L"icon.png", {kIcon}, 16, 16);
        ImageKit::WriteBytes(m_folder.File(L"hand.cur"), ImageKit::IconFileBytes(2, 32));
        ImageKit::WriteBytes(m_folder.File(L"cross.cur"), ImageKit::IconFileBytes(2, 32));
        m_skin.window = Parse(L"SheetSize=240,160|BackBmp=back.png|ShowToolTip=1|"
                              L"ToolTipWidth=150|IsDrag=1|CaptionHeight=8|FontName=DejaVu Sans|"
                              L"FontSize=12|FontColor=0xFFFFFFFF");
        const wchar_t* strip = L"|ControlType=2|BkImg=strip.png";
        m_skin.items = {
            Parse(L"ID=itemA|Pos=10,20,40,20|ToolTip=Tip A|Cursor=hand.cur" + std::wstring(strip)),
            Parse(L"ID=itemB|Pos=60,20,40,20|ToolTip=Tip B" + std::wstring(strip)),
            Parse(L"ID=label|Pos=110,20,40,20|ControlType=1|BkImg=strip.png|ToolTip=No"),
            Parse(L"ID=itemD|Pos=10,60,40,20" + std::wstring(strip)),
            Parse(L"ID=itemE|Pos=30,70,40,20|ControlType=2|BkImg=other.png|Cursor=cross.cur"),
            Parse(L"ID=itemF|Pos=100,100,120,40|ControlType=2|Icon=icon.png|Name=IIII|"
                  L"FontSize=20|FontFormat=1|FontColor=0xFFFF0000"),
            Parse(L"ID=itemG|Pos=10,110,40,30|ControlType=2|Icon=icon.png"),
        };
    }
    void TearDown() override {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
    }

    std::wstring SkinPath() { return WriteSkin(m_folder, L"skin.xml", m_skin); }
    void CreateShown(CWndLessProbeDlg& dlg, UINT nTemplate = 301, CWnd* pParent = nullptr) {
        // A pointer left over an item by an earlier suite would make its first
        // picture a hover picture.
        ::SetCursorPos(0, 0);
        // Under a window manager the move reaches the screen in its own time.
        POINT cursor = {1, 1};
        for (int i = 0; i < 50 && ::GetCursorPos(&cursor) && (cursor.x || cursor.y); ++i)
            ::Sleep(20);
        // Mouse messages the move and earlier windows left are taken first.
        Pump(nullptr, 100);
        ASSERT_TRUE(CreateShownAt(dlg, kDialogAt, SkinPath(), 0, nTemplate, pParent));
    }
    // A mouse message as the system would post it, with the cursor there for
    // cursor, tooltip and leave tracking; then everything it caused.
    void Input(POINT client, UINT message = WM_MOUSEMOVE) {
        m_bHeld = message == WM_LBUTTONDOWN || (m_bHeld && message != WM_LBUTTONUP);
        KvInput::CursorTo(m_dlg.m_hWnd, client);
        m_dlg.PostMessage(message, m_bHeld ? MK_LBUTTON : 0, MAKELPARAM(client.x, client.y));
        Pump(&m_dlg);
    }
    bool m_bHeld = false;
    // Pixels of the picture DrawSheet composes now, read without counting it.
    void ExpectShown(std::initializer_list<std::pair<POINT, DWORD>> expected, const char* step) {
        CSheetCanvas canvas(240, 160);
        ASSERT_TRUE(m_dlg.CKvCommonWndLessDlg::DrawSheet(canvas.DC()));
        for (const auto& pixel : expected)
            EXPECT_EQ(canvas.Pixel(pixel.first.x, pixel.first.y), pixel.second)
                << step << " at " << pixel.first.x << "," << pixel.first.y;
    }

    ImageKit::TempFolder m_folder;
    Skin m_skin;
    CWndLessProbeDlg m_dlg;
};

} // namespace

TEST_F(WndLessTest, AReleaseRunsTheCommandOfTheItemUnderThePointer) {
    m_dlg.m_bApplyRoles = FALSE;
    CreateShown(m_dlg);
    ExpectShown({{kA, kNormal}, {kB, kNormal}, {kLabel, kBack}, {kEmpty, kBack}}, "first picture");
    Input(kA);
    ExpectShown({{kA, kHot}, {kB, kNormal}}, "hover A");
    Input(kA, WM_LBUTTONDOWN);
    EXPECT_EQ(::GetCapture(), m_dlg.m_hWnd);
    ExpectShown({{kA, kPressed}}, "press A");
    Input(kB);
    ExpectShown({{kA, kNormal}, {kB, kPressed}}, "held over B");
    Input(kB, WM_LBUTTONUP);
    EXPECT_EQ(m_dlg.m_itemCommands, std::vector<CString>{L"itemB"});
    EXPECT_EQ(::GetCapture(), nullptr);
    // Drawn normal while the pointer stays; nothing is composed for moves within.
    const int nCompositions = m_dlg.m_nCompositions;
    Input({kB.x + 5, kB.y + 2});
    EXPECT_EQ(m_dlg.m_nCompositions, nCompositions);
    ExpectShown({{kB, kNormal}}, "moved within B after the click");

    // Pressed below the caption band off the items: swallowed, but a press
    // of this window all the same, so a release over an item runs it.
    Input(kEmpty, WM_LBUTTONDOWN);
    EXPECT_EQ(::GetCapture(), nullptr);
    Input(kB);
    ExpectShown({{kB, kHot}}, "pressed on the sheet, over B");
    Input(kB, WM_LBUTTONUP);
    EXPECT_EQ(m_dlg.m_itemCommands, (std::vector<CString>{L"itemB", L"itemB"}));
    EXPECT_TRUE(m_dlg.m_captionPresses.empty());
}

// A minimised window shows nothing, so a change then is kept for the restore,
// which pushes it: the picture pushed is read, not the screen, which a window
// manager maps again in its own time.
TEST_F(WndLessTest, AChangeWhileMinimisedIsPushedOnRestoreAndALostCaptureEndsThePress) {
    m_dlg.m_bApplyRoles = FALSE;
    CreateShown(m_dlg);
    Input(kB);
    ASSERT_EQ(CanvasPixel(m_dlg.LayeredPicture(), kB.x, kB.y), kHot); // what it pushed
    m_dlg.ShowWindow(SW_SHOWMINNOACTIVE);
    ASSERT_TRUE(m_dlg.IsIconic());
    const int nBefore = m_dlg.m_nCompositions;
    m_dlg.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(m_dlg.m_nCompositions, nBefore) << "composed while minimised";
    m_dlg.ShowWindow(SW_SHOWNOACTIVATE);
    EXPECT_EQ(m_dlg.m_nCompositions, nBefore + 1);
    EXPECT_EQ(CanvasPixel(m_dlg.LayeredPicture(), kB.x, kB.y), kNormal);

    CWnd other;
    other.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    Input(kA, WM_LBUTTONDOWN);
    other.SetCapture();
    Pump(&m_dlg);
    ExpectShown({{kA, kNormal}}, "capture taken");
    ::ReleaseCapture();
    Input(kB);
    ExpectShown({{kB, kHot}}, "over B after the lost press");
    Input(kB, WM_LBUTTONUP);
    EXPECT_TRUE(m_dlg.m_itemCommands.empty());
    Input(kA, WM_LBUTTONDOWN);
    m_dlg.SendMessage(WM_CANCELMODE);
    ExpectShown({{kA, kNormal}}, "cancelled");
    other.DestroyWindow();
    // Not destroyed while the window manager's focus is on it: that disturbs
    // the next tests' input.
    m_dlg.ShowWindow(SW_SHOWMINNOACTIVE);
    Pump(&m_dlg, 200);
}

TEST_F(WndLessTest, OverlappingItemsTheEarlierGetsTheMouseTheLaterIsDrawnOnTopPartByPart) {
    m_dlg.m_bApplyRoles = FALSE;
    CreateShown(m_dlg);
    const POINT kF = {160, 120}, kG = {20, 120};
    const struct {
        POINT pt;
        UINT message;
    } steps[] = {{kOverlap, WM_MOUSEMOVE}, {kOverlap, WM_LBUTTONDOWN}, {kOverlap, WM_LBUTTONUP},
                 {kEOnly, WM_MOUSEMOVE},   {kEOnly, WM_LBUTTONDOWN},   {kOverlap, WM_MOUSEMOVE},
                 {kF, WM_MOUSEMOVE},       {kF, WM_LBUTTONUP},         {kG, WM_MOUSEMOVE},
                 {kA, WM_MOUSEMOVE},       {kB, WM_MOUSEMOVE},         {kEmpty, WM_MOUSEMOVE}};
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message()
                     << step.pt.x << "," << step.pt.y << " message " << step.message);
        const int nParts = m_dlg.m_nPartCompositions;
        Input(step.pt, step.message);
        EXPECT_EQ(m_dlg.m_nPartCompositions, nParts + 1);
        CSheetCanvas whole(240, 160);
        ASSERT_TRUE(m_dlg.CKvCommonWndLessDlg::DrawSheet(whole.DC()));
        EXPECT_EQ(PictureDifference(m_dlg.LayeredPicture(), whole), "");
        if (step.pt.x == kOverlap.x && step.message == WM_MOUSEMOVE && m_bHeld)
            ExpectShown({{kDOnly, kPressed}, {kOverlap, kOther}, {kEOnly, kOther}}, "held on D");
        if (step.pt.x == kEOnly.x && step.message == WM_MOUSEMOVE)
            ExpectShown({{kDOnly, kNormal}, {kOverlap, kHot}, {kEOnly, kHot}}, "hover E");
    }
    // The earlier of the two got the click over their overlap.
    EXPECT_EQ(m_dlg.m_itemCommands, (std::vector<CString>{L"itemD", L"itemF"}));
}

// The first item hit decides: over D and E's overlap, D (no cursor, no tip).
TEST_F(WndLessTest, TheItemUnderThePointerGivesItsCursorAndTooltipAndTheTipIsOffWithoutOne) {
    CreateShown(m_dlg);
    ASSERT_TRUE(m_dlg.m_toolTip.m_hWnd);
    EXPECT_EQ(m_dlg.m_toolTip.GetToolCount(), 1);
    EXPECT_EQ(m_dlg.m_toolTip.GetStyle() & TTS_ALWAYSTIP, static_cast<DWORD>(TTS_ALWAYSTIP));
    const HCURSOR hHand = m_dlg.WndLessItem(0)->GetItemCursor();
    const HCURSOR hCross = m_dlg.WndLessItem(4)->GetItemCursor();
    ASSERT_NE(hHand, nullptr);
    ASSERT_NE(hCross, nullptr);
    const HCURSOR hArrow = ::LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_TRUE(::SetWindowSubclass(m_dlg.m_toolTip.m_hWnd, RecordActivation, 1, 0));
    const struct {
        POINT pt;
        HCURSOR hCursor;
        LPCWSTR pszText;
        WPARAM bActive;
    } rows[] = {{kA, hHand, L"Tip A", TRUE},    {kLabel, hArrow, L"", FALSE},
                {kB, hArrow, L"Tip B", TRUE},   {kEOnly, hCross, L"", FALSE},
                {kOverlap, hArrow, L"", FALSE}, {kEmpty, hArrow, L"", FALSE}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "at " << row.pt.x << "," << row.pt.y);
        g_activations.clear();
        Input(row.pt);
        ::SetCursor(nullptr);
        m_dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_dlg.m_hWnd),
                          MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), row.hCursor);
        EXPECT_STREQ(ToolTipText(m_dlg.m_toolTip.m_hWnd, ::GetParent(m_dlg.m_hWnd), m_dlg.m_hWnd),
                     row.pszText);
        // Moving the cursor may bring a move of its own: each one switches alike.
        EXPECT_FALSE(g_activations.empty());
        for (WPARAM bActive : g_activations)
            EXPECT_EQ(bActive, row.bActive);
    }
    // Relayed by the message loop, the tip shows after its delay.
    Input(kB);
    Pump(&m_dlg, 1500);
    EXPECT_TRUE(m_dlg.m_toolTip.IsWindowVisible());
    // Passed quickly, before its delay: no tip shows where the pointer went.
    Input(kEmpty);
    Pump(&m_dlg, 200);
    Input(kA);
    Input(kEmpty);
    Pump(&m_dlg, 1500);
    EXPECT_FALSE(m_dlg.m_toolTip.IsWindowVisible());
    ::RemoveWindowSubclass(m_dlg.m_toolTip.m_hWnd, RecordActivation, 1);
}

// Below the band, a press off the items is swallowed (the first test). The
// band is tested without the child style: a windowless page drags too.
TEST_F(WndLessTest, APressInTheCaptionBandDragsAlsoOnAChildPage) {
    CWnd parent;
    parent.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr);
    CreateShown(m_dlg, 302, &parent);
    m_dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kCaption.x, kCaption.y));
    Pump(&m_dlg);
    EXPECT_EQ(m_dlg.m_captionPresses, std::vector<LPARAM>{MAKELPARAM(kCaption.x, kCaption.y)});
    EXPECT_EQ(::GetCapture(), nullptr);
    m_dlg.DestroyWindow();
    parent.DestroyWindow();
}

TEST_F(WndLessTest, ANewBackgroundIsDrawnEvenAtTheOldOnesAddress) {
    CreateShown(m_dlg);
    for (BYTE i = 1; i <= 20; ++i) {
        m_dlg.SetBackImage(nullptr); // the next one may take the deleted one's place
        auto pImage = std::make_unique<Gdiplus::Bitmap>(240, 160, PixelFormat32bppARGB);
        Gdiplus::Graphics(pImage.get()).Clear(Gdiplus::Color(0xFF, i, 0, 0));
        m_dlg.SetBackImage(pImage.release());
        ExpectShown({{kEmpty, 0xFF000000u | i << 16}}, "new background");
    }
}

TEST_F(WndLessTest, BrokenImagesAndRectanglesDrawWhatTheyCanAndCrashNothing) {
    m_skin.items = {
        Parse(L"ID=lost|Pos=10,20,60,30|ControlType=2|BkImg=none.png|Icon=none.png|Name=IIII|"
              L"FontSize=20|FontFormat=1|FontColor=0xFFFF0000"),
        Parse(L"ID=narrow|Pos=100,20,40,20|ControlType=2|BkImg=narrow.png"),
        Parse(L"ID=empty|Pos=10,60,0,20|ControlType=2|BkImg=strip.png|Icon=icon.png|Name=x"),
        Parse(L"ID=inverted|Pos=100,80,-40,-20|ControlType=2|BkImg=strip.png|Icon=icon.png"),
    };
    ImageKit::SaveStrip(m_folder, L"narrow.png", {kHot}, 3, 20); // narrower than four columns
    m_dlg.m_bApplyRoles = FALSE;
    CreateShown(m_dlg);
    CSheetCanvas canvas(240, 160);
    ASSERT_TRUE(m_dlg.DrawSheet(canvas.DC()));
    int nRed = 0, nDrawn = 0;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 240; ++x) {
            const DWORD pixel = canvas.Pixel(x, y);
            const bool bInLost = x >= 10 && x < 70 && y >= 20 && y < 50;
            nRed += bInLost && pixel == kText;
            nDrawn += !bInLost && pixel != kBack;
        }
    EXPECT_GT(nRed, 40);  // the text of the item whose images failed
    EXPECT_EQ(nDrawn, 0); // the others draw nothing
    EXPECT_EQ(m_dlg.HitTestItem({20, 25}), 0);
    EXPECT_EQ(m_dlg.HitTestItem({10, 65}), -1);
    EXPECT_EQ(m_dlg.HitTestItem({80, 70}), -1);
    m_dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
    m_dlg.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 25));
    EXPECT_EQ(m_dlg.m_itemCommands, std::vector<CString>{L"lost"});

    // No "SheetSize": no picture, no failure beyond the result.
    m_skin.window = Parse(L"BackBmp=back.png|ShowToolTip=1");
    CWndLessProbeDlg sheetless;
    ASSERT_TRUE(sheetless.Create(301));
    EXPECT_FALSE(sheetless.LoadTestSkin(SkinPath()));
    CSheetCanvas empty(4, 4);
    EXPECT_FALSE(sheetless.DrawSheet(empty.DC()));
    sheetless.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
    sheetless.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 25));
    EXPECT_EQ(sheetless.m_itemCommands, std::vector<CString>{L"lost"});
}
