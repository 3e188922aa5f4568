// The XML document layer against the real Xerces inside Kelvane.dll.
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <xercesc/util/XMLString.hpp>

#include <string>

using namespace xercesc;

namespace {

const char kSkin[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<Skin>\n"
                     "  <!-- a comment between children -->\n"
                     "  text\n"
                     "  <Nested><WindowInfo ItemID=\"deep\"/></Nested>\n"
                     "  <WindowInfo ItemID=\"first\" Empty=\"\"/>\n"
                     "  <windowinfo ItemID=\"second\"/>\n"
                     "</Skin>\n";

CString TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    CString path(dir);
    path += name;
    return path;
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
    CString value;
    doc.GetAttributeValue(node, name, value);
    return value;
}

class XmlDocumentTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.InitXML());
        ASSERT_TRUE(LoadBytes(doc, kSkin, root));
        ASSERT_NE(root, nullptr);
    }
    CXmlDocument doc;
    DOMElement* root = nullptr;
};

} // namespace

TEST(XmlDocumentLifecycle, OperationsBeforeInitFailCleanly) {
    CXmlDocument doc;
    EXPECT_EQ(doc.m_pDocument, nullptr);
    EXPECT_EQ(doc.m_pBuilder, nullptr);
    EXPECT_EQ(doc.m_pImplementation, nullptr);
    DOMElement* root = reinterpret_cast<DOMElement*>(1);
    EXPECT_FALSE(doc.LoadXML(L"C:\\nothing.xml", root));
    EXPECT_EQ(root, nullptr);
    root = reinterpret_cast<DOMElement*>(1);
    EXPECT_FALSE(LoadBytes(doc, kSkin, root));
    EXPECT_EQ(root, nullptr);
    CString text;
    EXPECT_FALSE(doc.WriteDataToString(text));
    EXPECT_FALSE(doc.WriteData(TempPath(L"kv_never_written.xml")));
}

TEST_F(XmlDocumentTest, FindChildElementIgnoresCaseAndStaysAmongChildren) {
    DOMElement* found = doc.FindChildElement(root, L"windowinfo");
    ASSERT_NE(found, nullptr);
    // The first of two matching siblings, not the grandchild under Nested.
    EXPECT_EQ(Attribute(doc, found, L"ItemID"), CString(L"first"));
    EXPECT_EQ(doc.FindChildElement(root, L"Missing"), nullptr);
    EXPECT_EQ(doc.FindChildElement(nullptr, L"WindowInfo"), nullptr);
    DOMElement* nested = doc.FindChildElement(root, L"NESTED");
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(Attribute(doc, doc.FindChildElement(nested, L"WindowInfo"), L"ItemID"),
              CString(L"deep"));
}

TEST_F(XmlDocumentTest, AttributeNamesAreCaseSensitiveAndEmptyValuesCount) {
    DOMElement* info = doc.FindChildElement(root, L"WindowInfo");
    CString value = L"stale";
    EXPECT_FALSE(doc.GetAttributeValue(info, L"itemid", value));
    EXPECT_TRUE(value.IsEmpty());
    value = L"stale";
    EXPECT_TRUE(doc.GetAttributeValue(info, L"Empty", value));
    EXPECT_TRUE(value.IsEmpty());
    value = L"stale";
    EXPECT_FALSE(doc.GetAttributeValue(nullptr, L"ItemID", value));
    EXPECT_TRUE(value.IsEmpty());
    // A text node has no attribute map.
    value = L"stale";
    EXPECT_FALSE(doc.GetAttributeValue(root->getFirstChild(), L"ItemID", value));
    EXPECT_TRUE(value.IsEmpty());
}

TEST_F(XmlDocumentTest, ChangesAppearInTheUtf16TextWithoutByteOrderMark) {
    CStringArray pairs;
    pairs.Add(L"ItemID");
    pairs.Add(L"Caf\u00e9");
    pairs.Add(L"NotThere");
    pairs.Add(L"ignored");
    DOMElement* info = doc.FindChildElement(root, L"WindowInfo");
    EXPECT_TRUE(SetAttributeValues(doc, info, pairs));
    EXPECT_EQ(Attribute(doc, info, L"ItemID"), CString(L"Caf\u00e9"));
    CString absent;
    EXPECT_FALSE(doc.GetAttributeValue(info, L"NotThere", absent));
    EXPECT_FALSE(SetAttributeValues(doc, nullptr, pairs));

    CStringArray attributes;
    attributes.Add(L"Name");
    attributes.Add(L"OK");
    attributes.Add(L"Rect");
    attributes.Add(L"1,2,3,4");
    DOMElement* added = CreateChildElement(doc, root, L"Item", attributes);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(root->getLastChild(), added);
    DOMElement* bare = CreateChildElement(doc, root, L"Bare", CStringArray());
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->getAttributes()->getLength(), 0u);
    EXPECT_EQ(CreateChildElement(doc, nullptr, L"Item", attributes), nullptr);

    CString text;
    ASSERT_TRUE(doc.WriteDataToString(text));
    ASSERT_FALSE(text.IsEmpty());
    EXPECT_NE(text[0], L'\xFEFF');
    EXPECT_EQ(text.Find(L"<?xml"), 0);
    EXPECT_GE(text.Find(L"ItemID=\"Caf\u00e9\""), 0);
    EXPECT_GE(text.Find(L"<Item Name=\"OK\" Rect=\"1,2,3,4\"/>"), 0);
    EXPECT_GE(text.Find(L"<Bare/>"), 0);
}

TEST_F(XmlDocumentTest, LongAttributeValueIsCutToTheAnsiBuffer) {
    CStringArray pairs;
    pairs.Add(L"ItemID");
    pairs.Add(CString(L'x', 1000));
    DOMElement* info = doc.FindChildElement(root, L"WindowInfo");
    EXPECT_TRUE(SetAttributeValues(doc, info, pairs));
    EXPECT_EQ(Attribute(doc, info, L"ItemID"), CString(L'x', 259));
}

TEST_F(XmlDocumentTest, WriteToFileRoundTripsAndLeavesTheDocumentAlone) {
    CString path = TempPath(L"kv_xml_roundtrip.xml");
    DeleteFileW(path);
    ASSERT_TRUE(doc.WriteData(path));
    EXPECT_EQ(doc.m_pDocument->getDocumentElement(), root);

    CXmlDocument again;
    ASSERT_TRUE(again.InitXML());
    DOMElement* reread = nullptr;
    ASSERT_TRUE(again.LoadXML(path, reread));
    EXPECT_TRUE(XMLString::equals(reread->getNodeName(), u"Skin"));
    EXPECT_EQ(Attribute(again, again.FindChildElement(reread, L"WindowInfo"), L"ItemID"),
              CString(L"first"));
    DeleteFileW(path);

    EXPECT_FALSE(doc.WriteData(L"C:\\no\\such\\folder\\out.xml"));
}

TEST(XmlDocumentLoad, FilesThatAreMissingOrNotXmlGiveNoDocument) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.InitXML());
    DOMElement* root = reinterpret_cast<DOMElement*>(1);
    EXPECT_FALSE(doc.LoadXML(TempPath(L"kv_does_not_exist.xml"), root));
    EXPECT_EQ(root, nullptr);

    root = reinterpret_cast<DOMElement*>(1);
    EXPECT_FALSE(LoadBytes(doc, "this is not XML at all", root));
    EXPECT_EQ(root, nullptr);
}

TEST(XmlDocumentLoad, TruncatedDocumentIsRefusedNotHalfLoaded) {
    CXmlDocument doc;
    ASSERT_TRUE(doc.InitXML());
    std::string cut(kSkin, sizeof kSkin / 2);
    DOMElement* root = nullptr;
    EXPECT_FALSE(LoadBytes(doc, cut, root));
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(doc.m_pDocument, nullptr);
    CString text;
    EXPECT_FALSE(doc.WriteDataToString(text));

    CString path = TempPath(L"kv_truncated.xml");
    WriteFileBytes(path, cut);
    EXPECT_FALSE(doc.LoadXML(path, root));
    EXPECT_EQ(root, nullptr);
    DeleteFileW(path);

    // The same object parses a good document afterwards.
    EXPECT_TRUE(LoadBytes(doc, kSkin, root));
    EXPECT_NE(root, nullptr);
}

TEST(XmlDocumentLoad, CallerBytesAreNeitherTakenNorChanged) {
    std::string bytes = kSkin;
    const std::string original = bytes;
    {
        CXmlDocument doc;
        ASSERT_TRUE(doc.InitXML());
        DOMElement* root = nullptr;
        ASSERT_TRUE(LoadBytes(doc, bytes, root));
    }
    EXPECT_EQ(bytes, original);
}

TEST(XmlStringTranslateTest, KeepsTheLastChunkInTheTargetEncoding) {
    XMLStringTranslate utf8("UTF-8");
    EXPECT_EQ(utf8.m_pOutput, nullptr);
    *utf8.m_pFormatter << u"caf\u00e9";
    ASSERT_NE(utf8.m_pOutput, nullptr);
    EXPECT_STREQ(utf8.m_pOutput, "caf\xc3\xa9");

    // A character the encoding cannot hold becomes a character reference,
    // delivered as a chunk of its own.
    XMLStringTranslate latin1("ISO-8859-1");
    *latin1.m_pFormatter << u"\u4e2d";
    ASSERT_NE(latin1.m_pOutput, nullptr);
    EXPECT_STREQ(latin1.m_pOutput, "&#x4E2D;");
    *latin1.m_pFormatter << u"caf\u00e9";
    EXPECT_STREQ(latin1.m_pOutput, "caf\xe9");
}
