#include "tools/kvskin/ItemRequests.h"

#include "skin/SkinValue.h"
#include "tools/common/Utf8.h"
#include "tools/kvskin/Commands.h"
#include "tools/kvskin/SkinJson.h"

const ItemLook kEveryLook[8] = {{ItemLook::Normal, false},  {ItemLook::Hot, false},
                                {ItemLook::Pressed, false}, {ItemLook::Disabled, false},
                                {ItemLook::Normal, true},   {ItemLook::Hot, true},
                                {ItemLook::Pressed, true},  {ItemLook::Disabled, true}};

int FindItemByID(const std::vector<_XmlDynamicItem>& items, const CString& strID) {
    const std::wstring key = SkinIdKey(strID);
    for (size_t i = 0; i < items.size(); ++i)
        if (SkinIdKey(items[i].strID) == key)
            return static_cast<int>(i);
    return -1;
}

std::string LookName(const ItemLook& look) {
    static const char* const kStates[] = {"normal", "hot", "pressed", "disabled"};
    if (!look.bChecked)
        return kStates[look.state];
    return look.state == ItemLook::Normal ? "checked"
                                          : std::string("checked-") + kStates[look.state];
}

std::optional<ItemStateRequest> ParseItemStateRequest(const CString& strArg) {
    const int nEquals = strArg.ReverseFind(L'=');
    if (nEquals <= 0)
        return std::nullopt;
    const std::string name = ToUtf8(strArg.Mid(nEquals + 1).MakeLower());
    for (const ItemLook& look : kEveryLook)
        if (LookName(look) == name)
            return ItemStateRequest{strArg.Left(nEquals), look};
    return std::nullopt;
}

std::string NoSuchItemMessage(const CString& strID, const CString& strSection) {
    return "kvskin: no item with the ID \"" + ToUtf8(strID) + "\" in " + ToUtf8(strSection) + "\n";
}

bool ReadScaleOption(const CParsedCommand& command, int& nPercent, ToolOutput& output) {
    const CString strScale = command.Option(L"--scale", L"100");
    int32_t nValue = 0;
    const IntegerListReading reading = ReadSkinIntegers(strScale, &nValue, 1);
    if (reading.form != ValueForm::Whole || nValue < 25 || nValue > 800) {
        output.strErr =
            "kvskin: --scale \"" + ToUtf8(strScale) + "\" is not a percentage from 25 to 800\n";
        return false;
    }
    nPercent = nValue;
    return true;
}
