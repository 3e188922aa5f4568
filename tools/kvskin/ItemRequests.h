// Items named on kvskin's command line: by "ID" in any case, the first match,
// as the dialogs and the reader compare IDs.
#pragma once

#include "skin/XMLParseBase.h"

#include <optional>
#include <string>
#include <vector>

// The index of the first item whose ID equals strID in any case; -1 for none.
int FindItemByID(const std::vector<_XmlDynamicItem>& items, const CString& strID);

// "ID=normal|hot|pressed" (the state in any case; the ID is what precedes
// the last "="), as the ID and the drawn state it asks for.
struct ItemStateRequest {
    CString strID;
    int nState;
};
std::optional<ItemStateRequest> ParseItemStateRequest(const CString& strArg);

// The message for an ID that matches no item of the section.
std::string NoSuchItemMessage(const CString& strID, const CString& strSection);
