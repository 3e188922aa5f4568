#include "skin/ControlLayout.h"

namespace KvLayout {

int ButtonKindFromStyle(DWORD dwStyle) {
    const DWORD type = dwStyle & 0xFF;
    if ((type & BS_AUTOCHECKBOX) == BS_AUTOCHECKBOX)
        return kKindCheck;
    if ((type & BS_AUTORADIOBUTTON) == BS_AUTORADIOBUTTON)
        return kKindRadio;
    return kKindPush;
}

DWORD OwnerDrawStyle(DWORD dwStyle) {
    // Replacing the type rather than OR-ing into it: an OR turns some types
    // (radio 4, three-state 5) into 15, which is not owner-drawn.
    return (dwStyle & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

ButtonLook ButtonLookFor(int nKind, bool bChecked, UINT nItemState, bool bHover, bool bFocusCues) {
    ButtonLook look{0, false, false};
    if (nKind != kKindPush && bChecked)
        look.nState += 4;
    if (nItemState & ODS_DISABLED) {
        look.nState += 3;
        look.bDisabled = true;
    } else if (nItemState & ODS_SELECTED) {
        look.nState += 2;
    } else if (bHover) {
        look.nState += 1;
    }
    look.bFocus = (nItemState & ODS_FOCUS) && !(nItemState & ODS_NOFOCUSRECT) && bFocusCues;
    return look;
}

RECT PushFrameSource(int nClientWidth, int nClientHeight, int nState) {
    const int left = nClientWidth * nState;
    return RECT{left, 0, left + nClientWidth, nClientHeight};
}

FramePlacement ToggleFramePlacement(int nImageWidth, int nImageHeight, int nClientHeight,
                                    int nState) {
    const int frameWidth = nImageWidth / kToggleFrameCount;
    const int left = nState * frameWidth;
    const int top = (nClientHeight - nImageHeight) / 2;
    FramePlacement placement;
    placement.rcSource = RECT{left, 0, left + frameWidth, nImageHeight};
    placement.rcDest = RECT{0, top, frameWidth, top + nImageHeight};
    return placement;
}

bool NeedsCaptionWidth(const ContentInputs& in) {
    return in.nKind == kKindPush && in.bHasCaption && in.bHasIcon;
}

static ContentLayout ToggleLayout(const ContentInputs& in) {
    ContentLayout layout{false, false, POINT{0, 0}, RECT{0, 0, in.nClientWidth, in.nClientHeight}};
    layout.rcCaption.left =
        in.bHasStateImage ? in.nStateImageWidth / kToggleFrameCount + in.nGap : in.nGap;
    return layout;
}

static ContentLayout PushLayout(const ContentInputs& in) {
    const int w = in.nClientWidth;
    const int h = in.nClientHeight;
    ContentLayout layout{false, in.bHasIcon, POINT{0, 0}, RECT{0, 0, w, h}};
    if (!in.bHasCaption && !in.bHasIcon) {
        layout.bEmpty = true;
        return layout;
    }
    if (!in.bHasIcon)
        return layout;
    layout.ptIcon.y = (h - in.nIconHeight) / 2;
    if (!in.bHasCaption) {
        layout.ptIcon.x = (w - in.nIconWidth) / 2;
        return layout;
    }
    layout.ptIcon.x = (w - in.nCaptionWidth - in.nIconWidth - in.nGap) / 2;
    layout.rcCaption.left = layout.ptIcon.x + in.nIconWidth + in.nGap;
    return layout;
}

ContentLayout LayoutButtonContent(const ContentInputs& in) {
    return in.nKind == kKindPush ? PushLayout(in) : ToggleLayout(in);
}

RECT RectFromMeasuredBox(float x, float y, float width, float height) {
    RECT rc;
    rc.left = static_cast<LONG>(x);
    rc.top = static_cast<LONG>(y);
    rc.right = static_cast<LONG>(x + width);
    rc.bottom = static_cast<LONG>(y + height);
    if (rc.right - rc.left < width)
        rc.right += 1;
    if (rc.bottom - rc.top < height)
        rc.bottom += 1;
    return rc;
}

bool CheckAfterClick(int nKind, bool bChecked) {
    return nKind == kKindRadio ? true : !bChecked;
}

} // namespace KvLayout
