// The XML document layer against the real Xerces inside Kelvane.dll.
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

using namespace xercesc;

namespace {

const char kSkin[] = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n"
                     "<Skin>\n"
                     "  <!-- a comment between children -->\n"
                     "  text\n"
                     "  <Nested><WindowInfo ItemID=\"deep\"/></Nested>\n"
                     "  <WindowInfo ItemID=\"first\" Empty=\"\" Name=\"&amp;Close &lt;x&gt;\"/>\n"
                     "  <windowinfo ItemID=\"second\"/>\n"
                     "</Skin>\n";

CString TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return CString(dir) + name;
}

void WriteFileBytes(const CString& path, const std::string& bytes) {
    FILE* f = _wfopen(path, L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

BOOL LoadBytes(CXmlDocument& doc, const std::string& bytes, DOMElement*& root) {
    return LoadXMLFromString(doc, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<UINT32>(bytes.size()), root);
}

CString Attribute(CXmlDocument& doc, DOMNode* node, const wchar_t* name) {
    CString value = L"stale";
    doc.GetAttributeValue(node, name, value);
    return value;
}

// A pair list; each call replaces the previous one.
const CStringArray& Pairs(std::initializer_list<CString> items) {
    static CStringArray pairs;
    pairs.RemoveAll();
    for (const CString& item : items)
        pairs.Add(item);
    return pairs;
}

// `levels` elements, each the only child of the one before.
std::string Nested(size_t levels) {
    std::string xml;
    xml.reserve(levels * 7);
    for (size_t i = 0; i < levels; ++i)
        xml += "<a>";
    for (size_t i = 0; i < levels; ++i)
        xml += "</a>";
    return xml;
}

class XmlDocumentTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.InitXML());
        ASSERT_TRUE(LoadBytes(doc, kSkin, root));
    }
    CXmlDocument doc;
    DOMElement* root = nullptr;
};

} // namespace

TEST_F(XmlDocumentTest, FindsChildrenWithoutCaseAndAttributesWithCase) {
    DOMElement* found = doc.FindChildElement(root, L"windowinfo");
    // The first of two matching siblings, not the grandchild under Nested.
    EXPECT_EQ(Attribute(doc, found, L"ItemID"), CString(L"first"));
    EXPECT_EQ(Attribute(doc, found, L"Name"), CString(L"&Close <x>"));
    EXPECT_EQ(doc.FindChildElement(root, L"Missing"), nullptr);
    EXPECT_EQ(doc.FindChildElement(nullptr, L"WindowInfo"), nullptr);
    CString value = L"stale";
    EXPECT_FALSE(doc.GetAttributeValue(found, L"itemid", value));
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_TRUE(doc.GetAttributeValue(found, L"Empty", value));
    EXPECT_FALSE(doc.GetAttributeValue(root->getFirstChild(), L"ItemID", value)); // a text node
}

TEST_F(XmlDocumentTest, ChangesAppearInTheUtf16TextAndInTheWrittenFile) {
    DOMElement* info = doc.FindChildElement(root, L"WindowInfo");
    EXPECT_TRUE(SetAttributeValues(doc, info, Pairs({L"ItemID", L"Caf\u00e9", L"New", L"x"})));
    EXPECT_EQ(Attribute(doc, info, L"New"), CString());
    // Cut to the 260-byte ANSI buffer, never written past it.
    EXPECT_TRUE(SetAttributeValues(doc, info, Pairs({L"Empty", CString(L'x', 1000)})));
    EXPECT_EQ(Attribute(doc, info, L"Empty"), CString(L'x', 259));
    EXPECT_NE(CreateChildElement(doc, root, L"Item", Pairs({L"Name", L"OK", L"Rect", L"1,2"})),
              nullptr);
    EXPECT_EQ(CreateChildElement(doc, nullptr, L"Item", Pairs({})), nullptr);

    CString text;
    ASSERT_TRUE(doc.WriteDataToString(text));
    EXPECT_EQ(text.Find(L"<?xml"), 0); // no byte-order mark
    EXPECT_GE(text.Find(L"ItemID=\"Caf\u00e9\""), 0);
    EXPECT_GE(text.Find(L"<Item Name=\"OK\" Rect=\"1,2\"/>"), 0);

    CString path = TempPath(L"kv_xml_roundtrip.xml");
    ASSERT_TRUE(doc.WriteData(path));
    EXPECT_EQ(doc.m_pDocument->getDocumentElement(), root);
    ASSERT_TRUE(doc.LoadXML(path, root));
    EXPECT_EQ(Attribute(doc, doc.FindChildElement(root, L"Item"), L"Rect"), L"1,2");
    DeleteFileW(path);
    EXPECT_FALSE(doc.WriteData(L"C:\\no\\such\\folder\\out.xml"));
}

TEST_F(XmlDocumentTest, RefusedElementsThrowNothingAndLeaveNoTrace) {
    CString before;
    ASSERT_TRUE(doc.WriteDataToString(before));
    struct {
        DOMNode* parent;
        const wchar_t* name;
        const wchar_t* attribute;
    } refused[] = {{root, L"a b", L"ok"},
                   {root, L"", L"ok"},
                   {root, L"Item", L"bad name"},
                   {root, L"Item", L"1x"},
                   {doc.m_pDocument, L"Item", L"ok"},
                   {root->getFirstChild(), L"Item", L"ok"}};
    for (const auto& c : refused) {
        EXPECT_EQ(CreateChildElement(doc, c.parent, c.name, Pairs({c.attribute, L"v"})), nullptr)
            << static_cast<const char*>(CStringA(c.name)) << " " << c.attribute;
    }
    CString after;
    ASSERT_TRUE(doc.WriteDataToString(after));
    EXPECT_EQ(after, before);
}

TEST(XmlDocumentLoad, BrokenOrHostileDocumentsGiveNoDocument) {
    CXmlDocument doc;
    DOMElement* root = reinterpret_cast<DOMElement*>(1);
    EXPECT_FALSE(LoadBytes(doc, kSkin, root)); // before InitXML
    EXPECT_EQ(root, nullptr);
    CString text;
    EXPECT_FALSE(doc.WriteDataToString(text));
    ASSERT_TRUE(doc.InitXML());
    const std::string refused[] = {
        "this is not XML at all", std::string(kSkin, sizeof kSkin / 2),
        // A DTD is the door to files named by entities and to expansion bombs.
        "<!DOCTYPE r [<!ENTITY a \"xxxxxxxxxx\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]><r>&b;</r>",
        "<!DOCTYPE r SYSTEM \"C:\\windows\\win.ini\"><r/>"};
    for (const std::string& bytes : refused) {
        root = reinterpret_cast<DOMElement*>(1);
        EXPECT_FALSE(LoadBytes(doc, bytes, root)) << bytes;
        EXPECT_EQ(root, nullptr);
        EXPECT_EQ(doc.m_pDocument, nullptr);
    }
    CString path = TempPath(L"kv_truncated.xml");
    WriteFileBytes(path, refused[1]);
    EXPECT_FALSE(doc.LoadXML(path, root));
    DeleteFileW(path);
    EXPECT_FALSE(doc.LoadXML(TempPath(L"kv_does_not_exist.xml"), root));
    EXPECT_TRUE(LoadBytes(doc, kSkin, root)); // the same object parses again
}

TEST_F(XmlDocumentTest, NothingDeeperThanTheLimitIsParsedCreatedOrWritten) {
    CXmlDocument deep;
    DOMElement* deepRoot = nullptr;
    ASSERT_TRUE(deep.InitXML() && LoadBytes(deep, Nested(kMaxXmlDepth), deepRoot));
    EXPECT_FALSE(LoadBytes(deep, Nested(kMaxXmlDepth + 1), deepRoot));
    const std::string tooDeep = Nested(1000000);
    EXPECT_FALSE(LoadBytes(deep, tooDeep, deepRoot));
    CString path = TempPath(L"kv_deep.xml");
    WriteFileBytes(path, tooDeep);
    EXPECT_FALSE(deep.LoadXML(path, deepRoot));
    DeleteFileW(path);

    DOMNode* parent = root; // at depth 1
    for (int depth = 2; depth <= kMaxXmlDepth; ++depth)
        ASSERT_NE(parent = CreateChildElement(doc, parent, L"a", Pairs({})), nullptr) << depth;
    EXPECT_EQ(CreateChildElement(doc, parent, L"a", Pairs({})), nullptr);
    CString text;
    EXPECT_TRUE(doc.WriteDataToString(text));
    // Built through the DOM itself, from the leaf up, so that each append is cheap.
    DOMNode* chain = doc.m_pDocument->createElement(u"a");
    for (int i = 1; i < 1000000; ++i)
        chain = doc.m_pDocument->createElement(u"a")->appendChild(chain)->getParentNode();
    root->appendChild(chain);
    EXPECT_FALSE(doc.WriteDataToString(text));
    path = TempPath(L"kv_deep_out.xml");
    EXPECT_FALSE(doc.WriteData(path));
    EXPECT_EQ(GetFileAttributesW(path), INVALID_FILE_ATTRIBUTES);
}

TEST(XmlStringTranslateTest, KeepsTheLastChunkAndSurvivesAnUnknownEncoding) {
    XMLStringTranslate latin1("ISO-8859-1");
    EXPECT_EQ(latin1.m_pOutput, nullptr);
    // A character the encoding cannot hold becomes a character reference,
    // delivered as a chunk of its own.
    *latin1.m_pFormatter << u"\u4e2d";
    EXPECT_STREQ(latin1.m_pOutput, "&#x4E2D;");
    *latin1.m_pFormatter << u"caf\u00e9";
    EXPECT_STREQ(latin1.m_pOutput, "caf\xe9");

    XMLStringTranslate unknown("no-such-encoding");
    EXPECT_EQ(unknown.m_pFormatter, nullptr);
}
