// Pure arithmetic behind the windowless items dialog: which frame of a state
// strip an item shows and where, where its icon and text go, which item a
// point hits, and how hover, press, release and leave change the items.
// Nothing here touches a window or GDI+, so all of it is testable by value.
// The SDK carries this header for the types that the dialog headers use; the
// functions are the module's own and not exported (tests compile
// skin/WndLessLayout.cpp in).
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "skin/ControlLayout.h"

namespace KvWndLess {

// An item's state is also the strip frame it shows.
constexpr int kStateNormal = 0;
constexpr int kStateHot = 1;
constexpr int kStatePressed = 2;
// A strip holds four frames of equal width; the fourth is never shown.
constexpr int kStripFrames = 4;

// The strip frame of nState, copied at its own size to the item's top-left
// corner. Both rectangles are empty when the frame has no pixels or nState is
// no item state.
KvLayout::FramePlacement StripFramePlacement(const RECT& rcItem, int nStripWidth, int nStripHeight,
                                             int nState);

// Icon and text form one group, icon first, nGap apart (the content gap at
// the dialog's DPI), centred in the item: the group's offset from the item's
// left edge, negative when the group is wider.
int GroupOffset(int nItemWidth, int nTextWidth, int nIconWidth, int nGap = KvLayout::kContentGap);
// Where the icon is drawn: over the whole item without text, else at its own
// size, centred vertically, at the group's start.
RECT IconRect(const RECT& rcItem, bool bHasText, int nIconWidth, int nIconHeight, int nTextWidth,
              int nGap = KvLayout::kContentGap);
// Where the text is laid out: the whole item without an icon, else the
// measured width right of the icon, over the item's height.
RECT TextRect(const RECT& rcItem, bool bHasIcon, int nIconWidth, int nTextWidth,
              int nGap = KvLayout::kContentGap);
// Only an item with both icon and text needs its text measured.
inline bool NeedsTextWidth(bool bHasIcon, bool bHasText) {
    return bHasIcon && bHasText;
}

// Left and top edges are inside, right and bottom edges outside.
bool ItemContains(const RECT& rc, POINT pt);

// The items, in order, whose drawn rectangle shares a pixel with rcPart:
// those that a composition of that part of the sheet draws, bottom first.
std::vector<size_t> ItemsOverlapping(const std::vector<RECT>& drawn, const RECT& rcPart);

// The first of nCount items, in order, that contains pt; rectOf(i) gives the
// rectangle of item i, or null when the item is not hit-tested. -1 for none.
template <class RectOf> int FirstItemAt(size_t nCount, POINT pt, RectOf rectOf) {
    for (size_t i = 0; i < nCount; ++i) {
        const RECT* pRect = rectOf(i);
        if (pRect && ItemContains(*pRect, pt))
            return static_cast<int>(i);
    }
    return -1;
}

// What the dialog remembers of the mouse: every item's state by index, the
// item under the pointer, whether a press on an item holds the capture, and
// whether the button went down on the empty sheet of this window.
struct MouseState {
    std::vector<int> itemStates;
    int nHotItem = -1;
    bool bButtonDown = false;
    bool bSheetPress = false;
};

enum class MouseEvent { Move, Leave, Press, Release, CaptureLost };

struct MouseInput {
    MouseEvent event;
    int nHit;            // the item under the pointer, -1 for none
    bool bHitHasTip;     // that item has tooltip text
    bool bInCaptionBand; // a press here would move the window
};

enum class TipAction { None, Off, On, NewTextOn };

struct MouseStep {
    MouseState next;
    std::vector<size_t> changedItems; // whose look changed, in order: what is drawn again
    int nCommandItem = -1;            // the item whose command runs
    bool bDefault = false;            // the message goes on to default processing
    bool bTakeCapture = false;        // capture, keyboard focus
    bool bReleaseCapture = false;
    bool bStartDrag = false; // move the window by its caption
    TipAction tip = TipAction::None;
};

// One mouse message. A move onto an item makes it hot (pressed while the
// capture is held) and the old hot item normal; a move off all items and a
// leave make the hot item normal. A press on an item presses it and takes
// the capture; a release always frees the capture and, over an item, makes it
// normal and runs its command when the press was in this window: on an item
// or on the empty sheet (not one that started a caption drag). A release
// whose press went to another window runs nothing; a leave forgets a press on
// the sheet, since its release may then come anywhere. A press or release on
// an item also makes it the hot item, so that only one item ever shows hover
// or press. Losing the capture ends a press without a command: no item stays
// pressed.
MouseStep StepMouse(const MouseState& state, const MouseInput& input);

} // namespace KvWndLess
