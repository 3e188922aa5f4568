// Each control object made for a dynamic item has exactly one owner: the
// item record. Counting live objects shows leaks and double deletes alike.
#include "skin/XMLParseBase.h"
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

static_assert(!std::is_copy_constructible_v<_XmlDynamicItem>, "a control has one owner");
static_assert(std::is_nothrow_move_constructible_v<_XmlDynamicItem>,
              "the array must move records when it grows, never copy them");

namespace {

int g_nLive = 0;
int g_nDerivedDestroyed = 0;

// Like a windowless item: no base class and no virtual destructor.
struct CPlainControl {
    CPlainControl() { ++g_nLive; }
    ~CPlainControl() { --g_nLive; }
};

struct CControlBase {
    CControlBase() { ++g_nLive; }
    virtual ~CControlBase() { --g_nLive; }
};

struct CDerivedControl : CControlBase {
    ~CDerivedControl() override { ++g_nDerivedDestroyed; }
};

} // namespace

TEST(ItemOwnership, TheReaderKeepsEachControlThroughUpdatesAndGrowthAndDeletesItOnce) {
    ImageKit::TempFolder folder(L"kv_item_ownership");
    std::string skin = R"(<S><One><DynamicInfo><I ID="a"/><I ID="b"/></DynamicInfo></One>
        <Many><DynamicInfo><I ID="A" Name="again"/>)";
    for (int i = 0; i < 200; ++i) // enough to reallocate the array many times over
        skin += "<I ID=\"m" + std::to_string(i) + "\"/>";
    const CString path =
        WriteSkinFile(folder.Path(), L"own.xml", skin + "</DynamicInfo></Many></S>");
    g_nLive = g_nDerivedDestroyed = 0;
    {
        CKvXMLParseBase reader;
        reader.LoadSkin(path, L"One", L"", L"default");
        ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
        auto* plain = new CPlainControl;
        reader.m_arrDynamicItems[0].pControl.reset(plain);
        reader.m_arrDynamicItems[1].pControl.reset<CControlBase>(new CDerivedControl);
        reader.LoadSkin(path, L"Many", L"", L"default");
        ASSERT_EQ(reader.m_arrDynamicItems.size(), 202u);
        EXPECT_EQ(reader.m_arrDynamicItems[0].strName, L"again");
        EXPECT_EQ(reader.m_arrDynamicItems[0].pControl.get<CPlainControl>(), plain);
        EXPECT_EQ(g_nLive, 2);
    }
    EXPECT_EQ(g_nLive, 0);
    EXPECT_EQ(g_nDerivedDestroyed, 1);
}

TEST(ItemOwnership, ReplacingMovingAndReleasingKeepOneOwner) {
    g_nLive = g_nDerivedDestroyed = 0;
    _XmlDynamicItem item, target;
    item.pControl.reset(new CPlainControl);
    item.pControl.reset(new CPlainControl);
    EXPECT_EQ(g_nLive, 1) << "the replaced control is deleted";
    target.pControl.reset<CControlBase>(new CDerivedControl);
    target = std::move(item);
    EXPECT_TRUE(item.pControl.empty());
    EXPECT_EQ(g_nLive, 1) << "the control the target held is deleted";
    EXPECT_EQ(g_nDerivedDestroyed, 1);
    // Only the type stored gets the object; a mistyped release keeps ownership.
    EXPECT_EQ(target.pControl.get<CControlBase>(), nullptr);
    EXPECT_EQ(target.pControl.release<CControlBase>(), nullptr);
    CPlainControl* released = target.pControl.release<CPlainControl>();
    ASSERT_NE(released, nullptr);
    EXPECT_TRUE(target.pControl.empty());
    delete released;
    EXPECT_EQ(g_nLive, 0);
}
