// Documents from skin files and servers are untrusted: no DTD, no external
// entity, no expansion bomb may get through the document layer.
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <string>

using namespace xercesc;

namespace {

BOOL LoadBytes(CXmlDocument& doc, const std::string& bytes, DOMElement*& root) {
    return LoadXMLFromString(doc, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<UINT32>(bytes.size()), root);
}

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

std::string BillionLaughs() {
    std::string doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n"
                      "<!ENTITY lol0 \"lollollollollollollollollollol\">\n";
    for (int i = 1; i < 10; ++i) {
        doc += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            doc += "&lol" + std::to_string(i - 1) + ";";
        doc += "\">\n";
    }
    doc += "]>\n<lolz>&lol9;</lolz>\n";
    return doc;
}

} // namespace

TEST(XmlSafety, ExpansionBombIsRefusedWithBoundedMemory) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.InitXML());
    SIZE_T before = PeakWorkingSet();
    DOMElement* root = nullptr;
    EXPECT_FALSE(LoadBytes(doc, BillionLaughs(), root));
    EXPECT_EQ(root, nullptr);
    // Fully expanded the document would need gigabytes.
    EXPECT_LT(PeakWorkingSet() - before, SIZE_T(64) << 20);
}

TEST(XmlSafety, OneLargeEntityReferencedManyTimesIsRefused) {
    std::string doc = "<!DOCTYPE r [<!ENTITY big \"" + std::string(100000, 'x') + "\">]><r>";
    for (int i = 0; i < 50000; ++i)
        doc += "&big;";
    doc += "</r>";
    CXmlDocument xml;
    ASSERT_TRUE(xml.InitXML());
    SIZE_T before = PeakWorkingSet();
    DOMElement* root = nullptr;
    EXPECT_FALSE(LoadBytes(xml, doc, root));
    EXPECT_LT(PeakWorkingSet() - before, SIZE_T(64) << 20);
}

TEST(XmlSafety, ExternalEntityNeverReadsTheNamedFile) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring secret = std::wstring(dir) + L"kv_secret.txt";
    // Held open without read sharing: were the parser to read it, its text
    // could still not appear, so the check is on the document instead.
    FILE* f = _wfopen(secret.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fputs("TOP-SECRET-CONTENT", f);
    fclose(f);

    char path[MAX_PATH * 2];
    WideCharToMultiByte(CP_ACP, 0, secret.c_str(), -1, path, sizeof path, nullptr, nullptr);
    std::string entity = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY s SYSTEM \"" +
                         std::string(path) + "\">]>\n<r>&s;</r>\n";
    std::string external =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE r SYSTEM \"" + std::string(path) + "\">\n<r/>\n";
    for (const std::string& bytes : {entity, external}) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.InitXML());
        DOMElement* root = nullptr;
        EXPECT_FALSE(LoadBytes(doc, bytes, root));
        EXPECT_EQ(root, nullptr);
        EXPECT_EQ(doc.m_pDocument, nullptr);
    }
    DeleteFileW(secret.c_str());
}

TEST(XmlSafety, OrdinarySkinStillParses) {
    const std::string skin =
        "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n"
        "<Skin><CommonWindow><MainDlgInfo>\n"
        "<WindowInfo><Item ItemID=\"SheetSize\" Data=\"400,300\"/></WindowInfo>\n"
        "<DynamicItem><Item ID=\"CLOSE\" Name=\"&amp;Close &lt;x&gt;\" Rect=\"1,2,3,4\"/>"
        "</DynamicItem>\n"
        "</MainDlgInfo></CommonWindow></Skin>\n";
    CXmlDocument doc;
    ASSERT_TRUE(doc.InitXML());
    DOMElement* root = nullptr;
    ASSERT_TRUE(LoadBytes(doc, skin, root));
    DOMNode* items = doc.FindChildElement(
        doc.FindChildElement(doc.FindChildElement(root, L"CommonWindow"), L"MainDlgInfo"),
        L"DynamicItem");
    CString name;
    EXPECT_TRUE(doc.GetAttributeValue(doc.FindChildElement(items, L"Item"), L"Name", name));
    EXPECT_EQ(name, CString(L"&Close <x>"));
}
