// The skinned dialog's arithmetic at its edges; the common cases run in the
// real windows of the dialog suite.
#include "skin/DialogLayout.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(ItemFontInfo, ItemValuesWinWholeAndUnreadableTokensKeepTheirDefaults) {
    const ItemTextSource window = {L"Window Face", 14, L"0xFF0000FF;0xFF00FF00", L"1;2;0;3"};
    const struct {
        ItemTextSource item;
        ItemFontInfo expected;
    } rows[] = {
        // Nothing of its own, or a size below 1: the window's.
        {{L"", -3, L"", L""}, {L"Window Face", 14, 0xFF0000FF, 0xFF00FF00, 1, 2, 0, 3}},
        // One colour token serves both states; missing format tokens keep 0, 1, 1, 1.
        {{L"Item Face", 9, L" 0XFF000000 ", L"1;0"},
         {L"Item Face", 9, 0xFF000000, 0xFF000000, 1, 0, 1, 1}},
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
}

TEST(DialogLayout, OutOfRangeValuesAndNonClickCommandsAreRefused) {
    for (auto [nPercent, nAlpha] : {std::pair{50, 127}, {1000000000, 255}, {-5, 0}})
        EXPECT_EQ(ConstantAlphaFromPercent(nPercent), nAlpha) << nPercent;
    EXPECT_TRUE(StartsCaptionDrag(WS_POPUP, 1, 0, 9999)); // no band height: the whole window
    EXPECT_FALSE(StartsCaptionDrag(WS_POPUP, 1, 0, 10001));
    for (WORD nCode : {STN_DBLCLK, STN_ENABLE, STN_DISABLE})
        EXPECT_EQ(ItemIndexFromCommand(MAKEWPARAM(257, nCode), 2), -1) << nCode;
    EXPECT_EQ(ItemIndexFromCommand(MAKEWPARAM(256 + 2, BN_CLICKED), 2), -1);
    EXPECT_TRUE(SheetFitsSection(8192, 8192));
    EXPECT_FALSE(SheetFitsSection(8193, 10));
    EXPECT_FALSE(SheetFitsSection(10, 8193));
}
