// What a skinned dialog looks like, typed and read once per load from its
// description: the window's values (size, layering and opacity, caption
// band, drag, tooltips, title, icon, background, dialog font, the default
// text look of its items) and, per item, its kind and text look. The dialogs,
// the container and kvskin render build from it; handlers read it, never the
// skin's strings.
#pragma once

#include <afx.h>
#include <windows.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/DialogLayout.h"
#include "skin/DisplayScale.h"
#include "skin/XMLParseBase.h"

#include <map>
#include <memory>
#include <vector>

// The dialog font's entries: the size by the number rule, weight and
// character set as plain decimals.
struct KvDialogFont {
    CString strFaceName;
    int nSize = 0;
    int nWeight = 0;
    int nCharSet = 0;
};

struct KvWindowModel {
    SIZE szSheet = {0, 0};
    bool bLayered = false;
    int nAlphaPercent = 100; // of the first layered picture; full when not given
    bool bDrag = false;
    int nCaptionHeight = 0; // 0: the whole window is the band
    bool bShowToolTip = false;
    int nToolTipWidth = 0; // 0: no limit
    CString strTitle;
    CString strIconPath; // full path, empty for none
    CString strBackPath; // full path, empty for none
    POINT ptChildPos = {0, 0};
    KvDialogFont font;
    ItemTextSource itemDefaults;  // what items without their own text settings take
    int nDpi = KvScale::kBaseDpi; // what every length above is scaled to
};

// The window's values of the loaded description, their lengths and font
// sizes scaled to nDpi.
KELVANE_API KvWindowModel ReadWindowModel(CKvXMLParseBase& reader, int nDpi = KvScale::kBaseDpi);

// The items' rectangles and own font sizes scaled to nDpi, in place: once
// per load, right after the window's values are read at that DPI.
KELVANE_API void ScaleItems(std::vector<_XmlDynamicItem>& items, int nDpi);

// The skin's own lengths of a dialog's items (rectangle, font size) and
// position records, at 96 DPI. A dialog keeps them per load, so that another
// DPI scales each anew from the skin rather than from a length already
// rounded for the DPI before.
struct KvSkinLengths {
    struct Item {
        RECT rcPos;
        int32_t nFontSize;
    };
    std::vector<Item> items; // by item index
    std::map<CString, RECT, SkinKeyLess> records;
};

// Takes the lengths of the items and position records that lengths does
// not hold yet (those a load or a hook added since) as the skin's, and
// scales them in the reader to nDpi. Cheap when nothing was added.
KELVANE_API void AdoptSkinLengths(CKvXMLParseBase& reader, KvSkinLengths& lengths, int nDpi);

// Writes every length lengths holds into the reader at nDpi: a change of
// DPI, or back to the skin's own (96) before a reload.
KELVANE_API void ApplySkinLengths(CKvXMLParseBase& reader, const KvSkinLengths& lengths, int nDpi);

// The DPI hWnd is shown at: the window's own where the system tells it,
// else the screen's.
KELVANE_API int WindowDpi(HWND hWnd);

// An item's text look: each setting from the item when it gives one, else
// from the window.
KELVANE_API ItemFontInfo ItemTextLook(const _XmlDynamicItem& item, const KvWindowModel& window);

// An opaque sheet of the button-face colour; null when it cannot be made.
KELVANE_API std::unique_ptr<Gdiplus::Bitmap> CreateButtonFaceSheet(SIZE sheet);

// The window's background: "BackBmp" decoded at the model's DPI, or an opaque sheet of the
// button-face colour when that cannot be read; null only when neither can be
// made. *pbFromFile tells which.
KELVANE_API std::unique_ptr<Gdiplus::Bitmap> LoadSheetBackground(const KvWindowModel& window,
                                                                 bool* pbFromFile = nullptr);
