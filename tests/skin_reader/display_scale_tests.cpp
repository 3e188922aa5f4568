// One scale per window: lengths, rectangles, fonts and the image variant
// drawn at a DPI, and exact identity at 96.
#include "skin/DisplayScale.h"
#include "skin/ScaledImage.h"
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <tuple>

using namespace KvScale;

TEST(DisplayScale, LengthsRoundHalfAwayFromZeroAndAreExactAt96) {
    const struct {
        int n;
        int nDpi;
        int nScaled;
    } rows[] = {
        {1, 144, 2},
        {-1, 144, -2},
        {2, 120, 3},
        {7, 120, 9},
        {INT_MAX, 192, INT_MAX},
        {INT_MIN, 192, INT_MIN},
        {1, 72, 1},
        {-1, 48, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Length(row.n, row.nDpi), row.nScaled) << row.n << " at " << row.nDpi;
    for (int n : {INT_MIN, -97, -1, 0, 1, 33, 4097, INT_MAX})
        EXPECT_EQ(Length(n, kBaseDpi), n);
    EXPECT_EQ(FontSize(0, 192), 0);
    EXPECT_EQ(FontSize(9, 120), 11);
}

TEST(DisplayScale, StripFramesAreScaledEachAndStayEqual) {
    const struct {
        SIZE source;
        int nSourcePercent;
        int nDpi;
        int nFrames;
        SIZE scaled;
    } rows[] = {
        {{60, 15}, 100, 96, 4, {60, 15}},  {{120, 30}, 150, 144, 4, {120, 30}},
        {{60, 15}, 100, 120, 4, {76, 19}}, {{120, 30}, 200, 144, 4, {92, 23}},
        {{60, 15}, 100, 120, 1, {75, 19}}, {{64, 16}, 100, 144, 8, {96, 24}},
    };
    for (const auto& row : rows) {
        const SIZE sz = ImageSizeAt(row.source, row.nSourcePercent, row.nDpi, row.nFrames);
        EXPECT_EQ(std::make_tuple(sz.cx, sz.cy), std::make_tuple(row.scaled.cx, row.scaled.cy))
            << row.source.cx << " @" << row.nSourcePercent << " at " << row.nDpi;
    }
}

TEST(ScaledImage, VariantsBesideTheFileChooseWhatIsDrawn) {
    ImageKit::TempFolder folder(L"kv_scale");
    const std::vector<Gdiplus::ARGB> colours = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    const CString strBase = ImageKit::SaveStrip(folder, L"b.png", colours, 15, 15).c_str();
    ImageKit::SaveStrip(folder, L"b@200.png", colours, 30, 30);
    ImageKit::SaveStrip(folder, L"b@150.png", colours, 23, 23);
    // Names that are no variants of b.png.
    for (const wchar_t* name : {L"b@x.png", L"b@150.pngx", L"b@.png", L"c@125.png", L"b@-5.png"})
        WriteSkinFile(folder.Path(), name, "x");
    std::vector<int> variants = ImageVariantsOf(strBase);
    std::sort(variants.begin(), variants.end());
    EXPECT_EQ(variants, (std::vector<int>{150, 200}));
    EXPECT_EQ(ImageVariantPath(L"C:\\a.b\\name", 150), L"C:\\a.b\\name@150");

    // An exact variant as it is; else the nearest larger one scaled down (at
    // 75% the base, not a variant); else the largest scaled up.
    const struct {
        int nDpi;
        const wchar_t* pszFile;
        bool bResample;
        int nWidth;
    } rows[] = {
        {96, L"b.png", false, 60},      {144, L"b@150.png", false, 92},
        {120, L"b@150.png", true, 76},  {192, L"b@200.png", false, 120},
        {288, L"b@200.png", true, 180}, {72, L"b.png", true, 44},
    };
    for (const auto& row : rows) {
        const ImageSource source = ImageSourceAt(strBase, row.nDpi);
        EXPECT_EQ(source.strPath, CString(folder.File(row.pszFile).c_str())) << row.nDpi;
        EXPECT_EQ(source.bResample, row.bResample) << row.nDpi;
        const std::unique_ptr<Gdiplus::Image> pImage = LoadImageAt(strBase, row.nDpi, 4);
        ASSERT_TRUE(pImage) << row.nDpi;
        EXPECT_EQ(static_cast<int>(pImage->GetWidth()), row.nWidth) << row.nDpi;
    }
}

TEST(ScaledImage, EachStripFrameIsResampledWithinItself) {
    ImageKit::TempFolder folder(L"kv_scale");
    const std::vector<Gdiplus::ARGB> colours = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF};
    const CString strBase = ImageKit::SaveStrip(folder, L"s.png", colours, 15, 15).c_str();
    // At 125% each frame is 18.75 pixels wide: scaled as one strip, the
    // frames' borders would fall inside pixels and blend.
    std::unique_ptr<Gdiplus::Image> pImage = LoadImageAt(strBase, 120, 4);
    ASSERT_TRUE(pImage);
    auto* pBitmap = static_cast<Gdiplus::Bitmap*>(pImage.get());
    ASSERT_EQ(std::make_tuple(pBitmap->GetWidth(), pBitmap->GetHeight()),
              std::make_tuple(76u, 19u));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ImageKit::CountPixels(pBitmap, colours[static_cast<size_t>(i)], i * 19, 0,
                                        i * 19 + 19, 19),
                  19 * 19)
            << "frame " << i;
}
