// The windowless dialog's picture apart from any window: the background
// stretched to the sheet, then every drawn item over it.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/Canvas.h"
#include "skin/WndLessItem.h"

#include <vector>

// The background stretched to the sheet, then every drawn item on a
// transparent layer over it, premultiplied as UpdateLayeredWindow takes it.
// The dialog composes through one; kvskin render draws a section offscreen
// with another.
class KELVANE_API CWndLessSheet {
public:
    CWndLessSheet() = default;
    CWndLessSheet(const CWndLessSheet&) = delete;
    CWndLessSheet& operator=(const CWndLessSheet&) = delete;

    // Composes onto hDC, which holds a 32-bit bitmap at least of the sheet's
    // size; the items with a drawn item are drawn in array order. FALSE for
    // a sheet that fits no section or when the layer cannot be made.
    BOOL Compose(HDC hDC, SIZE sheet, Gdiplus::Bitmap* pBackImage,
                 std::vector<_XmlDynamicItem>& items);
    // The background is about to be replaced: its stretched copy must not
    // outlive it (a new image may come at the same address).
    void ForgetBackground();

private:
    // The background stretched to the sheet and premultiplied, made again
    // when the background or the sheet size changes.
    CKvCanvas* Background(Gdiplus::Bitmap* pBackImage, SIZE sheet);

    CKvCanvas m_backSurface;
    Gdiplus::Bitmap* m_pBackSource = nullptr; // the image m_backSurface was made from; not owned
    SIZE m_szBackSurface = {0, 0};
};
