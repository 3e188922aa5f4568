#include "skin/XMLParseBase.h"

#include "runtime/StringHelpers.h"
#include "skin/SkinSchema.h"
#include "skin/SkinValue.h"
#include "xml/XmlDocument.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMNamedNodeMap.hpp>

using xercesc::DOMElement;

namespace {

// Sums wrap at 32 bits rather than overflow.
LONG WrappingSum(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// The folder that holds the skin file, with its separator; images live below
// it. Windows takes '/' as a separator too, so a path written with either
// finds the same folder; a bare file name has an empty folder.
CString SkinDirectoryOf(const CString& strSkinFile) {
    int separator = (std::max)(strSkinFile.ReverseFind(L'\\'), strSkinFile.ReverseFind(L'/'));
    return strSkinFile.Left(separator + 1);
}

// XMLCh and wchar_t are both UTF-16 code units on Windows.
const wchar_t* W(const XMLCh* psz) {
    return reinterpret_cast<const wchar_t*>(psz);
}
const XMLCh* X(const wchar_t* psz) {
    return reinterpret_cast<const XMLCh*>(psz);
}

// An attribute node's value. The parser gives every value as one text child;
// asking the attribute itself costs a cross-cast inside Xerces per call, half
// of the reading for a skin's tens of thousands of values.
const wchar_t* AttributeValue(const xercesc::DOMNode* pAttribute) {
    const xercesc::DOMNode* pText = pAttribute->getFirstChild();
    if (pText && pText->getNodeType() == xercesc::DOMNode::TEXT_NODE && !pText->getNextSibling())
        return W(pText->getNodeValue());
    return W(pAttribute->getNodeValue());
}

// The attribute's value as the document holds it, empty when missing.
const wchar_t* Attribute(const DOMElement* pElement, const wchar_t* pszName) {
    const xercesc::DOMAttr* pAttribute = pElement->getAttributeNode(X(pszName));
    return pAttribute ? AttributeValue(pAttribute) : L"";
}

// The number rule into a field; a missing, empty or unreadable value keeps it.
template <class Field> void ReadNumberInto(const wchar_t* pszValue, Field& field) {
    const NumberReading reading = ReadSkinNumber(pszValue);
    if (reading.form == ValueForm::Whole || reading.form == ValueForm::Partial)
        field = static_cast<Field>(reading.nValue);
}

// "x,y,w,h" into left, top, right, bottom, as ReadSkinRect reads it.
bool ReadRectInto(const wchar_t* pszValue, RECT& rcValue) {
    int32_t numbers[4] = {0, 0, 0, 0};
    if (ReadSkinIntegers(pszValue, numbers, 4).nRead == 0)
        return false;
    rcValue.left = numbers[0];
    rcValue.top = numbers[1];
    rcValue.right = WrappingSum(numbers[0], numbers[2]);
    rcValue.bottom = WrappingSum(numbers[1], numbers[3]);
    return true;
}

// What an item's attribute goes into. Text is taken as it is (emptied when
// missing or empty); a file keeps the earlier path when none is given;
// numbers and the rectangle keep their value when nothing can be read.
struct ItemSlot {
    enum class Kind { None, Text, File, Number, Style, Rect } kind = Kind::None;
    CString _XmlDynamicItem::*pText = nullptr;
    int32_t _XmlDynamicItem::*pNumber = nullptr;
};

ItemSlot SlotFor(const SkinName& attribute) {
    using R = _XmlDynamicItem;
    static const std::pair<ItemField, CString R::*> kTexts[] = {
        {ItemField::Name, &R::strName},
        {ItemField::ID, &R::strID},
        {ItemField::ToolTip, &R::strToolTip},
        {ItemField::FontName, &R::strFontName},
        {ItemField::FontColor, &R::strFontColor},
        {ItemField::FontFormat, &R::strFontFormat},
        {ItemField::BkImg, &R::strBkImg},
        {ItemField::Cursor, &R::strCursor},
        {ItemField::Icon, &R::strIcon}};
    static const std::pair<ItemField, int32_t R::*> kNumbers[] = {
        {ItemField::FontSize, &R::nFontSize},
        {ItemField::ControlType, &R::nControlType},
        {ItemField::DrawFocus, &R::nDrawFocus}};
    const bool bFile = attribute.kind == SkinKind::Image || attribute.kind == SkinKind::Cursor ||
                       attribute.kind == SkinKind::Icon;
    ItemSlot slot;
    for (const auto& [field, pText] : kTexts)
        if (field == attribute.field) {
            slot.kind = bFile ? ItemSlot::Kind::File : ItemSlot::Kind::Text;
            slot.pText = pText;
            return slot;
        }
    for (const auto& [field, pNumber] : kNumbers)
        if (field == attribute.field) {
            slot.kind = ItemSlot::Kind::Number;
            slot.pNumber = pNumber;
            return slot;
        }
    if (attribute.field == ItemField::ControlStyle)
        slot.kind = ItemSlot::Kind::Style;
    else if (attribute.field == ItemField::Pos)
        slot.kind = ItemSlot::Kind::Rect;
    return slot;
}

// The slot of every name of the schema, in the schema's order.
const std::vector<ItemSlot>& ItemSlots() {
    static const std::vector<ItemSlot> slots = [] {
        std::vector<ItemSlot> made;
        for (const SkinName& attribute : kItemAttributeNames)
            made.push_back(SlotFor(attribute));
        return made;
    }();
    return slots;
}

// Position of the "ID" in the schema.
size_t IdSlot() {
    size_t nSlot = 0;
    for (const SkinName& attribute : kItemAttributeNames) {
        if (attribute.field == ItemField::ID)
            return nSlot;
        ++nSlot;
    }
    return nSlot;
}

// The values of an item's element by schema position, null where the element
// does not give the name. Each name counts at most once (XML allows a name
// once); nNameHint is where the schema is searched first.
void ReadGivenValues(const DOMElement* pElement, size_t& nNameHint,
                     std::vector<const wchar_t*>& values) {
    std::fill(values.begin(), values.end(), nullptr);
    const xercesc::DOMNamedNodeMap* pAttributes = pElement->getAttributes();
    const XMLSize_t nCount = pAttributes ? pAttributes->getLength() : 0;
    for (XMLSize_t i = 0; i < nCount; ++i) {
        const xercesc::DOMNode* pAttribute = pAttributes->item(i);
        const SkinName* pName =
            kItemAttributeNames.FindFrom(W(pAttribute->getNodeName()), nNameHint);
        if (pName)
            values[static_cast<size_t>(pName - kItemAttributeNames.begin())] =
                AttributeValue(pAttribute);
    }
}

// Writes items' texts. Items of a skin repeat many values (a font, a colour,
// a cursor): an item whose text equals the one read last into the same field
// shares its characters instead of holding a copy of its own.
class CItemTextWriter {
public:
    explicit CItemTextWriter(const CString& strImagePrefix)
        : m_strImagePrefix(strImagePrefix), m_last(kItemAttributeNames.Size()) {}

    void Text(CString& strField, size_t nSlot, const wchar_t* pszValue) {
        CString& last = m_last[nSlot];
        if (wcscmp(last.GetString(), pszValue) != 0)
            last = pszValue;
        strField = last;
    }

    // The file's path below the skin's folder.
    void File(CString& strField, size_t nSlot, const wchar_t* pszValue) {
        CString& last = m_last[nSlot];
        if (last.IsEmpty() ||
            wcscmp(last.GetString() + m_strImagePrefix.GetLength(), pszValue) != 0)
            last = m_strImagePrefix + pszValue;
        strField = last;
    }

private:
    const CString& m_strImagePrefix;
    std::vector<CString> m_last; // by schema position
};

// The record as looking each name of the schema up in the element makes it;
// a missing attribute reads as an empty one.
void ApplyItemValues(_XmlDynamicItem& item, const std::vector<const wchar_t*>& values,
                     CItemTextWriter& texts) {
    const std::vector<ItemSlot>& slots = ItemSlots();
    for (size_t i = 0; i < slots.size(); ++i) {
        const ItemSlot& slot = slots[i];
        const wchar_t* pszValue = values[i];
        if (!pszValue || !*pszValue) {
            if (slot.kind == ItemSlot::Kind::Text)
                (item.*slot.pText).Empty();
            continue; // files, numbers and the rectangle keep their value
        }
        switch (slot.kind) {
        case ItemSlot::Kind::None:
            break;
        case ItemSlot::Kind::Text:
            texts.Text(item.*slot.pText, i, pszValue);
            break;
        case ItemSlot::Kind::File:
            texts.File(item.*slot.pText, i, pszValue);
            break;
        case ItemSlot::Kind::Number:
            ReadNumberInto(pszValue, item.*slot.pNumber);
            break;
        case ItemSlot::Kind::Style:
            ReadNumberInto(pszValue, item.nControlStyle);
            break;
        case ItemSlot::Kind::Rect:
            ReadRectInto(pszValue, item.rcPos);
            break;
        }
    }
}

// Whether the ID's upper case is the ASCII one: what every skin writes.
bool IsAscii(const wchar_t* pszText, size_t nLength) {
    return std::all_of(pszText, pszText + nLength, [](wchar_t ch) { return ch < 0x80; });
}

// The ID as the reader compares it, into key, whose room is kept from one
// ID to the next.
void IdKeyInto(const wchar_t* pszID, size_t nLength, std::wstring& key) {
    key.assign(pszID, nLength);
    if (key.empty())
        return;
    // The invariant upper case of ASCII text is its ASCII one, without a
    // call to the system for every item.
    if (IsAscii(pszID, nLength)) {
        for (wchar_t& ch : key)
            if (ch >= L'a' && ch <= L'z')
                ch = static_cast<wchar_t>(ch - L'a' + L'A');
        return;
    }
    // Upper-casing keeps the length of every UTF-16 string.
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, pszID, static_cast<int>(nLength), &key[0],
                  static_cast<int>(key.size()), nullptr, nullptr, 0);
}

// A position record's colour, as ReadSkinColor reads it; document text holds
// no zero character.
bool ReadColorInto(const wchar_t* pszValue, uint32_t& clrValue) {
    if (!*pszValue) {
        clrValue = 0xFFFFFFFFu;
        return true;
    }
    return ScanHex(pszValue, pszValue + wcslen(pszValue), clrValue);
}

} // namespace

bool ReadSkinRect(const CString& strValue, RECT& rcValue) {
    return ReadRectInto(strValue.GetString(), rcValue);
}

bool ReadSkinPair(const CString& strValue, POINT& ptValue) {
    int32_t numbers[2] = {0, 0};
    if (ReadSkinIntegers(strValue, numbers, 2).nRead == 0)
        return false;
    ptValue.x = numbers[0];
    ptValue.y = numbers[1];
    return true;
}

bool ReadSkinColor(const CString& strValue, uint32_t& clrValue) {
    if (strValue.IsEmpty()) {
        clrValue = 0xFFFFFFFFu;
        return true;
    }
    const wchar_t* begin = strValue.GetString();
    return ScanHex(begin, begin + strValue.GetLength(), clrValue);
}

std::wstring SkinIdKey(const CString& strID) {
    std::wstring key;
    IdKeyInto(strID.GetString(), static_cast<size_t>(strID.GetLength()), key);
    return key;
}

SkinSectionWalk WalkSkinSection(CXmlDocument& doc, DOMElement* pRoot, const CString& strSection) {
    SkinSectionWalk walk;
    CString path(strSection);
    EnsureTrailingBackslash(path);
    // Each segment followed by a backslash names a child of the element
    // reached so far; the empty rest after the final backslash ends the walk.
    DOMElement* element = pRoot;
    CString segment;
    for (int separator = GetTokenFrom(path, L"\\", segment, 0); separator >= 0;
         separator = GetTokenFrom(path, L"\\", segment, separator + 1)) {
        DOMElement* child = doc.FindChildElement(element, segment);
        if (!child) {
            walk.pStoppedAt = element;
            walk.strMissingStep = segment;
            return walk;
        }
        element = child;
    }
    walk.pSection = element;
    return walk;
}

CKvXMLParseBase::~CKvXMLParseBase() {
    m_mapPosInfo.clear();
    // Destroying the records deletes the controls the dialog left in them.
    m_arrDynamicItems.clear();
}

void CKvXMLParseBase::LoadSkin(const CString& strSkinFile, const CString& strSection,
                               const CString& strSection2, const CString& strSkinName) {
    // Copies: a caller may pass the reader's own strings, which reading changes.
    const CString skinDir = SkinDirectoryOf(strSkinFile);
    const CString section2 = strSection2;
    const CString skinName = strSkinName;
    CXmlDocument doc;
    DOMElement* root = nullptr;
    if (!doc.InitXML() || !doc.LoadXML(strSkinFile, root) || !root)
        return;
    // The array is public: the index is made from it anew for each load, and
    // kept in step with it while the load reads.
    RebuildItemIndex();
    ReadSkinSection(doc, root, strSection, skinName, skinDir);
    if (!section2.IsEmpty())
        ReadSkinSection(doc, root, section2, skinName, skinDir);
}

void CKvXMLParseBase::ReadSkinSection(CXmlDocument& doc, DOMElement* pRoot,
                                      const CString& strSection, const CString& strSkinName,
                                      const CString& strSkinDir) {
    m_strSkinName = strSkinName;
    if (DOMElement* section = WalkSkinSection(doc, pRoot, strSection).pSection)
        ReadSectionElement(doc, section, strSkinDir);
}

void CKvXMLParseBase::ReadSectionElement(CXmlDocument& doc, DOMElement* pSection,
                                         const CString& strSkinDir) {
    m_strSkinDir = strSkinDir;
    ReadWindowInfo(doc, pSection);
    ReadPosInfo(doc, pSection);
    if (DOMElement* dynamicInfo = doc.FindChildElement(pSection, SkinKey::DynamicInfo))
        ReadDynamicInfo(dynamicInfo);
}

void CKvXMLParseBase::ReadWindowInfo(CXmlDocument& doc, DOMElement* pSection) {
    DOMElement* windowInfo = doc.FindChildElement(pSection, SkinKey::WindowInfo);
    if (!windowInfo)
        return;
    for (DOMElement* entry = windowInfo->getFirstElementChild(); entry;
         entry = entry->getNextElementSibling())
        m_mapWindowInfo[Attribute(entry, SkinKey::ItemID)] = Attribute(entry, SkinKey::Data);
}

void CKvXMLParseBase::ReadPosInfo(CXmlDocument& doc, DOMElement* pSection) {
    DOMElement* posInfo = doc.FindChildElement(pSection, SkinKey::PosInfo);
    if (!posInfo)
        return;
    for (DOMElement* entry = posInfo->getFirstElementChild(); entry;
         entry = entry->getNextElementSibling()) {
        auto record = std::make_unique<PosInfoRecord>();
        record->strItemID = Attribute(entry, SkinKey::ItemID);
        ReadColorInto(Attribute(entry, SkinKey::Color), record->clrColor);
        ReadRectInto(Attribute(entry, SkinKey::Pos), record->rcPos);
        CString key = record->strItemID;
        m_mapPosInfo[key] = std::move(record);
    }
}

void CKvXMLParseBase::ReadDynamicInfo(DOMElement* pDynamicInfo) {
    // Room for every element at once rather than growth by growth.
    const size_t nElements = pDynamicInfo->getChildElementCount();
    m_arrDynamicItems.reserve(m_arrDynamicItems.size() + nElements);
    m_mapItemIndex.reserve(m_mapItemIndex.size() + nElements);
    const CString strImagePrefix = ImagePath(CString());
    CItemTextWriter texts(strImagePrefix);
    std::vector<const wchar_t*> values(kItemAttributeNames.Size());
    const size_t nIdSlot = IdSlot();
    std::wstring key;
    size_t nNameHint = 0;
    for (DOMElement* entry = pDynamicInfo->getFirstElementChild(); entry;
         entry = entry->getNextElementSibling()) {
        ReadGivenValues(entry, nNameHint, values);
        const wchar_t* pszID = values[nIdSlot] ? values[nIdSlot] : L"";
        IdKeyInto(pszID, wcslen(pszID), key);
        ApplyItemValues(FindOrAppendItem(key), values, texts);
    }
}

_XmlDynamicItem& CKvXMLParseBase::FindOrAppendItem(const std::wstring& key) {
    auto found = m_mapItemIndex.find(key);
    if (found != m_mapItemIndex.end())
        return m_arrDynamicItems[found->second];
    m_arrDynamicItems.emplace_back();
    m_mapItemIndex.emplace(key, m_arrDynamicItems.size() - 1);
    return m_arrDynamicItems.back();
}

void CKvXMLParseBase::RebuildItemIndex() {
    m_mapItemIndex.clear();
    m_mapItemIndex.reserve(m_arrDynamicItems.size());
    for (size_t i = 0; i < m_arrDynamicItems.size(); ++i)
        m_mapItemIndex.emplace(SkinIdKey(m_arrDynamicItems[i].strID), i);
}

CString CKvXMLParseBase::ImagePath(const CString& strName) const {
    return m_strSkinDir + m_strSkinName + L"\\" + strName;
}

void CKvXMLParseBase::GetWindowInfo(const CString& strKey, CString& strValue, BOOL bPathForm) {
    auto found = m_mapWindowInfo.find(strKey);
    CString value = found == m_mapWindowInfo.end() ? CString() : found->second;
    if (bPathForm && !value.IsEmpty())
        value = ImagePath(value);
    strValue = value;
}

BOOL CKvXMLParseBase::GetWindowInfoInt(const CString& strKey, int& nValue) {
    nValue = 0;
    auto found = m_mapWindowInfo.find(strKey);
    if (found == m_mapWindowInfo.end())
        return FALSE;
    return ParseNumber(found->second, nValue);
}

void CKvXMLParseBase::GetWindowInfoPoint(const CString& strKey, POINT& ptValue) {
    ptValue = POINT{0, 0};
    auto found = m_mapWindowInfo.find(strKey);
    if (found != m_mapWindowInfo.end())
        ReadSkinPair(found->second, ptValue);
}

void CKvXMLParseBase::GetWindowInfoRect(const CString& strKey, RECT& rcValue) {
    rcValue = RECT{0, 0, 0, 0};
    auto found = m_mapWindowInfo.find(strKey);
    if (found != m_mapWindowInfo.end())
        ReadSkinRect(found->second, rcValue);
}
