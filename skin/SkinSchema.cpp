#include "skin/SkinSchema.h"

#include <cwchar>

namespace {

// A number entry that cannot be read is 0 (GetWindowInfoInt), whatever a
// missing one would mean.
const SkinName kWindowEntries[] = {
    {SkinKey::Title, SkinKind::Text, L"no title"},
    {SkinKey::Icon, SkinKind::Icon, L"no icon"},
    {SkinKey::BackBmp, SkinKind::Image, L"a sheet of the button face"},
    {SkinKey::SheetSize, SkinKind::Pair, L"0,0", L"read as 0,0: the window has no size"},
    {SkinKey::IsLayerWnd, SkinKind::Number, L"0", L"read as 0: the window is not layered"},
    {SkinKey::AlpahValue, SkinKind::Number, L"100",
     L"read as 0: the window is fully transparent and cannot be seen"},
    {SkinKey::IsDrag, SkinKind::Number, L"0", L"read as 0: the window cannot be dragged"},
    {SkinKey::CaptionHeight, SkinKind::Number, L"0: the whole window",
     L"read as 0: the whole window is the caption band"},
    {SkinKey::ShowToolTip, SkinKind::Number, L"0", L"read as 0: no tooltips"},
    {SkinKey::ToolTipWidth, SkinKind::Number, L"0: no limit", L"read as 0: tooltips of any width"},
    {SkinKey::FontName, SkinKind::Face, L"none"},
    {SkinKey::FontSize, SkinKind::Number, L"0",
     L"read as 0: items without a size of their own draw no text"},
    {SkinKey::FontWeight, SkinKind::Decimal, L"0", L"read as 0: the default weight"},
    {SkinKey::FontCharSet, SkinKind::Decimal, L"0", L"read as 0: ANSI_CHARSET"},
    {SkinKey::FontColor, SkinKind::ColourList, L"0: transparent"},
    {SkinKey::FontFormat, SkinKind::FormatList, L"0;1;1;1"},
    {SkinKey::ChildPos, SkinKind::Pair, L"0,0", L"read as 0,0: the page at the container's corner"},
};

// An item number that cannot be read leaves its field as it was: 0 for a new item.
const SkinName kItemAttributes[] = {
    {SkinKey::ID, SkinKind::Text, L"", nullptr, ItemField::ID, "id"},
    {SkinKey::Name, SkinKind::Text, L"", nullptr, ItemField::Name, "name"},
    {SkinKey::ToolTip, SkinKind::Text, L"no tooltip", nullptr, ItemField::ToolTip, "toolTip"},
    {SkinKey::FontName, SkinKind::Face, L"the window's", nullptr, ItemField::FontName, "fontName"},
    {SkinKey::FontSize, SkinKind::Number, L"the window's",
     L"ignored: the window's FontSize is used", ItemField::FontSize, "fontSize"},
    {SkinKey::FontColor, SkinKind::ColourList, L"the window's", nullptr, ItemField::FontColor,
     "fontColor"},
    {SkinKey::FontFormat, SkinKind::FormatList, L"the window's", nullptr, ItemField::FontFormat,
     "fontFormat"},
    {SkinKey::BkImg, SkinKind::Image, L"none", nullptr, ItemField::BkImg, "bkImg"},
    {SkinKey::Cursor, SkinKind::Cursor, L"the default arrow", nullptr, ItemField::Cursor, "cursor"},
    {SkinKey::Icon, SkinKind::Image, L"none", nullptr, ItemField::Icon, "icon"},
    {SkinKey::Pos, SkinKind::Rect, L"0,0,0,0", L"read as 0,0,0,0: the item cannot be seen",
     ItemField::Pos, "rect"},
    {SkinKey::ControlType, SkinKind::Number, L"0: nothing",
     L"ignored: read as 0, the item makes nothing", ItemField::ControlType, "controlType"},
    {SkinKey::ControlStyle, SkinKind::Number, L"0", L"ignored: read as 0, no style bits",
     ItemField::ControlStyle, "controlStyle"},
    {SkinKey::DrawFocus, SkinKind::Number, L"0", L"ignored: read as 0, no focus frame",
     ItemField::DrawFocus, "drawFocus"},
};

const SkinName kPosAttributes[] = {
    {SkinKey::ItemID, SkinKind::Text, L""},
    {SkinKey::Color, SkinKind::HexColour, L"0xFFFFFFFF"},
    {SkinKey::Pos, SkinKind::Rect, L"0,0,0,0", L"read as 0,0,0,0"},
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
