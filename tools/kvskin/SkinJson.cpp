#include "tools/kvskin/SkinJson.h"

#include "skin/SkinSchema.h"

using nlohmann::ordered_json;

namespace {

ordered_json RectJson(const RECT& rc) {
    return ordered_json::array({static_cast<int32_t>(rc.left), static_cast<int32_t>(rc.top),
                                static_cast<int32_t>(rc.right), static_cast<int32_t>(rc.bottom)});
}

ordered_json ItemValueJson(const _XmlDynamicItem& item, ItemField field) {
    switch (field) {
    case ItemField::Name:
        return ToUtf8(item.strName);
    case ItemField::ID:
        return ToUtf8(item.strID);
    case ItemField::ToolTip:
        return ToUtf8(item.strToolTip);
    case ItemField::FontName:
        return ToUtf8(item.strFontName);
    case ItemField::FontSize:
        return item.nFontSize;
    case ItemField::FontColor:
        return ToUtf8(item.strFontColor);
    case ItemField::FontFormat:
        return ToUtf8(item.strFontFormat);
    case ItemField::BkImg:
        return ToUtf8(item.strBkImg);
    case ItemField::Cursor:
        return ToUtf8(item.strCursor);
    case ItemField::Icon:
        return ToUtf8(item.strIcon);
    case ItemField::Pos:
        return RectJson(item.rcPos);
    case ItemField::ControlType:
        return item.nControlType;
    case ItemField::ControlStyle:
        return item.nControlStyle;
    case ItemField::DrawFocus:
        return item.nDrawFocus;
    case ItemField::None:
        break;
    }
    return nullptr;
}

// Every attribute the reader reads, in the order of its table.
ordered_json ItemJson(const _XmlDynamicItem& item) {
    ordered_json json = ordered_json::object();
    for (const SkinName& attribute : kItemAttributeNames)
        json[attribute.pszJsonKey] = ItemValueJson(item, attribute.field);
    return json;
}

} // namespace

ordered_json DescribeSkin(const CKvXMLParseBase& reader) {
    ordered_json windowInfo = ordered_json::object();
    for (const auto& [key, value] : reader.m_mapWindowInfo)
        windowInfo[ToUtf8(key)] = ToUtf8(value);

    ordered_json posInfo = ordered_json::object();
    for (const auto& [key, record] : reader.m_mapPosInfo)
        posInfo[ToUtf8(key)] = {{"rect", RectJson(record->rcPos)}, {"color", record->clrColor}};

    ordered_json items = ordered_json::array();
    for (const _XmlDynamicItem& item : reader.m_arrDynamicItems)
        items.push_back(ItemJson(item));

    return ordered_json{{"skinDir", ToUtf8(reader.m_strSkinDir)},
                        {"skinName", ToUtf8(reader.m_strSkinName)},
                        {"windowInfo", std::move(windowInfo)},
                        {"posInfo", std::move(posInfo)},
                        {"items", std::move(items)}};
}
