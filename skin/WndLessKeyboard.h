// The windowless dialog's keyboard, a pure state machine beside StepMouse:
// which drawn item has the keyboard focus, how Tab, Shift+Tab and the arrow
// keys move it, how Space and Enter run the focused item, and when the focus
// leaves for a neighbouring window (the container's page). Nothing here
// touches a window, so all of it is testable by value; the functions are the
// module's own and not exported (tests compile skin/WndLessKeyboard.cpp in).
#pragma once

#include <vector>

namespace KvWndLess {

// What the keyboard needs of one item, in item order.
struct KeyItem {
    bool bActs;       // a drawn item: it takes the focus and runs
    bool bGroupStart; // WS_GROUP: the arrow keys stay within its group
};

struct KeyState {
    int nFocusItem = -1; // the item with the keyboard focus; -1 until Tab
    int nSpaceItem = -1; // held down with Space: it runs when Space comes up
};

enum class KeyEvent {
    Tab,
    BackTab,  // Shift+Tab
    Next,     // right or down arrow
    Previous, // left or up arrow
    SpaceDown,
    SpaceUp,
    Enter,
    ArriveForward,  // the focus comes from the neighbour by Tab
    ArriveBackward, // ... by Shift+Tab
    Pointed,        // a press on item nItem
    FocusLost,      // the window lost the keyboard focus
};

struct KeyInput {
    KeyEvent event;
    int nItem = -1;          // Pointed: the item pressed
    bool bNeighbour = false; // a neighbouring window takes the focus past either end
};

enum class FocusPass { None, Forward, Backward };

struct KeyStep {
    KeyState next;
    bool bHandled = false;      // the key is the model's: the dialog manager must not see it
    bool bKeyboardUsed = false; // keyboard cues are due from now on
    int nPressItem = -1;        // drawn pressed
    int nReleaseItem = -1;      // drawn as it was before the press
    int nCommandItem = -1;      // runs as a click on it does
    FocusPass pass = FocusPass::None;
};

// One key. Before the first Tab nothing has the focus and only Tab and
// Shift+Tab are the model's: Enter, Space and the arrows keep the meaning
// the dialog gives them. Tab moves to the next item that acts, in item
// order, wrapping, or past the last one to the neighbour when there is one;
// the arrows move within the focused item's group, wrapping; Space presses
// the focused item and runs it when it comes up; Enter runs it. Moving the
// focus or losing it lets a held item go without running it. A press with the
// mouse moves a focus that the keyboard gave to the item pressed.
KeyStep StepKey(const KeyState& state, const std::vector<KeyItem>& items, const KeyInput& input);

} // namespace KvWndLess
