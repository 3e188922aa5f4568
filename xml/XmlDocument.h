// XML documents over Xerces-C++: parse a file or a memory buffer, walk and
// change the DOM, write it back to a file or a UTF-16 string.
#pragma once

#include <afx.h>
#include <memory>

#include "runtime/KelvaneApi.h"

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/XMLFormatter.hpp>

extern "C" {
// Start and stop Xerces-C++ for the whole process.
KELVANE_API void InitXml4c();
KELVANE_API void UninitXml4c();
}

// Deepest element nesting that documents may have. Skins and server replies
// nest fewer than ten levels; the writer and the DOM's clone recurse once per
// level, so the limit also bounds their stack use to a small part of a
// thread's stack.
constexpr int kMaxXmlDepth = 256;

class CXmlParseGuard;

class KELVANE_API CXmlDocument {
public:
    CXmlDocument();
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    BOOL InitXML();
    BOOL LoadXML(CString strPath, xercesc::DOMElement*& pRoot);
    BOOL WriteData(CString strPath);
    BOOL WriteDataToString(CString& strText);
    xercesc::DOMElement* FindChildElement(xercesc::DOMNode* pParent, CString strName);
    BOOL GetAttributeValue(xercesc::DOMNode* pNode, CString strName, CString& strValue);

    xercesc::DOMDocument* m_pDocument;
    xercesc::DOMLSParser* m_pBuilder;
    xercesc::DOMImplementation* m_pImplementation;

private:
    friend KELVANE_API BOOL LoadXMLFromString(CXmlDocument&, const BYTE*, UINT32,
                                              xercesc::DOMElement*&);
    BOOL TakeParseResult(xercesc::DOMDocument* pDocument, xercesc::DOMElement*& pRoot);
    bool CanWrite() const;

    // Error counting and entity limits; lives exactly as long as the parser.
    std::unique_ptr<CXmlParseGuard> m_pGuard;
};

KELVANE_API BOOL LoadXMLFromString(CXmlDocument& doc, const BYTE* pData, UINT32 nLength,
                                   xercesc::DOMElement*& pRoot);
KELVANE_API xercesc::DOMElement* CreateChildElement(CXmlDocument& doc, xercesc::DOMNode* pParent,
                                                    CString strName, const CStringArray& pairs);
KELVANE_API BOOL SetAttributeValues(CXmlDocument& doc, xercesc::DOMElement* pElement,
                                    const CStringArray& pairs);

// A format target that keeps the last chunk the formatter delivered, in the
// target encoding, zero-terminated.
class KELVANE_API XMLStringTranslate : public xercesc::XMLFormatTarget {
public:
    explicit XMLStringTranslate(const char* pszEncoding);
    ~XMLStringTranslate() override;
    XMLStringTranslate(const XMLStringTranslate&) = delete;
    XMLStringTranslate& operator=(const XMLStringTranslate&) = delete;

    void writeChars(const XMLByte* const toWrite, const XMLSize_t count,
                    xercesc::XMLFormatter* const formatter) override;

    xercesc::XMLFormatter* m_pFormatter;
    XMLCh* m_pszEncoding;
    char* m_pOutput;
};
