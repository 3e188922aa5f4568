// The XML document layer against the real Xerces inside Kelvane.dll. The skin
// reader's tests find elements without case, first of twins, past text and
// comments, and read attributes with their case and entities.
#include "xml/XmlDocument.h"
#include "xml/PositionedDocument.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/ImageKit.h"

using namespace xercesc;

namespace {

const char kSkin[] = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n"
                     "<Skin>\n"
                     "  text\n"
                     "  <WindowInfo ItemID=\"first\" Empty=\"\"/>\n"
                     "</Skin>\n";

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
    ImageKit::TempFolder folder{L"kv_xml"};
};

} // namespace

TEST_F(XmlDocumentTest, ChangesAppearInTheTextAndTheFileRefusedOnesNowhere) {
    DOMElement* info = doc.FindChildElement(root, L"WindowInfo");
    EXPECT_EQ(doc.FindChildElement(nullptr, L"WindowInfo"), nullptr);
    EXPECT_EQ(Attribute(doc, root->getFirstChild(), L"ItemID"), L""); // a text node
    EXPECT_TRUE(SetAttributeValues(doc, info, Pairs({L"ItemID", L"Caf\u00e9", L"New", L"x"})));
    EXPECT_EQ(Attribute(doc, info, L"New"), CString());
    // Cut to the 260-byte ANSI buffer, never written past it.
    EXPECT_TRUE(SetAttributeValues(doc, info, Pairs({L"Empty", CString(L'x', 1000)})));
    EXPECT_EQ(Attribute(doc, info, L"Empty"), CString(L'x', 259));
    EXPECT_NE(CreateChildElement(doc, root, L"Item", Pairs({L"Name", L"OK", L"Rect", L"1,2"})),
              nullptr);

    // Refused elements throw nothing and leave no trace.
    CString before, text;
    ASSERT_TRUE(doc.WriteDataToString(before));
    const wchar_t* const badNames[][2] = {{L"a b", L"ok"}, {L"Item", L"bad name"}};
    for (const auto& names : badNames)
        EXPECT_EQ(CreateChildElement(doc, root, names[0], Pairs({names[1], L"v"})), nullptr)
            << names[0] << " " << names[1];
    for (DOMNode* parent : std::initializer_list<DOMNode*>{nullptr, doc.m_pDocument,
                                                           root->getFirstChild()}) // a text node
        EXPECT_EQ(CreateChildElement(doc, parent, L"Item", Pairs({L"ok", L"v"})), nullptr);
    ASSERT_TRUE(doc.WriteDataToString(text));
    EXPECT_EQ(text, before);
    EXPECT_EQ(text.Find(L"<?xml"), 0); // no byte-order mark
    EXPECT_GE(text.Find(L"ItemID=\"Caf\u00e9\""), 0);

    const CString path = folder.File(L"roundtrip.xml").c_str();
    ASSERT_TRUE(doc.WriteData(path));
    ASSERT_TRUE(doc.LoadXML(path, root));
    EXPECT_EQ(Attribute(doc, doc.FindChildElement(root, L"Item"), L"Rect"), L"1,2");
    EXPECT_FALSE(doc.WriteData(L"C:\\no\\such\\folder\\out.xml"));
}

TEST_F(XmlDocumentTest, BrokenOrHostileDocumentsGiveNoDocument) {
    CXmlDocument fresh;
    DOMElement* none = reinterpret_cast<DOMElement*>(1);
    EXPECT_FALSE(LoadBytes(fresh, kSkin, none)); // before InitXML
    EXPECT_EQ(none, nullptr);
    CString text;
    EXPECT_FALSE(fresh.WriteDataToString(text));
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
    EXPECT_FALSE(doc.LoadXML(folder.File(L"missing.xml").c_str(), root));
    EXPECT_TRUE(LoadBytes(doc, kSkin, root)); // the same object parses again
}

TEST_F(XmlDocumentTest, NothingDeeperThanTheLimitIsParsedCreatedOrWritten) {
    EXPECT_TRUE(LoadBytes(doc, Nested(kMaxXmlDepth), root));
    EXPECT_FALSE(LoadBytes(doc, Nested(kMaxXmlDepth + 1), root));
    EXPECT_FALSE(LoadBytes(doc, Nested(1000000), root)); // in milliseconds
    const std::wstring deep = folder.File(L"deep.xml");
    ASSERT_TRUE(ImageKit::WriteBytes(deep, Nested(kMaxXmlDepth + 1)));
    EXPECT_TRUE(CPositionedDocument().Parse(deep.c_str()).has_value()); // a failure
    ASSERT_TRUE(LoadBytes(doc, kSkin, root));

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
    EXPECT_FALSE(doc.WriteData(folder.File(L"deep_out.xml").c_str()));
    EXPECT_EQ(GetFileAttributesW(folder.File(L"deep_out.xml").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(XmlStringTranslateTest, KeepsTheLastChunkAndSurvivesAnUnknownEncoding) {
    XMLStringTranslate latin1("ISO-8859-1");
    // A character the encoding cannot hold becomes a character reference,
    // delivered as a chunk of its own.
    *latin1.m_pFormatter << u"\u4e2d";
    EXPECT_STREQ(latin1.m_pOutput, "&#x4E2D;");
    *latin1.m_pFormatter << u"caf\u00e9";
    EXPECT_STREQ(latin1.m_pOutput, "caf\xe9");
    XMLStringTranslate unknown("no-such-encoding");
    EXPECT_EQ(unknown.m_pFormatter, nullptr);
}
