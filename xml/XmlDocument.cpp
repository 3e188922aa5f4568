#include "xml/XmlDocument.h"

#include "xml/ParserHardening.h"

#include <clocale>
#include <vector>

#include <xercesc/dom/DOMErrorHandler.hpp>
#include <xercesc/framework/LocalFileFormatTarget.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/framework/Wrapper4InputSource.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>

using namespace xercesc;

namespace {

// XMLCh and wchar_t are both UTF-16 code units on Windows.
const XMLCh* X(const wchar_t* s) {
    return reinterpret_cast<const XMLCh*>(s);
}
const wchar_t* W(const XMLCh* s) {
    return reinterpret_cast<const wchar_t*>(s);
}

// The ANSI buffer that attribute values pass through on their way to the DOM.
constexpr int kAttributeValueBytes = 260;

} // namespace

// Without an error handler the parser hands back a partial document for
// malformed input; counting fatal errors lets a truncated file fail.
class CXmlParseGuard : public DOMErrorHandler, public CParserHardening {
public:
    bool handleError(const DOMError& error) override {
        if (error.getSeverity() == DOMError::DOM_SEVERITY_FATAL_ERROR)
            ++m_nFatalErrors;
        return error.getSeverity() != DOMError::DOM_SEVERITY_FATAL_ERROR;
    }

    void Reset() {
        m_nFatalErrors = 0;
        CParserHardening::Reset();
    }
    bool Failed() const { return m_nFatalErrors != 0; }

    void Configure(DOMLSParser* parser) {
        parser->getDomConfig()->setParameter(XMLUni::fgDOMErrorHandler,
                                             static_cast<DOMErrorHandler*>(this));
        ApplyTo(parser);
    }

private:
    unsigned m_nFatalErrors = 0;
};

extern "C" void InitXml4c() {
    try {
        XMLPlatformUtils::Initialize(XMLUni::fgXercescDefaultLocale, nullptr, nullptr,
                                     XMLPlatformUtils::fgMemoryManager);
    } catch (...) {
        // Nothing may leave the module's start-up; documents then fail to parse.
    }
}

extern "C" void UninitXml4c() {
    XMLPlatformUtils::Terminate();
}

CXmlDocument::CXmlDocument()
    : m_pDocument(nullptr), m_pBuilder(nullptr), m_pImplementation(nullptr) {}

CXmlDocument::~CXmlDocument() {
    if (m_pBuilder)
        m_pBuilder->release();
}

BOOL CXmlDocument::InitXML() {
    setlocale(LC_ALL, "chinese-simplified");

    XMLCh features[64];
    XMLString::transcode("LS", features, 63);
    m_pImplementation = DOMImplementationRegistry::getDOMImplementation(features);
    if (!m_pImplementation)
        return FALSE;
    if (m_pBuilder) {
        m_pBuilder->release();
        m_pBuilder = nullptr;
    }
    m_pBuilder = static_cast<DOMImplementationLS*>(m_pImplementation)
                     ->createLSParser(DOMImplementationLS::MODE_SYNCHRONOUS, nullptr,
                                      XMLPlatformUtils::fgMemoryManager, nullptr);
    if (!m_pBuilder)
        return FALSE;
    m_pGuard = std::make_unique<CXmlParseGuard>();
    m_pGuard->Configure(m_pBuilder);
    return TRUE;
}

BOOL CXmlDocument::TakeParseResult(xercesc::DOMDocument* pDocument, DOMElement*& pRoot) {
    // A document with fatal errors is a fragment of what was meant: no document.
    m_pDocument = m_pGuard->Failed() ? nullptr : pDocument;
    if (!m_pDocument)
        return FALSE;
    pRoot = m_pDocument->getDocumentElement();
    return pRoot != nullptr;
}

BOOL CXmlDocument::LoadXML(CString strPath, DOMElement*& pRoot) {
    pRoot = nullptr;
    if (!m_pBuilder)
        return FALSE;
    m_pGuard->Reset();
    xercesc::DOMDocument* pDocument = nullptr;
    try {
        pDocument = m_pBuilder->parseURI(X(strPath.GetString()));
    } catch (...) {
        m_pDocument = nullptr;
        return FALSE;
    }
    return TakeParseResult(pDocument, pRoot);
}

BOOL LoadXMLFromString(CXmlDocument& doc, const BYTE* pData, UINT32 nLength, DOMElement*& pRoot) {
    pRoot = nullptr;
    if (!doc.m_pBuilder)
        return FALSE;
    static const char kBufferId[] = "temp";
    MemBufInputSource memory(pData, nLength, kBufferId, false);
    Wrapper4InputSource input(&memory, false);
    doc.m_pGuard->Reset();
    xercesc::DOMDocument* pDocument = nullptr;
    try {
        pDocument = doc.m_pBuilder->parse(&input);
    } catch (...) {
        return FALSE;
    }
    return doc.TakeParseResult(pDocument, pRoot);
}

DOMElement* CXmlDocument::FindChildElement(DOMNode* pParent, CString strName) {
    if (!pParent)
        return nullptr;
    for (DOMNode* child = pParent->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getNodeType() != DOMNode::ELEMENT_NODE)
            continue;
        if (strName.CompareNoCase(W(child->getNodeName())) == 0)
            return static_cast<DOMElement*>(child);
    }
    return nullptr;
}

BOOL CXmlDocument::GetAttributeValue(DOMNode* pNode, CString strName, CString& strValue) {
    strValue.Empty();
    if (!pNode)
        return FALSE;
    DOMNamedNodeMap* attributes = pNode->getAttributes();
    if (!attributes)
        return FALSE;
    DOMNode* attribute = attributes->getNamedItem(X(strName.GetString()));
    if (!attribute)
        return FALSE;
    strValue = W(attribute->getNodeValue());
    return TRUE;
}

namespace {

// Nodes from `node` up to the document, counted no further than past the limit.
int DepthOf(const DOMNode* node) {
    int depth = 0;
    for (; node && node->getNodeType() != DOMNode::DOCUMENT_NODE && depth <= kMaxXmlDepth;
         node = node->getParentNode())
        ++depth;
    return depth;
}

// True when some element lies more than kMaxXmlDepth levels below `top`.
// Walks without recursion, so that any tree can be checked.
bool NestsTooDeep(const DOMNode* top) {
    const DOMNode* node = top;
    int depth = 0;
    for (;;) {
        if (const DOMNode* child = node->getFirstChild()) {
            node = child;
            if (++depth > kMaxXmlDepth && node->getNodeType() == DOMNode::ELEMENT_NODE)
                return true;
            continue;
        }
        while (node != top && !node->getNextSibling()) {
            node = node->getParentNode();
            --depth;
        }
        if (node == top)
            return false;
        node = node->getNextSibling();
    }
}

} // namespace

DOMElement* CreateChildElement(CXmlDocument& doc, DOMNode* pParent, CString strName,
                               const CStringArray& pairs) {
    if (!pParent || !doc.m_pDocument || DepthOf(pParent) >= kMaxXmlDepth)
        return nullptr;
    DOMElement* element = nullptr;
    try {
        element = doc.m_pDocument->createElement(X(strName.GetString()));
        // A trailing name without a value is ignored rather than read past the list.
        for (INT_PTR i = 0; i + 1 < pairs.GetSize(); i += 2)
            element->setAttribute(X(pairs[i].GetString()), X(pairs[i + 1].GetString()));
        pParent->appendChild(element);
        return element;
    } catch (...) {
        // A bad name or a parent that takes no element: nothing half-made stays.
        if (element)
            element->release();
        return nullptr;
    }
}

namespace {

// The value as the ANSI code page spells it, cut to fit the 260-byte buffer
// on a character boundary so that a double-byte character is never split.
void ToAnsiBuffer(const CString& value, char (&buffer)[kAttributeValueBytes]) {
    memset(buffer, 0, sizeof buffer);
    int length = value.GetLength();
    while (length > 0) {
        int bytes =
            WideCharToMultiByte(CP_ACP, 0, value.GetString(), length, nullptr, 0, nullptr, nullptr);
        if (bytes > 0 && bytes < kAttributeValueBytes) {
            WideCharToMultiByte(CP_ACP, 0, value.GetString(), length, buffer, bytes, nullptr,
                                nullptr);
            return;
        }
        length = bytes > 0 ? (std::min)(length - 1, kAttributeValueBytes - 1) : 0;
    }
}

DOMAttr* FindAttribute(DOMNamedNodeMap* attributes, const CString& name) {
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
        DOMNode* attribute = attributes->item(i);
        if (XMLString::equals(attribute->getNodeName(), X(name.GetString())))
            return static_cast<DOMAttr*>(attribute);
    }
    return nullptr;
}

} // namespace

BOOL SetAttributeValues(CXmlDocument&, DOMElement* pElement, const CStringArray& pairs) {
    if (!pElement)
        return FALSE;
    for (INT_PTR i = 0; i + 1 < pairs.GetSize(); i += 2) {
        DOMNamedNodeMap* attributes = pElement->getAttributes();
        if (!attributes)
            return FALSE;
        DOMAttr* attribute = FindAttribute(attributes, pairs[i]);
        if (!attribute)
            continue;
        char buffer[kAttributeValueBytes];
        ToAnsiBuffer(pairs[i + 1], buffer);
        XMLCh* value = XMLString::transcode(buffer);
        attribute->setValue(value);
        XMLString::release(&value);
    }
    return TRUE;
}

namespace {

// Serialises a clone, so that writing never changes the loaded document.
bool WriteClone(DOMImplementation* implementation, xercesc::DOMDocument* document,
                XMLFormatTarget& target, const XMLCh* encoding) {
    auto* ls = static_cast<DOMImplementationLS*>(implementation);
    DOMNode* clone = document->cloneNode(true);
    DOMLSSerializer* writer = ls->createLSSerializer(XMLPlatformUtils::fgMemoryManager);
    DOMLSOutput* output = ls->createLSOutput(XMLPlatformUtils::fgMemoryManager);
    output->setByteStream(&target);
    if (encoding)
        output->setEncoding(encoding);
    bool written = false;
    try {
        written = writer->write(clone, output);
    } catch (...) {
        written = false;
    }
    output->release();
    writer->release();
    clone->release();
    return written;
}

} // namespace

// Whether the loaded document can be written: the writer and the clone
// recurse once per level.
bool CXmlDocument::CanWrite() const {
    return m_pDocument && m_pImplementation && !NestsTooDeep(m_pDocument);
}

BOOL CXmlDocument::WriteData(CString strPath) {
    if (!CanWrite())
        return FALSE;
    try {
        LocalFileFormatTarget target(X(strPath.GetString()), XMLPlatformUtils::fgMemoryManager);
        if (!WriteClone(m_pImplementation, m_pDocument, target, nullptr))
            return FALSE;
    } catch (...) {
        // The file could not be created.
        return FALSE;
    }
    return TRUE;
}

BOOL CXmlDocument::WriteDataToString(CString& strText) {
    if (!CanWrite())
        return FALSE;
    MemBufFormatTarget target(1023, XMLPlatformUtils::fgMemoryManager);
    static const XMLCh kUtf16[] = u"utf-16";
    if (!WriteClone(m_pImplementation, m_pDocument, target, kUtf16))
        return FALSE;
    // The target keeps four zero bytes after the text, so it reads as a
    // zero-terminated UTF-16 string.
    const XMLByte* raw = target.getRawBuffer();
    strText = CString(reinterpret_cast<const wchar_t*>(raw),
                      static_cast<int>(target.getLen() / sizeof(wchar_t)));
    return TRUE;
}

XMLStringTranslate::XMLStringTranslate(const char* pszEncoding)
    : m_pFormatter(nullptr), m_pszEncoding(XMLString::transcode(pszEncoding)), m_pOutput(nullptr) {
    try {
        m_pFormatter = new XMLFormatter(m_pszEncoding, this, XMLFormatter::NoEscapes,
                                        XMLFormatter::UnRep_CharRef);
    } catch (...) {
        // An encoding the transcoder does not know: the object holds no
        // formatter, and the destructor still releases the name.
    }
}

XMLStringTranslate::~XMLStringTranslate() {
    delete m_pFormatter;
    XMLString::release(&m_pszEncoding);
    delete[] m_pOutput;
}

void XMLStringTranslate::writeChars(const XMLByte* const toWrite, const XMLSize_t count,
                                    XMLFormatter* const) {
    delete[] m_pOutput;
    m_pOutput = new char[count + 1];
    memcpy(m_pOutput, toWrite, count);
    m_pOutput[count] = '\0';
}
