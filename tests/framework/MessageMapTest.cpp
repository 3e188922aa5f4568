#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class CBaseTarget : public CCmdTarget {
public:
    std::string m_log;
    UINT m_nRangeId = 0;

protected:
    afx_msg void OnSave() { m_log += "base-save;"; }
    afx_msg void OnOpen() { m_log += "base-open;"; }
    afx_msg void OnRange(UINT nID) { m_nRangeId = nID; }
    afx_msg void OnClicked() { m_log += "base-clicked;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
ON_COMMAND(100, OnSave)
ON_COMMAND(101, OnOpen)
ON_COMMAND_RANGE(200, 209, OnRange)
ON_BN_CLICKED(300, OnClicked)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
protected:
    afx_msg void OnOpen() { m_log += "derived-open;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
ON_COMMAND(101, OnOpen)
END_MESSAGE_MAP()

// Handlers in the map may be protected: the map is a member of the class.
class CEmptyMap : public CDerivedTarget {
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CEmptyMap, CDerivedTarget)
END_MESSAGE_MAP()

} // namespace

// Derived entries come first, then the base map; ranges, codes and IDs must all match.
TEST(MessageMap, CommandsFindTheFirstMatchingEntry) {
    CEmptyMap target;
    EXPECT_TRUE(target.OnCmdMsg(101, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(target.OnCmdMsg(300, BN_CLICKED, nullptr, nullptr));
    EXPECT_FALSE(target.OnCmdMsg(300, BN_DOUBLECLICKED, nullptr, nullptr));
    EXPECT_FALSE(target.OnCmdMsg(999, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ("derived-open;base-save;base-clicked;", target.m_log);
    EXPECT_TRUE(target.OnCmdMsg(205, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(205u, target.m_nRangeId);
    EXPECT_FALSE(target.OnCmdMsg(210, CN_COMMAND, nullptr, nullptr));
}
