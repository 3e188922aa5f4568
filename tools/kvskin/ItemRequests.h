// Items named on kvskin's command line: by "ID" in any case, the first match,
// as the dialogs and the reader compare IDs, and the looks they are asked in.
#pragma once

#include "skin/XMLParseBase.h"

#include <optional>
#include <string>
#include <vector>

// The index of the first item whose ID equals strID in any case; -1 for none.
int FindItemByID(const std::vector<_XmlDynamicItem>& items, const CString& strID);

// A look an item is drawn in: what the mouse does to it, or disabled, and for
// check boxes and radio buttons whether it is checked.
struct ItemLook {
    enum State { Normal, Hot, Pressed, Disabled };
    State state = Normal;
    bool bChecked = false;

    bool operator==(const ItemLook& other) const {
        return state == other.state && bChecked == other.bChecked;
    }
};

// Every look, in the order a contact sheet shows them: normal, hot, pressed,
// disabled, then the same checked.
extern const ItemLook kEveryLook[8];

// "normal", "hot", "pressed", "disabled", "checked", "checked-hot",
// "checked-pressed", "checked-disabled".
std::string LookName(const ItemLook& look);

// "ID=LOOK" (the look in any case; the ID is what precedes the last "="), as
// the ID and the look it asks for.
struct ItemStateRequest {
    CString strID;
    ItemLook look;
};
std::optional<ItemStateRequest> ParseItemStateRequest(const CString& strArg);

// The message for an ID that matches no item of the section.
std::string NoSuchItemMessage(const CString& strID, const CString& strSection);
