// One scale per window: lengths, rectangles, fonts and the image variant
// drawn at a DPI, and exact identity at 96.
#include "skin/DisplayScale.h"

#include <gtest/gtest.h>

#include <climits>
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
        {3, 144, 5},
        {2, 120, 3},
        {-2, 120, -3},
        {7, 120, 9},
        {10, 192, 20},
        {-5, 168, -9},
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

TEST(DisplayScale, NeighbouringRectanglesStillTouchAndTheSheetIsRoundedWhole) {
    // Widths of 5 at 150% would each round to 8 and leave the row 2 pixels longer.
    for (int nDpi : {96, 120, 144, 168, 192}) {
        RECT rcPrevious = Rect(RECT{0, 0, 5, 5}, nDpi);
        for (int x = 5; x < 60; x += 5) {
            const RECT rc = Rect(RECT{x, 0, x + 5, 5}, nDpi);
            ASSERT_EQ(rc.left, rcPrevious.right) << x << " at " << nDpi;
            rcPrevious = rc;
        }
        EXPECT_EQ(rcPrevious.right, Size(SIZE{60, 1}, nDpi).cx) << nDpi;
    }
    const SIZE sheet = Size(SIZE{333, 201}, 144);
    EXPECT_EQ(std::make_tuple(sheet.cx, sheet.cy), std::make_tuple(500, 302));
}

TEST(DisplayScale, PercentNamesOfDpis) {
    for (const auto& [nDpi, nPercent] :
         {std::pair{96, 100}, {120, 125}, {144, 150}, {168, 175}, {192, 200}, {288, 300}}) {
        EXPECT_EQ(PercentOfDpi(nDpi), nPercent);
        EXPECT_EQ(DpiOfPercent(nPercent), nDpi);
    }
}

TEST(DisplayScale, ImageVariantIsExactElseLargerScaledDownElseLargestScaledUp) {
    const struct {
        int nPercent;
        std::vector<int> variants;
        int nChosen;
        bool bResample;
    } rows[] = {
        {100, {150, 200}, 100, false}, {150, {150, 200}, 150, false},
        {125, {150, 200}, 150, true},  {175, {200, 150}, 200, true},
        {125, {}, 100, true},          {300, {150, 200}, 200, true},
        {75, {150}, 100, true},        {200, {125, 200, 300}, 200, false},
    };
    for (const auto& row : rows) {
        const ImageChoice choice = ChooseImageVariant(row.nPercent, row.variants);
        EXPECT_EQ(std::make_tuple(choice.nPercent, choice.bResample),
                  std::make_tuple(row.nChosen, row.bResample))
            << row.nPercent;
    }
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
