#include "skin/WndLessLayout.h"

#include "skin/DialogLayout.h"

namespace KvWndLess {

KvLayout::FramePlacement StripFramePlacement(const RECT& rcItem, int nStripWidth, int nStripHeight,
                                             int nState) {
    const int nFrameWidth = nStripWidth / kStripFrames;
    KvLayout::FramePlacement placement = {{0, 0, 0, 0}, {0, 0, 0, 0}};
    // The fourth frame belongs to the strip's layout, but no state shows it.
    if (nFrameWidth <= 0 || nStripHeight <= 0 || nState < kStateNormal || nState > kStatePressed)
        return placement;
    const int nLeft = nFrameWidth * nState;
    placement.rcSource = RECT{nLeft, 0, nLeft + nFrameWidth, nStripHeight};
    placement.rcDest =
        RECT{rcItem.left, rcItem.top, rcItem.left + nFrameWidth, rcItem.top + nStripHeight};
    return placement;
}

int GroupOffset(int nItemWidth, int nTextWidth, int nIconWidth, int nGap) {
    return (nItemWidth - nTextWidth - nIconWidth - nGap) / 2;
}

RECT IconRect(const RECT& rcItem, bool bHasText, int nIconWidth, int nIconHeight, int nTextWidth,
              int nGap) {
    if (!bHasText)
        return rcItem;
    const int nLeft =
        rcItem.left + GroupOffset(rcItem.right - rcItem.left, nTextWidth, nIconWidth, nGap);
    const int nTop = rcItem.top + (rcItem.bottom - rcItem.top - nIconHeight) / 2;
    return RECT{nLeft, nTop, nLeft + nIconWidth, nTop + nIconHeight};
}

RECT TextRect(const RECT& rcItem, bool bHasIcon, int nIconWidth, int nTextWidth, int nGap) {
    if (!bHasIcon)
        return rcItem;
    const int nLeft = rcItem.left + nIconWidth + nGap +
                      GroupOffset(rcItem.right - rcItem.left, nTextWidth, nIconWidth, nGap);
    return RECT{nLeft, rcItem.top, nLeft + nTextWidth, rcItem.bottom};
}

bool ItemContains(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

std::vector<size_t> ItemsOverlapping(const std::vector<RECT>& drawn, const RECT& rcPart) {
    std::vector<size_t> overlapping;
    for (size_t i = 0; i < drawn.size(); ++i)
        if (RectsOverlap(drawn[i], rcPart))
            overlapping.push_back(i);
    return overlapping;
}

namespace {

std::vector<size_t> ChangedIndices(const std::vector<int>& before, const std::vector<int>& after) {
    std::vector<size_t> changed;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i])
            changed.push_back(i);
    return changed;
}

void SetItemState(MouseState& state, int nItem, int nItemState) {
    if (nItem >= 0 && static_cast<size_t>(nItem) < state.itemStates.size())
        state.itemStates[static_cast<size_t>(nItem)] = nItemState;
}

// nItem becomes the hot item; the one before it goes back to normal.
void MoveHot(MouseState& state, int nItem) {
    if (state.nHotItem == nItem)
        return;
    SetItemState(state, state.nHotItem, kStateNormal);
    state.nHotItem = nItem;
}

TipAction TipForMove(const MouseState& state, const MouseInput& input) {
    if (input.nHit < 0 || !input.bHitHasTip)
        return TipAction::Off;
    return input.nHit != state.nHotItem ? TipAction::NewTextOn : TipAction::On;
}

void StepMove(const MouseState& state, const MouseInput& input, MouseStep& step) {
    step.tip = TipForMove(state, input);
    if (input.nHit >= 0 && input.nHit != state.nHotItem) {
        MoveHot(step.next, input.nHit);
        SetItemState(step.next, input.nHit, state.bButtonDown ? kStatePressed : kStateHot);
        return;
    }
    if (input.nHit < 0)
        MoveHot(step.next, -1);
    step.bDefault = true;
}

void StepPress(const MouseInput& input, MouseStep& step) {
    if (input.nHit < 0) {
        step.bStartDrag = input.bInCaptionBand;
        step.bDefault = input.bInCaptionBand; // otherwise the press is swallowed
        // A drag's release goes to the system's move loop, never here.
        step.next.bSheetPress = !input.bInCaptionBand;
        return;
    }
    MoveHot(step.next, input.nHit);
    SetItemState(step.next, input.nHit, kStatePressed);
    step.next.bButtonDown = true;
    step.bTakeCapture = true;
}

void StepRelease(const MouseState& state, const MouseInput& input, MouseStep& step) {
    step.bReleaseCapture = true;
    step.next.bButtonDown = false;
    step.next.bSheetPress = false;
    // The press belonged to another window: the user never pressed in this
    // one, so no command may run.
    if (input.nHit < 0 || !(state.bButtonDown || state.bSheetPress)) {
        step.bDefault = true;
        return;
    }
    MoveHot(step.next, input.nHit);
    SetItemState(step.next, input.nHit, kStateNormal);
    step.nCommandItem = input.nHit;
}

} // namespace

MouseStep StepMouse(const MouseState& state, const MouseInput& input) {
    MouseStep step;
    step.next = state;
    switch (input.event) {
    case MouseEvent::Move:
        StepMove(state, input, step);
        break;
    case MouseEvent::Leave:
        MoveHot(step.next, -1);
        step.next.bSheetPress = false;
        // Left on, the one tool of the window would show the last item's text
        // when the pointer comes back anywhere, even far from that item.
        step.tip = TipAction::Off;
        break;
    case MouseEvent::Press:
        StepPress(input, step);
        break;
    case MouseEvent::Release:
        StepRelease(state, input, step);
        break;
    case MouseEvent::CaptureLost:
        step.next.bSheetPress = false;
        if (state.bButtonDown) {
            SetItemState(step.next, state.nHotItem, kStateNormal);
            step.next.nHotItem = -1; // the next move finds the hot one again
            step.next.bButtonDown = false;
        }
        break;
    }
    step.changedItems = ChangedIndices(state.itemStates, step.next.itemStates);
    return step;
}

} // namespace KvWndLess
