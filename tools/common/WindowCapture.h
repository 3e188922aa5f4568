// Captures what the screen shows of top-level windows into a 32-bpp ARGB
// picture, keeping the alpha of layered windows, and saves it as PNG.
//
// Under Wine on an X server without a compositor (Xvfb) the screen itself
// holds a layered window's picture: Wine gives a window updated through
// UpdateLayeredWindow a 32-bit ARGB X window, and the server copies its
// pixels to the screen unblended, so a BitBlt from the screen DC returns
// exactly the premultiplied pixels pushed (constant alpha applied); fully
// transparent parts read 0, which is why they look black when the alpha is
// dropped. The window's own DC (GetDC, GetWindowDC) reads nothing back for a
// layered window (BitBlt succeeds and leaves the target untouched) and
// PrintWindow draws nothing for either kind, so the screen DC is the one
// source. A display that composes layered windows over what lies beneath
// hands back blended colours instead; the capture notices (colours above
// their alpha) and then keeps them opaque, as that screen shows them.
// Windows set up with SetLayeredWindowAttributes show their own colours on
// such a screen; their constant alpha is applied here (a colour key is not).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tools/common/CapturePixels.h"

namespace WindowCapture {

enum class CaptureExtent {
    FirstWindow, // the first window's rectangle
    Union,       // the rectangle around every captured window
};

struct CaptureResult {
    CapturePixels::ArgbImage image;
    RECT rcScreen = {}; // the captured rectangle, in screen coordinates
    // Every layered window's alpha came back from the screen; false when one
    // was captured opaque because the display had composed it.
    bool bAlphaKept = true;
    std::wstring strError; // empty when the capture worked

    bool Ok() const { return strError.empty(); }
};

// Captures hFirst and those of overWindows that are visible, each where it is
// topmost among them. Pixels that none of them shows (or that lie off the
// screen) are transparent. All must be top-level windows, hFirst visible.
// Paints pending in the calling thread's windows are finished first, and
// Wine is given the moment it needs to put them on the screen.
CaptureResult CaptureWindows(HWND hFirst, const std::vector<HWND>& overWindows = {},
                             CaptureExtent extent = CaptureExtent::FirstWindow);

// CaptureWindows, then the picture as PNG (GDI+ must be started). Returns
// an empty string on success, otherwise what failed.
std::wstring CaptureWindowsToPng(const std::wstring& path, HWND hFirst,
                                 const std::vector<HWND>& overWindows = {},
                                 CaptureExtent extent = CaptureExtent::FirstWindow);

} // namespace WindowCapture
