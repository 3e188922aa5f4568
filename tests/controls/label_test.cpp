// Labels in real windows: composed image, text colour, cursor and painting.
#include "skin/Label.h"

#include "tests/common/ImageKit.h"
#include "tests/common/WindowKit.h"

#include <gtest/gtest.h>

#include <algorithm>

using ImageKit::CountPixels;
using ImageKit::PixelAt;
using WindowKit::Repaint;

namespace {

class CLabelProbe : public CLabel {
public:
    Gdiplus::Bitmap* Cache() const { return m_pCache.get(); }
};

const Gdiplus::ARGB kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

class LabelTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_host.CreateHost(400, 300)); }
    void TearDown() override { m_host.DestroyWindow(); }

    void Create(CLabelProbe& label, CRect rc) {
        ASSERT_TRUE(label.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, rc, &m_host, 400));
    }
    static void SetFont(CLabelProbe& label) {
        label.SetFontName(L"DejaVu Sans");
        label.SetFontSize(24);
        label.SetTextFormat(0, 1, 1);
    }
    // A red image with a green bottom-right pixel.
    std::wstring MarkedImage(int nWidth, int nHeight) {
        Gdiplus::Bitmap image(nWidth, nHeight, PixelFormat32bppARGB);
        for (int y = 0; y < nHeight; ++y)
            for (int x = 0; x < nWidth; ++x)
                image.SetPixel(x, y,
                               Gdiplus::Color(x + 1 == nWidth && y + 1 == nHeight ? kGreen : kRed));
        const std::wstring path = m_folder.File(L"label.png");
        EXPECT_TRUE(ImageKit::SavePng(image, path));
        return path;
    }

    ImageKit::TempFolder m_folder;
    WindowKit::CHostWindow m_host;
};

int RightmostInk(Gdiplus::Bitmap* cache) {
    int right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (PixelAt(cache, x, y) >> 24)
                right = (std::max)(right, x);
    return right;
}

} // namespace

TEST_F(LabelTest, ImageAtOneToOneOverTheParentBackground) {
    Gdiplus::Bitmap background(400, 300, PixelFormat32bppARGB);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 150; ++x)
            background.SetPixel(x, y, Gdiplus::Color(x < 60 ? kBlue : 0xFF123456));
    CLabelProbe bare, over;
    Create(bare, CRect(10, 10, 110, 70));
    Create(over, CRect(10, 80, 110, 140));
    EXPECT_FALSE(bare.SetImageFile(nullptr));
    ASSERT_TRUE(bare.SetImageFile(MarkedImage(40, 30).c_str()));
    over.SetParentBackground(&background);
    EXPECT_TRUE(over.SetImageFile(m_folder.File(L"missing.png").c_str()));
    Repaint(m_host.m_hWnd);

    EXPECT_EQ(40 * 30 - 1, CountPixels(bare.Cache(), kRed, 0, 0, 40, 30));
    EXPECT_EQ(kGreen, PixelAt(bare.Cache(), 39, 29));
    EXPECT_EQ(100 * 60 - 40 * 30, CountPixels(bare.Cache(), 0, 0, 0, 100, 60));
    EXPECT_EQ(kBlue, PixelAt(over.Cache(), 49, 19));      // parent x 59
    EXPECT_EQ(0xFF123456, PixelAt(over.Cache(), 50, 19)); // parent x 60
}

TEST_F(LabelTest, TextKeepsItsColourWhenDisabledAndShowsAmpersands) {
    CLabelProbe withAmpersand, plain;
    Create(withAmpersand, CRect(10, 10, 210, 50));
    Create(plain, CRect(10, 60, 210, 100));
    SetFont(withAmpersand);
    SetFont(plain);
    plain.SetFontStyle(1);
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
    Create(label, CRect(10, 10, 110, 70));
    BYTE andMask[128], xorMask[128] = {};
    memset(andMask, 0xFF, sizeof(andMask));
    HCURSOR first = ::CreateCursor(nullptr, 0, 0, 32, 32, andMask, xorMask);
    HCURSOR second = ::CreateCursor(nullptr, 1, 1, 32, 32, andMask, xorMask);
    ASSERT_TRUE(first && second);
    const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    label.SetLabelCursor(first);
    EXPECT_FALSE(::SendMessageW(label.m_hWnd, WM_SETCURSOR, (WPARAM)label.m_hWnd, overClient));
    EXPECT_EQ(first, ::GetCursor());
    label.SetLabelCursor(second);
    ::SendMessageW(label.m_hWnd, WM_SETCURSOR, (WPARAM)label.m_hWnd, overClient);
    EXPECT_EQ(second, ::GetCursor());
    ICONINFO info;
    EXPECT_FALSE(::GetIconInfo(first, &info));
}

TEST_F(LabelTest, PaintsOnceAndLeavesUncoveredPixelsAlone) {
    CLabelProbe label;
    Create(label, CRect(10, 10, 110, 70));
    label.SetImageFile(MarkedImage(30, 20).c_str());
    const UINT configured = label.GetCacheBuildCount();
    DWORD* pixels = nullptr;
    HBITMAP surface = ImageKit::CreateDib(100, 60, &pixels);
    std::fill(pixels, pixels + 100 * 60, 0x00FF00FFu); // magenta
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, surface);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(::SendMessageW(label.m_hWnd, WM_ERASEBKGND, (WPARAM)hdc, 0));
    label.Invalidate(TRUE);
    Repaint(label.m_hWnd);
    EXPECT_EQ(configured + 1, label.GetCacheBuildCount());
    ::GdiFlush();
    EXPECT_EQ(0xFF0000u, pixels[0] & 0xFFFFFF);
    EXPECT_EQ(0xFF00FFu, pixels[35] & 0xFFFFFF);
    EXPECT_EQ(0xFF00FFu, pixels[59 * 100 + 99] & 0xFFFFFF);
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::DeleteObject(surface);
    label.SetFontSize(13);
    Repaint(label.m_hWnd);
    EXPECT_EQ(configured + 2, label.GetCacheBuildCount());
}

TEST_F(LabelTest, AResizedLabelPaintsItsNewArea) {
    CLabelProbe label;
    Create(label, CRect(10, 10, 110, 70));
    label.SetImageFile(MarkedImage(200, 60).c_str());
    Repaint(label.m_hWnd);
    ::SetWindowPos(label.m_hWnd, nullptr, 0, 0, 160, 60, SWP_NOMOVE | SWP_NOZORDER);
    Repaint(label.m_hWnd);
    EXPECT_EQ(160u, label.Cache()->GetWidth());
    HDC hdc = ::GetDC(label.m_hWnd);
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(hdc, 150, 30));
    ::ReleaseDC(label.m_hWnd, hdc);
}
