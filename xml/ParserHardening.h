// What every parse in the module refuses, set up in one place so that the
// module's parser and the positioned one cannot drift apart. Internal to the
// module: hosts get the parsers, not this.
#pragma once

#include <xercesc/dom/DOMLSParser.hpp>
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
    bool StoppedTooDeep() const;

    FilterAction startElement(xercesc::DOMElement*) override;
    FilterAction acceptNode(xercesc::DOMNode*) override;
    xercesc::DOMNodeFilter::ShowType getWhatToShow() const override;

private:
    int m_nDepth = 0;
    xercesc::SecurityManager m_security;
};
