// How long a document nested deeply (1,000,000 levels unless given) holds
// LoadXMLFromString, against a flat document of the same size: prints both
// times and their ratio. Nesting beyond kMaxXmlDepth is refused as soon as
// the parser reaches it, so the deep document costs a small part of the flat.
#include "xml/XmlDocument.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double Seconds(const std::string& bytes, BOOL* loaded) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    CXmlDocument doc;
    xercesc::DOMElement* root = nullptr;
    *loaded = doc.InitXML() && LoadXMLFromString(doc, reinterpret_cast<const BYTE*>(bytes.data()),
                                                 static_cast<UINT32>(bytes.size()), root);
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv) {
    const size_t levels = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    if (levels < 2)
        return 2;
    std::string deep, flat = "<r>";
    for (size_t i = 0; i < levels; ++i)
        deep += "<a>";
    for (size_t i = 0; i < levels; ++i)
        deep += "</a>";
    for (size_t i = 1; i < levels; ++i)
        flat += "<a></a>";
    flat += "</r>";
    BOOL deepLoaded = FALSE, flatLoaded = FALSE;
    const double flatTime = Seconds(flat, &flatLoaded);
    const double deepTime = Seconds(deep, &deepLoaded);
    std::printf("%zu levels: deep %.3f s (%s), flat %zu elements %.3f s (%s), ratio %.4f\n", levels,
                deepTime, deepLoaded ? "loaded" : "refused", levels, flatTime,
                flatLoaded ? "loaded" : "refused", deepTime / flatTime);
    return flatLoaded ? 0 : 1;
}
