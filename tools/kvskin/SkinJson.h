// The skin reader's tables as one JSON object.
#pragma once

#include "skin/XMLParseBase.h"

#include <nlohmann/json.hpp>

#include <string>

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const CString& strText);

// {"skinDir", "skinName", "windowInfo", "posInfo", "items"}: exactly what the
// reader holds, items in array order.
nlohmann::ordered_json DescribeSkin(const CKvXMLParseBase& reader);
