// The skin reader's tables as one JSON object.
#pragma once

#include "skin/XMLParseBase.h"
#include "tools/common/Utf8.h"

#include <nlohmann/json.hpp>

#include <string>

// {"skinDir", "skinName", "windowInfo", "posInfo", "items"}: exactly what the
// reader holds, items in array order; each item also with "screenReader",
// what a screen reader reads of it in a dialog (bWindowless: in the
// windowless dialog, whose drawn items are push buttons showing their text
// as written): {"role", "name", "description", "shortcut", "action"}, or null
// for an item that makes nothing there.
nlohmann::ordered_json DescribeSkin(const CKvXMLParseBase& reader, bool bWindowless = false);
