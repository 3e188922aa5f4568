// The skin reader's tables as one JSON object.
#pragma once

#include "skin/XMLParseBase.h"
#include "tools/common/Utf8.h"

#include <nlohmann/json.hpp>

#include <string>

// {"skinDir", "skinName", "windowInfo", "posInfo", "items"}: exactly what the
// reader holds, items in array order.
nlohmann::ordered_json DescribeSkin(const CKvXMLParseBase& reader);
