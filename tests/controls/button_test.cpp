// Bitmap buttons in real windows, driven by real messages; the checks read
// the composed cache (what the button copies to the screen).
#include "ButtonProbe.h"
#include "ImageKit.h"
#include "WindowKit.h"

#include <gtest/gtest.h>

using ImageKit::CountPixels;
using ImageKit::PixelAt;
using WindowKit::Click;
using WindowKit::MoveMouse;
using WindowKit::Repaint;

namespace {

const Gdiplus::ARGB kFrameColours[8] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
                                        0xFF00FFFF, 0xFFFF00FF, 0xFF804000, 0xFF004080};
const Gdiplus::ARGB kBlack = 0xFF000000;

class ButtonTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost(400, 300)); }
    void TearDown() override { m_host.DestroyWindow(); }

    std::wstring Strip(int nFrames, int nFrameWidth, int nHeight) {
        return ImageKit::SaveStrip(
            m_folder, L"strip.png",
            std::vector<Gdiplus::ARGB>(kFrameColours, kFrameColours + nFrames), nFrameWidth,
            nHeight);
    }

    template <class Button> void Create(Button& button, DWORD dwStyle, CRect rc, UINT nID = 300) {
        ASSERT_TRUE(button.Create(L"", WS_CHILD | WS_VISIBLE | dwStyle, rc, &m_host, nID));
    }

    ImageKit::TempFolder m_folder;
    WindowKit::CHostWindow m_host;
};

} // namespace

TEST_F(ButtonTest, PushStripShowsOneClientWideFramePerState) {
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    ASSERT_TRUE(button.LoadStateImage(Strip(4, 80, 30).c_str(), TRUE));
    Repaint(button.m_hWnd);
    auto frameAtBothEdges = [&](Gdiplus::ARGB colour) {
        return PixelAt(button.Cache(), 0, 15) == colour &&
               PixelAt(button.Cache(), 79, 15) == colour;
    };
    EXPECT_TRUE(frameAtBothEdges(kFrameColours[0]));
    // The screen shows the cache.
    HDC hdc = ::GetDC(button.m_hWnd);
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(hdc, 40, 15));
    ::ReleaseDC(button.m_hWnd, hdc);

    MoveMouse(button.m_hWnd, CPoint(40, 15));
    Repaint(button.m_hWnd);
    EXPECT_TRUE(button.IsHovered());
    EXPECT_TRUE(frameAtBothEdges(kFrameColours[1]));

    ::SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 15));
    Repaint(button.m_hWnd);
    EXPECT_TRUE(frameAtBothEdges(kFrameColours[2])) << "pressed wins over hover";

    button.EnableWindow(FALSE);
    Repaint(button.m_hWnd);
    EXPECT_TRUE(frameAtBothEdges(kFrameColours[3])) << "disabled wins over pressed";
    ::ReleaseCapture();
}

TEST_F(ButtonTest, CheckStripUsesEighthsAndCaptionStartsRightOfTheFrame) {
    CPlainProbe button;
    Create(button, BS_AUTOCHECKBOX, CRect(10, 10, 130, 40));
    ASSERT_EQ(BS_CHECKBOX, button.GetButtonKind());
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
    ASSERT_TRUE(button.LoadStateImage(Strip(8, 16, 16).c_str(), FALSE));
    button.SetFontName(L"DejaVu Sans", FALSE);
    button.SetFontSize(16, FALSE);
    button.SetTextFormat(0, 1, 1, FALSE);
    button.SetTextColors(kBlack, kBlack, FALSE);
    button.SetText(L"Wide", TRUE);
    ::SendMessageW(button.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    MoveMouse(button.m_hWnd, CPoint(60, 15));
    Repaint(button.m_hWnd);

    // Checked and hovered: frame 5, 16 x 16, centred in the 30-pixel height.
    Gdiplus::Bitmap* cache = button.Cache();
    EXPECT_EQ(16 * 16, CountPixels(cache, kFrameColours[5], 0, 7, 16, 23));
    EXPECT_EQ(0u, PixelAt(cache, 5, 6));
    EXPECT_EQ(0u, PixelAt(cache, 5, 23));
    // The caption begins at x 19 (frame width + 3), a glyph bearing later at most.
    int firstInk = -1;
    for (int x = 16; x < 120 && firstInk < 0; ++x)
        for (int y = 0; y < 30; ++y)
            if (PixelAt(cache, x, y) >> 24)
                firstInk = x;
    EXPECT_GE(firstInk, 19);
    EXPECT_LE(firstInk, 23);
}

TEST_F(ButtonTest, EveryCreationStyleEndsOwnerDrawn) {
    // Radio (4) or three-state (5) OR-ed with owner-draw (11) would be 15, a
    // type the system draws itself.
    CPlainProbe radioStyle, threeState;
    Create(radioStyle, BS_RADIOBUTTON, CRect(10, 10, 90, 40), 301);
    Create(threeState, BS_3STATE, CRect(10, 50, 90, 80), 302);
    for (CPlainProbe* button : {&radioStyle, &threeState}) {
        EXPECT_EQ(BS_PUSHBUTTON, button->GetButtonKind());
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button->GetStyle() & BS_TYPEMASK);
    }
    // The dialog manager's default-button switch keeps it owner-drawn too.
    ::SendMessageW(radioStyle.m_hWnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), radioStyle.GetStyle() & BS_TYPEMASK);
}

TEST_F(ButtonTest, DisabledCaptionTakesTheDisabledColour) {
    const Gdiplus::ARGB blue = 0xFF0000FF;
    const Gdiplus::ARGB grey = 0xFF808080;
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 210, 50));
    button.SetFontName(L"DejaVu Sans", FALSE);
    button.SetFontSize(24, FALSE);
    button.SetFontStyle(1, FALSE);
    button.SetTextColors(blue, grey, FALSE);
    button.SetText(L"HIM", TRUE);
    Repaint(button.m_hWnd);
    EXPECT_GT(CountPixels(button.Cache(), blue, 0, 0, 200, 40), 20);
    EXPECT_EQ(0, CountPixels(button.Cache(), grey, 0, 0, 200, 40));

    button.EnableWindow(FALSE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(0, CountPixels(button.Cache(), blue, 0, 0, 200, 40));
    EXPECT_GT(CountPixels(button.Cache(), grey, 0, 0, 200, 40), 20);
}

TEST_F(ButtonTest, CheckingARadioClearsOnlyTheBitmapRadiosOfItsGroup) {
    CPlainProbe first, shapedRadio, checkKind, nextGroup;
    CButton ordinary;
    Create(first, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 10, 90, 40), 301);
    ASSERT_TRUE(ordinary.Create(L"plain", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                                CRect(100, 10, 180, 40), &m_host, 302));
    CShapedProbe shaped;
    Create(shaped, BS_AUTORADIOBUTTON, CRect(190, 10, 270, 40), 303);
    Create(checkKind, BS_AUTOCHECKBOX, CRect(280, 10, 360, 40), 304);
    Create(nextGroup, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 60, 90, 90), 305);
    ::SendMessageW(ordinary.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(shaped.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(checkKind.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(nextGroup.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    WindowKit::PumpMessages();
    ASSERT_TRUE(shaped.IsChecked());

    Click(first.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_TRUE(first.IsChecked());
    EXPECT_FALSE(shaped.IsChecked());
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(ordinary.m_hWnd, BM_GETCHECK, 0, 0));
    EXPECT_TRUE(checkKind.IsChecked());
    EXPECT_TRUE(nextGroup.IsChecked());
    ASSERT_FALSE(m_host.m_commands.empty());
    EXPECT_EQ(MAKEWPARAM(301, BN_CLICKED), m_host.m_commands.back());

    // Checking another radio clears the first; clearing one touches no sibling.
    ::SendMessageW(shaped.m_hWnd, BM_SETCHECK, BST_CHECKED, 0);
    WindowKit::PumpMessages();
    EXPECT_FALSE(first.IsChecked());
    ::SendMessageW(first.m_hWnd, BM_SETCHECK, BST_UNCHECKED, 0);
    WindowKit::PumpMessages();
    EXPECT_TRUE(shaped.IsChecked());
}

TEST_F(ButtonTest, ClicksToggleCheckButtonsAndOnlySetRadios) {
    CPlainProbe check, radio;
    Create(check, BS_AUTOCHECKBOX, CRect(10, 10, 90, 40), 301);
    Create(radio, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 60, 90, 90), 302);
    Click(check.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(check.m_hWnd, BM_GETCHECK, 0, 0));
    Click(check.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(check.m_hWnd, BM_GETCHECK, 0, 0));
    Click(radio.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    Click(radio.m_hWnd, CPoint(5, 5), CPoint(5, 5));
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(radio.m_hWnd, BM_GETCHECK, 0, 0));
}

TEST_F(ButtonTest, ReleasingOutsideChangesNothing) {
    CPlainProbe check;
    Create(check, BS_AUTOCHECKBOX, CRect(100, 10, 180, 40), 301);
    Click(check.m_hWnd, CPoint(5, 5), CPoint(-50, 5));
    EXPECT_FALSE(check.IsChecked());
    for (WPARAM command : m_host.m_commands)
        EXPECT_NE(MAKEWPARAM(301, BN_CLICKED), command);
}

TEST_F(ButtonTest, SpaceOnARadioChecksItAndNotifiesTheParent) {
    CPlainProbe radio;
    Create(radio, BS_AUTORADIOBUTTON | WS_GROUP, CRect(10, 10, 90, 40), 301);
    EXPECT_EQ(DLGC_BUTTON | DLGC_RADIOBUTTON, ::SendMessageW(radio.m_hWnd, WM_GETDLGCODE, 0, 0));
    ::SendMessageW(radio.m_hWnd, WM_KEYUP, VK_SPACE, 0);
    WindowKit::PumpMessages();
    EXPECT_TRUE(radio.IsChecked());
    ASSERT_EQ(1u, m_host.m_commands.size());
    EXPECT_EQ(MAKEWPARAM(301, BN_CLICKED), m_host.m_commands[0]);
}

TEST_F(ButtonTest, ShapedButtonIgnoresTheMouseOverTransparentPixels) {
    // Each frame: left half fully transparent, right half opaque.
    Gdiplus::Bitmap strip(320, 30, PixelFormat32bppARGB);
    for (int frame = 0; frame < 4; ++frame)
        for (int y = 0; y < 30; ++y)
            for (int x = 40; x < 80; ++x)
                strip.SetPixel(frame * 80 + x, y, Gdiplus::Color(kFrameColours[frame]));
    const std::wstring path = m_folder.File(L"half.png");
    ASSERT_TRUE(ImageKit::SavePng(strip, path));
    CShapedProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    button.LoadStateImage(path.c_str(), TRUE);
    Repaint(button.m_hWnd);

    MoveMouse(button.m_hWnd, CPoint(10, 15));
    Repaint(button.m_hWnd);
    EXPECT_FALSE(button.IsHovered());
    EXPECT_EQ(kFrameColours[0], PixelAt(button.Cache(), 60, 15));
    ::SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 15));
    EXPECT_NE(button.m_hWnd, ::GetCapture());
    EXPECT_FALSE(::SendMessageW(button.m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED);

    MoveMouse(button.m_hWnd, CPoint(60, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(kFrameColours[1], PixelAt(button.Cache(), 60, 15));
    // Moving off the shape inside the window ends the highlight.
    MoveMouse(button.m_hWnd, CPoint(10, 15));
    Repaint(button.m_hWnd);
    EXPECT_FALSE(button.IsHovered());
    EXPECT_EQ(kFrameColours[0], PixelAt(button.Cache(), 60, 15));

    ::SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(kFrameColours[2], PixelAt(button.Cache(), 60, 15));
    ::SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(60, 15));
}

TEST_F(ButtonTest, ShapedButtonOverAnOpaqueParentBackgroundIsOpaqueEverywhere) {
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&background);
        Gdiplus::SolidBrush brush(Gdiplus::Color(0xFF336699));
        graphics.FillRectangle(&brush, 0, 0, 400, 300);
    }
    Gdiplus::Image* pBackground = &background;
    CShapedProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    button.SetParentBackground(&pBackground, TRUE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(80 * 30, CountPixels(button.Cache(), 0xFF336699, 0, 0, 80, 30));
    MoveMouse(button.m_hWnd, CPoint(10, 15));
    EXPECT_TRUE(button.IsHovered());
}

TEST_F(ButtonTest, HotkeyPrefixUnderlinesTheNextLetterInsteadOfDrawingTheAmpersand) {
    CPlainProbe prefixed, plain;
    Create(prefixed, BS_PUSHBUTTON, CRect(10, 10, 210, 50), 301);
    Create(plain, BS_PUSHBUTTON, CRect(10, 60, 210, 100), 302);
    for (CPlainProbe* button : {&prefixed, &plain}) {
        button->SetFontName(L"DejaVu Sans", FALSE);
        button->SetFontSize(24, FALSE);
    }
    prefixed.SetText(L"&Save", TRUE);
    plain.SetText(L"Save", TRUE);
    Repaint(m_host.m_hWnd);
    ASSERT_NE(nullptr, prefixed.Cache());
    ASSERT_NE(nullptr, plain.Cache());

    // Ink box of the plain caption.
    int left = 200, right = -1, bottom = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (PixelAt(plain.Cache(), x, y) >> 24) {
                left = (std::min)(left, x);
                right = (std::max)(right, x);
                bottom = (std::max)(bottom, y);
            }
    ASSERT_GT(right, left);
    // Everything the prefixed caption adds is a thin line under the first letter.
    int added = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (PixelAt(prefixed.Cache(), x, y) != PixelAt(plain.Cache(), x, y)) {
                ++added;
                EXPECT_GE(y, bottom - 1) << x;
                EXPECT_LE(y, bottom + 4) << x;
                EXPECT_LE(x, left + (right - left) / 3) << y;
            }
    EXPECT_GT(added, 5);
}

TEST_F(ButtonTest, FocusFrameNeedsSomethingToFrame) {
    CPlainProbe empty, captioned;
    Create(empty, BS_PUSHBUTTON, CRect(10, 10, 90, 40), 301);
    Create(captioned, BS_PUSHBUTTON, CRect(10, 60, 90, 90), 302);
    captioned.SetFontName(L"DejaVu Sans", FALSE);
    captioned.SetTextColors(0xFFFF0000, 0xFFFF0000, FALSE);
    captioned.SetText(L"x", FALSE);
    for (CPlainProbe* button : {&empty, &captioned}) {
        button->SetDrawFocus(TRUE, TRUE);
        button->SetFocus();
        Repaint(button->m_hWnd);
        ASSERT_NE(nullptr, button->Cache());
    }
    captioned.SetFocus();
    Repaint(captioned.m_hWnd);
    EXPECT_GT(CountPixels(captioned.Cache(), kBlack, 3, 3, 77, 4), 10);
    empty.SetFocus();
    Repaint(empty.m_hWnd);
    EXPECT_EQ(GetFocus(), empty.m_hWnd);
    EXPECT_EQ(80 * 30, CountPixels(empty.Cache(), 0, 0, 0, 80, 30));
}

TEST_F(ButtonTest, FailedImageLoadsLeaveOnlyTheParentBackground) {
    // The parent's picture: red left of x 50, green from x 50.
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&background);
        Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000)), green(Gdiplus::Color(0xFF00FF00));
        graphics.FillRectangle(&red, 0, 0, 50, 300);
        graphics.FillRectangle(&green, 50, 0, 350, 300);
    }
    Gdiplus::Image* pBackground = &background;
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(40, 10, 120, 40));
    EXPECT_FALSE(button.LoadStateImage(nullptr, FALSE));
    const std::wstring missing = m_folder.File(L"missing.png");
    EXPECT_TRUE(button.LoadStateImage(missing.c_str(), FALSE));
    EXPECT_TRUE(button.LoadIconImage(missing.c_str(), FALSE));
    button.SetParentBackground(&pBackground, TRUE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(10 * 30, CountPixels(button.Cache(), 0xFFFF0000, 0, 0, 10, 30));
    EXPECT_EQ(70 * 30, CountPixels(button.Cache(), 0xFF00FF00, 10, 0, 80, 30));
}

TEST_F(ButtonTest, PaintingCopiesTheCacheUntilAnInputChanges) {
    CPlainProbe button;
    Create(button, BS_PUSHBUTTON, CRect(10, 10, 90, 40));
    button.LoadStateImage(Strip(4, 80, 30).c_str(), FALSE);
    button.SetFontName(L"DejaVu Sans", FALSE);
    button.SetTextColors(0xFFFF0000, 0xFF808080, FALSE);
    button.SetText(L"Go", FALSE);
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
    button.SetFontSize(14, TRUE);
    Repaint(button.m_hWnd);
    EXPECT_EQ(configured + 2, button.GetCacheBuildCount());
    // A state change renders once, already in the erase that precedes the owner-draw.
    MoveMouse(button.m_hWnd, CPoint(40, 15));
    Repaint(button.m_hWnd);
    EXPECT_EQ(configured + 3, button.GetCacheBuildCount());
    ::SetWindowPos(button.m_hWnd, nullptr, 0, 0, 100, 30, SWP_NOMOVE | SWP_NOZORDER);
    Repaint(button.m_hWnd);
    EXPECT_EQ(configured + 4, button.GetCacheBuildCount());
    EXPECT_EQ(100u, button.Cache()->GetWidth());
}
