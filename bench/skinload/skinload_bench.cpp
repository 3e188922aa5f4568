// How much LoadSkin costs over parsing the same skin file with bare Xerces:
// 2,000 dynamic items, a fifth of them repeated in a second section with IDs
// in another case, and 500 window entries. Prints the median of the rounds'
// ratios, and where LoadSkin's time goes: its own parse (the module's
// hardened parser, made per load) and the reading of the document after it.
#include "skin/XMLParseBase.h"
#include "xml/XmlDocument.h"

#include <xercesc/dom/DOM.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace xercesc;

namespace {

constexpr int kItems = 2000;
constexpr int kRepeated = kItems / 5;
constexpr int kWindowEntries = 500;
constexpr int kRounds = 15;
constexpr double kTargetRatio = 1.2;

std::string ItemElement(const std::string& id, int i) {
    std::string n = std::to_string(i);
    return "<Item ID=\"" + id + "\" Name=\"Item " + n + "\" ToolTip=\"Tip " + n +
           "\" FontName=\"DejaVu Sans\" FontSize=\"12\" FontColor=\"0xFF000000;0xFF808080\""
           " FontFormat=\"0;1;1;1\" BkImg=\"buttons\\b" +
           n +
           ".png\" Cursor=\"hand.cur\""
           " Icon=\"icons\\i" +
           n + ".png\" Pos=\"" + std::to_string(i % 400) + ", " + std::to_string(i / 400) +
           ", 80, 24\" ControlType=\"2\" ControlStyle=\"0x50000000\""
           " DrawFocus=\"0\"/>\n";
}

std::string GenerateSkin() {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Skin><Bench><Main>\n<WindowInfo>\n";
    for (int i = 0; i < kWindowEntries; ++i)
        xml += "<Entry ItemID=\"Key" + std::to_string(i) + "\" Data=\"" + std::to_string(i * 7) +
               ", " + std::to_string(i) + "\"/>\n";
    xml += "</WindowInfo>\n<DynamicInfo>\n";
    for (int i = 0; i < kItems; ++i)
        xml += ItemElement("Btn_Item_" + std::to_string(i), i);
    xml += "</DynamicInfo></Main>\n<Second><DynamicInfo>\n";
    for (int i = 0; i < kItems; i += kItems / kRepeated)
        xml += ItemElement("BTN_ITEM_" + std::to_string(i), i);
    xml += "</DynamicInfo></Second></Bench></Skin>\n";
    return xml;
}

CString WriteTempFile(const std::string& bytes) {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    wchar_t name[64];
    swprintf(name, 64, L"kv_skinload_%lu.xml", GetCurrentProcessId());
    CString path = CString(dir) + name;
    FILE* file = _wfopen(path, L"wb");
    if (!file)
        return CString();
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    return path;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

template <class Work> double TimeOnce(Work work) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The least any skin reader has to do: make a parser, parse, release. The
// DOM implementation is the one the module's XML layer hands out.
size_t BareDomParse(DOMImplementation* implementation, const CString& path) {
    auto* ls = static_cast<DOMImplementationLS*>(implementation);
    DOMLSParser* parser = ls->createLSParser(DOMImplementationLS::MODE_SYNCHRONOUS, nullptr);
    xercesc::DOMDocument* doc = parser->parseURI(reinterpret_cast<const XMLCh*>(path.GetString()));
    size_t children =
        doc && doc->getDocumentElement() ? doc->getDocumentElement()->getChildElementCount() : 0;
    parser->release();
    return children;
}

// What LoadSkin parses with: the module's parser, hardened, made per load.
size_t ModuleParse(const CString& path) {
    CXmlDocument doc;
    DOMElement* root = nullptr;
    return doc.InitXML() && doc.LoadXML(path, root) && root ? root->getChildElementCount() : 0;
}

// The bench skin's two sections into reader; how many items it then holds.
size_t LoadBenchSkin(CKvXMLParseBase& reader, const CString& path) {
    reader.LoadSkin(path, L"Bench\\Main", L"Bench\\Second", L"default");
    return reader.m_arrDynamicItems.size();
}

} // namespace

int main() {
    CXmlDocument module;
    if (!module.InitXML()) {
        fprintf(stderr, "skinload: the module's XML layer did not start\n");
        return 1;
    }
    DOMImplementation* implementation = module.m_pImplementation;
    std::string xml = GenerateSkin();
    CString path = WriteTempFile(xml);
    if (path.IsEmpty() || BareDomParse(implementation, path) != 1 ||
        LoadBenchSkin(*std::make_unique<CKvXMLParseBase>(), path) != size_t(kItems)) {
        fprintf(stderr, "skinload: the generated skin did not load as expected\n");
        return 1;
    }
    std::vector<double> load, release, parse, moduleParse, loadOverParse;
    for (int round = 0; round < kRounds; ++round) {
        parse.push_back(TimeOnce([&] { BareDomParse(implementation, path); }));
        moduleParse.push_back(TimeOnce([&] { ModuleParse(path); }));
        // The call alone: the records it makes live on with the dialog, and
        // are released when it closes (timed apart).
        auto reader = std::make_unique<CKvXMLParseBase>();
        load.push_back(TimeOnce([&] { LoadBenchSkin(*reader, path); }));
        release.push_back(TimeOnce([&] { reader.reset(); }));
        loadOverParse.push_back(load.back() / parse.back());
    }
    DeleteFileW(path);

    // Each round's load against the parse just before it: a machine whose
    // speed drifts over the run shifts both alike.
    const double ratio = Median(loadOverParse);
    printf("skin file: %zu bytes, %d items (%d repeated in a second section), %d window entries\n",
           xml.size(), kItems, kRepeated, kWindowEntries);
    printf("bare Xerces DOM parse: median %.2f ms over %d rounds\n", Median(parse) * 1e3, kRounds);
    printf("module's parse:        median %.2f ms (the hardened parser LoadSkin uses)\n",
           Median(moduleParse) * 1e3);
    printf("LoadSkin:              median %.2f ms over %d rounds\n", Median(load) * 1e3, kRounds);
    printf("ratio LoadSkin / parse: %.2f (target at most %.1f: %s)\n", ratio, kTargetRatio,
           ratio <= kTargetRatio ? "met" : "MISSED");
    printf("where LoadSkin's time goes: its parse %.2f ms, reading the document %.2f ms\n",
           Median(moduleParse) * 1e3, (Median(load) - Median(moduleParse)) * 1e3);
    printf("releasing the records later (when the dialog closes): median %.2f ms\n",
           Median(release) * 1e3);
    return 0;
}
