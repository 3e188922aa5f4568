// The text look of one item, from the skin to GDI+: face, em size in pixels,
// the normal and disabled colours, the GDI+ font style bits and the string
// format (alignment, line alignment, trimming). The dialogs resolve it from
// an item and its window; each label, button and drawn item holds one.
#pragma once

#include <afx.h>

#include <cstdint>

struct ItemFontInfo {
    CString strFontName;
    int nFontSize = 0;
    uint32_t clrNormal = 0; // ARGB
    uint32_t clrDisabled = 0;
    int nFontStyle = 0; // GDI+ FontStyle bits
    int nAlign = 1;     // GDI+ StringAlignment
    int nLineAlign = 1;
    int nTrimming = 1; // GDI+ StringTrimming
};
