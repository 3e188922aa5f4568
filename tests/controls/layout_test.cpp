// The pure arithmetic of the skinned buttons: kinds, state precedence, strip
// frames, icon and caption placement, measured boxes and click results.
#include "skin/ControlLayout.h"

#include <gtest/gtest.h>

using namespace KvLayout;

TEST(ButtonKind, OnlyAutomaticCheckAndRadioStylesToggle) {
    EXPECT_EQ(kKindCheck, ButtonKindFromStyle(BS_AUTOCHECKBOX));
    EXPECT_EQ(kKindRadio, ButtonKindFromStyle(BS_AUTORADIOBUTTON));
    EXPECT_EQ(kKindRadio, ButtonKindFromStyle(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP));
    EXPECT_EQ(kKindPush, ButtonKindFromStyle(BS_PUSHBUTTON));
    EXPECT_EQ(kKindPush, ButtonKindFromStyle(BS_DEFPUSHBUTTON));
    EXPECT_EQ(kKindPush, ButtonKindFromStyle(BS_CHECKBOX));
    EXPECT_EQ(kKindPush, ButtonKindFromStyle(BS_RADIOBUTTON));
}

TEST(ButtonKind, OwnerDrawReplacesEveryButtonType) {
    for (DWORD type = 0; type <= BS_TYPEMASK; ++type)
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), OwnerDrawStyle(type) & BS_TYPEMASK) << type;
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_GROUP | BS_OWNERDRAW),
              OwnerDrawStyle(WS_CHILD | WS_GROUP | BS_RADIOBUTTON));
}

TEST(ButtonLook, DisabledBeatsPressedBeatsHover) {
    EXPECT_EQ(0, ButtonLookFor(kKindPush, false, 0, false, false).nState);
    EXPECT_EQ(1, ButtonLookFor(kKindPush, false, 0, true, false).nState);
    EXPECT_EQ(2, ButtonLookFor(kKindPush, false, ODS_SELECTED, true, false).nState);
    const ButtonLook disabled =
        ButtonLookFor(kKindPush, false, ODS_DISABLED | ODS_SELECTED, true, false);
    EXPECT_EQ(3, disabled.nState);
    EXPECT_TRUE(disabled.bDisabled);
    EXPECT_FALSE(ButtonLookFor(kKindPush, false, ODS_SELECTED, true, false).bDisabled);
}

TEST(ButtonLook, CheckedAddsFourOnlyForToggleKinds) {
    EXPECT_EQ(5, ButtonLookFor(kKindCheck, true, 0, true, false).nState);
    EXPECT_EQ(7, ButtonLookFor(kKindRadio, true, ODS_DISABLED, false, false).nState);
    EXPECT_EQ(4, ButtonLookFor(kKindRadio, true, 0, false, false).nState);
    // A push button's check flag alternates without changing its look.
    EXPECT_EQ(1, ButtonLookFor(kKindPush, true, 0, true, false).nState);
}

TEST(ButtonLook, FocusNeedsBothTheSystemFlagAndTheSetting) {
    EXPECT_TRUE(ButtonLookFor(kKindPush, false, ODS_FOCUS, false, true).bFocus);
    EXPECT_FALSE(ButtonLookFor(kKindPush, false, ODS_FOCUS, false, false).bFocus);
    EXPECT_FALSE(ButtonLookFor(kKindPush, false, 0, false, true).bFocus);
}

TEST(StripFrames, PushFramesAreClientWideSlices) {
    const RECT pressed = PushFrameSource(80, 30, 2);
    EXPECT_EQ(160, pressed.left);
    EXPECT_EQ(240, pressed.right);
    EXPECT_EQ(0, pressed.top);
    EXPECT_EQ(30, pressed.bottom);
}

TEST(StripFrames, ToggleFramesAreEighthsCentredVertically) {
    const FramePlacement hoverChecked = ToggleFramePlacement(128, 16, 30, 5);
    EXPECT_EQ(80, hoverChecked.rcSource.left);
    EXPECT_EQ(96, hoverChecked.rcSource.right);
    EXPECT_EQ(0, hoverChecked.rcDest.left);
    EXPECT_EQ(16, hoverChecked.rcDest.right);
    EXPECT_EQ(7, hoverChecked.rcDest.top);
    EXPECT_EQ(23, hoverChecked.rcDest.bottom);
    // Taller than the button: centred too, cut at both ends.
    const FramePlacement tall = ToggleFramePlacement(128, 41, 20, 0);
    EXPECT_EQ(-10, tall.rcDest.top);
    EXPECT_EQ(31, tall.rcDest.bottom);
}

static ContentInputs PushInputs(bool bCaption, bool bIcon) {
    ContentInputs in{};
    in.nKind = kKindPush;
    in.nClientWidth = 200;
    in.nClientHeight = 40;
    in.bHasCaption = bCaption;
    in.bHasIcon = bIcon;
    in.nIconWidth = bIcon ? 16 : 0;
    in.nIconHeight = bIcon ? 16 : 0;
    return in;
}

TEST(ButtonContent, PushWithNothingDrawsNothingAtAll) {
    EXPECT_TRUE(LayoutButtonContent(PushInputs(false, false)).bEmpty);
    EXPECT_FALSE(NeedsCaptionWidth(PushInputs(false, false)));
}

TEST(ButtonContent, PushIconOnlyIsCentred) {
    const ContentLayout layout = LayoutButtonContent(PushInputs(false, true));
    EXPECT_TRUE(layout.bDrawIcon);
    EXPECT_EQ(92, layout.ptIcon.x);
    EXPECT_EQ(12, layout.ptIcon.y);
}

TEST(ButtonContent, PushCaptionOnlyFillsTheClient) {
    const ContentLayout layout = LayoutButtonContent(PushInputs(true, false));
    EXPECT_FALSE(layout.bDrawIcon);
    EXPECT_EQ(0, layout.rcCaption.left);
    EXPECT_EQ(200, layout.rcCaption.right);
}

TEST(ButtonContent, PushIconAndCaptionFormOneCentredGroup) {
    ContentInputs in = PushInputs(true, true);
    ASSERT_TRUE(NeedsCaptionWidth(in));
    in.nCaptionWidth = 41;
    const ContentLayout layout = LayoutButtonContent(in);
    EXPECT_EQ((200 - 41 - 16 - 3) / 2, layout.ptIcon.x);
    EXPECT_EQ(layout.ptIcon.x + 16 + 3, layout.rcCaption.left);
    EXPECT_EQ(200, layout.rcCaption.right);
    EXPECT_EQ(40, layout.rcCaption.bottom);
    // Wider than the button: the group starts left of it (signed halving).
    in.nCaptionWidth = 200;
    EXPECT_EQ(-9, LayoutButtonContent(in).ptIcon.x);
}

TEST(ButtonContent, ToggleCaptionStartsRightOfTheFrameAndShowsNoIcon) {
    ContentInputs in = PushInputs(true, true);
    in.nKind = kKindCheck;
    in.bHasStateImage = true;
    in.nStateImageWidth = 128;
    ContentLayout layout = LayoutButtonContent(in);
    EXPECT_EQ(19, layout.rcCaption.left);
    EXPECT_FALSE(layout.bDrawIcon);
    EXPECT_FALSE(NeedsCaptionWidth(in));
    in.bHasStateImage = false;
    in.bHasCaption = false;
    layout = LayoutButtonContent(in);
    EXPECT_EQ(3, layout.rcCaption.left);
    EXPECT_FALSE(layout.bEmpty);
}

TEST(MeasuredBox, TruncatesThenWidensWhatWasLost) {
    const RECT exact = RectFromMeasuredBox(0.0f, 0.0f, 33.0f, 14.0f);
    EXPECT_EQ(33, exact.right);
    EXPECT_EQ(14, exact.bottom);
    const RECT fractional = RectFromMeasuredBox(0.0f, 0.0f, 33.4f, 14.9f);
    EXPECT_EQ(34, fractional.right);
    EXPECT_EQ(15, fractional.bottom);
    const RECT shifted = RectFromMeasuredBox(2.5f, 1.0f, 10.2f, 3.0f);
    EXPECT_EQ(2, shifted.left);
    EXPECT_EQ(13, shifted.right);
    EXPECT_EQ(4, shifted.bottom);
}

TEST(Click, RadioOnlySetsOthersToggle) {
    EXPECT_TRUE(CheckAfterClick(kKindRadio, false));
    EXPECT_TRUE(CheckAfterClick(kKindRadio, true));
    EXPECT_TRUE(CheckAfterClick(kKindCheck, false));
    EXPECT_FALSE(CheckAfterClick(kKindCheck, true));
    EXPECT_FALSE(CheckAfterClick(kKindPush, true));
}
