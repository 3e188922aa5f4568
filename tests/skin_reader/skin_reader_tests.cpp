// The skin description reader on real skin files, parsed by the real Xerces
// inside Kelvane.dll.
#include "skin/XMLParseBase.h"
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace {

const char kMainSkin[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<AnyRoot>
  <!-- the section elements may sit among comments and text -->
  <CommonWindow>
    text between elements
    <MainDlgInfo>
      <WindowInfo>
        <Item ItemID="Title" Data="Main &amp; more"/>
        <Item ItemID="SheetSize" Data=" 400 , 300 "/>
        <AnyName ItemID="FontSize" Data="0x10"/>
        <Item ItemID="Bad" Data="abc"/>
        <Item ItemID="Blank" Data="   "/>
        <Item ItemID="BackBmp" Data="bk\main.png"/>
        <Item itemid="Lower" Data="stored under the empty key"/>
        <Item ItemID="Twice" Data="first"/>
        <Item ItemID="Twice" Data="second"/>
        <Item ItemID="ChildPos" Data=" 5 , 7 "/>
        <Item ItemID="Frame" Data="10, 20, 100, 30"/>
        <Item ItemID="Partial" Data="3"/>
      </WindowInfo>
      <WindowInfo><Item ItemID="Ignored" Data="only the first WindowInfo counts"/></WindowInfo>
      <PosInfo>
        <P ItemID="red" Color="FF0000" Pos="1,2,3,4"/>
        <P ItemID="white" Color=""/>
        <P ItemID="prefixed" Color="0xFF00FF00" Pos=" 1 , 2 , 3 , 4 "/>
        <P ItemID="spaced" Color=" FF 00"/>
        <P ItemID="junk" Color="zz" Pos="zz"/>
        <P ItemID="later" Color="1"/>
        <P ItemID="later" Color="2"/>
      </PosInfo>
      <DynamicInfo>
        <Item ID="BTN_OK" Name="OK" ToolTip="Confirm" FontName="DejaVu Sans" FontSize="0x10"
              FontColor="0xFF000000;0xFF808080" FontFormat="1;0;1;1" BkImg="buttons\ok.png"
              Cursor="hand.cur" Icon="ok.png" Pos=" 10 , 20 , 100 , 30 " ControlType="2"
              ControlStyle="0xFF000000" DrawFocus="1"/>
        text
        <Label ID="LBL" Name="Hello" FontSize="12px" ControlType="1" Pos="-5,-6,10,10"/>
        <Item ID="BAD" FontSize="abc" ControlType="" Icon="" Pos=""/>
      </DynamicInfo>
    </MainDlgInfo>
    <Second>
      <WindowInfo><I ItemID="Title" Data="Second"/></WindowInfo>
      <DynamicInfo>
        <I ID="btn_ok" BkImg="" Icon="new.png" ToolTip="Again"/>
        <I ID="NEW" Name="New"/>
      </DynamicInfo>
    </Second>
    <MainDlgInfo><WindowInfo><I ItemID="Title" Data="a later twin is never read"/></WindowInfo>
    </MainDlgInfo>
  </CommonWindow>
</AnyRoot>
)";

const wchar_t kMainSection[] = L"CommonWindow\\MainDlgInfo";

class SkinReaderTest : public testing::Test {
protected:
    SkinReaderTest() : m_folder(L"kv_skin_reader") {
        m_strSkin = m_folder.Write(L"main.xml", kMainSkin);
    }

    void Load(CKvXMLParseBase& reader, const wchar_t* section, const wchar_t* section2 = L"",
              const wchar_t* skinName = L"default") {
        reader.LoadSkin(m_strSkin, section, section2, skinName);
    }
    CString Image(const wchar_t* name, const wchar_t* skinName = L"default\\") const {
        return m_folder.Directory() + skinName + name;
    }
    const _XmlDynamicItem* Item(const CKvXMLParseBase& reader, const wchar_t* id) const {
        for (const _XmlDynamicItem& item : reader.m_arrDynamicItems)
            if (item.strID.CompareNoCase(id) == 0)
                return &item;
        return nullptr;
    }

    CSkinTestFolder m_folder;
    CString m_strSkin;
};

using Quad = std::array<LONG, 4>;
Quad Q(const RECT& rc) {
    return {rc.left, rc.top, rc.right, rc.bottom};
}

// The lookups start from values that show whether they were written.
std::pair<int, BOOL> Int(CKvXMLParseBase& reader, const wchar_t* key) {
    int value = 99;
    BOOL found = reader.GetWindowInfoInt(key, value);
    return {value, found};
}
std::pair<LONG, LONG> Point(CKvXMLParseBase& reader, const wchar_t* key) {
    POINT point{-1, -1};
    reader.GetWindowInfoPoint(key, point);
    return {point.x, point.y};
}
Quad Rect(CKvXMLParseBase& reader, const wchar_t* key) {
    RECT rect{-1, -1, -1, -1};
    reader.GetWindowInfoRect(key, rect);
    return Q(rect);
}

} // namespace

TEST_F(SkinReaderTest, SectionPathsIgnoreCaseAndTrailingBackslashes) {
    CKvXMLParseBase exact, lower;
    Load(exact, kMainSection);
    Load(lower, L"commonwindow\\maindlginfo\\\\\\");
    ASSERT_FALSE(exact.m_mapWindowInfo.empty());
    EXPECT_EQ(exact.m_mapWindowInfo, lower.m_mapWindowInfo);
    EXPECT_EQ(lower.m_arrDynamicItems.size(), 3u);
    EXPECT_EQ(lower.m_strSkinDir, m_folder.Directory());
    EXPECT_EQ(lower.m_strSkinName, L"default");
    // The first of two twin section elements is the one read.
    EXPECT_EQ(exact.m_mapWindowInfo[L"Title"], L"Main & more");
    EXPECT_EQ(exact.m_mapWindowInfo.count(L"Ignored"), 0u);
}

TEST_F(SkinReaderTest, SectionsThatMatchNothingAddNothing) {
    for (const wchar_t* section :
         {L"", L"\\", L"\\CommonWindow\\MainDlgInfo", L"CommonWindow\\\\MainDlgInfo",
          L"CommonWindow\\Missing", L"MainDlgInfo"}) {
        CKvXMLParseBase reader;
        Load(reader, section, L"", L"blue");
        EXPECT_TRUE(reader.m_mapWindowInfo.empty()) << section;
        EXPECT_TRUE(reader.m_mapPosInfo.empty()) << section;
        EXPECT_TRUE(reader.m_arrDynamicItems.empty()) << section;
        // The name is taken before the walk, the folder only on arrival.
        EXPECT_EQ(reader.m_strSkinName, L"blue");
        EXPECT_TRUE(reader.m_strSkinDir.IsEmpty());
    }
    CKvXMLParseBase reader;
    Load(reader, L"CommonWindow\\Missing", L"CommonWindow\\Second");
    EXPECT_EQ(reader.m_mapWindowInfo[L"Title"], L"Second");
    EXPECT_EQ(reader.m_arrDynamicItems.size(), 2u);
}

TEST_F(SkinReaderTest, WindowEntriesAreStoredByExactKey) {
    CKvXMLParseBase reader;
    Load(reader, kMainSection);
    auto& entries = reader.m_mapWindowInfo;
    EXPECT_EQ(entries[L"Twice"], L"second");
    EXPECT_EQ(entries[L""], L"stored under the empty key");
    EXPECT_EQ(entries.count(L"Lower"), 0u);
    EXPECT_EQ(entries.count(L"title"), 0u);
    EXPECT_EQ(entries[L"SheetSize"], L" 400 , 300 ");
}

TEST_F(SkinReaderTest, LookupsReadTheValueRules) {
    CKvXMLParseBase reader;
    Load(reader, kMainSection);

    CString text(L"stale");
    reader.GetWindowInfo(L"Title", text, FALSE);
    EXPECT_EQ(text, L"Main & more");
    reader.GetWindowInfo(L"BackBmp", text, TRUE);
    EXPECT_EQ(text, Image(L"bk\\main.png"));
    reader.GetWindowInfo(L"Absent", text, TRUE);
    EXPECT_TRUE(text.IsEmpty());

    EXPECT_EQ(Int(reader, L"FontSize"), std::make_pair(16, TRUE));
    EXPECT_EQ(Int(reader, L"Bad"), std::make_pair(0, TRUE));
    EXPECT_EQ(Int(reader, L"Absent"), std::make_pair(0, FALSE));
    EXPECT_EQ(Int(reader, L"Blank"), std::make_pair(0, FALSE));

    EXPECT_EQ(Point(reader, L"ChildPos"), std::make_pair(5L, 7L));
    EXPECT_EQ(Point(reader, L"SheetSize"), std::make_pair(400L, 300L));
    EXPECT_EQ(Point(reader, L"Partial"), std::make_pair(3L, 0L));
    EXPECT_EQ(Point(reader, L"Absent"), std::make_pair(0L, 0L));
    EXPECT_EQ(Point(reader, L"Bad"), std::make_pair(0L, 0L));

    EXPECT_EQ(Rect(reader, L"Frame"), (Quad{10, 20, 110, 50}));
    EXPECT_EQ(Rect(reader, L"Partial"), (Quad{3, 0, 3, 0}));
    EXPECT_EQ(Rect(reader, L"Blank"), (Quad{0, 0, 0, 0}));
}

TEST_F(SkinReaderTest, PositionRecordsReadColoursAndRectangles) {
    CKvXMLParseBase reader;
    Load(reader, kMainSection);
    auto& records = reader.m_mapPosInfo;
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[L"red"]->clrColor, 0x00FF0000u);
    EXPECT_EQ(records[L"red"]->strItemID, L"red");
    EXPECT_EQ(Q(records[L"red"]->rcPos), (Quad{1, 2, 4, 6}));
    EXPECT_EQ(records[L"white"]->clrColor, 0xFFFFFFFFu);
    EXPECT_EQ(Q(records[L"white"]->rcPos), (Quad{0, 0, 0, 0}));
    EXPECT_EQ(records[L"prefixed"]->clrColor, 0xFF00FF00u);
    EXPECT_EQ(Q(records[L"prefixed"]->rcPos), (Quad{1, 2, 4, 6}));
    // Colours keep their spaces: reading stops at the first one inside.
    EXPECT_EQ(records[L"spaced"]->clrColor, 0xFFu);
    EXPECT_EQ(records[L"junk"]->clrColor, 0u);
    EXPECT_EQ(Q(records[L"junk"]->rcPos), (Quad{0, 0, 0, 0}));
    EXPECT_EQ(records[L"later"]->clrColor, 2u);
}

TEST_F(SkinReaderTest, DynamicItemsReadEveryAttribute) {
    CKvXMLParseBase reader;
    Load(reader, kMainSection);
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 3u);
    const _XmlDynamicItem& ok = reader.m_arrDynamicItems[0];
    EXPECT_EQ(ok.strID, L"BTN_OK");
    EXPECT_EQ(ok.strName, L"OK");
    EXPECT_EQ(ok.strToolTip, L"Confirm");
    EXPECT_EQ(ok.strFontName, L"DejaVu Sans");
    EXPECT_EQ(ok.nFontSize, 16);
    EXPECT_EQ(ok.strFontColor, L"0xFF000000;0xFF808080");
    EXPECT_EQ(ok.strFontFormat, L"1;0;1;1");
    EXPECT_EQ(ok.strBkImg, Image(L"buttons\\ok.png"));
    EXPECT_EQ(ok.strCursor, Image(L"hand.cur"));
    EXPECT_EQ(ok.strIcon, Image(L"ok.png"));
    EXPECT_EQ(Q(ok.rcPos), (Quad{10, 20, 110, 50}));
    EXPECT_EQ(ok.nControlType, 2);
    EXPECT_EQ(ok.nControlStyle, 0xFF000000u);
    EXPECT_EQ(ok.nDrawFocus, 1);
    EXPECT_TRUE(ok.pControl.empty());

    const _XmlDynamicItem& label = reader.m_arrDynamicItems[1];
    EXPECT_EQ(label.strID, L"LBL");
    EXPECT_EQ(label.nFontSize, 12);
    EXPECT_EQ(Q(label.rcPos), (Quad{-5, -6, 5, 4}));
    EXPECT_TRUE(label.strBkImg.IsEmpty());

    const _XmlDynamicItem& bad = reader.m_arrDynamicItems[2];
    EXPECT_EQ(bad.nFontSize, 0);
    EXPECT_EQ(bad.nControlType, 0);
    EXPECT_TRUE(bad.strIcon.IsEmpty());
    EXPECT_TRUE(bad.strName.IsEmpty());
    EXPECT_EQ(Q(bad.rcPos), (Quad{0, 0, 0, 0}));
}

TEST_F(SkinReaderTest, SecondSectionUpdatesItemsInPlace) {
    CKvXMLParseBase reader;
    Load(reader, kMainSection, L"CommonWindow\\Second", L"night");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 4u);
    const _XmlDynamicItem& ok = reader.m_arrDynamicItems[0];
    EXPECT_EQ(ok.strID, L"btn_ok");
    EXPECT_TRUE(ok.strName.IsEmpty());
    EXPECT_TRUE(ok.strFontColor.IsEmpty());
    EXPECT_EQ(ok.strToolTip, L"Again");
    // Images resolve with the skin name of this load; an empty one keeps the earlier path.
    EXPECT_EQ(ok.strBkImg, Image(L"buttons\\ok.png", L"night\\"));
    EXPECT_EQ(ok.strIcon, Image(L"new.png", L"night\\"));
    EXPECT_EQ(ok.nFontSize, 16);
    EXPECT_EQ(ok.nControlStyle, 0xFF000000u);
    EXPECT_EQ(Q(ok.rcPos), (Quad{10, 20, 110, 50}));
    EXPECT_EQ(reader.m_arrDynamicItems[3].strID, L"NEW");
    EXPECT_EQ(reader.m_mapWindowInfo[L"Title"], L"Second");
}

TEST_F(SkinReaderTest, LaterLoadsAddToTheTables) {
    CKvXMLParseBase reader;
    Load(reader, L"CommonWindow\\Second", L"", L"first");
    Load(reader, kMainSection, L"", L"second");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 4u);
    EXPECT_EQ(reader.m_arrDynamicItems[0].strID, L"BTN_OK");
    EXPECT_EQ(reader.m_arrDynamicItems[0].strName, L"OK");
    EXPECT_EQ(reader.m_arrDynamicItems[1].strID, L"NEW");
    EXPECT_EQ(reader.m_arrDynamicItems[2].strID, L"LBL");
    EXPECT_EQ(reader.m_mapWindowInfo[L"Title"], L"Main & more");
    EXPECT_EQ(reader.m_strSkinName, L"second");

    // The array is the dialogs' to walk; reading again after a change to it
    // still finds items by their current positions.
    reader.m_arrDynamicItems.erase(reader.m_arrDynamicItems.begin());
    Load(reader, L"CommonWindow\\Second");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 4u);
    EXPECT_EQ(reader.m_arrDynamicItems[0].strID, L"NEW");
    EXPECT_EQ(reader.m_arrDynamicItems[3].strID, L"btn_ok");
}

TEST_F(SkinReaderTest, ItemsWithoutIdMergeIntoOne) {
    CString skin = m_folder.Write(L"noid.xml", R"(<S><W><DynamicInfo>
        <I Name="a" FontSize="3" Pos="1,1,1,1"/>
        <I Name="b"/>
        <I ID="" Name="c" Icon="x.png"/>
        <I ID="&#xE4;" Name="lower"/>
        <I ID="&#xC4;" Name="upper"/>
      </DynamicInfo></W></S>)");
    CKvXMLParseBase reader;
    reader.LoadSkin(skin, L"W", L"", L"default");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
    EXPECT_EQ(reader.m_arrDynamicItems[0].strName, L"c");
    EXPECT_EQ(reader.m_arrDynamicItems[0].nFontSize, 3);
    EXPECT_EQ(Q(reader.m_arrDynamicItems[0].rcPos), (Quad{1, 1, 2, 2}));
    EXPECT_EQ(reader.m_arrDynamicItems[1].strName, L"upper");
}

TEST_F(SkinReaderTest, FilesThatCannotBeLoadedChangeNothing) {
    CString broken =
        m_folder.Write(L"broken.xml", "<S><W><WindowInfo><I ItemID=\"x\" Data=\"1\"/>");
    CString notXml = m_folder.Write(L"empty.xml", "");
    CKvXMLParseBase reader;
    Load(reader, kMainSection);
    for (const CString& file : {broken, notXml, m_folder.Directory() + L"missing.xml"}) {
        reader.LoadSkin(file, L"W", L"CommonWindow\\Second", L"other");
        EXPECT_EQ(reader.m_strSkinName, L"default");
        EXPECT_EQ(reader.m_strSkinDir, m_folder.Directory());
        EXPECT_EQ(reader.m_mapWindowInfo.count(L"x"), 0u);
        EXPECT_EQ(reader.m_mapWindowInfo[L"Title"], L"Main & more");
        EXPECT_EQ(reader.m_arrDynamicItems.size(), 3u);
    }
}

TEST(SkinReaderPaths, SkinFolderFollowsTheLastSeparator) {
    CSkinTestFolder folder(L"kv_skin_paths");
    CString skin = folder.Write(L"p.xml", R"(<S><W><DynamicInfo><I ID="a" Icon="sub\i.png"/>
        </DynamicInfo></W></S>)");
    CString forward(skin);
    forward.Replace(L'\\', L'/');
    CKvXMLParseBase reader;
    reader.LoadSkin(forward, L"W", L"", L"default");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 1u);
    CString folderForward = folder.Directory();
    folderForward.Replace(L'\\', L'/');
    EXPECT_EQ(reader.m_strSkinDir, folderForward);
    EXPECT_EQ(reader.m_arrDynamicItems[0].strIcon, folderForward + L"default\\sub\\i.png");
}

TEST(SkinValueRules, RectanglesStopWhereTheFormatDoes) {
    RECT rect{9, 9, 9, 9};
    EXPECT_TRUE(ReadSkinRect(L"1,2,3,4,5", rect));
    EXPECT_EQ(Q(rect), (Quad{1, 2, 4, 6}));
    EXPECT_TRUE(ReadSkinRect(L"1,2;3,4", rect));
    EXPECT_EQ(Q(rect), (Quad{1, 2, 1, 2}));
    EXPECT_FALSE(ReadSkinRect(L",1,2,3", rect));
    EXPECT_EQ(Q(rect), (Quad{1, 2, 1, 2}));
    // Sums wrap instead of overflowing.
    EXPECT_TRUE(ReadSkinRect(L"2147483647,0,1,0", rect));
    EXPECT_EQ(rect.right, INT32_MIN);
    EXPECT_EQ(SkinIdKey(L"btn_Ok\u00E4"), L"BTN_OK\u00C4");
}
