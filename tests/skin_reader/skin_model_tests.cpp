// The value grammar (and the module's ParseNumber, which shares it) and the
// dialog's model of a real skin file read through Kelvane.dll. (kvskin_tests
// checks that every item attribute is read; lint's tests that its table of
// names agrees with the reader.)
#include "skin/DialogModel.h"
#include "skin/DrawUtil.h"
#include "skin/SkinValue.h"
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const char kModelSkin[] = R"(<S><W>
  <WindowInfo>
    <I ItemID="SheetSize" Data="240, 160"/><I ItemID="IsLayerWnd" Data="1"/>
    <I ItemID="FontName" Data="DejaVu Sans"/><I ItemID="FontSize" Data="0x10"/>
    <I ItemID="FontWeight" Data="700"/><I ItemID="ChildPos" Data=" 5 , 7 "/>
    <I ItemID="IsDrag" Data="1"/><I ItemID="BackBmp" Data="back.png"/>
    <I ItemID="FontColor" Data="0xFF0000FF;0xFF00FF00"/><I ItemID="FontFormat" Data="1;2;0;3"/>
  </WindowInfo>
  <DynamicInfo>
    <I ID="own" FontName="f" FontSize="9" FontColor="0xFF000001" FontFormat="1"
       FontColr="0xFF00FF00"/>
    <I ID="bare" FontSize="-3"/>
  </DynamicInfo>
</W></S>)";

} // namespace

TEST(SkinValues, EachRuleSaysHowMuchOfTheValueItRead) {
    const struct {
        const wchar_t* pszText;
        ValueForm form;
        int32_t nValue;
    } numbers[] = {
        {L"", ValueForm::Empty, 0},
        {L" 1 2 ", ValueForm::Whole, 12},
        {L"12px", ValueForm::Partial, 12},
        {L"0x10", ValueForm::Whole, 16},
        {L"0XFF 00 00 00", ValueForm::Whole, static_cast<int32_t>(0xFF000000)},
        {L"0x", ValueForm::Partial, 0},
        {L"-0x10", ValueForm::Partial, 0}, // a sign in front of the prefix makes it decimal
        {L"-7", ValueForm::Whole, -7},
        {L"red", ValueForm::Unreadable, 0},
        {L"    ", ValueForm::Empty, 0},
    };
    for (const auto& row : numbers) {
        const NumberReading reading = ReadSkinNumber(row.pszText);
        EXPECT_EQ(reading.form, row.form) << row.pszText;
        EXPECT_EQ(reading.nValue, row.nValue) << row.pszText;
        int nParsed = 99; // the module's own reading is this one, and writes nothing it cannot read
        EXPECT_EQ(ParseNumber(row.pszText, nParsed), row.form != ValueForm::Empty) << row.pszText;
        EXPECT_EQ(nParsed,
                  row.form == ValueForm::Whole || row.form == ValueForm::Partial ? row.nValue : 99)
            << row.pszText;
    }
    int32_t values[4] = {};
    EXPECT_EQ(ReadSkinIntegers(L" 10, 20 ,100,30", values, 4).form, ValueForm::Whole);
    EXPECT_EQ(values[2], 100);
    const IntegerListReading tooFew = ReadSkinIntegers(L"1,2,3", values, 4);
    EXPECT_EQ(std::make_tuple(tooFew.form, tooFew.nRead), std::make_tuple(ValueForm::Partial, 3));
    EXPECT_EQ(ReadSkinIntegers(L"1,2,3,4,", values, 4).form, ValueForm::Partial);
    EXPECT_EQ(ReadSkinIntegers(L"x,1", values, 2).form, ValueForm::Unreadable);
    EXPECT_EQ(SkinListTokens(L" 1 ; ;3"), (std::vector<CString>{L"1", L"", L"3"}));
}

TEST(DialogModel, WindowValuesAndItemLooksWithTheirDefaults) {
    ImageKit::TempFolder folder;
    CKvXMLParseBase reader;
    reader.LoadSkin(WriteSkinFile(folder.Path(), L"model.xml", kModelSkin), L"W", L"", L"s");
    ASSERT_EQ(reader.m_arrDynamicItems.size(), 2u);
    const KvWindowModel window = ReadWindowModel(reader);
    EXPECT_EQ(std::make_tuple(window.szSheet.cx, window.szSheet.cy, window.bLayered,
                              window.nAlphaPercent, window.bDrag, window.nCaptionHeight),
              std::make_tuple(240L, 160L, true, 100, true, 0));
    EXPECT_EQ(std::make_tuple(window.font.nSize, window.font.nWeight, window.ptChildPos.x,
                              window.ptChildPos.y),
              std::make_tuple(16, 700, 5L, 7L));
    EXPECT_EQ(window.strBackPath, CString(folder.Path().c_str()) + L"s\\back.png");
    EXPECT_TRUE(window.strIconPath.IsEmpty());

    const auto fields = [](const ItemFontInfo& i) {
        return std::make_tuple(CString(i.strFontName), i.nFontSize, i.clrNormal, i.clrDisabled,
                               i.nFontStyle, i.nAlign, i.nLineAlign, i.nTrimming);
    };
    // Item values win whole: one colour serves both states, missing format
    // tokens keep 0, 1, 1, 1; nothing of its own (or a size below 1) takes the window's.
    EXPECT_EQ(fields(ItemTextLook(reader.m_arrDynamicItems[0], window)),
              fields({L"f", 9, 0xFF000001, 0xFF000001, 1, 1, 1, 1}));
    EXPECT_EQ(fields(ItemTextLook(reader.m_arrDynamicItems[1], window)),
              fields({L"DejaVu Sans", 16, 0xFF0000FF, 0xFF00FF00, 1, 2, 0, 3}));
    // An unreadable token reads as 0 for a colour, as the default for a format field.
    _XmlDynamicItem odd;
    odd.strFontColor = L"red;";
    odd.strFontFormat = L"x;y";
    EXPECT_EQ(fields(ItemTextLook(odd, window)), fields({L"DejaVu Sans", 16, 0, 0, 0, 1, 1, 1}));

    // At 150% lengths are read scaled (the scale suite checks the sheet, items
    // and fonts on the screen); what is no length stays.
    const KvWindowModel scaled = ReadWindowModel(reader, 144);
    EXPECT_EQ(std::make_tuple(scaled.ptChildPos.x, scaled.ptChildPos.y, scaled.font.nWeight),
              std::make_tuple(8L, 11L, 700));
}

// A skin's pictures are decoded from a copy of their files, so an author (or
// an installer) can save over a file while a dialog shows it.
TEST(DialogModel, ShownPicturesLeaveTheirFilesFreeToSaveOver) {
    ImageKit::TempFolder folder(L"kv_model");
    KvWindowModel window;
    window.szSheet = SIZE{8, 8};
    window.strBackPath = ImageKit::SaveStrip(folder, L"back.png", {0xFF102030}, 8, 8).c_str();
    const std::wstring icon = ImageKit::SaveStrip(folder, L"icon.png", {0xFF405060}, 4, 4);
    bool bFromFile = false;
    const std::unique_ptr<Gdiplus::Bitmap> pBack = LoadSheetBackground(window, &bFromFile);
    const std::unique_ptr<Gdiplus::Image> pIcon(LoadImageOrNull(icon.c_str()));
    ASSERT_TRUE(bFromFile && pIcon);
    EXPECT_FALSE(ImageKit::SaveStrip(folder, L"back.png", {0xFFFFFFFF}, 8, 8).empty());
    EXPECT_FALSE(ImageKit::SaveStrip(folder, L"icon.png", {0xFFFFFFFF}, 4, 4).empty());
    EXPECT_EQ(ImageKit::PixelAt(pBack.get(), 1, 1), 0xFF102030u);
    Gdiplus::Bitmap icons(4, 4, PixelFormat32bppARGB);
    Gdiplus::Graphics(&icons).DrawImage(pIcon.get(), 0, 0, 4, 4);
    EXPECT_EQ(ImageKit::PixelAt(&icons, 1, 1), 0xFF405060u);
}
