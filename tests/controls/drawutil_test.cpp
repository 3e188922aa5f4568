// The shared GDI+ drawing functions, on real GDI+ bitmaps.
#include "skin/DrawUtil.h"

#include "ImageKit.h"

#include <gtest/gtest.h>

#include <memory>

using ImageKit::CountPixels;
using ImageKit::PixelAt;

namespace {

const Gdiplus::ARGB kRed = 0xFFFF0000;
const Gdiplus::ARGB kGreen = 0xFF00FF00;
const Gdiplus::ARGB kBlack = 0xFF000000;

std::unique_ptr<Gdiplus::Bitmap> MakeCache(int width, int height) {
    Gdiplus::Bitmap* bitmap = nullptr;
    EXPECT_TRUE(CreateCacheBitmap(&bitmap, width, height));
    return std::unique_ptr<Gdiplus::Bitmap>(bitmap);
}

} // namespace

TEST(CreateCacheBitmap, ReplacesTheSlotWithATransparentArgbBitmap) {
    Gdiplus::Bitmap* bitmap = new Gdiplus::Bitmap(5, 5, PixelFormat32bppARGB);
    ASSERT_TRUE(CreateCacheBitmap(&bitmap, 30, 20));
    std::unique_ptr<Gdiplus::Bitmap> cache(bitmap);
    ASSERT_NE(nullptr, cache);
    EXPECT_EQ(30u, cache->GetWidth());
    EXPECT_EQ(20u, cache->GetHeight());
    EXPECT_EQ(PixelFormat32bppARGB, cache->GetPixelFormat());
    EXPECT_EQ(30 * 20, CountPixels(cache.get(), 0, 0, 0, 30, 20));
}

TEST(CreateCacheBitmap, AnImpossibleSizeLeavesTheSlotEmpty) {
    Gdiplus::Bitmap* bitmap = new Gdiplus::Bitmap(5, 5, PixelFormat32bppARGB);
    CreateCacheBitmap(&bitmap, 0, 20);
    EXPECT_EQ(nullptr, bitmap);
    CreateCacheBitmap(&bitmap, -4, -4);
    EXPECT_EQ(nullptr, bitmap);
}

TEST(DrawImagePart, CopiesTheSourceRectangleUnscaledToTheOrigin) {
    // Four 10-pixel frames; the third one is red with a green last column.
    Gdiplus::Bitmap strip(40, 8, PixelFormat32bppARGB);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 40; ++x)
            strip.SetPixel(x, y, Gdiplus::Color(x == 29 ? kGreen : x >= 20 && x < 30 ? kRed : 0));
    auto cache = MakeCache(10, 8);
    DrawImagePart(&strip, cache.get(), RECT{20, 0, 30, 8});
    EXPECT_EQ(9 * 8, CountPixels(cache.get(), kRed, 0, 0, 10, 8));
    EXPECT_EQ(8, CountPixels(cache.get(), kGreen, 9, 0, 10, 8));
}

TEST(DrawImagePart, NothingHappensWithoutAnImage) {
    Gdiplus::Bitmap source(4, 4, PixelFormat32bppARGB);
    EXPECT_TRUE(DrawImagePart(&source, nullptr, RECT{0, 0, 4, 4}));
    auto cache = MakeCache(4, 4);
    EXPECT_TRUE(DrawImagePart(nullptr, cache.get(), RECT{0, 0, 4, 4}));
    EXPECT_EQ(16, CountPixels(cache.get(), 0, 0, 0, 4, 4));
}

TEST(DrawFocusFrame, DrawsADottedBlackFrameThreePixelsInside) {
    auto cache = MakeCache(40, 20);
    EXPECT_TRUE(DrawFocusFrame(cache.get(), RECT{0, 0, 40, 20}));
    // The frame runs along x 3..36 and y 3..16; nothing outside it.
    const int top = CountPixels(cache.get(), kBlack, 3, 3, 37, 4);
    EXPECT_GT(top, 8);
    EXPECT_LT(top, 34); // dotted, not solid
    EXPECT_GT(CountPixels(cache.get(), kBlack, 3, 16, 37, 17), 8);
    EXPECT_GT(CountPixels(cache.get(), kBlack, 3, 3, 4, 17), 4);
    EXPECT_GT(CountPixels(cache.get(), kBlack, 36, 3, 37, 17), 4);
    EXPECT_EQ(0, CountPixels(cache.get(), kBlack, 0, 0, 40, 3));
    EXPECT_EQ(0, CountPixels(cache.get(), kBlack, 0, 17, 40, 20));
    EXPECT_EQ(0, CountPixels(cache.get(), kBlack, 4, 4, 36, 16));
    EXPECT_TRUE(DrawFocusFrame(nullptr, RECT{0, 0, 40, 20}));
}

TEST(MeasureText, MeasuresTextOfAnInstalledFace) {
    auto image = MakeCache(64, 64);
    RECT short_ = {0, 0, 1024, 0};
    MeasureTextOnImage(L"Hello", image.get(), L"DejaVu Sans", 12, 0, short_);
    RECT longer = {0, 0, 1024, 0};
    MeasureTextOnImage(L"Hello, world", image.get(), L"DejaVu Sans", 12, 0, longer);
    EXPECT_EQ(0, short_.left);
    EXPECT_GT(short_.right, 20);
    EXPECT_LT(short_.right, 50);
    EXPECT_GT(short_.bottom, 10);
    EXPECT_LT(short_.bottom, 20);
    EXPECT_GT(longer.right, short_.right + 20);
    EXPECT_EQ(short_.bottom, longer.bottom);
}

TEST(MeasureText, LeavesTheStatusOnTheGraphics) {
    auto image = MakeCache(8, 8);
    Gdiplus::Graphics graphics(image.get());
    RECT rc = {0, 0, 1024, 0};
    MeasureTextBounds(L"Hello", &graphics, L"DejaVu Sans", 12, 0, rc);
    EXPECT_EQ(Gdiplus::Ok, graphics.GetLastStatus());
    RECT missing = {5, 5, 1024, 0};
    MeasureTextBounds(L"Hello", &graphics, L"No Such Face Anywhere", 12, 0, missing);
    EXPECT_NE(Gdiplus::Ok, graphics.GetLastStatus());
    // A failed measurement is an empty box, not leftovers.
    EXPECT_EQ(0, missing.right - missing.left);
}

TEST(MeasureText, NoImageLeavesTheBoxAsGiven) {
    RECT rc = {1, 2, 3, 4};
    MeasureTextOnImage(L"Hello", nullptr, L"DejaVu Sans", 12, 0, rc);
    EXPECT_EQ(1, rc.left);
    EXPECT_EQ(4, rc.bottom);
}

TEST(CacheSurface, PaintsTheCacheOverWhatIsThereByItsAlpha) {
    auto cache = MakeCache(4, 1);
    cache->SetPixel(0, 0, Gdiplus::Color(0xFFFF0000)); // opaque red
    cache->SetPixel(1, 0, Gdiplus::Color(0x80FF0000)); // half red
    // Pixels 2 and 3 stay fully transparent.
    CKvCacheSurface surface;
    ASSERT_TRUE(surface.CopyFrom(cache.get()));

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP target = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, target);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < 4; ++i)
        pixels[i] = 0x00FFFFFF; // white
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, target);
    EXPECT_TRUE(surface.PaintTo(hdc));
    ::GdiFlush();
    EXPECT_EQ(0xFF0000u, pixels[0] & 0xFFFFFF);
    const DWORD half = pixels[1];
    EXPECT_EQ(0xFFu, (half >> 16) & 0xFF);
    EXPECT_NEAR(0x7F, static_cast<int>((half >> 8) & 0xFF), 2);
    EXPECT_NEAR(0x7F, static_cast<int>(half & 0xFF), 2);
    EXPECT_EQ(0xFFFFFFu, pixels[2] & 0xFFFFFF);
    surface.Release();
    EXPECT_FALSE(surface.PaintTo(hdc));
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::DeleteObject(target);
}
