// Bitmap buttons in real windows, driven by real messages; the checks read
// the composed cache (what every paint copies to the screen).
#include "ButtonProbe.h"
#include "tests/common/ImageKit.h"
#include "tests/common/WindowKit.h"

#include <gtest/gtest.h>

using ImageKit::CountPixels;
using ImageKit::PixelAt;
using WindowKit::Click;
using WindowKit::MoveMouse;
using WindowKit::Repaint;

namespace {

const Gdiplus::ARGB kFrames[8] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
                                  0xFF00FFFF, 0xFFFF00FF, 0xFF804000, 0xFF004080};
const Gdiplus::ARGB kBlack = 0xFF000000;

class ButtonTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost(400, 300)); }
    void TearDown() override { m_host.DestroyWindow(); }

    std::wstring Strip(int nFrames, int nFrameWidth, int nHeight) {
        return ImageKit::SaveStrip(m_folder, L"strip.png",
                                   std::vector<Gdiplus::ARGB>(kFrames, kFrames + nFrames),
                                   nFrameWidth, nHeight);
    }
    template <class Button> void Create(Button& button, DWORD dwStyle, CRect rc, UINT nID = 300) {
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | dwStyle, rc, &m_host, nID));
    }
    static void SetCaption(CKvBmpButton& button, LPCWSTR text, Gdiplus::ARGB normal,
                           Gdiplus::ARGB disabled, int size = 24) {
        button.SetFontName(L"DejaVu Sans", FALSE);
        button.SetFontSize(size, FALSE);
        button.SetTextColors(normal, disabled, FALSE);
        button.SetText(text, TRUE);
    }
    static LRESULT Check(HWND hWnd) { return ::SendMessageW(hWnd, BM_GETCHECK, 0, 0); }

    ImageKit::TempFolder m_folder;
    WindowKit::CHostWindow m_host;
};

} // namespace

TEST_F(ButtonTest, PushStripFramePerStateDisabledOverPressedOverHover) {
    const Gdiplus::ARGB navy = 0xFF000080, grey = 0xFF808080;
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    ASSERT_TRUE(button.LoadStateImage(Strip(4, 80, 30).c_str(), FALSE));
    SetCaption(button, L"HI", navy, grey);
    Repaint(button.m_hWnd);
    auto shows = [&](int frame) {
        return PixelAt(button.Cache(), 0, 15) == kFrames[frame] &&
               PixelAt(button.Cache(), 79, 15) == kFrames[frame];
    };
    EXPECT_TRUE(shows(0));
    HDC hdc = ::GetDC(button.m_hWnd);
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(hdc, 2, 15)) << "the screen shows the cache";
    ::ReleaseDC(button.m_hWnd, hdc);

    MoveMouse(button.m_hWnd, CPoint(40, 15));
    Repaint(button.m_hWnd);
    EXPECT_TRUE(shows(1));
    ::SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 15));
    Repaint(button.m_hWnd);
    EXPECT_TRUE(shows(2));
    EXPECT_GT(CountPixels(button.Cache(), navy, 0, 0, 80, 30), 10);
    button.EnableWindow(FALSE);
    Repaint(button.m_hWnd);
    EXPECT_TRUE(shows(3));
    EXPECT_EQ(0, CountPixels(button.Cache(), navy, 0, 0, 80, 30));
    EXPECT_GT(CountPixels(button.Cache(), grey, 0, 0, 80, 30), 10);
    ::ReleaseCapture();
}

TEST_F(ButtonTest, CheckStripUsesEighthsAndCaptionStartsRightOfTheFrame) {
    CPlainProbe button;
    Create(button, BS_AUTOCHECKBOX, CRect(10, 10, 130, 40));
    ASSERT_EQ(BS_CHECKBOX, button.GetButtonKind());
    button.LoadStateImage(Strip(8, 16, 16).c_str(), FALSE);
    button.SetTextFormat(0, 1, 1, FALSE);
    SetCaption(button, L"Wide", kBlack, kBlack, 16);
    ::SendMessageW(button.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    MoveMouse(button.m_hWnd, CPoint(60, 15));
    Repaint(button.m_hWnd);
    // Checked and hovered: frame 5, 16 x 16, centred in the 30-pixel height.
    Gdiplus::Bitmap* cache = button.Cache();
    EXPECT_EQ(16 * 16, CountPixels(cache, kFrames[5], 0, 7, 16, 23));
    EXPECT_EQ(0u, PixelAt(cache, 5, 6));
    EXPECT_EQ(0u, PixelAt(cache, 5, 23));
    int firstInk = 120;
    for (int y = 0; y < 30; ++y)
        for (int x = 16; x < firstInk; ++x)
            if (PixelAt(cache, x, y) >> 24)
                firstInk = x;
    EXPECT_GE(firstInk, 19); // frame width + 3, then at most a glyph's bearing
    EXPECT_LE(firstInk, 23);
}

TEST_F(ButtonTest, EveryCreationStyleEndsOwnerDrawn) {
    // Radio (4) or three-state (5) OR-ed with owner-draw (11) would make 15,
    // a type the system draws itself.
    CPlainProbe radioStyle, threeState;
    Create(radioStyle, BS_RADIOBUTTON, CRect(10, 10, 90, 40), 301);
    Create(threeState, BS_3STATE, CRect(10, 50, 90, 80), 302);
    EXPECT_EQ(BS_PUSHBUTTON, radioStyle.GetButtonKind());
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), threeState.GetStyle() & BS_TYPEMASK);
    ::SendMessageW(radioStyle.m_hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), radioStyle.GetStyle() & BS_TYPEMASK);
}

TEST_F(ButtonTest, RadioClearsOnlyTheBitmapRadiosOfItsGroup) {
    CPlainProbe first, checkKind, nextGroup;
    CShapedProbe shaped;
    CButton ordinary;
    Create(first, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 10, 90, 40), 301);
    ASSERT_TRUE(ordinary.Create(L"plain", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                                CRect(100, 10, 180, 40), &m_host, 302));
    Create(shaped, BS_AUTORADIOBUTTON, CRect(190, 10, 270, 40), 303);
    Create(checkKind, BS_AUTOCHECKBOX, CRect(280, 10, 360, 40), 304);
    Create(nextGroup, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 60, 90, 90), 305);
    for (CWnd* button : std::initializer_list<CWnd*>{&ordinary, &shaped, &checkKind, &nextGroup})
        ::SendMessageW(button->m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    WindowKit::PumpMessages();

    Click(first.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    Click(first.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_TRUE(first.IsChecked()) << "a second click does not clear a radio";
    EXPECT_FALSE(shaped.IsChecked());
    EXPECT_EQ(BST_CHECKED, Check(ordinary.m_hWnd));
    EXPECT_TRUE(checkKind.IsChecked());
    EXPECT_TRUE(nextGroup.IsChecked());
    ASSERT_FALSE(m_host.m_commands.empty());
    EXPECT_EQ(MAKEWPARAM(301, BN_CLICKED), m_host.m_commands.back());

    // Space checks and notifies too; clearing a radio touches no sibling.
    m_host.m_commands.clear();
    ::SendMessageW(shaped.m_hWnd, WM_KEYUP, VK_SPACE, 0);
    WindowKit::PumpMessages();
    EXPECT_TRUE(shaped.IsChecked());
    EXPECT_FALSE(first.IsChecked());
    ASSERT_EQ(1u, m_host.m_commands.size());
    EXPECT_EQ(MAKEWPARAM(303, BN_CLICKED), m_host.m_commands[0]);
    ::SendMessageW(first.m_hWnd, BM_SETCHECK, BST_UNCHECKED, 0);
    WindowKit::PumpMessages();
    EXPECT_TRUE(shaped.IsChecked());
}

TEST_F(ButtonTest, ClicksToggleACheckButtonAndAReleaseOutsideChangesNothing) {
    CPlainProbe check;
    Create(check, BS_AUTOCHECKBOX, CRect(100, 10, 180, 40), 301);
    Click(check.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_EQ(BST_CHECKED, Check(check.m_hWnd));
    Click(check.m_hWnd, CPoint(5, 5), CPoint(-50, 5));
    EXPECT_EQ(BST_CHECKED, Check(check.m_hWnd));
    EXPECT_EQ(1u, m_host.m_commands.size()) << "no click reported for the release outside";
    Click(check.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_EQ(BST_UNCHECKED, Check(check.m_hWnd));
}

TEST_F(ButtonTest, ShapedButtonIgnoresTheMouseOverTransparentPixels) {
    Gdiplus::Bitmap strip(320, 30, PixelFormat32bppARGB); // each frame's left half is clear
    for (int x = 0; x < 320; ++x)
        for (int y = 0; x % 80 >= 40 && y < 30; ++y)
            strip.SetPixel(x, y, Gdiplus::Color(kFrames[x / 80]));
    const std::wstring path = m_folder.File(L"half.png");
    ASSERT_TRUE(ImageKit::SavePng(strip, path));
    CShapedProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    button.LoadStateImage(path.c_str(), TRUE);
    Repaint(button.m_hWnd);
    auto frameShown = [&] { return PixelAt(button.Cache(), 60, 15); };

    MoveMouse(button.m_hWnd, CPoint(10, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(kFrames[0], frameShown());
    ::SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 15));
    EXPECT_NE(button.m_hWnd, ::GetCapture());
    MoveMouse(button.m_hWnd, CPoint(60, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(kFrames[1], frameShown());
    MoveMouse(button.m_hWnd, CPoint(10, 15)); // off the shape, still inside the window
    Repaint(button.m_hWnd);
    EXPECT_EQ(kFrames[0], frameShown());
    ::SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(kFrames[2], frameShown());
    ::SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(60, 15));

    // Over an opaque parent background the whole button is hit.
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    Gdiplus::Graphics(&background).Clear(Gdiplus::Color(0xFF336699));
    Gdiplus::Image* pBackground = &background;
    button.SetParentBackground(&pBackground, TRUE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(0xFF336699, PixelAt(button.Cache(), 10, 15));
    MoveMouse(button.m_hWnd, CPoint(10, 15));
    EXPECT_TRUE(button.IsHovered());
}

TEST_F(ButtonTest, ShapedButtonHitTestNeedsNoPaint) {
    Gdiplus::Bitmap strip(320, 30, PixelFormat32bppARGB); // each frame's left half is clear
    for (int x = 0; x < 320; ++x)
        for (int y = 0; x % 80 >= 40 && y < 30; ++y)
            strip.SetPixel(x, y, Gdiplus::Color(kFrames[x / 80]));
    const std::wstring path = m_folder.File(L"half.png");
    ASSERT_TRUE(ImageKit::SavePng(strip, path));
    CShapedProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    button.LoadStateImage(path.c_str(), TRUE);
    Repaint(button.m_hWnd);
    // Hover start and end discard the cache; the moves and clicks that follow
    // before any paint must still see the clear half as clear.
    MoveMouse(button.m_hWnd, CPoint(60, 15));
    ASSERT_TRUE(button.IsHovered());
    MoveMouse(button.m_hWnd, CPoint(10, 15));
    EXPECT_FALSE(button.IsHovered());
    Click(button.m_hWnd, CPoint(10, 15), CPoint(10, 15));
    EXPECT_FALSE(button.IsChecked());
    EXPECT_TRUE(m_host.m_commands.empty());
    MoveMouse(button.m_hWnd, CPoint(60, 15));
    Repaint(button.m_hWnd);
    MoveMouse(button.m_hWnd, CPoint(10, 15));
    MoveMouse(button.m_hWnd, CPoint(12, 15));
    EXPECT_FALSE(button.IsHovered());
}

TEST_F(ButtonTest, AmpersandUnderlinesTheNextLetterInsteadOfBeingDrawn) {
    CPlainProbe prefixed, plain;
    Create(prefixed, BS_PUSHBUTTON, CRect(10, 10, 210, 50), 301);
    Create(plain, BS_PUSHBUTTON, CRect(10, 60, 210, 100), 302);
    SetCaption(prefixed, L"&Save", kBlack, kBlack);
    SetCaption(plain, L"Save", kBlack, kBlack);
    Repaint(m_host.m_hWnd);
    int left = 200, right = -1, bottom = -1; // ink box of the plain caption
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (PixelAt(plain.Cache(), x, y) >> 24) {
                left = (std::min)(left, x);
                right = (std::max)(right, x);
                bottom = (std::max)(bottom, y);
            }
    ASSERT_GT(right, left);
    int added = 0; // all the prefix adds is a thin line under the first letter
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (PixelAt(prefixed.Cache(), x, y) != PixelAt(plain.Cache(), x, y)) {
                ++added;
                EXPECT_TRUE(y >= bottom - 1 && y <= bottom + 4 && x <= left + (right - left) / 3)
                    << x << "," << y;
            }
    EXPECT_GT(added, 5);
}

TEST_F(ButtonTest, FocusFrameOnlyAroundSomething) {
    CPlainProbe empty, captioned;
    Create(empty, BS_PUSHBUTTON, CRect(10, 10, 90, 40), 301);
    Create(captioned, BS_PUSHBUTTON, CRect(10, 60, 90, 90), 302);
    SetCaption(captioned, L"x", 0xFFFF0000, 0xFFFF0000, 12);
    for (CPlainProbe* button : {&captioned, &empty}) {
        button->SetDrawFocus(TRUE, TRUE);
        button->SetFocus();
        Repaint(button->m_hWnd);
    }
    captioned.SetFocus();
    Repaint(captioned.m_hWnd);
    EXPECT_GT(CountPixels(captioned.Cache(), kBlack, 3, 3, 77, 4), 10);
    empty.SetFocus();
    Repaint(empty.m_hWnd);
    ASSERT_EQ(::GetFocus(), empty.m_hWnd);
    EXPECT_EQ(80 * 30, CountPixels(empty.Cache(), 0, 0, 0, 80, 30));
}

TEST_F(ButtonTest, FailedImageLoadsLeaveOnlyTheParentBackground) {
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB); // red left of x 50, then green
    for (int x = 0; x < 150; ++x)
        for (int y = 0; y < 50; ++y)
            background.SetPixel(x, y, Gdiplus::Color(x < 50 ? 0xFFFF0000 : 0xFF00FF00));
    Gdiplus::Image* pBackground = &background;
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(40, 10, 120, 40));
    EXPECT_FALSE(button.LoadStateImage(nullptr, FALSE));
    EXPECT_TRUE(button.LoadStateImage(m_folder.File(L"missing.png").c_str(), FALSE));
    EXPECT_TRUE(button.LoadIconImage(m_folder.File(L"missing.png").c_str(), FALSE));
    button.SetParentBackground(&pBackground, TRUE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(10 * 30, CountPixels(button.Cache(), 0xFFFF0000, 0, 0, 10, 30));
    EXPECT_EQ(70 * 30, CountPixels(button.Cache(), 0xFF00FF00, 10, 0, 80, 30));
}

TEST_F(ButtonTest, PaintingCopiesTheCacheUntilAnInputChanges) {
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    button.LoadStateImage(Strip(4, 80, 30).c_str(), FALSE);
    SetCaption(button, L"Go", 0xFFFF0000, 0xFF808080, 12);
    button.SetDrawFocus(FALSE, TRUE);
    const UINT configured = button.GetCacheBuildCount();
    // One paint is an erase and an owner-draw: both copy one cache.
    Repaint(button.m_hWnd);
    EXPECT_EQ(configured + 1, button.GetCacheBuildCount());
    for (int i = 0; i < 5; ++i) {
        button.Invalidate(TRUE);
        Repaint(button.m_hWnd);
    }
    EXPECT_EQ(configured + 1, button.GetCacheBuildCount());
    // A hover renders once, already in the erase before the owner-draw.
    MoveMouse(button.m_hWnd, CPoint(40, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(configured + 2, button.GetCacheBuildCount());
    ::SetWindowPos(button.m_hWnd, nullptr, 0, 0, 100, 30, SWP_NOMOVE | SWP_NOZORDER);
    Repaint(button.m_hWnd);
    EXPECT_EQ(configured + 3, button.GetCacheBuildCount());
    EXPECT_EQ(100u, button.Cache()->GetWidth());
}
