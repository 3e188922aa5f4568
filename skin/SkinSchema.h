// Every name the toolkit reads from a skin section, with the kind of its
// value and what stands when it is missing: the parts of a section, the
// window entries ("ItemID"), the attributes of window entries, position
// records and dynamic items. The reader, kvskin describe and kvskin lint take
// their names from here, so a name the tables do not hold is one the toolkit
// never reads. The tables are the module's own and not exported (the tools
// compile skin/SkinSchema.cpp in).
#pragma once

#include <afx.h>

#include <cstddef>

// How a value is read (skin/SkinValue.h holds the rules).
enum class SkinKind {
    Text,       // taken unchanged
    Face,       // a font family name, taken unchanged
    Number,     // the number rule: decimal, or hexadecimal after "0x"
    Decimal,    // a plain decimal number
    Pair,       // "a,b"
    Rect,       // "x,y,width,height"
    HexColour,  // hexadecimal ARGB, spaces kept
    ColourList, // "normal;disabled", each a number
    FormatList, // "style;align;lineAlign;trimming", each a number
    Image,      // a file below the skin's image folder, read by GDI+
    Cursor,     // the same, read as a cursor
    Icon,       // the same, read as an icon
};

// What an item's attribute fills in its record (_XmlDynamicItem).
enum class ItemField {
    None,
    Name,
    ID,
    ToolTip,
    FontName,
    FontSize,
    FontColor,
    FontFormat,
    BkImg,
    Cursor,
    Icon,
    Pos,
    ControlType,
    ControlStyle,
    DrawFocus,
};

struct SkinName {
    const wchar_t* pszName;
    SkinKind kind;
    const wchar_t* pszDefault; // what a missing value means, as a person reads it
    // What the reader makes of a value it cannot read at all, as a person
    // reads it; null where no such value reaches the reader's grammar.
    const wchar_t* pszUnreadable = nullptr;
    ItemField field = ItemField::None;
    const char* pszJsonKey = nullptr; // the item's key in kvskin describe
};

class SkinNameTable {
public:
    template <size_t N>
    constexpr SkinNameTable(const SkinName (&names)[N]) : m_pNames(names), m_nCount(N) {}
    const SkinName* begin() const { return m_pNames; }
    const SkinName* end() const { return m_pNames + m_nCount; }
    // The entry of the name, compared exactly as the reader compares it; null
    // when the toolkit never reads that name.
    const SkinName* Find(const wchar_t* pszName) const;
    // The same, trying the entry at nHint first; nHint then points past the
    // entry found. Names given in the order of the element read before are
    // each found at the first try.
    const SkinName* FindFrom(const wchar_t* pszName, size_t& nHint) const;
    size_t Size() const { return m_nCount; }

private:
    const SkinName* m_pNames;
    size_t m_nCount;
};

// The names themselves, for the code that reads them.
namespace SkinKey {
// Parts of a section and the attributes of their entries.
inline constexpr wchar_t WindowInfo[] = L"WindowInfo";
inline constexpr wchar_t PosInfo[] = L"PosInfo";
inline constexpr wchar_t DynamicInfo[] = L"DynamicInfo";
inline constexpr wchar_t ItemID[] = L"ItemID";
inline constexpr wchar_t Data[] = L"Data";
inline constexpr wchar_t Color[] = L"Color";
// Window entries.
inline constexpr wchar_t Title[] = L"Title";
inline constexpr wchar_t BackBmp[] = L"BackBmp";
inline constexpr wchar_t SheetSize[] = L"SheetSize";
inline constexpr wchar_t IsLayerWnd[] = L"IsLayerWnd";
inline constexpr wchar_t AlpahValue[] = L"AlpahValue";
inline constexpr wchar_t IsDrag[] = L"IsDrag";
inline constexpr wchar_t CaptionHeight[] = L"CaptionHeight";
inline constexpr wchar_t ShowToolTip[] = L"ShowToolTip";
inline constexpr wchar_t ToolTipWidth[] = L"ToolTipWidth";
inline constexpr wchar_t FontWeight[] = L"FontWeight";
inline constexpr wchar_t FontCharSet[] = L"FontCharSet";
inline constexpr wchar_t ChildPos[] = L"ChildPos";
// Window entries and item attributes alike.
inline constexpr wchar_t FontName[] = L"FontName";
inline constexpr wchar_t FontSize[] = L"FontSize";
inline constexpr wchar_t FontColor[] = L"FontColor";
inline constexpr wchar_t FontFormat[] = L"FontFormat";
inline constexpr wchar_t Icon[] = L"Icon";
inline constexpr wchar_t Pos[] = L"Pos";
// Item attributes.
inline constexpr wchar_t Name[] = L"Name";
inline constexpr wchar_t ID[] = L"ID";
inline constexpr wchar_t ToolTip[] = L"ToolTip";
inline constexpr wchar_t BkImg[] = L"BkImg";
inline constexpr wchar_t Cursor[] = L"Cursor";
inline constexpr wchar_t ControlType[] = L"ControlType";
inline constexpr wchar_t ControlStyle[] = L"ControlStyle";
inline constexpr wchar_t DrawFocus[] = L"DrawFocus";
} // namespace SkinKey

// The "ItemID"s of window entries that the toolkit reads.
extern const SkinNameTable kWindowEntryNames;
// The attributes of a dynamic item, in the order describe prints them.
extern const SkinNameTable kItemAttributeNames;
// The attributes of a position record.
extern const SkinNameTable kPosAttributeNames;
// The attributes of a window entry.
extern const SkinNameTable kWindowEntryAttributeNames;
// The parts of a section element.
extern const SkinNameTable kSectionPartNames;
