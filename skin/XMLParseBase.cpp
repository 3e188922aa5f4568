#include "skin/XMLParseBase.h"

#include "runtime/StringHelpers.h"
#include "skin/SkinSchema.h"
#include "skin/SkinValue.h"
#include "xml/XmlDocument.h"

#include <functional>
#include <utility>

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
template <class Field> void ReadNumberInto(const CString& strValue, Field& field) {
    int value = static_cast<int>(field);
    ParseNumber(strValue, value);
    field = static_cast<Field>(value);
}

// What one attribute of a dynamic item's element does to its record. Text is
// taken as it is (emptied when missing); an image keeps the earlier path when
// none is given; numbers and the rectangle keep their value when nothing can
// be read.
void ReadItemAttribute(_XmlDynamicItem& item, const SkinName& attribute, const CString& strValue,
                       const std::function<CString(const CString&)>& imagePath) {
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
            if (!bFile)
                item.*pText = strValue;
            else if (!strValue.IsEmpty())
                item.*pText = imagePath(strValue);
            return;
        }
    for (const auto& [field, pNumber] : kNumbers)
        if (field == attribute.field)
            ReadNumberInto(strValue, item.*pNumber);
    if (attribute.field == ItemField::ControlStyle)
        ReadNumberInto(strValue, item.nControlStyle);
    else if (attribute.field == ItemField::Pos)
        ReadSkinRect(strValue, item.rcPos);
}

} // namespace

bool ReadSkinRect(const CString& strValue, RECT& rcValue) {
    int32_t numbers[4] = {0, 0, 0, 0};
    if (ReadSkinIntegers(strValue, numbers, 4).nRead == 0)
        return false;
    rcValue.left = numbers[0];
    rcValue.top = numbers[1];
    rcValue.right = WrappingSum(numbers[0], numbers[2]);
    rcValue.bottom = WrappingSum(numbers[1], numbers[3]);
    return true;
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
        ReadDynamicInfo(doc, dynamicInfo);
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

void CKvXMLParseBase::ReadDynamicInfo(CXmlDocument& doc, DOMElement* pDynamicInfo) {
    RebuildItemIndex();
    for (DOMElement* entry = pDynamicInfo->getFirstElementChild(); entry;
         entry = entry->getNextElementSibling())
        ReadDynamicItem(doc, entry);
}

void CKvXMLParseBase::ReadDynamicItem(CXmlDocument& doc, DOMElement* pElement) {
    _XmlDynamicItem& item = FindOrAppendItem(Attribute(doc, pElement, SkinKey::ID));
    const auto imagePath = [this](const CString& strName) { return ImagePath(strName); };
    for (const SkinName& attribute : kItemAttributeNames)
        ReadItemAttribute(item, attribute, Attribute(doc, pElement, attribute.pszName), imagePath);
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
    // The array is public: rebuild rather than trust an index from before.
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
