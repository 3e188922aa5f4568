// The skin description reader on real skin files, parsed by the real Xerces
// inside Kelvane.dll.
#include "skin/XMLParseBase.h"
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {

const char kSkin[] = R"(<AnyRoot>
  <CommonWindow>text between elements
    <MainDlgInfo>
      <WindowInfo>
        <I ItemID="Title" Data="Main &amp; more"/>
        <I itemid="Lower" Data="stored under the empty key"/>
        <I ItemID="Twice" Data="first"/><I ItemID="Twice" Data="second"/>
        <I ItemID="BackBmp" Data="bk\main.png"/>
        <I ItemID="ChildPos" Data=" 5 , 7 "/>
        <I ItemID="Bad" Data="abc"/>
      </WindowInfo>
      <PosInfo><P ItemID="red" Color="FF0000"/><P ItemID="white" Color=""/></PosInfo>
      <DynamicInfo>
        <I ID="BTN_OK" Name="OK" FontSize="0x10" BkImg="ok.png" Pos=" 10 , 20 , 100 , 30 "/>
        <!-- only elements count -->
        <Label ID="LBL" FontSize="12px"/>
      </DynamicInfo>
    </MainDlgInfo>
    <Second>
      <WindowInfo><I ItemID="Title" Data="Second"/></WindowInfo>
      <DynamicInfo><I ID="btn_ok" Icon="new.png"/><I ID="LBL" FontSize="abc"/><I ID="NEW"/>
      </DynamicInfo>
    </Second>
    <MainDlgInfo><WindowInfo><I ItemID="Title" Data="a later twin is never read"/></WindowInfo>
    </MainDlgInfo>
  </CommonWindow>
</AnyRoot>
)";

const wchar_t kMain[] = L"CommonWindow\\MainDlgInfo";

class SkinReaderTest : public SkinFileTest {
protected:
    CString m_strSkin = Write(L"main.xml", kSkin);
};

} // namespace

TEST_F(SkinReaderTest, SectionPathsReachOneElementOrAddNothing) {
    const struct {
        const wchar_t* section;
        const wchar_t* section2;
        const wchar_t* title;
        size_t items;
    } cases[] = {
        {kMain, L"", L"Main & more", 2},
        {L"commonwindow\\maindlginfo\\\\\\", L"", L"Main & more", 2},
        {L"", L"", L"", 0},
        {L"\\CommonWindow\\MainDlgInfo", L"", L"", 0},
        {L"CommonWindow\\\\MainDlgInfo", L"", L"", 0},
        {L"CommonWindow\\Missing", L"CommonWindow\\Second", L"Second", 3},
    };
    for (const auto& c : cases) {
        CKvXMLParseBase reader;
        reader.LoadSkin(m_strSkin, c.section, c.section2, L"default");
        CString title;
        reader.GetWindowInfo(L"Title", title, FALSE);
        EXPECT_EQ(title, c.title) << c.section;
        EXPECT_EQ(reader.m_arrDynamicItems.size(), c.items) << c.section;
    }
}

TEST_F(SkinReaderTest, WindowEntriesPositionRecordsAndLookups) {
    CKvXMLParseBase reader;
    reader.LoadSkin(m_strSkin, kMain, L"", L"default");
    EXPECT_EQ(reader.m_mapWindowInfo[L""], L"stored under the empty key");
    EXPECT_EQ(reader.m_mapWindowInfo[L"Twice"], L"second");
    CString text;
    reader.GetWindowInfo(L"BackBmp", text, TRUE);
    EXPECT_EQ(text, Directory() + L"default\\bk\\main.png");
    reader.GetWindowInfo(L"Absent", text, TRUE);
    EXPECT_TRUE(text.IsEmpty());
    int value = 99;
    EXPECT_TRUE(reader.GetWindowInfoInt(L"Bad", value));
    EXPECT_EQ(value, 0);
    value = 99;
    EXPECT_FALSE(reader.GetWindowInfoInt(L"Absent", value));
    EXPECT_EQ(value, 0);
    POINT point{-1, -1};
    reader.GetWindowInfoPoint(L"ChildPos", point);
    EXPECT_EQ(std::make_pair(point.x, point.y), std::make_pair(5L, 7L));
    reader.GetWindowInfoPoint(L"Absent", point);
    EXPECT_EQ(std::make_pair(point.x, point.y), std::make_pair(0L, 0L));
    RECT rect{};
    EXPECT_EQ(reader.m_mapPosInfo[L"red"]->clrColor, 0x00FF0000u);
    EXPECT_EQ(reader.m_mapPosInfo[L"white"]->clrColor, 0xFFFFFFFFu);
    // Sums wrap at 32 bits rather than overflow.
    EXPECT_TRUE(ReadSkinRect(L"2147483647,0,1,0", rect));
    EXPECT_EQ(rect.right, INT32_MIN);
}

TEST_F(SkinReaderTest, SecondSectionUpdatesItemsInPlaceAndAppendsNewOnes) {
    CKvXMLParseBase reader;
    reader.LoadSkin(m_strSkin, kMain, L"CommonWindow\\Second", L"night");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 3u);
    const _XmlDynamicItem& ok = reader.m_arrDynamicItems[0];
    EXPECT_EQ(ok.strID, L"btn_ok");
    EXPECT_TRUE(ok.strName.IsEmpty());
    EXPECT_EQ(ok.nFontSize, 16);
    EXPECT_EQ(std::make_tuple(ok.rcPos.left, ok.rcPos.top, ok.rcPos.right, ok.rcPos.bottom),
              std::make_tuple(10L, 20L, 110L, 50L));
    EXPECT_EQ(ok.strBkImg, Directory() + L"night\\ok.png");
    EXPECT_EQ(ok.strIcon, Directory() + L"night\\new.png");
    EXPECT_EQ(reader.m_arrDynamicItems[1].nFontSize, 12) << "12px reads 12, abc keeps it";
    EXPECT_TRUE(reader.m_arrDynamicItems[1].strIcon.IsEmpty());
    EXPECT_EQ(reader.m_arrDynamicItems[2].strID, L"NEW");
    EXPECT_EQ(reader.m_mapWindowInfo[L"Title"], L"Second");
}

TEST_F(SkinReaderTest, IdsCompareWithoutCaseAlsoAfterTheDialogEditedTheArray) {
    CString skin = Write(L"ids.xml", R"(<S><W><DynamicInfo>
        <I Name="a" FontSize="3"/><I ID="" Name="b" Icon="i.png"/>
        <I ID="&#xE4;" Name="lower"/><I ID="&#xC4;" Name="upper"/>
      </DynamicInfo></W></S>)");
    // Windows takes '/' as a separator too: the skin folder is the same.
    CString forward(skin);
    forward.Replace(L'\\', L'/');
    CKvXMLParseBase reader;
    reader.LoadSkin(forward, L"W", L"", L"default");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
    EXPECT_EQ(reader.m_arrDynamicItems[0].strName, L"b");
    EXPECT_EQ(reader.m_arrDynamicItems[0].nFontSize, 3);
    CString icon = reader.m_arrDynamicItems[0].strIcon;
    icon.Replace(L'/', L'\\');
    EXPECT_EQ(icon, Directory() + L"default\\i.png");
    EXPECT_EQ(reader.m_arrDynamicItems[1].strName, L"upper");
    // A later load finds items where they are now, not where an earlier load left them.
    reader.m_arrDynamicItems.erase(reader.m_arrDynamicItems.begin());
    reader.LoadSkin(skin, L"W", L"", L"default");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
    EXPECT_EQ(reader.m_arrDynamicItems[0].strName, L"upper");
    EXPECT_EQ(reader.m_arrDynamicItems[1].strName, L"b");
}

// Items that repeat a text may share its characters: a change made to one
// item's text, in place or by a later load, leaves the other's as read.
TEST_F(SkinReaderTest, ItemsWithEqualTextsStayIndependent) {
    CString skin = Write(L"equal.xml", R"(<S><W><DynamicInfo>
        <I ID="a" FontName="Sans" BkImg="b.png"/><I ID="b" FontName="Sans" BkImg="b.png"/>
      </DynamicInfo></W><V><DynamicInfo><I ID="A" FontName="Serif"/></DynamicInfo></V></S>)");
    CKvXMLParseBase reader;
    reader.LoadSkin(skin, L"W", L"", L"default");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
    reader.m_arrDynamicItems[0].strFontName.SetAt(0, L'X');
    reader.m_arrDynamicItems[0].strBkImg.MakeUpper();
    EXPECT_EQ(reader.m_arrDynamicItems[1].strFontName, L"Sans");
    EXPECT_EQ(reader.m_arrDynamicItems[1].strBkImg, Directory() + L"default\\b.png");
    reader.LoadSkin(skin, L"V", L"", L"default");
    EXPECT_EQ(reader.m_arrDynamicItems[0].strFontName, L"Serif");
    EXPECT_EQ(reader.m_arrDynamicItems[1].strFontName, L"Sans");
}

TEST_F(SkinReaderTest, FilesThatCannotBeLoadedChangeNothing) {
    CKvXMLParseBase reader;
    reader.LoadSkin(m_strSkin, kMain, L"", L"default");
    for (const CString& file :
         {Write(L"broken.xml", R"(<S><W><WindowInfo><I ItemID="x" Data="1"/>)"),
          Write(L"empty.xml", ""), Directory() + L"missing.xml"}) {
        reader.LoadSkin(file, L"W", L"", L"other");
        EXPECT_EQ(reader.m_strSkinName, L"default");
        EXPECT_EQ(reader.m_mapWindowInfo.count(L"x"), 0u);
        EXPECT_EQ(reader.m_arrDynamicItems.size(), 2u);
    }
}
