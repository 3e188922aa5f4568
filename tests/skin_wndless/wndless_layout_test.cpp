// The windowless dialog's mouse state machine by value, in the states the real
// windows of the windowless suite do not reach; theirs are the hover, a press
// and release on an item or the sheet, a lost capture, a leave and the band.
#include "skin/WndLessLayout.h"
#include "skin/DialogLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace KvWndLess;

namespace {

// "102": item 0 hot, 1 normal, 2 pressed.
std::vector<int> States(const char* pszStates) {
    std::vector<int> states;
    for (const char* p = pszStates; *p; ++p)
        states.push_back(*p - '0');
    return states;
}

// What a step does besides states: R and the items drawn again, D default
// processing, C take the capture (and focus), F free it, G drag by the caption.
std::string Effects(const MouseStep& step) {
    std::string effects = step.changedItems.empty() ? "" : "R";
    for (size_t nItem : step.changedItems)
        effects += std::to_string(nItem);
    for (auto [bSet, chEffect] : {std::pair{step.bDefault, 'D'},
                                  {step.bTakeCapture, 'C'},
                                  {step.bReleaseCapture, 'F'},
                                  {step.bStartDrag, 'G'}})
        if (bSet)
            effects += chEffect;
    return effects;
}

} // namespace

TEST(WndLessMouse, EachEventGivesTheNextStatesCaptureCommandRedrawAndTip) {
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
        {"move within it",         "100", 0, 0, E::Move, 0, 1, 0,   "100", 0, 0, "D", -1, T::On},
        {"move to another, no tip", "100", 0, 0, E::Move, 1, 0, 0,  "010", 1, 0, "R01", -1, T::Off},
        {"move off all items",     "010", 1, 0, E::Move, -1, 0, 0,  "000", -1, 0, "R1D", -1, T::Off},
        {"move over empty sheet",  "000", -1, 0, E::Move, -1, 0, 0, "000", -1, 0, "D", -1, T::Off},
        {"move within, held",      "200", 0, 1, E::Move, 0, 1, 0,   "200", 0, 1, "D", -1, T::On},
        {"move off, held",         "200", 0, 1, E::Move, -1, 0, 0,  "000", -1, 1, "R0D", -1, T::Off},
        {"leave, nothing hot",     "000", -1, 0, E::Leave, -1, 0, 0, "000", -1, 0, "", -1, T::Off},
        {"press on another item",  "100", 0, 0, E::Press, 2, 1, 0,  "002", 2, 1, "R02C", -1, T::None},
        {"release, press elsewhere", "010", 1, 0, E::Release, 1, 0, 0, "010", 1, 0, "DF", -1, T::None},
        {"sheet press, then leave", "010", 1, 2, E::Leave, -1, 0, 0, "000", -1, 0, "R1", -1, T::Off},
        {"release outside",        "000", -1, 1, E::Release, -1, 0, 0, "000", -1, 0, "DF", -1, T::None},
        {"release outside, sheet", "000", -1, 2, E::Release, -1, 0, 0, "000", -1, 0, "DF", -1, T::None},
        {"after a click: within",  "000", 0, 0, E::Move, 0, 1, 0,   "000", 0, 0, "D", -1, T::On},
        {"after a click: on",      "000", 0, 0, E::Move, 1, 1, 0,   "010", 1, 0, "R1", -1, T::NewTextOn},
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

// Both dialogs ask this on a press; the windows of the windowless suite see
// what it starts.
TEST(CaptionBand, APressInTheBandDragsAWindowThatMayBeDraggedAndIsNoChild) {
    EXPECT_TRUE(StartsCaptionDrag(0, 1, 30, 30));
    EXPECT_FALSE(StartsCaptionDrag(0, 1, 30, 31));
    EXPECT_FALSE(StartsCaptionDrag(WS_POPUP, 0, 30, 5));
    EXPECT_FALSE(StartsCaptionDrag(WS_CHILD, 1, 30, 5));
    EXPECT_TRUE(StartsCaptionDrag(WS_POPUP, 1, 0, 5000)); // no band: the whole window
}

// Found by the vectors' comparison through RECT's own (global) namespace.
static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Icon and text are one group centred in the item, icon first, the content
// gap apart; a lone icon fills its item. (The text's measured width the
// scale suite checks at each scale.)
TEST(ItemContent, IconAndTextAreCentredAsOneGroupAndALoneIconFillsItsItem) {
    const RECT item = {100, 100, 220, 140};
    EXPECT_EQ(IconRect(item, true, 16, 16, 40), (RECT{130, 112, 146, 128}));
    EXPECT_EQ(TextRect(item, true, 16, 40), (RECT{149, 100, 189, 140}));
    EXPECT_EQ(IconRect(item, false, 16, 16, 0), item);
}

namespace {

std::vector<RECT> DirtyAfter(std::initializer_list<RECT> added) {
    std::vector<RECT> dirty;
    for (const RECT& rc : added)
        AddDirtyRect(dirty, rc, SIZE{200, 100});
    return dirty;
}

} // namespace

// What a change composes and pushes again: parts cut to the sheet, never
// covering a pixel twice, few where few cost less. Which items each part draws
// the windowless suite checks against whole compositions.
TEST(SheetParts, ChangedRectanglesBecomeDisjointPartsCutToTheSheet) {
    using Rects = std::vector<RECT>;
    EXPECT_EQ(DirtyAfter({{-10, -5, 20, 10}, {190, 90, 250, 150}}),
              (Rects{{0, 0, 20, 10}, {190, 90, 200, 100}}));
    EXPECT_EQ(DirtyAfter({{5, 5, 5, 20}, {300, 0, 310, 10}}), Rects{}); // empty, off the sheet
    // Apart they stay apart; sharing a pixel they merge, and a merged part
    // that grows over another takes it in too. (When parts close by merge is
    // a matter of speed: the dialog benchmark's.)
    EXPECT_EQ(DirtyAfter({{0, 0, 10, 10}, {30, 0, 40, 10}}),
              (Rects{{0, 0, 10, 10}, {30, 0, 40, 10}}));
    EXPECT_EQ(DirtyAfter({{0, 0, 10, 10}, {9, 9, 20, 20}}), (Rects{{0, 0, 20, 20}}));
    EXPECT_EQ(DirtyAfter({{0, 0, 10, 10}, {30, 0, 40, 10}, {5, 5, 35, 6}}),
              (Rects{{0, 0, 40, 10}}));
    EXPECT_EQ(DirtyBounds({{10, 20, 30, 40}, {5, 30, 15, 50}}), (RECT{5, 20, 30, 50}));
    EXPECT_EQ(DirtyBounds({}), (RECT{0, 0, 0, 0}));
}
