// A section's picture drawn offscreen by the dialog that shows it, with any
// of its acting items in a look of its own: the windowless dialog's
// composition (CWndLessSheet, no window needed) for a windowless section, the
// base dialog's own DrawSheet for a base-dialog section, through a hidden
// dialog whose controls are real windows (so that needs a display).
#pragma once

#include "tools/common/CapturePixels.h"
#include "tools/kvskin/ItemRequests.h"
#include "tools/kvskin/PreviewDialog.h"

#include <memory>
#include <string>
#include <vector>

// Check boxes and radio buttons exist only in the base dialog, which makes
// them, its labels and its shaped buttons as controls: a section with any is
// drawn as that dialog shows it, any other as the windowless dialog does.
bool IsBaseDialogSection(const std::vector<_XmlDynamicItem>& items);

class CSectionPicture {
public:
    virtual ~CSectionPicture() = default;

    // The description's items, in its order.
    virtual const std::vector<_XmlDynamicItem>& Items() const = 0;
    // The looks item nIndex can be drawn in, normal first; none for an item
    // that does not act (a label, an item that makes nothing).
    virtual std::vector<ItemLook> LooksOf(size_t nIndex) const = 0;
    // What the item is, as a person names it ("check box").
    virtual const char* KindOf(size_t nIndex) const = 0;
    // Puts the item in the look until another is set; empty when done, else
    // why it cannot be.
    virtual std::string SetLook(size_t nIndex, const ItemLook& look) = 0;
    // The picture as the screen shows it, straight alpha; empty when the
    // section gives no sheet a picture can be made of.
    virtual CapturePixels::ArgbImage Compose() = 0;
};

// The picture of the section, drawn by the dialog its items call for; null
// (and strError, a line ending in a line feed) when that cannot be made.
std::unique_ptr<CSectionPicture> MakeSectionPicture(const PreviewSkin& skin, std::string& strError);
