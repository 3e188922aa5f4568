#include "tools/common/SkinLint.h"

#include "runtime/StringHelpers.h"
#include "skin/AccessModel.h"
#include "skin/ControlLayout.h"
#include "skin/DialogLayout.h"
#include "skin/DisplayScale.h"
#include "skin/ImageLimits.h"
#include "skin/ScaledImage.h"
#include "skin/SkinSchema.h"
#include "skin/SkinValue.h"
#include "skin/XMLParseBase.h"
#include "tools/common/Utf8.h"
#include "tools/common/SkinLintRules.h"
#include "tools/common/SkinResources.h"
#include "xml/XmlDocument.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

using xercesc::DOMElement;

namespace {

CString Quoted(const CString& strText) {
    return L"\"" + strText + L"\"";
}

const wchar_t* TagName(const DOMElement* pElement) {
    return reinterpret_cast<const wchar_t*>(pElement->getTagName());
}

CString ItemName(const CString& strID) {
    return strID.IsEmpty() ? CString(L"item without ID") : L"item " + Quoted(strID);
}

// Collects diagnostics at elements and runs the value checks that every
// part of a section shares; each check reports at the element that carries
// the value and returns what the toolkit makes of it.
class CLintContext {
public:
    CLintContext(const CPositionedDocument& doc, CSkinResources& resources,
                 const CString& strImageFolder, int nScalePercent)
        : m_doc(doc), m_resources(resources), m_strImageFolder(strImageFolder),
          m_nScalePercent(nScalePercent) {}

    void Report(const DOMElement* pElement, LintSeverity severity, const CString& strMessage) {
        m_diagnostics.push_back(LintDiagnostic{m_doc.PositionOf(pElement), severity, strMessage});
    }
    SourcePos PositionOf(const DOMElement* pElement) const { return m_doc.PositionOf(pElement); }
    std::vector<LintDiagnostic>& Diagnostics() { return m_diagnostics; }

    // pszUnreadable says what the reader makes of a value it cannot read.
    NumberReading CheckNumber(const DOMElement* pElement, const CString& strLabel,
                              const CString& strValue, const wchar_t* pszUnreadable);
    void CheckIntegerForm(const DOMElement* pElement, const SkinName& name, const CString& strValue,
                          int nCount, const wchar_t* pszShape);
    void CheckColourList(const DOMElement* pElement, const CString& strValue);
    void CheckFormatList(const DOMElement* pElement, const CString& strValue);
    const SkinFileProbe* CheckFile(const DOMElement* pElement, const CString& strLabel,
                                   const CString& strValue, SkinFileKind kind);
    void CheckFace(const DOMElement* pElement, const CString& strLabel, const CString& strFace);
    // An image that loads and is resampled at the display scale linted for.
    void CheckScaledImage(const DOMElement* pElement, const CString& strLabel,
                          const CString& strValue);
    // Every attribute that the table does not hold is one the reader never
    // reads: a warning, with the name it was probably meant to be.
    void CheckAttributeNames(const DOMElement* pElement, const SkinNameTable& names,
                             const CString& strOwner);
    // A name that the reader does not read may still be the host's own (a
    // window entry, a child of a section); only one near a name of the table
    // is taken for a misspelling, and returned.
    const SkinName* CheckNearName(const DOMElement* pElement, const SkinNameTable& names,
                                  const CString& strName, const CString& strWhat);
    // The check of the value's kind, as the reader reads that kind.
    void CheckValue(const DOMElement* pElement, const SkinName& name, const CString& strValue);

private:
    const CPositionedDocument& m_doc;
    CSkinResources& m_resources;
    CString m_strImageFolder; // skin directory + skin name + "\"
    int m_nScalePercent;
    std::vector<LintDiagnostic> m_diagnostics;
};

NumberReading CLintContext::CheckNumber(const DOMElement* pElement, const CString& strLabel,
                                        const CString& strValue, const wchar_t* pszUnreadable) {
    NumberReading reading = ReadSkinNumber(strValue);
    CString message;
    if (reading.form == ValueForm::Partial) {
        message.Format(L"%s %s is read as %d; the rest is ignored", strLabel, Quoted(strValue),
                       reading.nValue);
        Report(pElement, LintSeverity::Warning, message);
    } else if (reading.form == ValueForm::Unreadable) {
        message.Format(L"%s %s is not a number; %s", strLabel, Quoted(strValue),
                       pszUnreadable ? pszUnreadable : L"it is ignored");
        Report(pElement, LintSeverity::Error, message);
    }
    return reading;
}

void CLintContext::CheckIntegerForm(const DOMElement* pElement, const SkinName& name,
                                    const CString& strValue, int nCount, const wchar_t* pszShape) {
    int32_t values[4] = {0, 0, 0, 0};
    const ValueForm form = ReadSkinIntegers(strValue, values, nCount).form;
    CString message;
    if (form == ValueForm::Partial) {
        message.Format(L"%s %s is read only in part; write %s", name.pszName, Quoted(strValue),
                       pszShape);
        Report(pElement, LintSeverity::Warning, message);
    } else if (form == ValueForm::Unreadable) {
        message.Format(L"%s %s cannot be read; %s (write %s)", name.pszName, Quoted(strValue),
                       name.pszUnreadable ? name.pszUnreadable : L"it is ignored", pszShape);
        Report(pElement, LintSeverity::Error, message);
    }
}

void CLintContext::CheckColourList(const DOMElement* pElement, const CString& strValue) {
    std::vector<CString> tokens = SkinListTokens(strValue);
    CString message;
    if (tokens.size() > 2) {
        message.Format(L"FontColor %s has %d colours; only the first two are used",
                       Quoted(strValue), static_cast<int>(tokens.size()));
        Report(pElement, LintSeverity::Warning, message);
    }
    static const wchar_t* const kRoles[] = {L"text colour", L"disabled text colour"};
    static const wchar_t* const kUnreadable[] = {
        L"read as 0: fully transparent, the text will not show",
        L"read as 0: fully transparent, the text will not show when disabled"};
    for (size_t i = 0; i < tokens.size() && i < 2; ++i) {
        if (i == 1 && tokens[i].IsEmpty())
            continue; // the text colour serves for both
        NumberReading colour =
            CheckNumber(pElement, CString(L"FontColor ") + kRoles[i], tokens[i], kUnreadable[i]);
        // A colour without its alpha byte (0xFF0000 for red) is invisible.
        if (colour.form != ValueForm::Unreadable && (colour.nValue & 0xFF000000) == 0) {
            message.Format(L"FontColor %s 0x%08X has alpha 0: the text is invisible "
                           L"(write 0xAARRGGBB)",
                           kRoles[i], static_cast<uint32_t>(colour.nValue));
            Report(pElement, LintSeverity::Warning, message);
        }
    }
}

void CLintContext::CheckFormatList(const DOMElement* pElement, const CString& strValue) {
    std::vector<CString> tokens = SkinListTokens(strValue);
    CString message;
    if (tokens.size() > 4) {
        message.Format(L"FontFormat %s has %d values; only the first four are used",
                       Quoted(strValue), static_cast<int>(tokens.size()));
        Report(pElement, LintSeverity::Warning, message);
    }
    for (size_t i = 0; i < tokens.size() && i < 4; ++i) {
        const FontFormatToken& rule = kFontFormatTokens[i];
        CString unreadable;
        unreadable.Format(L"ignored: the default %d stays", rule.nDefault);
        NumberReading value =
            CheckNumber(pElement, CString(L"FontFormat ") + rule.pszName, tokens[i], unreadable);
        bool read = value.form == ValueForm::Whole || value.form == ValueForm::Partial;
        if (read && (value.nValue < rule.nMin || value.nValue > rule.nMax)) {
            message.Format(L"FontFormat %s %d is outside %d to %d, the values GDI+ defines",
                           rule.pszName, value.nValue, rule.nMin, rule.nMax);
            Report(pElement, LintSeverity::Error, message);
        }
    }
}

const SkinFileProbe* CLintContext::CheckFile(const DOMElement* pElement, const CString& strLabel,
                                             const CString& strValue, SkinFileKind kind) {
    if (strValue.IsEmpty())
        return nullptr;
    CString path = m_strImageFolder + strValue;
    const SkinFileProbe& probe = m_resources.ProbeFile(path, kind);
    static const wchar_t* const kLoaders[] = {L"GDI+ cannot read it as an image",
                                              L"LoadImage cannot read it as a cursor",
                                              L"LoadImage cannot read it as an icon"};
    CString message;
    if (!probe.bExists)
        message.Format(L"%s %s: no such file %s", strLabel, Quoted(strValue), path);
    else if (probe.bTooLarge)
        message.Format(L"%s %s: the file declares a picture larger than the toolkit decodes "
                       L"(%d pixels a side, %d in all, or more than its size explains); it "
                       L"is treated as unreadable (%s)",
                       strLabel, Quoted(strValue), static_cast<int>(KvImageLimits::kMaxSide),
                       static_cast<int>(KvImageLimits::kMaxPixels), path);
    else if (probe.bHeaderUnreadable)
        message.Format(L"%s %s: its image header cannot be read, so the size it declares is "
                       L"unknown; it is treated as unreadable (%s)",
                       strLabel, Quoted(strValue), path);
    else if (!probe.bLoads)
        message.Format(L"%s %s: %s (%s)", strLabel, Quoted(strValue),
                       kLoaders[static_cast<int>(kind)], path);
    if (!message.IsEmpty()) {
        Report(pElement, LintSeverity::Error, message);
        return nullptr;
    }
    if (kind == SkinFileKind::Image)
        CheckScaledImage(pElement, strLabel, strValue);
    return &probe;
}

void CLintContext::CheckScaledImage(const DOMElement* pElement, const CString& strLabel,
                                    const CString& strValue) {
    if (m_nScalePercent == 100)
        return;
    const ImageSource source =
        ImageSourceAt(m_strImageFolder + strValue, KvScale::DpiOfPercent(m_nScalePercent));
    if (!source.bResample)
        return;
    CString message;
    if (source.nPercent == 100)
        message.Format(L"%s %s is scaled to %d%% from the base image: no variant %s is drawn "
                       L"for it",
                       strLabel, Quoted(strValue), m_nScalePercent,
                       Quoted(ImageVariantPath(strValue, m_nScalePercent)));
    else
        message.Format(L"%s %s is scaled to %d%% from its variant %s", strLabel, Quoted(strValue),
                       m_nScalePercent, Quoted(ImageVariantPath(strValue, source.nPercent)));
    Report(pElement, LintSeverity::Warning, message);
}

void CLintContext::CheckFace(const DOMElement* pElement, const CString& strLabel,
                             const CString& strFace) {
    if (strFace.IsEmpty() || m_resources.FontFamilyExists(strFace))
        return;
    CString message;
    message.Format(L"%s %s: GDI+ cannot find this font family; text in it is not drawn", strLabel,
                   Quoted(strFace));
    Report(pElement, LintSeverity::Error, message);
}

// The name a misspelt one was probably meant to be, as the end of a message.
CString Suggestion(const SkinName* pName) {
    return pName ? CString(L"; did you mean ") + pName->pszName + L"?" : CString();
}

void CLintContext::CheckAttributeNames(const DOMElement* pElement, const SkinNameTable& names,
                                       const CString& strOwner) {
    const xercesc::DOMNamedNodeMap* pAttributes = pElement->getAttributes();
    for (XMLSize_t i = 0; pAttributes && i < pAttributes->getLength(); ++i) {
        const CString name = reinterpret_cast<const wchar_t*>(pAttributes->item(i)->getNodeName());
        if (names.Find(name))
            continue;
        const int nMaxEdits = std::max(1, name.GetLength() / 3);
        Report(pElement, LintSeverity::Warning,
               strOwner + L": attribute " + Quoted(name) +
                   L" is not one the toolkit reads, so it is ignored" +
                   Suggestion(NearestSkinName(names, name, nMaxEdits)));
    }
}

const SkinName* CLintContext::CheckNearName(const DOMElement* pElement, const SkinNameTable& names,
                                            const CString& strName, const CString& strWhat) {
    if (names.Find(strName))
        return nullptr;
    const SkinName* pNear = NearestSkinName(names, strName, std::max(1, strName.GetLength() / 4));
    if (pNear)
        Report(pElement, LintSeverity::Warning,
               strWhat + L" " + Quoted(strName) + L" is not one the toolkit reads" +
                   Suggestion(pNear));
    return pNear;
}

void CLintContext::CheckValue(const DOMElement* pElement, const SkinName& name,
                              const CString& strValue) {
    switch (name.kind) {
    case SkinKind::Number:
        CheckNumber(pElement, name.pszName, strValue, name.pszUnreadable);
        break;
    case SkinKind::Decimal:
        CheckIntegerForm(pElement, name, strValue, 1, L"a decimal number");
        break;
    case SkinKind::Pair:
        CheckIntegerForm(pElement, name, strValue, 2, L"x,y");
        break;
    case SkinKind::Rect:
        CheckIntegerForm(pElement, name, strValue, 4, L"x,y,width,height");
        break;
    case SkinKind::ColourList:
        CheckColourList(pElement, strValue);
        break;
    case SkinKind::FormatList:
        CheckFormatList(pElement, strValue);
        break;
    case SkinKind::Face:
        CheckFace(pElement, name.pszName, strValue);
        break;
    case SkinKind::Image:
        CheckFile(pElement, name.pszName, strValue, SkinFileKind::Image);
        break;
    case SkinKind::Cursor:
        CheckFile(pElement, name.pszName, strValue, SkinFileKind::Cursor);
        break;
    case SkinKind::Icon:
        CheckFile(pElement, name.pszName, strValue, SkinFileKind::Icon);
        break;
    case SkinKind::Text:
    case SkinKind::HexColour:
        break;
    }
}

// What the section's window entries give its items and its layout.
struct WindowDefaults {
    POINT ptSheet = {0, 0}; // (0, 0) when missing or unusable
    CString strFontName;
    const DOMElement* pFontNameTypo = nullptr; // an entry that misspells "FontName"
};

class CSectionLinter {
public:
    CSectionLinter(CLintContext& context, CXmlDocument& xml) : m_ctx(context), m_xml(xml) {}
    void Lint(DOMElement* pSection);

private:
    void LintParts(DOMElement* pSection);
    CString Attribute(DOMElement* pElement, LPCWSTR pszName) {
        CString value;
        m_xml.GetAttributeValue(pElement, pszName, value);
        return value;
    }
    WindowDefaults LintWindowInfo(DOMElement* pSection);
    void LintWindowEntry(DOMElement* pEntry, const CString& strKey, const CString& strValue);
    POINT LintSheetSize(DOMElement* pSection, DOMElement* pWindowInfo, DOMElement* pEntry,
                        const CString& strValue);
    void LintItems(DOMElement* pDynamicInfo, const WindowDefaults& window);
    void LintItem(DOMElement* pItem, const WindowDefaults& window);
    void LintItemGeometry(DOMElement* pItem, const CString& strName, const POINT& ptSheet);
    void LintItemFiles(DOMElement* pItem, ItemKind kind);
    void LintItemText(DOMElement* pItem, const CString& strName, const WindowDefaults& window);
    // An item that acts needs a name for screen readers: its text or its tooltip.
    void LintItemSpeech(DOMElement* pItem, const CString& strName, ItemKind kind);

    CLintContext& m_ctx;
    CXmlDocument& m_xml;
};

void CSectionLinter::Lint(DOMElement* pSection) {
    LintParts(pSection);
    WindowDefaults window = LintWindowInfo(pSection);
    if (DOMElement* posInfo = m_xml.FindChildElement(pSection, SkinKey::PosInfo))
        for (DOMElement* record = posInfo->getFirstElementChild(); record;
             record = record->getNextElementSibling())
            m_ctx.CheckAttributeNames(record, kPosAttributeNames,
                                      L"position record " +
                                          Quoted(Attribute(record, SkinKey::ItemID)));
    if (DOMElement* dynamicInfo = m_xml.FindChildElement(pSection, SkinKey::DynamicInfo))
        LintItems(dynamicInfo, window);
}

void CSectionLinter::LintParts(DOMElement* pSection) {
    for (DOMElement* child = pSection->getFirstElementChild(); child;
         child = child->getNextElementSibling()) {
        const wchar_t* pszName = TagName(child);
        // Parts are found without regard to case, as the reader finds them.
        const bool bPart =
            std::any_of(kSectionPartNames.begin(), kSectionPartNames.end(),
                        [&](const SkinName& part) { return _wcsicmp(part.pszName, pszName) == 0; });
        if (!bPart)
            m_ctx.CheckNearName(child, kSectionPartNames, pszName, L"element");
    }
}

WindowDefaults CSectionLinter::LintWindowInfo(DOMElement* pSection) {
    WindowDefaults window;
    DOMElement* windowInfo = m_xml.FindChildElement(pSection, SkinKey::WindowInfo);
    // As the reader does: a later entry with the same key replaces the earlier.
    std::map<CString, DOMElement*, SkinKeyLess> entries;
    for (DOMElement* entry = windowInfo ? windowInfo->getFirstElementChild() : nullptr; entry;
         entry = entry->getNextElementSibling()) {
        const CString key = Attribute(entry, SkinKey::ItemID);
        m_ctx.CheckAttributeNames(entry, kWindowEntryAttributeNames,
                                  L"window entry " + Quoted(key));
        const SkinName* pMeant =
            m_ctx.CheckNearName(entry, kWindowEntryNames, key, L"window entry");
        if (pMeant && wcscmp(pMeant->pszName, SkinKey::FontName) == 0)
            window.pFontNameTypo = entry;
        entries[key] = entry;
    }
    for (const auto& [key, entry] : entries)
        LintWindowEntry(entry, key, Attribute(entry, SkinKey::Data));

    auto sheet = entries.find(SkinKey::SheetSize);
    DOMElement* sheetEntry = sheet == entries.end() ? nullptr : sheet->second;
    window.ptSheet = LintSheetSize(pSection, windowInfo, sheetEntry,
                                   sheetEntry ? Attribute(sheetEntry, SkinKey::Data) : CString());
    auto layered = entries.find(SkinKey::IsLayerWnd);
    if (layered != entries.end() &&
        ReadSkinNumber(Attribute(layered->second, SkinKey::Data)).nValue != 0 &&
        entries.find(SkinKey::AlpahValue) == entries.end())
        m_ctx.Report(layered->second, LintSeverity::Warning,
                     L"a layered window without \"AlpahValue\" is shown opaque");
    auto face = entries.find(SkinKey::FontName);
    if (face != entries.end())
        window.strFontName = Attribute(face->second, SkinKey::Data);
    return window;
}

void CSectionLinter::LintWindowEntry(DOMElement* pEntry, const CString& strKey,
                                     const CString& strValue) {
    const SkinName* pName = kWindowEntryNames.Find(strKey);
    // The sheet size has checks of its own; unknown keys are the demo's texts and the like.
    if (pName && strKey != SkinKey::SheetSize)
        m_ctx.CheckValue(pEntry, *pName, strValue);
}

POINT CSectionLinter::LintSheetSize(DOMElement* pSection, DOMElement* pWindowInfo,
                                    DOMElement* pEntry, const CString& strValue) {
    POINT sheet = {0, 0};
    CString compact(strValue);
    compact.Remove(L' ');
    if (compact.IsEmpty()) {
        m_ctx.Report(pEntry        ? pEntry
                     : pWindowInfo ? pWindowInfo
                                   : pSection,
                     LintSeverity::Error, L"no \"SheetSize\" window entry: the window is 0 x 0");
        return sheet;
    }
    m_ctx.CheckIntegerForm(pEntry, *kWindowEntryNames.Find(SkinKey::SheetSize), strValue, 2,
                           L"width,height");
    ReadSkinPair(strValue, sheet);
    if (sheet.x <= 0 || sheet.y <= 0) {
        CString message;
        message.Format(L"SheetSize %s is empty: the window is %d x %d", Quoted(strValue), sheet.x,
                       sheet.y);
        m_ctx.Report(pEntry, LintSeverity::Error, message);
        return POINT{0, 0};
    }
    if (!SheetFitsSection(sheet.x, sheet.y)) {
        CString message;
        message.Format(L"SheetSize %s is larger than %d per side: the dialog refuses it",
                       Quoted(strValue), kMaxSheetSide);
        m_ctx.Report(pEntry, LintSeverity::Error, message);
        return POINT{0, 0};
    }
    return sheet;
}

void CSectionLinter::LintItems(DOMElement* pDynamicInfo, const WindowDefaults& window) {
    // IDs as the reader compares them, and where each was first given.
    std::unordered_map<std::wstring, DOMElement*> firstById;
    for (DOMElement* item = pDynamicInfo->getFirstElementChild(); item;
         item = item->getNextElementSibling()) {
        CString id = Attribute(item, SkinKey::ID);
        m_ctx.CheckAttributeNames(item, kItemAttributeNames, ItemName(id));
        auto [first, added] = firstById.emplace(SkinIdKey(id), item);
        if (!added) {
            CString message;
            message.Format(L"%s repeats the ID of the item at line %d (IDs compare without case): "
                           L"it updates that item instead of adding one",
                           ItemName(id), m_ctx.PositionOf(first->second).nLine);
            m_ctx.Report(item, LintSeverity::Error, message);
        }
        LintItem(item, window);
    }
}

void CSectionLinter::LintItem(DOMElement* pItem, const WindowDefaults& window) {
    CString id = Attribute(pItem, SkinKey::ID);
    auto checkNumber = [&](const wchar_t* pszName) {
        return m_ctx.CheckNumber(pItem, pszName, Attribute(pItem, pszName),
                                 kItemAttributeNames.Find(pszName)->pszUnreadable);
    };
    NumberReading type = checkNumber(SkinKey::ControlType);
    NumberReading style = checkNumber(SkinKey::ControlStyle);
    // The values every item reads; its rectangle, files and font only matter
    // to an item that makes something.
    for (const SkinName& attribute : kItemAttributeNames)
        if (attribute.kind == SkinKind::Number || attribute.kind == SkinKind::ColourList ||
            attribute.kind == SkinKind::FormatList)
            if (attribute.field != ItemField::ControlType &&
                attribute.field != ItemField::ControlStyle)
                m_ctx.CheckValue(pItem, attribute, Attribute(pItem, attribute.pszName));

    const ItemKind kind = ItemKindOf(type.nValue, static_cast<uint32_t>(style.nValue));
    if (kind == ItemKind::None) {
        if (type.form == ValueForm::Unreadable)
            return; // already reported, and read as 0
        CString message;
        message.Format(L"%s: ControlType %d makes nothing (1 label, 2 button or windowless item, "
                       L"4 shaped button)",
                       ItemName(id), type.nValue);
        m_ctx.Report(pItem, LintSeverity::Warning, message);
        return; // its geometry, files and font are never used
    }
    LintItemGeometry(pItem, ItemName(id), window.ptSheet);
    LintItemFiles(pItem, kind);
    LintItemText(pItem, ItemName(id), window);
    LintItemSpeech(pItem, ItemName(id), kind);
}

void CSectionLinter::LintItemSpeech(DOMElement* pItem, const CString& strName, ItemKind kind) {
    if (!KvAccess::Acts(kind))
        return;
    // Named as the dialogs name it: its text as shown, else its tooltip.
    const KvAccess::ItemSpeech speech = KvAccess::SpeechOf(
        Attribute(pItem, SkinKey::Name), Attribute(pItem, SkinKey::ToolTip), true);
    if (speech.strName.IsEmpty())
        m_ctx.Report(pItem, LintSeverity::Warning,
                     strName + L" acts but has neither text nor tooltip: a screen reader has no "
                               L"name to say for it (give it a \"ToolTip\")");
}

void CSectionLinter::LintItemGeometry(DOMElement* pItem, const CString& strName,
                                      const POINT& ptSheet) {
    CString pos = Attribute(pItem, SkinKey::Pos);
    m_ctx.CheckValue(pItem, *kItemAttributeNames.Find(SkinKey::Pos), pos);
    RECT rc = {0, 0, 0, 0};
    ReadSkinRect(pos, rc);
    CString message;
    if (rc.right <= rc.left || rc.bottom <= rc.top) {
        message.Format(L"%s has an empty rectangle (Pos %s): it cannot be seen or clicked", strName,
                       Quoted(pos));
        m_ctx.Report(pItem, LintSeverity::Error, message);
        return;
    }
    if (ptSheet.x <= 0)
        return;
    SheetFit fit = FitOnSheet(rc, ptSheet);
    if (fit == SheetFit::Inside)
        return;
    message.Format(L"%s (Pos %s) lies %s the sheet of %d x %d", strName, Quoted(pos),
                   fit == SheetFit::Outside ? L"wholly outside" : L"partly outside", ptSheet.x,
                   ptSheet.y);
    m_ctx.Report(pItem, fit == SheetFit::Outside ? LintSeverity::Error : LintSeverity::Warning,
                 message);
}

void CSectionLinter::LintItemFiles(DOMElement* pItem, ItemKind kind) {
    CString bkImg = Attribute(pItem, SkinKey::BkImg);
    const SkinFileProbe* strip = m_ctx.CheckFile(pItem, SkinKey::BkImg, bkImg, SkinFileKind::Image);
    const int frames = StripFrameCount(kind);
    if (strip && frames > 0 && strip->nWidth % frames != 0) {
        CString message;
        message.Format(L"BkImg %s is a state strip %d pixels wide, not a multiple of %d: its "
                       L"frames are uneven",
                       Quoted(bkImg), strip->nWidth, frames);
        m_ctx.Report(pItem, LintSeverity::Warning, message);
    }
    for (const wchar_t* pszFile : {SkinKey::Icon, SkinKey::Cursor})
        m_ctx.CheckValue(pItem, *kItemAttributeNames.Find(pszFile), Attribute(pItem, pszFile));
}

void CSectionLinter::LintItemText(DOMElement* pItem, const CString& strName,
                                  const WindowDefaults& window) {
    CString face = Attribute(pItem, SkinKey::FontName);
    m_ctx.CheckFace(pItem, SkinKey::FontName, face);
    const CString text = Attribute(pItem, SkinKey::Name);
    if (text.GetLength() > KvLayout::kMaxDrawnText) {
        CString message;
        message.Format(L"%s has a text of %d characters: only the first %d are drawn, then an "
                       L"ellipsis",
                       strName, text.GetLength(), KvLayout::kMaxDrawnText - 1);
        m_ctx.Report(pItem, LintSeverity::Warning, message);
    }
    if (!face.IsEmpty() || !window.strFontName.IsEmpty() || text.IsEmpty())
        return;
    CString message = strName + L" has text but no font: neither it nor the window gives "
                                L"\"FontName\"";
    if (window.pFontNameTypo) {
        CString typo;
        typo.Format(L" (the window entry at line %d misspells it)",
                    m_ctx.PositionOf(window.pFontNameTypo).nLine);
        message += typo;
    }
    m_ctx.Report(pItem, LintSeverity::Error, message);
}

// The elements that the reader would take as sections, and their paths.
class CSectionFinder {
public:
    CSectionFinder(CLintContext& context, CXmlDocument& xml, DOMElement* pRoot)
        : m_ctx(context), m_xml(xml), m_pRoot(pRoot) {}

    // The section element of a path, the reader's way; reports when none.
    DOMElement* Resolve(const CString& strPath);
    // Every element below the root with a section part, in document order,
    // each with the element that the reader reaches by its path (itself,
    // an earlier element of the same names, or null).
    std::vector<std::pair<DOMElement*, DOMElement*>> FindAll();
    // The section path of an element below the root.
    CString PathOf(DOMElement* pElement) const;

private:
    bool HasSectionPart(DOMElement* pElement);

    CLintContext& m_ctx;
    CXmlDocument& m_xml;
    DOMElement* m_pRoot;
};

DOMElement* CSectionFinder::Resolve(const CString& strPath) {
    SkinSectionWalk walk = WalkSkinSection(m_xml, m_pRoot, strPath);
    if (walk.pSection)
        return walk.pSection;
    CString message;
    if (walk.strMissingStep.IsEmpty())
        message.Format(L"section %s matches nothing: it has an empty step", Quoted(strPath));
    else
        message.Format(L"section %s matches nothing: <%s> has no child element %s", Quoted(strPath),
                       TagName(walk.pStoppedAt), Quoted(walk.strMissingStep));
    m_ctx.Report(walk.pStoppedAt, LintSeverity::Error, message);
    return nullptr;
}

bool CSectionFinder::HasSectionPart(DOMElement* pElement) {
    for (const SkinName& part : kSectionPartNames)
        if (m_xml.FindChildElement(pElement, part.pszName))
            return true;
    return false;
}

CString CSectionFinder::PathOf(DOMElement* pElement) const {
    std::vector<const wchar_t*> names;
    for (xercesc::DOMNode* node = pElement; node && node != m_pRoot; node = node->getParentNode())
        names.push_back(TagName(static_cast<DOMElement*>(node)));
    CString path;
    for (auto name = names.rbegin(); name != names.rend(); ++name)
        path += (path.IsEmpty() ? L"" : L"\\") + CString(*name);
    return path;
}

std::vector<std::pair<DOMElement*, DOMElement*>> CSectionFinder::FindAll() {
    // One pass in document order, without recursion, so that no nesting the
    // parser accepts can exhaust the stack or cost more than a walk: what
    // an element's path reaches follows from what its parent's path reaches.
    // The reader takes a parent's first child of the name, compared as
    // _wcsicmp does; that child was met before any later one of the name.
    std::vector<std::pair<DOMElement*, DOMElement*>> found;
    std::unordered_map<const xercesc::DOMNode*, DOMElement*> reached = {{m_pRoot, m_pRoot}};
    std::map<std::pair<const xercesc::DOMNode*, std::wstring>, DOMElement*> firstByName;
    DOMElement* element = m_pRoot->getFirstElementChild();
    while (element) {
        std::wstring name = TagName(element);
        for (wchar_t& c : name)
            c = static_cast<wchar_t>(towlower(c));
        firstByName.emplace(std::make_pair(element->getParentNode(), name), element);
        DOMElement* byParent = reached[element->getParentNode()];
        auto first = byParent ? firstByName.find({byParent, name}) : firstByName.end();
        DOMElement* byPath = first == firstByName.end() ? nullptr : first->second;
        reached[element] = byPath;
        if (HasSectionPart(element))
            found.emplace_back(element, byPath);
        if (DOMElement* child = element->getFirstElementChild()) {
            element = child;
            continue;
        }
        while (element != m_pRoot && !element->getNextElementSibling())
            element = static_cast<DOMElement*>(element->getParentNode());
        element = element == m_pRoot ? nullptr : element->getNextElementSibling();
    }
    return found;
}

// Sections to check, each once: those named, or all found. A found section
// whose path leads the reader to an earlier element is reported, not checked.
std::vector<DOMElement*> SectionsToLint(CLintContext& context, CSectionFinder& finder,
                                        const LintRequest& request, DOMElement* pRoot) {
    std::vector<DOMElement*> sections;
    std::set<DOMElement*> added;
    auto add = [&](DOMElement* section) {
        if (section && added.insert(section).second)
            sections.push_back(section);
    };
    for (const CString& path : request.sections)
        add(finder.Resolve(path));
    if (!request.sections.empty())
        return sections;

    for (const auto& [element, reached] : finder.FindAll()) {
        if (reached == element) {
            add(element);
            continue;
        }
        CString message;
        if (reached)
            message.Format(L"section %s is never read: its path leads to the element at line %d "
                           L"(names compare without case)",
                           Quoted(finder.PathOf(element)), context.PositionOf(reached).nLine);
        else
            message.Format(L"section %s is never read: an element above it is never reached",
                           Quoted(finder.PathOf(element)));
        context.Report(element, LintSeverity::Warning, message);
    }
    if (sections.empty())
        context.Report(pRoot, LintSeverity::Error,
                       L"no section: no element has a \"WindowInfo\", \"PosInfo\" or "
                       L"\"DynamicInfo\" child");
    return sections;
}

// The line of the file's first "<!DOCTYPE", counting line breaks as the
// parser does (CR LF, CR or LF); 0 when there is none.
int DoctypeLine(const CString& strPath) {
    FILE* file = _wfopen(strPath, L"rb");
    if (!file)
        return 0;
    std::string bytes;
    char buffer[4096];
    size_t read;
    while ((read = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, read);
    fclose(file);
    size_t doctype = bytes.find("<!DOCTYPE");
    if (doctype == std::string::npos)
        return 0;
    int line = 1;
    for (size_t i = 0; i < doctype; ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && bytes[i + 1] != '\n'))
            ++line;
    return line;
}

// Where the file fails to parse, and, when the parser names the element it
// found unclosed, where that element was opened: an unclosed start tag is
// noticed only at the end tag that does not match it, often far below.
std::vector<LintDiagnostic> ParseDiagnostics(const CString& strPath, const ParseFailure& failure) {
    const CString& open = failure.strOpenElement;
    const bool bUnclosed = !open.IsEmpty() && failure.strMessage.Find(L"'" + open + L"'") >= 0;
    CString message = failure.strMessage;
    // The module refuses a DOCTYPE where it stands, so the parse fails on its line.
    if (DoctypeLine(strPath) == failure.pos.nLine) {
        message += L" (the file carries a DOCTYPE: the skin module refuses any DOCTYPE, so this "
                   L"file never loads)";
        return {LintDiagnostic{failure.pos, LintSeverity::Error, message}};
    }
    if (!bUnclosed) {
        message += L" (the skin module cannot load this file)";
        return {LintDiagnostic{failure.pos, LintSeverity::Error, message}};
    }
    CString noticed, opened;
    noticed.Format(L"%s: the <%s> opened at line %d is not closed (the skin module cannot load "
                   L"this file)",
                   failure.strMessage.GetString(), open.GetString(), failure.openedAt.nLine);
    opened.Format(L"<%s> is opened here and never closed; the parser noticed at line %d: %s",
                  open.GetString(), failure.pos.nLine, failure.strMessage.GetString());
    return {LintDiagnostic{failure.pos, LintSeverity::Error, noticed},
            LintDiagnostic{failure.openedAt, LintSeverity::Error, opened}};
}

void SortInFileOrder(std::vector<LintDiagnostic>& diagnostics) {
    auto key = [](const LintDiagnostic& d) {
        return std::make_tuple(d.pos.nLine, d.pos.nColumn, d.severity != LintSeverity::Error,
                               std::wstring(d.strMessage.GetString()));
    };
    std::stable_sort(
        diagnostics.begin(), diagnostics.end(),
        [&](const LintDiagnostic& a, const LintDiagnostic& b) { return key(a) < key(b); });
    // A section named twice, or inside another named one, reports once.
    diagnostics.erase(std::unique(diagnostics.begin(), diagnostics.end(),
                                  [&](const LintDiagnostic& a, const LintDiagnostic& b) {
                                      return key(a) == key(b);
                                  }),
                      diagnostics.end());
}

} // namespace

std::vector<LintDiagnostic> LoadFailureDiagnostics(const CString& strSkinFile) {
    std::optional<ParseFailure> failure = XmlLoadFailure(strSkinFile);
    if (!failure)
        return {};
    // The module's parser keeps no positions of elements; the positioned
    // parse, hardened alike, stops at the same place and knows what was open.
    CPositionedDocument doc;
    const std::optional<ParseFailure> positioned = doc.Parse(strSkinFile);
    if (positioned && positioned->pos.nLine == failure->pos.nLine &&
        positioned->pos.nColumn == failure->pos.nColumn) {
        failure->strOpenElement = positioned->strOpenElement;
        failure->openedAt = positioned->openedAt;
    }
    std::vector<LintDiagnostic> diagnostics = ParseDiagnostics(strSkinFile, *failure);
    SortInFileOrder(diagnostics);
    return diagnostics;
}

std::vector<LintDiagnostic> LintSkinFile(const LintRequest& request) {
    // The module decides whether the file loads at all; the positioned parse
    // only adds where each element stands.
    std::vector<LintDiagnostic> failure = LoadFailureDiagnostics(request.strSkinFile);
    if (!failure.empty())
        return failure;
    CPositionedDocument doc;
    if (std::optional<ParseFailure> failure = doc.Parse(request.strSkinFile))
        return ParseDiagnostics(request.strSkinFile, *failure);

    CString skinDir;
    SplitPath(request.strSkinFile, &skinDir, nullptr);
    CSkinResources resources;
    CLintContext context(doc, resources, skinDir + request.strSkinName + L"\\",
                         request.nScalePercent);
    CXmlDocument xml; // its element and attribute look-ups, exactly as the reader uses them
    CSectionFinder finder(context, xml, doc.Root());
    for (DOMElement* section : SectionsToLint(context, finder, request, doc.Root()))
        CSectionLinter(context, xml).Lint(section);

    std::vector<LintDiagnostic> diagnostics = std::move(context.Diagnostics());
    SortInFileOrder(diagnostics);
    return diagnostics;
}

bool HasErrors(const std::vector<LintDiagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const LintDiagnostic& d) { return d.severity == LintSeverity::Error; });
}

std::string FormatDiagnostic(const CString& strFile, const LintDiagnostic& diagnostic) {
    return ToUtf8(strFile) + ":" + std::to_string(diagnostic.pos.nLine) + ":" +
           std::to_string(diagnostic.pos.nColumn) + ": " +
           (diagnostic.severity == LintSeverity::Error ? "error: " : "warning: ") +
           ToUtf8(diagnostic.strMessage);
}
