// The windowless dialog's arithmetic at its edges and its mouse state machine,
// by value; the common cases run in the real windows of the windowless suite.
#include "skin/WndLessLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

using namespace KvWndLess;

// Beside RECT itself, so that the test macros find them.
static std::ostream& operator<<(std::ostream& out, const RECT& rc) {
    return out << "(" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << ")";
}

static bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

TEST(WndLessLayout, StripFrameEdgesAndTheIconTextGroupWiderOrTallerThanItsItem) {
    const RECT item = {10, 20, 110, 60}; // 100 x 40
    const RECT none = {0, 0, 0, 0};
    const struct {
        int nWidth, nHeight, nState;
        RECT rcSource, rcDest;
    } frames[] = {
        {40, 8, 3, none, none}, // the fourth frame is part of the layout, never drawn
        {10, 3, 2, {4, 0, 6, 3}, {10, 20, 12, 23}},         // columns 8 and 9 are never shown
        {480, 50, 1, {120, 0, 240, 50}, {10, 20, 130, 70}}, // not cut to the item
        {3, 8, 0, none, none},                              // narrower than four columns: no frame
        {40, 0, 0, none, none},
        {40, 8, -1, none, none},
    };
    for (const auto& row : frames) {
        const KvLayout::FramePlacement frame =
            StripFramePlacement(item, row.nWidth, row.nHeight, row.nState);
        EXPECT_EQ(frame.rcSource, row.rcSource) << row.nWidth << " " << row.nState;
        EXPECT_EQ(frame.rcDest, row.rcDest) << row.nWidth << " " << row.nState;
    }
    // A text wider than the item pushes the group out on the left, rounding
    // toward zero; an icon taller than the item sticks out above and below.
    EXPECT_EQ(IconRect(item, true, 16, 16, 120), (RECT{-9, 32, 7, 48}));
    EXPECT_EQ(TextRect(item, true, 16, 120), (RECT{10, 20, 130, 60}));
    EXPECT_EQ(IconRect(item, true, 16, 50, 30), (RECT{35, 15, 51, 65}));
    EXPECT_EQ(IconRect(item, false, 16, 16, 0), item); // a lone icon fills the item
    EXPECT_EQ(TextRect(item, false, 0, 30), item);
    EXPECT_FALSE(NeedsTextWidth(true, false));
}

TEST(WndLessLayout, HitTestTakesTheFirstItemWithLeftAndTopEdgesInside) {
    // Item 1 is not hit-tested; 2 overlaps 0; 3 is empty and 4 inverted.
    const RECT rects[] = {
        {10, 10, 50, 30}, {0, 0, 500, 500}, {40, 20, 80, 40}, {90, 0, 90, 10}, {100, 10, 95, 5}};
    auto rectOf = [&](size_t i) { return i == 1 ? nullptr : &rects[i]; };
    const struct {
        POINT pt;
        int nItem;
    } rows[] = {
        {{10, 10}, 0}, {{49, 29}, 0},  {{50, 15}, -1}, {{45, 25}, 0}, // overlap: the earlier
        {{50, 25}, 2}, {{80, 25}, -1}, {{60, 40}, -1}, {{9, 10}, -1}, {{90, 5}, -1}, {{97, 7}, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FirstItemAt(5, row.pt, rectOf), row.nItem) << row.pt.x << "," << row.pt.y;
    EXPECT_EQ(FirstItemAt(0, POINT{10, 10}, rectOf), -1);
}

namespace {

// "102": item 0 hot, 1 normal, 2 pressed.
std::vector<int> States(const char* pszStates) {
    std::vector<int> states;
    for (const char* p = pszStates; *p; ++p)
        states.push_back(*p - '0');
    return states;
}

// What a step does besides states: R redraw, D default processing, C take
// the capture (and focus), F free it, G drag by the caption.
std::string Effects(const MouseStep& step) {
    std::string effects;
    for (auto [bSet, chEffect] : {std::pair{step.bRedraw, 'R'},
                                  {step.bDefault, 'D'},
                                  {step.bTakeCapture, 'C'},
                                  {step.bReleaseCapture, 'F'},
                                  {step.bStartDrag, 'G'}})
        if (bSet)
            effects += chEffect;
    return effects;
}

} // namespace

TEST(WndLessMouse, EveryEventInEveryStateGivesTheNextStatesCaptureCommandAndRedraw) {
    using E = MouseEvent;
    using T = TipAction;
    const struct {
        const char* pszCase;
        const char* pszBefore;
        int nHot;
        int nDown; // 1 a press on an item holds the capture, 2 a press on the sheet
        E event;
        int nHit;
        bool bTip, bBand;
        const char* pszAfter;
        int nHotAfter;
        int nDownAfter;
        const char* pszEffects;
        int nCommand;
        T tip;
    } rows[] = {
        // clang-format off
        {"move onto an item",      "000", -1, 0, E::Move, 0, 1, 0,  "100", 0, 0, "R", -1, T::NewTextOn},
        {"move within it",         "100", 0, 0, E::Move, 0, 1, 0,   "100", 0, 0, "D", -1, T::On},
        {"move to another, no tip", "100", 0, 0, E::Move, 1, 0, 0,  "010", 1, 0, "R", -1, T::Off},
        {"move off all items",     "010", 1, 0, E::Move, -1, 0, 0,  "000", -1, 0, "RD", -1, T::Off},
        {"move over empty sheet",  "000", -1, 0, E::Move, -1, 0, 0, "000", -1, 0, "D", -1, T::Off},
        {"move on, button held",   "200", 0, 1, E::Move, 2, 1, 0,   "002", 2, 1, "R", -1, T::NewTextOn},
        {"move within, held",      "200", 0, 1, E::Move, 0, 1, 0,   "200", 0, 1, "D", -1, T::On},
        {"move off, held",         "200", 0, 1, E::Move, -1, 0, 0,  "000", -1, 1, "RD", -1, T::Off},
        {"leave the window",       "100", 0, 0, E::Leave, -1, 0, 0, "000", -1, 0, "R", -1, T::Off},
        {"leave, nothing hot",     "000", -1, 0, E::Leave, -1, 0, 0, "000", -1, 0, "", -1, T::Off},
        {"press on the hot item",  "100", 0, 0, E::Press, 0, 1, 1,  "200", 0, 1, "RC", -1, T::None},
        {"press on another item",  "100", 0, 0, E::Press, 2, 1, 0,  "002", 2, 1, "RC", -1, T::None},
        {"press outside, in band", "000", -1, 0, E::Press, -1, 0, 1, "000", -1, 0, "DG", -1, T::None},
        {"press outside, below",   "010", 1, 0, E::Press, -1, 0, 0, "010", 1, 2, "", -1, T::None},
        {"release on the pressed", "200", 0, 1, E::Release, 0, 1, 0, "000", 0, 0, "RF", 0, T::None},
        {"release, pressed elsewhere", "020", 1, 1, E::Release, 1, 1, 0, "000", 1, 0, "RF", 1, T::None},
        {"release, press elsewhere", "010", 1, 0, E::Release, 1, 0, 0, "010", 1, 0, "DF", -1, T::None},
        {"release, press on sheet", "010", 1, 2, E::Release, 1, 0, 0, "000", 1, 0, "RF", 1, T::None},
        {"sheet press, then leave", "010", 1, 2, E::Leave, -1, 0, 0, "000", -1, 0, "R", -1, T::Off},
        {"capture lost, pressed",  "200", 0, 1, E::CaptureLost, -1, 0, 0, "000", -1, 0, "R", -1, T::None},
        {"release outside",        "000", -1, 1, E::Release, -1, 0, 0, "000", -1, 0, "DF", -1, T::None},
        {"release outside, sheet", "000", -1, 2, E::Release, -1, 0, 0, "000", -1, 0, "DF", -1, T::None},
        {"after a click: within",  "000", 0, 0, E::Move, 0, 1, 0,   "000", 0, 0, "D", -1, T::On},
        {"after a click: on",      "000", 0, 0, E::Move, 1, 1, 0,   "010", 1, 0, "R", -1, T::NewTextOn},
        // clang-format on
    };
    for (const auto& row : rows) {
        const MouseState before = {States(row.pszBefore), row.nHot, row.nDown == 1, row.nDown == 2};
        const MouseStep step = StepMouse(before, {row.event, row.nHit, row.bTip, row.bBand});
        EXPECT_EQ(step.next.itemStates, States(row.pszAfter)) << row.pszCase;
        EXPECT_EQ(step.next.nHotItem, row.nHotAfter) << row.pszCase;
        EXPECT_EQ(step.next.bButtonDown, row.nDownAfter == 1) << row.pszCase;
        EXPECT_EQ(step.next.bSheetPress, row.nDownAfter == 2) << row.pszCase;
        EXPECT_EQ(Effects(step), row.pszEffects) << row.pszCase;
        EXPECT_EQ(step.nCommandItem, row.nCommand) << row.pszCase;
        EXPECT_EQ(step.tip, row.tip) << row.pszCase;
    }
}
