// A DOM parse that remembers where each element starts in the file, so that
// skin diagnostics can name a line and column. Xerces' DOM keeps no positions,
// and keeping them takes a parser derived from Xerces' own implementation:
// that stays inside the module, hosts get only this class.
#pragma once

#include <afx.h>

#include "runtime/KelvaneApi.h"

#include <memory>
#include <optional>
#include <unordered_map>

#include <xercesc/dom/DOM.hpp>

// 1-based, as the parser counts: lines by line break, columns by character.
struct SourcePos {
    int nLine = 1;
    int nColumn = 1;
};

// The first fatal error of a parse, in the parser's own words, and the
// element that was still open then (innermost first): where a parser notices
// an unclosed element is often far below where it was opened.
struct ParseFailure {
    CString strMessage;
    SourcePos pos;
    CString strOpenElement; // empty when none was open or it is not known
    SourcePos openedAt;
};

class CPositionedDomParser;

// A parsed skin file with the start position of every element.
class KELVANE_API CPositionedDocument {
public:
    CPositionedDocument();
    ~CPositionedDocument();
    CPositionedDocument(const CPositionedDocument&) = delete;
    CPositionedDocument& operator=(const CPositionedDocument&) = delete;

    // Parses with the same hardening as the module (no DOCTYPE, no external
    // entity, entity expansion capped, nesting no deeper than kMaxXmlDepth).
    // On failure: the first fatal error, with the element open at that point.
    std::optional<ParseFailure> Parse(const CString& strPath);

    xercesc::DOMElement* Root() const;
    // Where the element's start tag begins ("<"); the root, which no
    // reported event precedes, is placed where its start tag ends.
    SourcePos PositionOf(const xercesc::DOMNode* pElement) const;

private:
    std::unique_ptr<CPositionedDomParser> m_pParser;
    xercesc::DOMDocument* m_pDocument = nullptr; // owned by the parser
};

// What CXmlDocument says about the file: no value when it loads, else the
// parser's first fatal error (or a plain refusal when the parser gave no message).
KELVANE_API std::optional<ParseFailure> XmlLoadFailure(const CString& strPath);
