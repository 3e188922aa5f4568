// The shared GDI+ drawing functions on real GDI+ bitmaps, where the window
// tests do not already see their effect.
#include "skin/DrawUtil.h"

#include "tests/common/ImageKit.h"

#include <gtest/gtest.h>

#include <memory>

static std::unique_ptr<Gdiplus::Bitmap> MakeCache(int width, int height) {
    Gdiplus::Bitmap* bitmap = new Gdiplus::Bitmap(2, 2, PixelFormat32bppARGB);
    CreateCacheBitmap(&bitmap, width, height);
    return std::unique_ptr<Gdiplus::Bitmap>(bitmap);
}

TEST(DrawUtil, ImpossibleCacheSizesLeaveTheSlotEmpty) {
    EXPECT_EQ(nullptr, MakeCache(0, 20));
    EXPECT_EQ(nullptr, MakeCache(-4, -4));
}

TEST(DrawUtil, MeasuringReportsTheBoxAndLeavesTheStatus) {
    auto image = MakeCache(8, 8);
    RECT hello = {0, 0, 1024, 0};
    MeasureTextOnImage(L"Hello", image.get(), L"DejaVu Sans", 12, 0, hello);
    EXPECT_EQ(0, hello.left);
    EXPECT_GT(hello.right, 20);
    EXPECT_LT(hello.right, 50);
    EXPECT_GT(hello.bottom, 10);
    EXPECT_LT(hello.bottom, 20);
    Gdiplus::Graphics graphics(image.get());
    RECT missing = {5, 5, 1024, 0};
    MeasureTextBounds(L"Hello", &graphics, L"No Such Face Anywhere", 12, 0, missing);
    EXPECT_NE(Gdiplus::Ok, graphics.GetLastStatus());
    EXPECT_EQ(0, missing.right - missing.left) << "a failed measurement is an empty box";
}

TEST(DrawUtil, CacheSurfaceComposesByPerPixelAlpha) {
    auto cache = MakeCache(3, 1);
    cache->SetPixel(0, 0, Gdiplus::Color(0xFFFF0000));
    cache->SetPixel(1, 0, Gdiplus::Color(0x80FF0000)); // pixel 2 stays transparent
    CKvCacheSurface surface;
    ASSERT_TRUE(surface.CopyFrom(cache.get()));
    DWORD* pixels = nullptr;
    HBITMAP target = ImageKit::CreateDib(3, 1, &pixels);
    pixels[0] = pixels[1] = pixels[2] = 0xFFFFFF; // white
    HDC hdc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, target);
    EXPECT_TRUE(surface.PaintTo(hdc));
    ::GdiFlush();
    EXPECT_EQ(0xFF0000u, pixels[0] & 0xFFFFFF);
    EXPECT_EQ(0xFFu, (pixels[1] >> 16) & 0xFF);
    EXPECT_NEAR(0x7F, static_cast<int>(pixels[1] & 0xFF), 2); // half white left
    EXPECT_EQ(0xFFFFFFu, pixels[2] & 0xFFFFFF);
    ::SelectObject(hdc, old);
    ::DeleteDC(hdc);
    ::DeleteObject(target);
}
