#include "xml/PositionedDocument.h"

#include "xml/ParserHardening.h"
#include "xml/XmlDocument.h"

#include <xercesc/dom/DOMErrorHandler.hpp>
#include <xercesc/dom/DOMLocator.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/parsers/DOMLSParserImpl.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/util/XMLUni.hpp>

#include <climits>
#include <vector>

using namespace xercesc;

namespace {

const XMLCh* X(const wchar_t* s) {
    return reinterpret_cast<const XMLCh*>(s);
}

// A failure that no position and no open element describe.
ParseFailure PlainFailure(const wchar_t* pszMessage) {
    ParseFailure failure;
    failure.strMessage = pszMessage;
    return failure;
}

int ToInt(XMLFileLoc value) {
    return value > static_cast<XMLFileLoc>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

// Keeps the first fatal error and hands every error on to the handler that
// was there before, so the parse goes on exactly as without it.
class CFirstFatalError : public DOMErrorHandler {
public:
    explicit CFirstFatalError(DOMErrorHandler* pNext = nullptr) : m_pNext(pNext) {}

    bool handleError(const DOMError& error) override {
        bool fatal = error.getSeverity() == DOMError::DOM_SEVERITY_FATAL_ERROR;
        if (fatal && !m_failure) {
            ParseFailure failure;
            failure.strMessage = reinterpret_cast<const wchar_t*>(error.getMessage());
            if (const DOMLocator* location = error.getLocation()) {
                failure.pos.nLine = ToInt(location->getLineNumber());
                failure.pos.nColumn = ToInt(location->getColumnNumber());
            }
            m_failure = failure;
        }
        return m_pNext ? m_pNext->handleError(error) : !fatal;
    }

    const std::optional<ParseFailure>& Failure() const { return m_failure; }

private:
    DOMErrorHandler* m_pNext;
    std::optional<ParseFailure> m_failure;
};

} // namespace

// Each element starts where the reported event before it ended: text (the
// parser reports it when it meets the next "<"), a tag, a comment or a
// processing instruction. The parser's own positions are end positions.
class CPositionedDomParser : public DOMLSParserImpl {
public:
    CPositionedDomParser() {
        getDomConfig()->setParameter(XMLUni::fgDOMErrorHandler,
                                     static_cast<DOMErrorHandler*>(&m_errors));
        m_hardening.ApplyTo(this);
    }

    // The first fatal error, with the innermost element still open then: the
    // parse stops at that error, so the open elements are those of that moment.
    std::optional<ParseFailure> Failure() const {
        std::optional<ParseFailure> failure = m_errors.Failure();
        if (failure && !m_open.empty()) {
            failure->strOpenElement = m_open.back().strName;
            failure->openedAt = m_open.back().pos;
        }
        return failure;
    }
    bool StoppedTooDeep() const { return m_hardening.StoppedTooDeep(); }

    SourcePos PositionOf(const DOMNode* pElement) const {
        auto found = m_positions.find(pElement);
        return found == m_positions.end() ? SourcePos{} : found->second;
    }

    void startElement(const XMLElementDecl& elemDecl, const unsigned int urlId,
                      const XMLCh* const elemPrefix, const RefVectorOf<XMLAttr>& attrList,
                      const XMLSize_t attrCount, const bool isEmpty, const bool isRoot) override {
        SourcePos start = isRoot ? Here() : m_lastEnd;
        // Opened as non-empty so that the new element is still the current
        // node; the base closes empty elements the same way.
        DOMLSParserImpl::startElement(elemDecl, urlId, elemPrefix, attrList, attrCount, false,
                                      isRoot);
        m_positions[getCurrentNode()] = start;
        m_open.push_back({reinterpret_cast<const wchar_t*>(elemDecl.getFullName()), start});
        m_lastEnd = Here();
        if (isEmpty)
            endElement(elemDecl, urlId, isRoot, elemPrefix);
    }

    void endElement(const XMLElementDecl& elemDecl, const unsigned int urlId, const bool isRoot,
                    const XMLCh* const elemPrefix) override {
        DOMLSParserImpl::endElement(elemDecl, urlId, isRoot, elemPrefix);
        if (!m_open.empty())
            m_open.pop_back();
        m_lastEnd = Here();
    }

    void docCharacters(const XMLCh* const chars, const XMLSize_t length,
                       const bool cdataSection) override {
        DOMLSParserImpl::docCharacters(chars, length, cdataSection);
        m_lastEnd = Here();
    }

    void ignorableWhitespace(const XMLCh* const chars, const XMLSize_t length,
                             const bool cdataSection) override {
        DOMLSParserImpl::ignorableWhitespace(chars, length, cdataSection);
        m_lastEnd = Here();
    }

    void docComment(const XMLCh* const comment) override {
        DOMLSParserImpl::docComment(comment);
        m_lastEnd = Here();
    }

    void docPI(const XMLCh* const target, const XMLCh* const data) override {
        DOMLSParserImpl::docPI(target, data);
        m_lastEnd = Here();
    }

private:
    SourcePos Here() const {
        const Locator* locator = getScanner()->getLocator();
        return SourcePos{ToInt(locator->getLineNumber()), ToInt(locator->getColumnNumber())};
    }

    struct OpenElement {
        CString strName;
        SourcePos pos;
    };

    CFirstFatalError m_errors;
    CParserHardening m_hardening;
    SourcePos m_lastEnd;
    std::vector<OpenElement> m_open; // the elements started and not yet ended
    std::unordered_map<const DOMNode*, SourcePos> m_positions;
};

CPositionedDocument::CPositionedDocument() = default;
CPositionedDocument::~CPositionedDocument() = default;

std::optional<ParseFailure> CPositionedDocument::Parse(const CString& strPath) {
    m_pDocument = nullptr;
    m_pParser = std::make_unique<CPositionedDomParser>();
    xercesc::DOMDocument* document = nullptr;
    try {
        document = m_pParser->parseURI(X(strPath.GetString()));
    } catch (...) {
        document = nullptr;
    }
    if (m_pParser->Failure())
        return m_pParser->Failure();
    if (m_pParser->StoppedTooDeep())
        return PlainFailure(L"elements nest too deep");
    if (!document || !document->getDocumentElement())
        return PlainFailure(L"no document element");
    m_pDocument = document;
    return std::nullopt;
}

DOMElement* CPositionedDocument::Root() const {
    return m_pDocument ? m_pDocument->getDocumentElement() : nullptr;
}

SourcePos CPositionedDocument::PositionOf(const DOMNode* pElement) const {
    return m_pParser ? m_pParser->PositionOf(pElement) : SourcePos{};
}

std::optional<ParseFailure> XmlLoadFailure(const CString& strPath) {
    CXmlDocument doc;
    if (!doc.InitXML())
        return PlainFailure(L"the XML parser is not available");
    // Listen in on the module's parser without changing how it decides.
    DOMConfiguration* config = doc.m_pBuilder->getDomConfig();
    CFirstFatalError errors(static_cast<DOMErrorHandler*>(
        const_cast<void*>(config->getParameter(XMLUni::fgDOMErrorHandler))));
    config->setParameter(XMLUni::fgDOMErrorHandler, static_cast<DOMErrorHandler*>(&errors));
    DOMElement* root = nullptr;
    if (doc.LoadXML(strPath, root) && root)
        return std::nullopt;
    if (errors.Failure())
        return errors.Failure();
    return PlainFailure(L"the skin module cannot load this file");
}
