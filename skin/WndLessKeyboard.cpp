#include "skin/WndLessKeyboard.h"

#include <cstddef>

namespace KvWndLess {

namespace {

int Count(const std::vector<KeyItem>& items) {
    return static_cast<int>(items.size());
}

bool ActsAt(const std::vector<KeyItem>& items, int nItem) {
    return nItem >= 0 && nItem < Count(items) && items[static_cast<size_t>(nItem)].bActs;
}

// The first item that acts after nFrom (before it with bBack), without
// wrapping; -1 for none. nFrom may be -1 or the count: from either end.
int NextActing(const std::vector<KeyItem>& items, int nFrom, bool bBack) {
    const int nStep = bBack ? -1 : 1;
    for (int i = nFrom + nStep; i >= 0 && i < Count(items); i += nStep)
        if (items[static_cast<size_t>(i)].bActs)
            return i;
    return -1;
}

// An item held with Space goes back to how it was, without running.
void LetGoHeld(KeyStep& step) {
    if (step.next.nSpaceItem < 0)
        return;
    step.nReleaseItem = step.next.nSpaceItem;
    step.next.nSpaceItem = -1;
}

void MoveFocus(KeyStep& step, int nItem) {
    if (nItem != step.next.nFocusItem)
        LetGoHeld(step);
    step.next.nFocusItem = nItem;
    step.bHandled = true;
    step.bKeyboardUsed = true;
}

void StepTab(const KeyState& state, const std::vector<KeyItem>& items, const KeyInput& input,
             bool bBack, KeyStep& step) {
    const int nEnd = bBack ? Count(items) : -1;
    const int nFrom = state.nFocusItem >= 0 ? state.nFocusItem : nEnd;
    int nNext = NextActing(items, nFrom, bBack);
    if (nNext < 0 && input.bNeighbour) {
        MoveFocus(step, -1);
        step.pass = bBack ? FocusPass::Backward : FocusPass::Forward;
        return;
    }
    if (nNext < 0)
        nNext = NextActing(items, nEnd, bBack); // round to the other end
    if (nNext >= 0)
        MoveFocus(step, nNext);
}

// The arrows stay within the focused item's group: from the item that starts
// it up to the next one that starts another.
void StepArrow(const KeyState& state, const std::vector<KeyItem>& items, bool bBack,
               KeyStep& step) {
    const int nFocus = state.nFocusItem;
    if (!ActsAt(items, nFocus))
        return;
    int nFirst = nFocus;
    while (nFirst > 0 && !items[static_cast<size_t>(nFirst)].bGroupStart)
        --nFirst;
    int nLast = nFocus;
    while (nLast + 1 < Count(items) && !items[static_cast<size_t>(nLast + 1)].bGroupStart)
        ++nLast;
    const int nSize = nLast - nFirst + 1;
    int nNext = nFocus;
    for (int k = 1; k < nSize; ++k) {
        const int nOffset = (nFocus - nFirst + (bBack ? nSize - k : k)) % nSize;
        if (ActsAt(items, nFirst + nOffset)) {
            nNext = nFirst + nOffset;
            break;
        }
    }
    MoveFocus(step, nNext);
}

void StepSpaceDown(const KeyState& state, KeyStep& step) {
    if (state.nFocusItem < 0)
        return;
    step.bHandled = true;
    if (state.nSpaceItem == state.nFocusItem)
        return; // the key repeats while held
    step.next.nSpaceItem = state.nFocusItem;
    step.nPressItem = state.nFocusItem;
}

void StepSpaceUp(const KeyState& state, KeyStep& step) {
    step.bHandled = state.nFocusItem >= 0 || state.nSpaceItem >= 0;
    if (state.nSpaceItem < 0)
        return;
    step.nReleaseItem = state.nSpaceItem;
    step.nCommandItem = state.nSpaceItem;
    step.next.nSpaceItem = -1;
}

void StepArrive(const std::vector<KeyItem>& items, bool bBack, KeyStep& step) {
    const int nItem = NextActing(items, bBack ? Count(items) : -1, bBack);
    if (nItem >= 0)
        MoveFocus(step, nItem);
}

} // namespace

KeyStep StepKey(const KeyState& state, const std::vector<KeyItem>& items, const KeyInput& input) {
    KeyStep step;
    step.next = state;
    switch (input.event) {
    case KeyEvent::Tab:
    case KeyEvent::BackTab:
        StepTab(state, items, input, input.event == KeyEvent::BackTab, step);
        break;
    case KeyEvent::Next:
    case KeyEvent::Previous:
        StepArrow(state, items, input.event == KeyEvent::Previous, step);
        break;
    case KeyEvent::SpaceDown:
        StepSpaceDown(state, step);
        break;
    case KeyEvent::SpaceUp:
        StepSpaceUp(state, step);
        break;
    case KeyEvent::Enter:
        if (state.nFocusItem >= 0) {
            step.nCommandItem = state.nFocusItem;
            step.bHandled = true;
        }
        break;
    case KeyEvent::ArriveForward:
    case KeyEvent::ArriveBackward:
        StepArrive(items, input.event == KeyEvent::ArriveBackward, step);
        break;
    case KeyEvent::Pointed:
        // The mouse does not start keyboard use; it only moves a focus there is.
        if (state.nFocusItem >= 0 && ActsAt(items, input.nItem) &&
            input.nItem != state.nFocusItem) {
            LetGoHeld(step);
            step.next.nFocusItem = input.nItem;
        }
        break;
    case KeyEvent::FocusLost:
        LetGoHeld(step);
        break;
    }
    return step;
}

} // namespace KvWndLess
