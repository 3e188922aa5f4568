#include "tools/kvskin/ItemRequests.h"

#include "skin/WndLessLayout.h"
#include "tools/kvskin/SkinJson.h"

int FindItemByID(const std::vector<_XmlDynamicItem>& items, const CString& strID) {
    const std::wstring key = SkinIdKey(strID);
    for (size_t i = 0; i < items.size(); ++i)
        if (SkinIdKey(items[i].strID) == key)
            return static_cast<int>(i);
    return -1;
}

std::optional<ItemStateRequest> ParseItemStateRequest(const CString& strArg) {
    static const struct {
        const wchar_t* pszName;
        int nState;
    } kStates[] = {{L"normal", KvWndLess::kStateNormal},
                   {L"hot", KvWndLess::kStateHot},
                   {L"pressed", KvWndLess::kStatePressed}};
    const int nEquals = strArg.ReverseFind(L'=');
    if (nEquals <= 0)
        return std::nullopt;
    const CString strState = strArg.Mid(nEquals + 1);
    for (const auto& state : kStates)
        if (strState.CompareNoCase(state.pszName) == 0)
            return ItemStateRequest{strArg.Left(nEquals), state.nState};
    return std::nullopt;
}

std::string NoSuchItemMessage(const CString& strID, const CString& strSection) {
    return "kvskin: no item with the ID \"" + ToUtf8(strID) + "\" in " + ToUtf8(strSection) + "\n";
}
