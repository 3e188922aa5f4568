// The windowless dialog's picture apart from any window: the background
// stretched to the sheet, then every drawn item over it.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/Canvas.h"
#include "skin/WndLessItem.h"

#include <vector>

// The background stretched to the sheet, then every drawn item over it,
// premultiplied as UpdateLayeredWindow takes it. The dialog composes through
// one; kvskin render draws a section offscreen with another.
class KELVANE_API CWndLessSheet {
public:
    CWndLessSheet() = default;
    CWndLessSheet(const CWndLessSheet&) = delete;
    CWndLessSheet& operator=(const CWndLessSheet&) = delete;

    // Composes into hDC, which holds a 32-bit bitmap at least of the sheet's
    // size, replacing what it held; the items with a drawn item are drawn in
    // array order. When hDC has a clip region only the parts of the sheet
    // inside it are composed, each with the background piece and the items
    // over it, and their pixels come out as a whole composition gives them.
    // FALSE for a sheet that fits no section or when a layer cannot be made.
    BOOL Compose(HDC hDC, SIZE sheet, Gdiplus::Bitmap* pBackImage,
                 std::vector<_XmlDynamicItem>& items);
    // Where pItem draws on the sheet, in every state alike.
    RECT ItemRect(CWndLessItem& item, SIZE sheet);
    // The background is about to be replaced: its stretched copy must not
    // outlive it (a new image may come at the same address).
    void ForgetBackground();

private:
    // The background stretched to the sheet and premultiplied, made again
    // when the background or the sheet size changes.
    CKvCanvas* Background(Gdiplus::Bitmap* pBackImage, SIZE sheet);
    // One part of the sheet: its background piece, then the items over it.
    BOOL ComposePart(HDC hDC, const RECT& rcPart, SIZE sheet, CKvCanvas* pBack,
                     std::vector<_XmlDynamicItem>& items);
    // What text is measured on while the items are laid out.
    Gdiplus::Bitmap* MeasuringSurface();
    // A layer of the part's size, holding whatever it held.
    CKvCanvas& LayerFor(SIZE part);

    CKvCanvas m_backSurface;
    Gdiplus::Bitmap* m_pBackSource = nullptr; // the image m_backSurface was made from; not owned
    SIZE m_szBackSurface = {0, 0};
    CKvCanvas m_measuring;
    CKvCanvas m_layer; // kept for the next change's part
};
