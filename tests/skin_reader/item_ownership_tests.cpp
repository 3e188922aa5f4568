// Each control object made for a dynamic item has exactly one owner: the
// item record. Counting live objects shows leaks and double deletes alike.
#include "skin/XMLParseBase.h"
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

static_assert(!std::is_copy_constructible_v<_XmlDynamicItem>, "a control has one owner");
static_assert(!std::is_copy_assignable_v<_XmlDynamicItem>, "a control has one owner");
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
    std::string m_strPayload = std::string(64, 'x');
};

class ItemOwnershipTest : public testing::Test {
protected:
    ItemOwnershipTest() : m_folder(L"kv_item_ownership") {
        g_nLive = 0;
        g_nDerivedDestroyed = 0;
        m_strSkin = m_folder.Write(L"own.xml", R"(<S>
            <One><DynamicInfo><I ID="a" Name="first"/><I ID="b"/></DynamicInfo></One>
            <Two><DynamicInfo><I ID="A" Name="again"/></DynamicInfo></Two>
          </S>)");
        std::string many = "<S><Many><DynamicInfo>";
        for (int i = 0; i < 200; ++i)
            many += "<I ID=\"m" + std::to_string(i) + "\"/>";
        many += "</DynamicInfo></Many></S>";
        m_strMany = m_folder.Write(L"many.xml", many);
    }

    CSkinTestFolder m_folder;
    CString m_strSkin;
    CString m_strMany;
};

} // namespace

TEST_F(ItemOwnershipTest, DestroyingTheReaderDeletesEveryControlOnce) {
    {
        CKvXMLParseBase reader;
        reader.LoadSkin(m_strSkin, L"One", L"", L"default");
        ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
        reader.m_arrDynamicItems[0].pControl.reset(new CPlainControl);
        reader.m_arrDynamicItems[1].pControl.reset<CControlBase>(new CDerivedControl);
        EXPECT_EQ(g_nLive, 2);
    }
    EXPECT_EQ(g_nLive, 0);
    EXPECT_EQ(g_nDerivedDestroyed, 1);
}

TEST_F(ItemOwnershipTest, UpdatesAndGrowthKeepTheSameControl) {
    CKvXMLParseBase reader;
    reader.LoadSkin(m_strSkin, L"One", L"", L"default");
    auto* control = new CPlainControl;
    reader.m_arrDynamicItems[0].pControl.reset(control);

    reader.LoadSkin(m_strSkin, L"Two", L"", L"default");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
    EXPECT_EQ(reader.m_arrDynamicItems[0].strName, L"again");
    EXPECT_EQ(reader.m_arrDynamicItems[0].pControl.get<CPlainControl>(), control);

    // Two hundred more items reallocate the array many times over.
    reader.LoadSkin(m_strMany, L"Many", L"", L"default");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 202u);
    EXPECT_EQ(reader.m_arrDynamicItems[0].pControl.get<CPlainControl>(), control);
    EXPECT_EQ(g_nLive, 1);
}

TEST_F(ItemOwnershipTest, ReplacingReleasingAndMovingControls) {
    _XmlDynamicItem item;
    item.pControl.reset(new CPlainControl);
    item.pControl.reset(new CPlainControl);
    EXPECT_EQ(g_nLive, 1) << "the replaced control is deleted";

    _XmlDynamicItem moved(std::move(item));
    EXPECT_TRUE(item.pControl.empty());
    EXPECT_EQ(g_nLive, 1);
    _XmlDynamicItem target;
    target.pControl.reset<CControlBase>(new CDerivedControl);
    target = std::move(moved);
    EXPECT_EQ(g_nLive, 1) << "the control the target held is deleted";
    EXPECT_EQ(g_nDerivedDestroyed, 1);

    CPlainControl* released = target.pControl.release<CPlainControl>();
    ASSERT_NE(released, nullptr);
    EXPECT_TRUE(target.pControl.empty());
    EXPECT_EQ(g_nLive, 1);
    delete released;
    EXPECT_EQ(g_nLive, 0);
}

TEST_F(ItemOwnershipTest, ControlsAreReturnedOnlyAsTheTypeStored) {
    _XmlDynamicItem item;
    EXPECT_EQ(item.pControl.get<CPlainControl>(), nullptr);
    auto* derived = new CDerivedControl;
    item.pControl.reset<CControlBase>(derived);
    EXPECT_EQ(item.pControl.get<CControlBase>(), derived);
    EXPECT_EQ(item.pControl.get<CDerivedControl>(), nullptr);
    EXPECT_EQ(item.pControl.get<CPlainControl>(), nullptr);
    EXPECT_EQ(item.pControl.release<CPlainControl>(), nullptr);
    EXPECT_FALSE(item.pControl.empty()) << "a mistyped release keeps ownership";
    item.pControl.reset();
    EXPECT_EQ(g_nLive, 0);
    item.pControl.reset(static_cast<CPlainControl*>(nullptr));
    EXPECT_TRUE(item.pControl.empty());
}
