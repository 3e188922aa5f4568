#include "tools/kvskin/SkinJson.h"

using nlohmann::ordered_json;

namespace {

ordered_json RectJson(const RECT& rc) {
    return ordered_json::array({static_cast<int32_t>(rc.left), static_cast<int32_t>(rc.top),
                                static_cast<int32_t>(rc.right), static_cast<int32_t>(rc.bottom)});
}

ordered_json ItemJson(const _XmlDynamicItem& item) {
    return ordered_json{
        {"id", ToUtf8(item.strID)},
        {"name", ToUtf8(item.strName)},
        {"toolTip", ToUtf8(item.strToolTip)},
        {"fontName", ToUtf8(item.strFontName)},
        {"fontSize", item.nFontSize},
        {"fontColor", ToUtf8(item.strFontColor)},
        {"fontFormat", ToUtf8(item.strFontFormat)},
        {"bkImg", ToUtf8(item.strBkImg)},
        {"cursor", ToUtf8(item.strCursor)},
        {"icon", ToUtf8(item.strIcon)},
        {"rect", RectJson(item.rcPos)},
        {"controlType", item.nControlType},
        {"controlStyle", item.nControlStyle},
        {"drawFocus", item.nDrawFocus},
    };
}

} // namespace

std::string ToUtf8(const CString& strText) {
    if (strText.IsEmpty())
        return std::string();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, strText.GetString(), strText.GetLength(), nullptr,
                                    0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, strText.GetString(), strText.GetLength(), &text[0], bytes,
                            nullptr, nullptr);
    return text;
}

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
