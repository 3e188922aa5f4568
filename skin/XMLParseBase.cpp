#include "skin/XMLParseBase.h"

#include "runtime/StringHelpers.h"
#include "skin/SkinSchema.h"
#include "skin/SkinValue.h"
#include "xml/XmlDocument.h"

#include <algorithm>
#include <utility>
#include <vector>

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

CString Attribute(CXmlDocument& doc, DOMElement* pElement, LPCWSTR pszName) {
    CString value;
    doc.GetAttributeValue(pElement, pszName, value);
    return value;
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

// XMLCh and wchar_t are both UTF-16 code units on Windows.
const wchar_t* W(const XMLCh* psz) {
    return reinterpret_cast<const wchar_t*>(psz);
}

// What one attribute of a dynamic item's element does to its record. Text is
// taken as it is (emptied when missing); an image keeps the earlier path when
// none is given; numbers and the rectangle keep their value when nothing can
// be read. A missing attribute reads as an empty one.
void ReadItemAttribute(_XmlDynamicItem& item, const SkinName& attribute, const wchar_t* pszValue,
                       const CString& strImagePrefix) {
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
    for (const auto& [field, pText] : kTexts)
        if (field == attribute.field) {
            if (!*pszValue) {
                if (!bFile)
                    (item.*pText).Empty();
            } else {
                item.*pText = bFile ? strImagePrefix + pszValue : CString(pszValue);
            }
            return;
        }
    if (!*pszValue)
        return; // numbers and the rectangle keep their value
    for (const auto& [field, pNumber] : kNumbers)
        if (field == attribute.field)
            ReadNumberInto(pszValue, item.*pNumber);
    if (attribute.field == ItemField::ControlStyle)
        ReadNumberInto(pszValue, item.nControlStyle);
    else if (attribute.field == ItemField::Pos)
        ReadRectInto(pszValue, item.rcPos);
}

// The attributes of an item's element that the schema knows, with their
// values as the document holds them.
using GivenAttributes = std::vector<std::pair<const SkinName*, const wchar_t*>>;

// One pass over the element's attributes into given, each schema name at
// most once (XML allows a name once); nNameHint is where the schema is
// searched first. Returns the "ID", empty when missing.
const wchar_t* ReadGivenAttributes(const DOMElement* pElement, size_t& nNameHint,
                                   GivenAttributes& given) {
    given.clear();
    const wchar_t* pszID = L"";
    const xercesc::DOMNamedNodeMap* pAttributes = pElement->getAttributes();
    const XMLSize_t nCount = pAttributes ? pAttributes->getLength() : 0;
    for (XMLSize_t i = 0; i < nCount; ++i) {
        const xercesc::DOMNode* pAttribute = pAttributes->item(i);
        const SkinName* pName =
            kItemAttributeNames.FindFrom(W(pAttribute->getNodeName()), nNameHint);
        if (!pName)
            continue;
        given.emplace_back(pName, W(pAttribute->getNodeValue()));
        if (pName->field == ItemField::ID)
            pszID = given.back().second;
    }
    return pszID;
}

// Every attribute as missing first, then those given: the same record as
// looking each name of the schema up in the element.
void ApplyItemAttributes(_XmlDynamicItem& item, const GivenAttributes& given,
                         const CString& strImagePrefix) {
    for (const SkinName& attribute : kItemAttributeNames)
        ReadItemAttribute(item, attribute, L"", strImagePrefix);
    for (const auto& [pName, pszValue] : given)
        ReadItemAttribute(item, *pName, pszValue, strImagePrefix);
}

// Whether the ID's upper case is the ASCII one: what every skin writes.
bool IsAscii(const CString& strText) {
    const wchar_t* p = strText.GetString();
    return std::all_of(p, p + strText.GetLength(), [](wchar_t ch) { return ch < 0x80; });
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
    std::wstring key(strID.GetString(), static_cast<size_t>(strID.GetLength()));
    if (key.empty())
        return key;
    // The invariant upper case of ASCII text is its ASCII one, without a
    // call to the system for every item.
    if (IsAscii(strID)) {
        for (wchar_t& ch : key)
            if (ch >= L'a' && ch <= L'z')
                ch = static_cast<wchar_t>(ch - L'a' + L'A');
        return key;
    }
    // Upper-casing keeps the length of every UTF-16 string.
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, strID.GetString(), strID.GetLength(),
                  &key[0], static_cast<int>(key.size()), nullptr, nullptr, 0);
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
        m_mapWindowInfo[Attribute(doc, entry, SkinKey::ItemID)] =
            Attribute(doc, entry, SkinKey::Data);
}

void CKvXMLParseBase::ReadPosInfo(CXmlDocument& doc, DOMElement* pSection) {
    DOMElement* posInfo = doc.FindChildElement(pSection, SkinKey::PosInfo);
    if (!posInfo)
        return;
    for (DOMElement* entry = posInfo->getFirstElementChild(); entry;
         entry = entry->getNextElementSibling()) {
        auto record = std::make_unique<PosInfoRecord>();
        record->strItemID = Attribute(doc, entry, SkinKey::ItemID);
        ReadSkinColor(Attribute(doc, entry, SkinKey::Color), record->clrColor);
        ReadSkinRect(Attribute(doc, entry, SkinKey::Pos), record->rcPos);
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
    GivenAttributes given;
    given.reserve(kItemAttributeNames.Size());
    size_t nNameHint = 0;
    for (DOMElement* entry = pDynamicInfo->getFirstElementChild(); entry;
         entry = entry->getNextElementSibling()) {
        const wchar_t* pszID = ReadGivenAttributes(entry, nNameHint, given);
        ApplyItemAttributes(FindOrAppendItem(pszID), given, strImagePrefix);
    }
}

_XmlDynamicItem& CKvXMLParseBase::FindOrAppendItem(const CString& strID) {
    std::wstring key = SkinIdKey(strID);
    auto found = m_mapItemIndex.find(key);
    if (found != m_mapItemIndex.end())
        return m_arrDynamicItems[found->second];
    m_arrDynamicItems.emplace_back();
    m_mapItemIndex.emplace(std::move(key), m_arrDynamicItems.size() - 1);
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
