#include "skin/SkinSchema.h"

#include <cwchar>

namespace {

const SkinName kWindowEntries[] = {
    {SkinKey::Title, SkinKind::Text, L"no title"},
    {SkinKey::Icon, SkinKind::Icon, L"no icon"},
    {SkinKey::BackBmp, SkinKind::Image, L"a sheet of the button face"},
    {SkinKey::SheetSize, SkinKind::Pair, L"0,0"},
    {SkinKey::IsLayerWnd, SkinKind::Number, L"0"},
    {SkinKey::AlpahValue, SkinKind::Number, L"100"},
    {SkinKey::IsDrag, SkinKind::Number, L"0"},
    {SkinKey::CaptionHeight, SkinKind::Number, L"0: the whole window"},
    {SkinKey::ShowToolTip, SkinKind::Number, L"0"},
    {SkinKey::ToolTipWidth, SkinKind::Number, L"0: no limit"},
    {SkinKey::FontName, SkinKind::Face, L"none"},
    {SkinKey::FontSize, SkinKind::Number, L"0"},
    {SkinKey::FontWeight, SkinKind::Decimal, L"0"},
    {SkinKey::FontCharSet, SkinKind::Decimal, L"0"},
    {SkinKey::FontColor, SkinKind::ColourList, L"0: transparent"},
    {SkinKey::FontFormat, SkinKind::FormatList, L"0;1;1;1"},
    {SkinKey::ChildPos, SkinKind::Pair, L"0,0"},
};

const SkinName kItemAttributes[] = {
    {SkinKey::ID, SkinKind::Text, L"", ItemField::ID, "id"},
    {SkinKey::Name, SkinKind::Text, L"", ItemField::Name, "name"},
    {SkinKey::ToolTip, SkinKind::Text, L"no tooltip", ItemField::ToolTip, "toolTip"},
    {SkinKey::FontName, SkinKind::Face, L"the window's", ItemField::FontName, "fontName"},
    {SkinKey::FontSize, SkinKind::Number, L"the window's", ItemField::FontSize, "fontSize"},
    {SkinKey::FontColor, SkinKind::ColourList, L"the window's", ItemField::FontColor, "fontColor"},
    {SkinKey::FontFormat, SkinKind::FormatList, L"the window's", ItemField::FontFormat,
     "fontFormat"},
    {SkinKey::BkImg, SkinKind::Image, L"none", ItemField::BkImg, "bkImg"},
    {SkinKey::Cursor, SkinKind::Cursor, L"the default arrow", ItemField::Cursor, "cursor"},
    {SkinKey::Icon, SkinKind::Image, L"none", ItemField::Icon, "icon"},
    {SkinKey::Pos, SkinKind::Rect, L"0,0,0,0", ItemField::Pos, "rect"},
    {SkinKey::ControlType, SkinKind::Number, L"0: nothing", ItemField::ControlType, "controlType"},
    {SkinKey::ControlStyle, SkinKind::Number, L"0", ItemField::ControlStyle, "controlStyle"},
    {SkinKey::DrawFocus, SkinKind::Number, L"0", ItemField::DrawFocus, "drawFocus"},
};

const SkinName kPosAttributes[] = {
    {SkinKey::ItemID, SkinKind::Text, L""},
    {SkinKey::Color, SkinKind::HexColour, L"0xFFFFFFFF"},
    {SkinKey::Pos, SkinKind::Rect, L"0,0,0,0"},
};

const SkinName kWindowEntryAttributes[] = {
    {SkinKey::ItemID, SkinKind::Text, L""},
    {SkinKey::Data, SkinKind::Text, L""},
};

const SkinName kSectionParts[] = {
    {SkinKey::WindowInfo, SkinKind::Text, L"no window entries"},
    {SkinKey::PosInfo, SkinKind::Text, L"no position records"},
    {SkinKey::DynamicInfo, SkinKind::Text, L"no items"},
};

} // namespace

const SkinName* SkinNameTable::Find(const wchar_t* pszName) const {
    for (const SkinName& name : *this)
        if (wcscmp(name.pszName, pszName) == 0)
            return &name;
    return nullptr;
}

const SkinName* SkinNameTable::FindFrom(const wchar_t* pszName, size_t& nHint) const {
    const SkinName* pFound = nHint < m_nCount && wcscmp(m_pNames[nHint].pszName, pszName) == 0
                                 ? &m_pNames[nHint]
                                 : Find(pszName);
    if (pFound)
        nHint = static_cast<size_t>(pFound - m_pNames) + 1;
    return pFound;
}

const SkinNameTable kWindowEntryNames(kWindowEntries);
const SkinNameTable kItemAttributeNames(kItemAttributes);
const SkinNameTable kPosAttributeNames(kPosAttributes);
const SkinNameTable kWindowEntryAttributeNames(kWindowEntryAttributes);
const SkinNameTable kSectionPartNames(kSectionParts);
