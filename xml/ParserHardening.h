// What every parse in the module refuses, set up in one place so that the
// module's parser and the positioned one cannot drift apart. Internal to the
// module: hosts get the parsers, not this.
#pragma once

#include "xml/XmlDocument.h"

#include <xercesc/dom/DOMLSParserFilter.hpp>
#include <xercesc/util/SecurityManager.hpp>

// Refuses any DOCTYPE and external entity, caps entity expansion, and stops
// a document at its first element deeper than kMaxXmlDepth, before the rest
// of it is read. Must live as long as the parser it is applied to.
class CParserHardening : public xercesc::DOMLSParserFilter {
public:
    void ApplyTo(xercesc::DOMLSParser* parser);
    // Before each further parse with the same parser.
    void Reset() { m_nDepth = 0; }
    // Whether the last parse stopped at an element nested too deep.
    bool StoppedTooDeep() const { return m_nDepth > kMaxXmlDepth; }

    FilterAction startElement(xercesc::DOMElement*) override {
        return ++m_nDepth > kMaxXmlDepth ? FILTER_INTERRUPT : FILTER_ACCEPT;
    }
    FilterAction acceptNode(xercesc::DOMNode*) override {
        --m_nDepth;
        return FILTER_ACCEPT;
    }
    xercesc::DOMNodeFilter::ShowType getWhatToShow() const override {
        return xercesc::DOMNodeFilter::SHOW_ELEMENT;
    }

private:
    int m_nDepth = 0;
    xercesc::SecurityManager m_security;
};
