#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>

namespace {

class CBaseTarget : public CCmdTarget {
public:
    std::string m_log;

protected:
    afx_msg void OnSave() { m_log += "base-save;"; }
    afx_msg void OnOpen() { m_log += "base-open;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
ON_COMMAND(100, OnSave)
ON_COMMAND(101, OnOpen)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
protected:
    afx_msg void OnOpen() { m_log += "derived-open;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
ON_COMMAND(101, OnOpen)
END_MESSAGE_MAP()

} // namespace

// Derived entries come first, then the base map; codes and IDs must both match.
TEST(MessageMap, CommandsFindTheFirstMatchingEntry) {
    CDerivedTarget target;
    EXPECT_TRUE(target.OnCmdMsg(101, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(target.OnCmdMsg(100, BN_DOUBLECLICKED, nullptr, nullptr));
    EXPECT_FALSE(target.OnCmdMsg(999, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ("derived-open;base-save;", target.m_log);
}
