#include "tools/kvskin/SkinJson.h"

#include "skin/AccessModel.h"
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

// The role as screen readers say it (the system's English role texts).
const char* RoleText(ItemKind kind) {
    switch (kind) {
    case ItemKind::PushButton:
        return "push button";
    case ItemKind::CheckBox:
        return "check box";
    case ItemKind::RadioButton:
        return "radio button";
    case ItemKind::Label:
        return "text";
    case ItemKind::None:
        break;
    }
    return "";
}

// What a screen reader reads of the item, as the dialogs' accessible objects
// give it; null for an item that makes nothing.
ordered_json ScreenReaderJson(const _XmlDynamicItem& item, bool bWindowless) {
    const ItemKind kind = bWindowless
                              ? (item.nControlType == 2 ? ItemKind::PushButton : ItemKind::None)
                              : ItemKindOf(item.nControlType, item.nControlStyle);
    if (kind == ItemKind::None)
        return nullptr;
    // A bitmap button shows "&x" as an underlined x; labels and drawn items
    // show the text as it is written.
    const bool bMnemonic = !bWindowless && kind != ItemKind::Label;
    const KvAccess::ItemSpeech speech =
        KvAccess::SpeechOf(item.strName, item.strToolTip, bMnemonic);
    return ordered_json{{"role", RoleText(kind)},
                        {"name", ToUtf8(speech.strName)},
                        {"description", ToUtf8(speech.strDescription)},
                        {"shortcut", ToUtf8(speech.strShortcut)},
                        {"action", ToUtf8(KvAccess::DefaultActionOf(kind, false))}};
}

// Every attribute the reader reads, in the order of its table, then what a
// screen reader reads of the item.
ordered_json ItemJson(const _XmlDynamicItem& item, bool bWindowless) {
    ordered_json json = ordered_json::object();
    for (const SkinName& attribute : kItemAttributeNames)
        json[attribute.pszJsonKey] = ItemValueJson(item, attribute.field);
    json["screenReader"] = ScreenReaderJson(item, bWindowless);
    return json;
}

} // namespace

ordered_json DescribeSkin(const CKvXMLParseBase& reader, bool bWindowless) {
    ordered_json windowInfo = ordered_json::object();
    for (const auto& [key, value] : reader.m_mapWindowInfo)
        windowInfo[ToUtf8(key)] = ToUtf8(value);

    ordered_json posInfo = ordered_json::object();
    for (const auto& [key, record] : reader.m_mapPosInfo)
        posInfo[ToUtf8(key)] = {{"rect", RectJson(record->rcPos)}, {"color", record->clrColor}};

    ordered_json items = ordered_json::array();
    for (const _XmlDynamicItem& item : reader.m_arrDynamicItems)
        items.push_back(ItemJson(item, bWindowless));

    return ordered_json{{"skinDir", ToUtf8(reader.m_strSkinDir)},
                        {"skinName", ToUtf8(reader.m_strSkinName)},
                        {"windowInfo", std::move(windowInfo)},
                        {"posInfo", std::move(posInfo)},
                        {"items", std::move(items)}};
}
