// Bitmap buttons in real windows, driven by real messages; the checks read
// the composed cache (what every paint copies to the screen).
#include "skin/BmpButton.h"
#include "skin/ControlLayout.h"
#include "tests/controls/ControlKit.h"

using ImageKit::CountPixels;
using ImageKit::InkColumns;
using ImageKit::PixelAt;
using WindowKit::Click;
using WindowKit::MoveMouse;
using WindowKit::Repaint;

namespace {

using CPlainProbe = CProbe<CKvBmpButton>;
using CShapedProbe = CProbe<CKvBmpButtonRegin>;

const std::vector<Gdiplus::ARGB> kFrames = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
                                            0xFF00FFFF, 0xFFFF00FF, 0xFF804000, 0xFF004080};
const Gdiplus::ARGB kBlack = 0xFF000000;

using ButtonTest = ControlTest;

void SetCaption(CKvBmpButton& button, LPCWSTR text, Gdiplus::ARGB normal, Gdiplus::ARGB disabled,
                int size) {
    button.SetFontName(L"DejaVu Sans", FALSE);
    button.SetFontSize(size, FALSE);
    button.SetTextColors(normal, disabled, FALSE);
    button.SetText(text, TRUE);
}

} // namespace

// Paints copy the cache; a hover renders once, since the erase already shows
// the look the owner-draw asks for.
TEST_F(ButtonTest, PushStripFramePerStateDisabledOverPressedOverHover) {
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    ASSERT_TRUE(button.LoadStateImage(
        Strip(L"push.png", {kFrames.begin(), kFrames.begin() + 4}, 80, 30).c_str(), FALSE));
    SetCaption(button, L"HI", 0xFF000080, 0xFF808080, 24);
    auto shows = [&](int frame, Gdiplus::ARGB caption) {
        Repaint(button.m_hWnd);
        return PixelAt(button.Cache(), 0, 15) == kFrames[frame] &&
               CountPixels(button.Cache(), caption, 0, 0, 80, 30) > 10;
    };
    EXPECT_TRUE(shows(0, 0xFF000080));
    const UINT built = button.GetCacheBuildCount();
    button.Invalidate(TRUE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(built, button.GetCacheBuildCount());
    MoveMouse(button.m_hWnd, CPoint(40, 15));
    EXPECT_TRUE(shows(1, 0xFF000080));
    EXPECT_EQ(built + 1, button.GetCacheBuildCount());
    ::SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 15));
    EXPECT_TRUE(shows(2, 0xFF000080));
    button.EnableWindow(FALSE);
    EXPECT_TRUE(shows(3, 0xFF808080));
    ::ReleaseCapture();
}

// Scaled, a strip's frames are the skin's width scaled on its own (135 at
// 150% is 203) while the button spans two scaled edges (202 here): frames
// picked by the button's width would slide a pixel further with each state.
TEST_F(ButtonTest, ScaledPushStripKeepsItsFramesApart) {
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(2, 10, 204, 40));
    button.SetImageDpi(144);
    ASSERT_TRUE(button.LoadStateImage(
        Strip(L"wide.png", {kFrames.begin(), kFrames.begin() + 4}, 135, 20).c_str(), FALSE));
    button.EnableWindow(FALSE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(PixelAt(button.Cache(), 1, 15), kFrames[3]);
}

// Checked and hovered: frame 5 of eight, 16 x 16, centred in the 30-pixel height.
// Three-state (5) OR-ed with owner-draw (11) would make 15, a type the system
// draws itself: every style ends owner-drawn.
TEST_F(ButtonTest, CheckStripUsesEighthsCentredAndEveryStyleEndsOwnerDrawn) {
    CPlainProbe button, threeState;
    Create(button, BS_AUTOCHECKBOX, CRect(10, 10, 130, 40), 301);
    Create(threeState, BS_3STATE, CRect(10, 50, 90, 80), 302);
    button.LoadStateImage(Strip(L"check.png", kFrames, 16, 16).c_str(), FALSE);
    ::SendMessageW(button.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    MoveMouse(button.m_hWnd, CPoint(60, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(16 * 16, CountPixels(button.Cache(), kFrames[5], 0, 7, 16, 23));
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), threeState.GetStyle() & BS_TYPEMASK);
    ::SendMessageW(threeState.m_hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), threeState.GetStyle() & BS_TYPEMASK);
}

TEST_F(ButtonTest, ClicksAndSpaceSetChecksAndRadiosClearOnlyTheirGroup) {
    CPlainProbe first, nextGroup;
    CShapedProbe shaped;
    Create(first, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 10, 90, 40), 301);
    Create(shaped, BS_AUTORADIOBUTTON, CRect(190, 10, 270, 40), 303);
    Create(nextGroup, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 60, 90, 90), 305);
    for (CWnd* button : std::initializer_list<CWnd*>{&shaped, &nextGroup})
        ::SendMessageW(button->m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    // A release outside changes nothing and reports no click. (A check box's
    // click the keyboard suite's mnemonic gives.)
    Click(first.m_hWnd, CPoint(5, 5), CPoint(-50, 5));
    EXPECT_FALSE(first.IsChecked());
    Click(first.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    Click(first.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_TRUE(first.IsChecked()) << "a second click does not clear a radio";
    EXPECT_FALSE(shaped.IsChecked());
    EXPECT_TRUE(nextGroup.IsChecked());
    const WPARAM radioClick = MAKEWPARAM(301, BN_CLICKED);
    EXPECT_EQ(std::vector<WPARAM>({radioClick, radioClick}), m_host.m_commands);
    m_host.m_commands.clear();
    ::SendMessageW(shaped.m_hWnd, WM_KEYUP, VK_SPACE, 0);
    WindowKit::PumpMessages();
    EXPECT_TRUE(shaped.IsChecked());
    EXPECT_EQ(std::vector<WPARAM>({MAKEWPARAM(303, BN_CLICKED)}), m_host.m_commands);
}

// Hover start and end discard the cache; the moves and clicks that follow
// before any paint must still find the clear half clear.
TEST_F(ButtonTest, ShapedButtonIgnoresTheMouseOverClearPixelsPaintedOrNot) {
    CShapedProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    const std::vector<Gdiplus::ARGB> halves = {0, kFrames[0], 0, kFrames[1], 0, kFrames[2]};
    button.LoadStateImage(Strip(L"half.png", halves, 40, 30).c_str(), TRUE);
    Repaint(button.m_hWnd);
    const CPoint clear(10, 15), opaque(60, 15);
    MoveMouse(button.m_hWnd, opaque);
    ASSERT_TRUE(button.IsHovered());
    MoveMouse(button.m_hWnd, clear);
    MoveMouse(button.m_hWnd, CPoint(12, 15));
    EXPECT_FALSE(button.IsHovered());
    Click(button.m_hWnd, clear, clear);
    EXPECT_TRUE(m_host.m_commands.empty());
    Click(button.m_hWnd, opaque, opaque);
    EXPECT_EQ(1u, m_host.m_commands.size());
    // An opaque parent background makes the whole button the shape.
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    Gdiplus::Graphics(&background).Clear(Gdiplus::Color(0xFF336699));
    Gdiplus::Image* pBackground = &background;
    button.SetParentBackground(&pBackground, TRUE);
    MoveMouse(button.m_hWnd, clear);
    EXPECT_TRUE(button.IsHovered());
}

TEST_F(ButtonTest, AmpersandUnderlinesTheNextLetterInsteadOfBeingDrawn) {
    CPlainProbe prefixed, plain;
    Create(prefixed, BS_PUSHBUTTON, CRect(10, 10, 210, 50), 301);
    Create(plain, BS_PUSHBUTTON, CRect(10, 60, 210, 100), 302);
    SetCaption(prefixed, L"&Save", kBlack, kBlack, 24);
    SetCaption(plain, L"Save", kBlack, kBlack, 24);
    Repaint(m_host.m_hWnd);
    const int left = InkColumns(plain.Cache(), 0, 200, 40).first;
    int underline = 0, elsewhere = 0; // all the prefix adds is a line under the S
    const auto compare = [&] {
        underline = elsewhere = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x)
                if (PixelAt(prefixed.Cache(), x, y) != PixelAt(plain.Cache(), x, y))
                    ++(y > 20 && x >= left - 2 && x < left + 16 ? underline : elsewhere);
    };
    compare();
    EXPECT_GT(underline, 5);
    EXPECT_EQ(0, elsewhere);
    // Keyboard cues hidden (until the keyboard is used): no underline either.
    prefixed.SendMessage(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEACCEL));
    Repaint(m_host.m_hWnd);
    compare();
    EXPECT_EQ(0, underline + elsewhere);
    prefixed.SendMessage(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL));
    Repaint(m_host.m_hWnd);
    compare();
    EXPECT_GT(underline, 5);
}

// A failed measurement is an empty box and leaves its status; a text of any
// length is laid out as its first characters and an ellipsis.
TEST(TextMeasuring, FailuresGiveAnEmptyBoxAndLongTextsAreCutWithAnEllipsis) {
    Gdiplus::Bitmap image(8, 8, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(&image);
    RECT box = {5, 5, 1024, 0};
    MeasureTextBounds(L"Hello", &graphics, L"No Such Face Anywhere", 12, 0, box);
    EXPECT_NE(Gdiplus::Ok, graphics.GetLastStatus());
    EXPECT_EQ(0, box.right - box.left);
    RECT whole = {0, 0, 0, 0}, cut = whole;
    MeasureTextBounds(CString(L'x', 4000), &graphics, L"DejaVu Sans", 12, 0, whole);
    MeasureTextBounds(CString(L'x', KvLayout::kMaxDrawnText - 1) + L"\x2026", &graphics,
                      L"DejaVu Sans", 12, 0, cut);
    EXPECT_GT(cut.right, 1000);
    EXPECT_EQ(cut.right, whole.right);
}
