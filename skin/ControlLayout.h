// Pure arithmetic behind the skinned buttons and labels: which strip frame a
// button shows, where its icon and caption go, and how clicks change its check.
// Nothing here touches a window or GDI+, so all of it is testable by value.
// The SDK carries this header for its types; the functions are the module's
// own and not exported (tests compile skin/ControlLayout.cpp in).
#pragma once

#include <windows.h>

namespace KvLayout {

// The most characters of a text that are drawn or measured: GDI+ lays a
// string out in time that grows with the square of its length, and no
// control shows more. A longer text is cut to end with an ellipsis.
constexpr int kMaxDrawnText = 1024;

// Button kinds reuse the standard button type values.
constexpr int kKindPush = BS_PUSHBUTTON;
constexpr int kKindCheck = BS_CHECKBOX;
constexpr int kKindRadio = BS_RADIOBUTTON;

// Check and radio strips hold this many frames: normal, hover, pressed and
// disabled, first unchecked, then checked.
constexpr int kToggleFrameCount = 8;
// Push strips hold normal, hover, pressed and disabled.
constexpr int kPushFrameCount = 4;
// Gap between the check frame or icon and the caption, and the focus inset.
constexpr int kContentGap = 3;

// The kind a button gets from the type bits of its creation style: only the
// automatic check box and radio button styles make toggling buttons.
int ButtonKindFromStyle(DWORD dwStyle);

// The window style that makes the system hand every paint to the owner, keeping
// the other style bits.
DWORD OwnerDrawStyle(DWORD dwStyle);

struct ButtonLook {
    int nState;     // strip frame index 0..7
    bool bDisabled; // caption takes the disabled colour
    bool bFocus;    // a focus frame is drawn
};

// State index: 0 normal, 1 hover, 2 pressed, 3 disabled, plus 4 when a check
// or radio button is checked. Disabled wins over pressed, pressed over hover.
// The focus frame shows on a focused button once keyboard cues are shown
// (the keyboard was used), unless the system's item state hides it.
ButtonLook ButtonLookFor(int nKind, bool bChecked, UINT nItemState, bool bHover, bool bFocusCues);

// Push strips: frame i is the client-sized rectangle starting at i * width.
RECT PushFrameSource(int nClientWidth, int nClientHeight, int nState);

struct FramePlacement {
    RECT rcSource; // in the strip
    RECT rcDest;   // in the button; may reach above and below it
};

// Check and radio strips: eight equal frames, drawn at natural size at the
// left edge, centred vertically (also when taller than the button).
FramePlacement ToggleFramePlacement(int nImageWidth, int nImageHeight, int nClientHeight,
                                    int nState);

struct ContentInputs {
    int nKind;
    int nClientWidth;
    int nClientHeight;
    bool bHasStateImage;
    int nStateImageWidth;
    bool bHasCaption;
    bool bHasIcon;
    int nIconWidth;
    int nIconHeight;
    int nCaptionWidth;      // measured width; only the push kind with icon and caption uses it
    int nGap = kContentGap; // kContentGap at the button's DPI
};

struct ContentLayout {
    bool bEmpty; // nothing to draw, not even a focus frame
    bool bDrawIcon;
    POINT ptIcon;
    RECT rcCaption;
};

// Where icon and caption go. A push button centres the icon-and-caption group;
// check and radio buttons put the caption right of their frame and show no icon.
ContentLayout LayoutButtonContent(const ContentInputs& in);

// True when a push button with icon and caption needs its caption measured.
bool NeedsCaptionWidth(const ContentInputs& in);

// The integer box of a measured float box: edges truncated toward zero, then
// widened by one where truncation lost part of the width or height.
RECT RectFromMeasuredBox(float x, float y, float width, float height);

// The check state a click (or Space) leaves: radio buttons only set, the
// others toggle.
bool CheckAfterClick(int nKind, bool bChecked);

// The shaped button ignores the mouse where its composed image is fully transparent.
inline bool IsFullyTransparent(DWORD argb) {
    return (argb >> 24) == 0;
}

} // namespace KvLayout
