// Arithmetic that the window tests do not reach through pixels: the icon and
// caption group, the fallback caption offset and measured-box rounding.
#include "skin/ControlLayout.h"

#include <gtest/gtest.h>

using namespace KvLayout;

TEST(ButtonLayout, PushIconAndCaptionFormOneCentredGroup) {
    ContentInputs in{kKindPush, 200, 40, false, 0, true, true, 16, 16, 41};
    ASSERT_TRUE(NeedsCaptionWidth(in));
    ContentLayout layout = LayoutButtonContent(in);
    EXPECT_EQ((200 - 41 - 16 - 3) / 2, layout.ptIcon.x);
    EXPECT_EQ(12, layout.ptIcon.y);
    EXPECT_EQ(layout.ptIcon.x + 16 + 3, layout.rcCaption.left);
    EXPECT_EQ(200, layout.rcCaption.right);
    in.nCaptionWidth = 200; // wider than the button: the group starts left of it
    EXPECT_EQ(-9, LayoutButtonContent(in).ptIcon.x);
    in.bHasCaption = false;
    layout = LayoutButtonContent(in);
    EXPECT_EQ(92, layout.ptIcon.x);
    in.bHasIcon = false;
    EXPECT_TRUE(LayoutButtonContent(in).bEmpty);
}

TEST(ButtonLayout, ToggleCaptionFollowsTheFrameAndShowsNoIcon) {
    ContentInputs in{kKindRadio, 120, 30, true, 128, true, true, 16, 16, 0};
    EXPECT_FALSE(NeedsCaptionWidth(in));
    EXPECT_EQ(19, LayoutButtonContent(in).rcCaption.left);
    EXPECT_FALSE(LayoutButtonContent(in).bDrawIcon);
    in.bHasStateImage = false;
    in.bHasCaption = false;
    EXPECT_EQ(3, LayoutButtonContent(in).rcCaption.left);
    EXPECT_FALSE(LayoutButtonContent(in).bEmpty);
}

TEST(ButtonLayout, MeasuredBoxesAreTruncatedThenWidenedByWhatWasLost) {
    const RECT exact = RectFromMeasuredBox(0.0f, 0.0f, 33.0f, 14.0f);
    EXPECT_EQ(33, exact.right);
    EXPECT_EQ(14, exact.bottom);
    const RECT shifted = RectFromMeasuredBox(2.5f, 1.0f, 10.2f, 13.9f);
    EXPECT_EQ(2, shifted.left);
    EXPECT_EQ(13, shifted.right);
    EXPECT_EQ(15, shifted.bottom);
}
