#include "xml/ParserHardening.h"

#include <xercesc/dom/DOMConfiguration.hpp>
#include <xercesc/util/XMLUni.hpp>

using namespace xercesc;

namespace {

// Every skin and server reply passes through here; a few hundred expansions
// are far more than any real document uses.
constexpr XMLSize_t kEntityExpansionLimit = 1000;

} // namespace

void CParserHardening::ApplyTo(DOMLSParser* parser) {
    DOMConfiguration* config = parser->getDomConfig();
    m_security.setEntityExpansionLimit(kEntityExpansionLimit);
    // No DTD at all: it is the door both for files named by external
    // entities and for entity expansion bombs; skins never carry one.
    config->setParameter(XMLUni::fgDOMDisallowDoctype, true);
    config->setParameter(XMLUni::fgXercesLoadExternalDTD, false);
    config->setParameter(XMLUni::fgXercesDisableDefaultEntityResolution, true);
    config->setParameter(XMLUni::fgXercesSecurityManager, &m_security);
    parser->setFilter(this);
}
