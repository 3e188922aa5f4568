// Labels in real windows: composed image, cursor and painting.
#include "skin/Label.h"
#include "tests/controls/ControlKit.h"
#include "skin/Canvas.h"

#include <algorithm>

using ImageKit::PixelAt;
using WindowKit::Repaint;

namespace {

using CLabelProbe = CProbe<CLabel>;
const Gdiplus::ARGB kBlue = 0xFF0000FF;
using LabelTest = ControlTest;

} // namespace

// A resized label paints its new area: the cache is rebuilt at the new size.
// (An image at one to one, the erase test sees.)
TEST_F(LabelTest, MissingImageOverTheParentBackgroundAlsoAfterAResize) {
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    Gdiplus::Graphics(&background).Clear(Gdiplus::Color(0xFF123456));
    Gdiplus::SolidBrush blue{Gdiplus::Color(kBlue)};
    Gdiplus::Graphics(&background).FillRectangle(&blue, 0, 0, 60, 300);
    CLabelProbe over;
    Create(over, SS_NOTIFY, CRect(10, 80, 110, 140));
    EXPECT_FALSE(over.SetImageFile(nullptr));
    over.SetParentBackground(&background);
    EXPECT_TRUE(over.SetImageFile(m_folder.File(L"missing.png").c_str()));
    Repaint(m_host.m_hWnd);
    EXPECT_EQ(kBlue, PixelAt(over.Cache(), 49, 19));      // parent x 59
    EXPECT_EQ(0xFF123456, PixelAt(over.Cache(), 50, 19)); // parent x 60
    ::SetWindowPos(over.m_hWnd, nullptr, 0, 0, 160, 60, SWP_NOMOVE | SWP_NOZORDER);
    Repaint(over.m_hWnd);
    EXPECT_EQ(160u, over.Cache()->GetWidth());
    HDC hdc = ::GetDC(over.m_hWnd);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), ::GetPixel(hdc, 150, 30));
    ::ReleaseDC(over.m_hWnd, hdc);
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
