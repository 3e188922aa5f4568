// Labels in real windows: composed image, text colour, cursor and painting.
#include "skin/Label.h"

#include "ImageKit.h"
#include "WindowKit.h"

#include <gtest/gtest.h>

using ImageKit::CountPixels;
using ImageKit::PixelAt;
using WindowKit::Repaint;

namespace {

class CLabelProbe : public CLabel {
public:
    Gdiplus::Bitmap* Cache() const { return m_pCache.get(); }
};

const Gdiplus::ARGB kRed = 0xFFFF0000;
const Gdiplus::ARGB kGreen = 0xFF00FF00;
const Gdiplus::ARGB kBlue = 0xFF0000FF;

class LabelTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost(400, 300)); }
    void TearDown() override { m_host.DestroyWindow(); }

    void Create(CLabelProbe& label, CRect rc) {
        ASSERT_TRUE(label.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, rc, &m_host, 400));
    }

    // A red image with a green bottom-right pixel.
    std::wstring MarkedImage(int nWidth, int nHeight) {
        Gdiplus::Bitmap image(nWidth, nHeight, PixelFormat32bppARGB);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
                image.SetPixel(x, y,
                               Gdiplus::Color(x == nWidth - 1 && y == nHeight - 1 ? kGreen : kRed));
        const std::wstring path = m_folder.File(L"label.png");
        EXPECT_TRUE(ImageKit::SavePng(image, path));
        return path;
    }

    ImageKit::TempFolder m_folder;
    WindowKit::CHostWindow m_host;
};

} // namespace

TEST_F(LabelTest, ShowsItsImageUnscaledInTheTopLeftCorner) {
    CLabelProbe label;
    Create(label, CRect(10, 10, 110, 70));
    ASSERT_TRUE(label.SetImageFile(MarkedImage(40, 30).c_str()));
    Repaint(label.m_hWnd);
    Gdiplus::Bitmap* cache = label.Cache();
    ASSERT_NE(nullptr, cache);
    EXPECT_EQ(40 * 30 - 1, CountPixels(cache, kRed, 0, 0, 40, 30));
    EXPECT_EQ(kGreen, PixelAt(cache, 39, 29));
    EXPECT_EQ(0u, PixelAt(cache, 40, 0));
    EXPECT_EQ(0u, PixelAt(cache, 0, 30));
    EXPECT_EQ(100 * 60 - 40 * 30, CountPixels(cache, 0, 0, 0, 100, 60));
}

TEST_F(LabelTest, ParentBackgroundShowsWhereTheImageDoesNotReach) {
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 150; ++x)
            background.SetPixel(x, y, Gdiplus::Color(x < 60 ? kBlue : 0xFF123456));
    CLabelProbe label;
    Create(label, CRect(10, 10, 110, 70));
    label.SetParentBackground(&background);
    label.SetImageFile(MarkedImage(20, 20).c_str());
    Repaint(label.m_hWnd);
    Gdiplus::Bitmap* cache = label.Cache();
    EXPECT_EQ(kRed, PixelAt(cache, 0, 0));
    EXPECT_EQ(kBlue, PixelAt(cache, 49, 59));      // parent x 59
    EXPECT_EQ(0xFF123456, PixelAt(cache, 50, 59)); // parent x 60
}

TEST_F(LabelTest, TextKeepsTheNormalColourWhenDisabled) {
    CLabelProbe label;
    Create(label, CRect(10, 10, 210, 50));
    label.SetFontName(L"DejaVu Sans");
    label.SetFontSize(24);
    label.SetFontStyle(1);
    label.SetTextColors(kBlue, 0xFF808080);
    label.EnableWindow(FALSE);
    label.SetText(L"HIM");
    Repaint(label.m_hWnd);
    EXPECT_GT(CountPixels(label.Cache(), kBlue, 0, 0, 200, 40), 20);
    EXPECT_EQ(0, CountPixels(label.Cache(), 0xFF808080, 0, 0, 200, 40));
}

static int RightmostInk(Gdiplus::Bitmap* cache, int nWidth, int nHeight) {
    int right = -1;
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            if (PixelAt(cache, x, y) >> 24)
                right = (std::max)(right, x);
    return right;
}

TEST_F(LabelTest, AmpersandIsDrawnAsGiven) {
    CLabelProbe withAmpersand, without;
    Create(withAmpersand, CRect(10, 10, 210, 50));
    Create(without, CRect(10, 60, 210, 100));
    for (CLabelProbe* label : {&withAmpersand, &without}) {
        label->SetFontName(L"DejaVu Sans");
        label->SetFontSize(24);
        label->SetTextFormat(0, 1, 1);
    }
    withAmpersand.SetText(L"&Save");
    without.SetText(L"Save");
    Repaint(m_host.m_hWnd);
    // Left-aligned: a drawn ampersand pushes the word right by its own width.
    const int plainRight = RightmostInk(without.Cache(), 200, 40);
    ASSERT_GT(plainRight, 20);
    EXPECT_GT(RightmostInk(withAmpersand.Cache(), 200, 40), plainRight + 10);
}

TEST_F(LabelTest, ShowsItsOwnCursorAndReplacesItCleanly) {
    CLabelProbe label;
    Create(label, CRect(10, 10, 110, 70));
    BYTE andMask[32 * 4];
    BYTE xorMask[32 * 4] = {};
    memset(andMask, 0xFF, sizeof(andMask));
    HCURSOR first = ::CreateCursor(::GetModuleHandleW(nullptr), 0, 0, 32, 32, andMask, xorMask);
    HCURSOR second = ::CreateCursor(::GetModuleHandleW(nullptr), 1, 1, 32, 32, andMask, xorMask);
    ASSERT_TRUE(first && second);

    label.SetLabelCursor(first);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_FALSE(::SendMessageW(label.m_hWnd, WM_SETCURSOR, (WPARAM)label.m_hWnd, overClient));
    EXPECT_EQ(first, ::GetCursor());

    label.SetLabelCursor(second);
    ::SendMessageW(label.m_hWnd, WM_SETCURSOR, (WPARAM)label.m_hWnd, overClient);
    EXPECT_EQ(second, ::GetCursor());
    ICONINFO info;
    EXPECT_FALSE(::GetIconInfo(first, &info)) << "the replaced cursor is destroyed";
    ASSERT_TRUE(::GetIconInfo(second, &info));
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
}

TEST_F(LabelTest, PaintingLeavesUncoveredPixelsAlone) {
    CLabelProbe label;
    Create(label, CRect(10, 10, 110, 70));
    label.SetImageFile(MarkedImage(30, 20).c_str());
    // Paint into a 32-bit surface already holding magenta.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 100;
    info.bmiHeader.biHeight = -60;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP surface = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, surface);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < 100 * 60; ++i)
        pixels[i] = 0x00FF00FF;
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, surface);
    EXPECT_TRUE(::SendMessageW(label.m_hWnd, WM_ERASEBKGND, (WPARAM)hdc, 0));
    ::GdiFlush();
    EXPECT_EQ(0xFF0000u, pixels[0] & 0xFFFFFF);
    EXPECT_EQ(0xFF00FFu, pixels[35] & 0xFFFFFF);
    EXPECT_EQ(0xFF00FFu, pixels[59 * 100 + 99] & 0xFFFFFF);
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::DeleteObject(surface);
}

TEST_F(LabelTest, ImageLoadFailuresAndRebuilds) {
    CLabelProbe label;
    Create(label, CRect(10, 10, 110, 70));
    EXPECT_FALSE(label.SetImageFile(nullptr));
    EXPECT_TRUE(label.SetImageFile(m_folder.File(L"missing.png").c_str()));
    Repaint(label.m_hWnd);
    EXPECT_EQ(100 * 60, CountPixels(label.Cache(), 0, 0, 0, 100, 60));
    const UINT builds = label.GetCacheBuildCount();
    for (int i = 0; i < 5; ++i) {
        label.Invalidate(TRUE);
        Repaint(label.m_hWnd);
    }
    EXPECT_EQ(builds, label.GetCacheBuildCount());
    label.SetFontSize(13);
    Repaint(label.m_hWnd);
    EXPECT_EQ(builds + 1, label.GetCacheBuildCount());
}
