// Labels in real windows: composed image, text colour, cursor and painting.
#include "skin/Label.h"
#include "tests/controls/ControlKit.h"
#include "skin/Canvas.h"

#include <algorithm>

using ImageKit::CountPixels;
using ImageKit::PixelAt;
using WindowKit::Repaint;

namespace {

using CLabelProbe = CProbe<CLabel>;
const Gdiplus::ARGB kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
using LabelTest = ControlTest;

int RightmostInk(Gdiplus::Bitmap* cache) {
    return ImageKit::InkColumns(cache, 0, 200, 40).second;
}

} // namespace

// A resized label paints its new area: the cache is rebuilt at the new size.
TEST_F(LabelTest, ImageAtOneToOneOverTheParentBackgroundAlsoAfterAResize) {
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    Gdiplus::Graphics(&background).Clear(Gdiplus::Color(0xFF123456));
    Gdiplus::SolidBrush blue{Gdiplus::Color(kBlue)};
    Gdiplus::Graphics(&background).FillRectangle(&blue, 0, 0, 60, 300);
    CLabelProbe bare, over;
    Create(bare, SS_NOTIFY, CRect(10, 10, 110, 70));
    Create(over, SS_NOTIFY, CRect(10, 80, 110, 140));
    EXPECT_FALSE(bare.SetImageFile(nullptr));
    ASSERT_TRUE(bare.SetImageFile(Strip(L"red.png", {kRed}, 40, 30).c_str()));
    over.SetParentBackground(&background);
    EXPECT_TRUE(over.SetImageFile(m_folder.File(L"missing.png").c_str()));
    Repaint(m_host.m_hWnd);
    EXPECT_EQ(40 * 30, CountPixels(bare.Cache(), kRed, 0, 0, 40, 30));
    EXPECT_EQ(100 * 60 - 40 * 30, CountPixels(bare.Cache(), 0, 0, 0, 100, 60));
    EXPECT_EQ(kBlue, PixelAt(over.Cache(), 49, 19));      // parent x 59
    EXPECT_EQ(0xFF123456, PixelAt(over.Cache(), 50, 19)); // parent x 60
    ::SetWindowPos(over.m_hWnd, nullptr, 0, 0, 160, 60, SWP_NOMOVE | SWP_NOZORDER);
    Repaint(over.m_hWnd);
    EXPECT_EQ(160u, over.Cache()->GetWidth());
    HDC hdc = ::GetDC(over.m_hWnd);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), ::GetPixel(hdc, 150, 30));
    ::ReleaseDC(over.m_hWnd, hdc);
}

TEST_F(LabelTest, TextKeepsItsColourWhenDisabledAndShowsAmpersands) {
    CLabelProbe withAmpersand, plain;
    Create(withAmpersand, SS_NOTIFY, CRect(10, 10, 210, 50));
    Create(plain, SS_NOTIFY, CRect(10, 60, 210, 100));
    for (CLabelProbe* label : {&withAmpersand, &plain}) {
        label->SetFontName(L"DejaVu Sans");
        label->SetFontSize(24);
        label->SetTextFormat(0, 1, 1);
    }
    plain.SetTextColors(kBlue, 0xFF808080);
    plain.EnableWindow(FALSE);
    plain.SetText(L"Save");
    withAmpersand.SetText(L"&Save");
    Repaint(m_host.m_hWnd);
    EXPECT_GT(CountPixels(plain.Cache(), kBlue, 0, 0, 200, 40), 20);
    EXPECT_EQ(0, CountPixels(plain.Cache(), 0xFF808080, 0, 0, 200, 40));
    // Left-aligned: a drawn ampersand pushes the word right by its own width.
    ASSERT_GT(RightmostInk(plain.Cache()), 20);
    EXPECT_GT(RightmostInk(withAmpersand.Cache()), RightmostInk(plain.Cache()) + 10);
}

TEST_F(LabelTest, ShowsItsOwnCursorAndDestroysTheOneItReplaces) {
    CLabelProbe label;
    Create(label, SS_NOTIFY, CRect(10, 10, 110, 70));
    HCURSOR first = CopyCursor(::LoadCursor(nullptr, IDC_ARROW));
    HCURSOR second = CopyCursor(::LoadCursor(nullptr, IDC_CROSS));
    ASSERT_TRUE(first && second);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    label.SetLabelCursor(first);
    EXPECT_FALSE(::SendMessageW(label.m_hWnd, WM_SETCURSOR, (WPARAM)label.m_hWnd, overClient));
    EXPECT_EQ(first, ::GetCursor());
    label.SetLabelCursor(second);
    label.SetLabelCursor(second); // handing the held cursor back keeps it alive
    ::SendMessageW(label.m_hWnd, WM_SETCURSOR, (WPARAM)label.m_hWnd, overClient);
    EXPECT_EQ(second, ::GetCursor());
    ICONINFO info;
    EXPECT_FALSE(::GetIconInfo(first, &info));
    EXPECT_TRUE(::GetIconInfo(second, &info));
}

// The button's tests count cache builds on the paint path the two share.
TEST_F(LabelTest, ErasesOntoASurfaceByAlphaAndLeavesUncoveredPixelsAlone) {
    CLabelProbe label;
    Create(label, SS_NOTIFY, CRect(10, 10, 110, 70));
    label.SetImageFile(Strip(L"half.png", {0x80FF0000}, 30, 20).c_str()); // half-transparent red
    CKvCanvas surface(100, 60);
    uint32_t* pixels = surface.Bits();
    std::fill(pixels, pixels + 100 * 60, 0x000000FFu); // blue
    EXPECT_TRUE(::SendMessageW(label.m_hWnd, WM_ERASEBKGND, (WPARAM)surface.DC(), 0));
    ::GdiFlush();
    // Half the red over half the blue: the copy is premultiplied as AlphaBlend needs.
    EXPECT_NEAR(0x80, static_cast<int>(pixels[0] >> 16 & 0xFF), 2);
    EXPECT_NEAR(0x7F, static_cast<int>(pixels[0] & 0xFF), 2);
    EXPECT_EQ(0xFFu, pixels[35] & 0xFFFFFF);
    EXPECT_EQ(0xFFu, pixels[59 * 100 + 99] & 0xFFFFFF);
}
