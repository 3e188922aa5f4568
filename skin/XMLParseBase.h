// The skin description reader: reads one or two sections of an XML skin file
// into window entries, position records and dynamic items, and answers
// lookups on the window entries. Every skinned dialog is one.
#pragma once

#include <afx.h>

#include "runtime/KelvaneApi.h"

#include <cstdint>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include <xercesc/util/XercesDefs.hpp>

XERCES_CPP_NAMESPACE_BEGIN
class DOMElement;
XERCES_CPP_NAMESPACE_END

// Owns the one control object made for a dynamic item, whatever its class.
// The object is deleted as the type it was stored as, so classes without a
// virtual destructor are released correctly too: store a window control as
// its own class or as a polymorphic base, e.g. reset<CWnd>(new CLabel).
class CItemControlPtr {
public:
    CItemControlPtr() noexcept = default;
    ~CItemControlPtr() { reset(); }
    CItemControlPtr(CItemControlPtr&& other) noexcept { MoveFrom(other); }
    CItemControlPtr& operator=(CItemControlPtr&& other) noexcept {
        if (this != &other) {
            reset();
            MoveFrom(other);
        }
        return *this;
    }
    CItemControlPtr(const CItemControlPtr&) = delete;
    CItemControlPtr& operator=(const CItemControlPtr&) = delete;

    // Deletes the object held so far and takes ownership of pObject.
    template <class T> void reset(T* pObject) {
        reset();
        if (!pObject)
            return;
        m_pObject = pObject;
        m_pfnDelete = &DeleteAs<T>;
        m_pType = &typeid(T);
    }
    void reset() noexcept {
        if (m_pObject)
            m_pfnDelete(m_pObject);
        m_pObject = nullptr;
        m_pfnDelete = nullptr;
        m_pType = nullptr;
    }
    // Gives the object up without deleting it.
    template <class T> T* release() noexcept {
        T* pObject = get<T>();
        if (pObject) {
            m_pObject = nullptr;
            m_pfnDelete = nullptr;
            m_pType = nullptr;
        }
        return pObject;
    }

    // The object when it was stored as a T, else null.
    template <class T> T* get() const noexcept {
        // type_info compares by name, so this holds across module boundaries.
        return m_pType && *m_pType == typeid(T) ? static_cast<T*>(m_pObject) : nullptr;
    }
    bool empty() const noexcept { return m_pObject == nullptr; }
    explicit operator bool() const noexcept { return m_pObject != nullptr; }

private:
    template <class T> static void DeleteAs(void* pObject) { delete static_cast<T*>(pObject); }
    void MoveFrom(CItemControlPtr& other) noexcept {
        m_pObject = other.m_pObject;
        m_pfnDelete = other.m_pfnDelete;
        m_pType = other.m_pType;
        other.m_pObject = nullptr;
        other.m_pfnDelete = nullptr;
        other.m_pType = nullptr;
    }

    void* m_pObject = nullptr;
    void (*m_pfnDelete)(void*) = nullptr;
    const std::type_info* m_pType = nullptr;
};

// One dynamic item of a skin section. Move-only: its control has one owner.
struct _XmlDynamicItem {
    CString strName;
    CString strID;
    CString strToolTip;
    CString strFontName;
    CString strCursor;     // full path
    CString strBkImg;      // full path
    CString strIcon;       // full path
    CString strFontColor;  // list text: normal;disabled
    CString strFontFormat; // list text: style;align;lineAlign;trimming
    RECT rcPos = {0, 0, 0, 0};
    int32_t nFontSize = 0;
    uint32_t nControlStyle = 0;
    int32_t nDrawFocus = 0;
    CItemControlPtr pControl; // set by the dialogs, never by the reader
    int32_t nControlType = 0;

    _XmlDynamicItem() = default;
    _XmlDynamicItem(_XmlDynamicItem&&) = default;
    _XmlDynamicItem& operator=(_XmlDynamicItem&&) = default;
    _XmlDynamicItem(const _XmlDynamicItem&) = delete;
    _XmlDynamicItem& operator=(const _XmlDynamicItem&) = delete;
};

// One position record of a skin section.
struct PosInfoRecord {
    RECT rcPos = {0, 0, 0, 0};
    uint32_t clrColor = 0;
    CString strItemID;
};

// Orders skin keys by their exact UTF-16 code units; also lets a plain
// L"Key" be looked up without building a string.
struct SkinKeyLess {
    using is_transparent = void;
    bool operator()(LPCWSTR a, LPCWSTR b) const { return wcscmp(a, b) < 0; }
};

using SkinWindowInfoMap = std::map<CString, CString, SkinKeyLess>;
using SkinPosInfoMap = std::map<CString, std::unique_ptr<PosInfoRecord>, SkinKeyLess>;

class CXmlDocument;

class KELVANE_API CKvXMLParseBase {
public:
    CKvXMLParseBase() = default;
    virtual ~CKvXMLParseBase();
    CKvXMLParseBase(const CKvXMLParseBase&) = delete;
    CKvXMLParseBase& operator=(const CKvXMLParseBase&) = delete;

    // Reads strSection and, when given, strSection2 of the skin file into the
    // tables, adding to what earlier loads left there. A file that cannot be
    // loaded leaves the tables as they were; nothing is reported.
    void LoadSkin(const CString& strSkinFile, const CString& strSection, const CString& strSection2,
                  const CString& strSkinName);

    // The entry's text, empty when absent. In path form a non-empty value
    // becomes skin directory + skin name + "\" + value.
    void GetWindowInfo(const CString& strKey, CString& strValue, BOOL bPathForm);
    // The entry read by the number rule (0 when nothing is read); FALSE when
    // the entry is absent or empty.
    BOOL GetWindowInfoInt(const CString& strKey, int& nValue);
    // "a,b" as (a, b); (0, 0) when absent or empty.
    void GetWindowInfoPoint(const CString& strKey, POINT& ptValue);
    // "x,y,w,h" as left x, top y, right x + w, bottom y + h; all 0 when
    // absent or empty.
    void GetWindowInfoRect(const CString& strKey, RECT& rcValue);

    CString m_strSkinDir;
    CString m_strSkinName;
    SkinPosInfoMap m_mapPosInfo;
    SkinWindowInfoMap m_mapWindowInfo;
    std::vector<_XmlDynamicItem> m_arrDynamicItems;

private:
    void ReadSkinSection(CXmlDocument& doc, xercesc::DOMElement* pRoot, const CString& strSection,
                         const CString& strSkinName, const CString& strSkinDir);
    void ReadSectionElement(CXmlDocument& doc, xercesc::DOMElement* pSection,
                            const CString& strSkinDir);
    void ReadWindowInfo(CXmlDocument& doc, xercesc::DOMElement* pSection);
    void ReadPosInfo(CXmlDocument& doc, xercesc::DOMElement* pSection);
    void ReadDynamicInfo(xercesc::DOMElement* pDynamicInfo);
    // The first item whose ID has the key (see SkinIdKey), or a new one.
    _XmlDynamicItem& FindOrAppendItem(const std::wstring& key);
    void RebuildItemIndex();
    CString ImagePath(const CString& strName) const;

    // Position in m_arrDynamicItems of the first item with each ID, keyed by
    // the upper-cased ID, so that a section of many items is read in linear
    // time. Rebuilt from the array at the start of every load.
    std::unordered_map<std::wstring, size_t> m_mapItemIndex;
};

// The value rules of skin attributes, as pure functions.

// "x,y,w,h" (spaces removed) into left, top, right, bottom. Numbers that the
// value does not give count as 0; a value from which no number can be read
// leaves rcValue as it was and returns false.
KELVANE_API bool ReadSkinRect(const CString& strValue, RECT& rcValue);
// "a,b" (spaces removed); numbers not given count as 0; nothing readable
// leaves ptValue as it was and returns false.
KELVANE_API bool ReadSkinPair(const CString& strValue, POINT& ptValue);
// A position record's colour: hexadecimal, 0x prefix allowed, spaces kept;
// empty means 0xFFFFFFFF. Unreadable text leaves clrValue as it was.
KELVANE_API bool ReadSkinColor(const CString& strValue, uint32_t& clrValue);
// The ID as the reader compares it: upper-cased, locale-independent.
KELVANE_API std::wstring SkinIdKey(const CString& strID);

// Where a section path leads: each backslash-separated step is the first
// child element whose name equals it without regard to case. When a step
// matches nothing, pSection is null, pStoppedAt the element reached so far
// and strMissingStep the step (empty for an empty step).
struct SkinSectionWalk {
    xercesc::DOMElement* pSection = nullptr;
    xercesc::DOMElement* pStoppedAt = nullptr;
    CString strMissingStep;
};
KELVANE_API SkinSectionWalk WalkSkinSection(CXmlDocument& doc, xercesc::DOMElement* pRoot,
                                            const CString& strSection);
