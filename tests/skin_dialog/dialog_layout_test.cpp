// The skinned dialog's arithmetic, by value.
#include "skin/DialogLayout.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(ItemFontInfo, ItemValuesWinWholeAndWindowValuesFillTheRest) {
    const ItemTextSource window = {L"Window Face", 14, L"0xFF0000FF;0xFF00FF00", L"1;2;0;3"};
    const struct {
        ItemTextSource item;
        ItemFontInfo expected;
    } rows[] = {
        // Nothing of its own: everything from the window.
        {{L"", 0, L"", L""}, {L"Window Face", 14, 0xFF0000FF, 0xFF00FF00, 1, 2, 0, 3}},
        // One colour token serves both states; missing format tokens keep 0, 1, 1, 1.
        {{L"Item Face", 9, L" 0XFF000000 ", L"1;0"},
         {L"Item Face", 9, 0xFF000000, 0xFF000000, 1, 0, 1, 1}},
        {{L"", -3, L"0xFF102030;0XFF808080", L";;2"},
         {L"Window Face", 14, 0xFF102030, 0xFF808080, 0, 1, 2, 1}},
        // An unreadable token reads as 0 for a colour, as the default for a format field.
        {{L"", 1, L"red;", L"x;y"}, {L"Window Face", 1, 0, 0, 0, 1, 1, 1}},
    };
    const auto fields = [](const ItemFontInfo& i) {
        return std::make_tuple(CString(i.strFontName), i.nFontSize, i.clrNormal, i.clrDisabled,
                               i.nFontStyle, i.nAlign, i.nLineAlign, i.nTrimming);
    };
    for (const auto& row : rows)
        EXPECT_EQ(fields(ResolveItemFontInfo(row.item, window)), fields(row.expected))
            << (LPCWSTR)row.item.strFontColor;
    // Neither side gives anything: the defaults.
    const ItemFontInfo empty = ResolveItemFontInfo({}, {});
    EXPECT_EQ(empty.nFontSize + empty.clrNormal + empty.nFontStyle, 0u);
    EXPECT_EQ(empty.nAlign + empty.nLineAlign + empty.nTrimming, 3);
}

TEST(DialogLayout, OuterSizeAddsFrameAndCaptionOnlyWithACaption) {
    const FrameMetrics metrics = {3, 4, 19};
    EXPECT_EQ(OuterWindowSize(300, 200, WS_POPUP | WS_CAPTION, metrics).cx, 306);
    EXPECT_EQ(OuterWindowSize(300, 200, WS_POPUP | WS_CAPTION, metrics).cy, 227);
    EXPECT_EQ(OuterWindowSize(300, 200, WS_POPUP | WS_DLGFRAME, metrics).cy,
              227); // any caption bit
    EXPECT_EQ(OuterWindowSize(300, 200, WS_POPUP | WS_SYSMENU, metrics).cx, 300);
    EXPECT_EQ(OuterWindowSize(300, 200, WS_CHILD, metrics).cy, 200);
}

TEST(DialogLayout, ConstantAlphaTruncatesAndCaps) {
    const int percents[] = {100, 50, 1, 0, 99, 101, 1000000000, -5};
    const BYTE alphas[] = {255, 127, 2, 0, 252, 255, 255, 0};
    for (size_t i = 0; i < sizeof(percents) / sizeof(percents[0]); ++i)
        EXPECT_EQ(ConstantAlphaFromPercent(percents[i]), alphas[i]) << percents[i];
}

TEST(DialogLayout, CaptionDragNeedsIsDragAPressInTheBandAndNoChildStyle) {
    const struct {
        DWORD dwStyle;
        int nIsDrag, nCaptionHeight, y;
        bool bDrag;
    } rows[] = {
        {WS_POPUP, 1, 30, 30, true},      {WS_POPUP, 1, 30, 31, false},
        {WS_POPUP, 0, 30, 5, false},      {WS_POPUP, 1, 0, 9999, true}, // 0: the whole window
        {WS_POPUP, 1, 0, 10001, false},   {WS_CHILD, 1, 30, 5, false},
        {WS_OVERLAPPED, 7, 30, -4, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(StartsCaptionDrag(row.dwStyle, row.nIsDrag, row.nCaptionHeight, row.y), row.bDrag)
            << row.dwStyle << " " << row.nIsDrag << " " << row.nCaptionHeight << " " << row.y;
}

TEST(DialogLayout, OnlyAClickOnAnItemIsItsCommandAndSheetsStopAtTheSideLimit) {
    EXPECT_EQ(ItemIndexFromCommand(MAKEWPARAM(257, BN_CLICKED), 2), 1);
    for (WORD nCode : {STN_DBLCLK, STN_ENABLE, STN_DISABLE})
        EXPECT_EQ(ItemIndexFromCommand(MAKEWPARAM(257, nCode), 2), -1) << nCode;
    EXPECT_TRUE(SheetFitsSection(8192, 8192));
    EXPECT_FALSE(SheetFitsSection(8193, 10));
    EXPECT_FALSE(SheetFitsSection(10, 8193));
}
