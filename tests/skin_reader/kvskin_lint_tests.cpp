// kvskin lint against small broken skins: each finding at its element's line
// and column, and nothing on a clean skin. (kvskin_tests runs the verb for its
// exit codes.)
#include "tests/skin_reader/SkinTestFiles.h"
#include "tools/common/SkinLint.h"

#include "skin/DrawUtil.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Line 1 the declaration, 2 "<Skin><Main>", 3 "<WindowInfo>", then one line
// per entry, then "</WindowInfo><DynamicInfo>", then one line per item.
std::string SkinText(const std::vector<std::string>& entries,
                     const std::vector<std::string>& items) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Skin><Main>\n<WindowInfo>\n";
    for (const std::string& entry : entries)
        xml += entry + "\n";
    xml += "</WindowInfo><DynamicInfo>\n";
    for (const std::string& item : items)
        xml += item + "\n";
    return xml + "</DynamicInfo></Main></Skin>\n";
}

// SheetSize on line 4, FontName on line 5: items start on line 7.
const std::vector<std::string> kWindow = {R"(<I ItemID="SheetSize" Data="200,100"/>)",
                                          R"(<I ItemID="FontName" Data="DejaVu Sans"/>)"};

class KvSkinLintTest : public testing::Test {
protected:
    KvSkinLintTest() {
        const std::wstring images = m_skins.Subfolder(L"img");
        WriteSkinFile(images, L"strip.bmp", ImageKit::BmpFileBytes(80, 20)); // four frames of 20
        WriteSkinFile(images, L"odd.bmp", ImageKit::BmpFileBytes(10, 20)); // not four equal frames
        WriteSkinFile(images, L"check.bmp", ImageKit::BmpFileBytes(128, 16)); // eight of 16
        WriteSkinFile(images, L"check36.bmp", ImageKit::BmpFileBytes(36, 16));
        WriteSkinFile(images, L"hand.cur", ImageKit::IconFileBytes(2, 32));
        WriteSkinFile(images, L"app.ico", ImageKit::IconFileBytes(1, 32));
        WriteSkinFile(images, L"text.png", "not an image at all");
        // Pictures beyond the decoding limits: one side too long, and a
        // header claiming more pixels than a file of its size can hold.
        WriteSkinFile(images, L"wide.bmp", ImageKit::BmpFileBytes(16385, 1));
        std::string claim = ImageKit::BmpFileBytes(1000, 1000).substr(0, 70);
        WriteSkinFile(images, L"claim.bmp", claim);
        Gdiplus::Bitmap wide(16385, 1, PixelFormat32bppARGB);
        ImageKit::SavePng(wide, images + L"wide.png");
        // Sizes that only a reading as a decoder's finds: a fill byte before
        // the JPEG frame header, TIFF size tags twice (a decoder keeps the
        // first pair), a GIF frame far larger than its screen; and a JPEG
        // whose header ends before its frame.
        const std::string big = Bytes({0x3E, 0x80}), bigLe = Bytes({0x80, 0x3E});
        WriteSkinFile(images, L"fill.jpg",
                      Bytes({0xFF, 0xD8, 0xFF, 0xFF, 0xC0, 0, 11, 8}) + big + big +
                          Bytes({1, 1, 0x11, 0, 0xFF, 0xD9}));
        auto tiffSize = [](int tag, const std::string& value) {
            return Bytes({tag, 1, 3, 0, 1, 0, 0, 0}) + value + Bytes({0, 0});
        };
        WriteSkinFile(images, L"twice.tif",
                      "II*" + Bytes({0, 8, 0, 0, 0, 4, 0}) + tiffSize(0, bigLe) +
                          tiffSize(1, bigLe) + tiffSize(0, Bytes({1, 0})) +
                          tiffSize(1, Bytes({1, 0})) + Bytes({0, 0, 0, 0}));
        WriteSkinFile(
            images, L"frames.gif",
            "GIF89a" + Bytes({1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0}) +
                bigLe + bigLe + Bytes({0, 2, 2, 0x4C, 1, 0, 0x3B}));
        WriteSkinFile(images, L"cut.jpg",
                      Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 16}) + "JFIF" + std::string(10, '\0'));
        // What encoders make must pass (Wine's GIF encoder takes indexed pixels only).
        Gdiplus::Bitmap picture(40, 20, PixelFormat8bppIndexed);
        for (const wchar_t* type : {L"jpeg", L"gif", L"tiff"})
            EXPECT_TRUE(ImageKit::SaveEncoded(picture, images + L"picture." + type,
                                              (std::wstring(L"image/") + type).c_str()));
    }

    static std::string Bytes(std::initializer_list<int> values) {
        std::string bytes;
        for (int value : values)
            bytes += static_cast<char>(value);
        return bytes;
    }

    // Findings as "LINE:COLUMN: severity: message", without the file name.
    std::vector<std::string> Lint(const std::string& xml) {
        LintRequest request;
        request.strSkinFile = WriteSkinFile(m_skins.Path(), L"skin.xml", xml);
        request.strSkinName = L"img";
        std::vector<std::string> lines;
        for (const LintDiagnostic& diagnostic : LintSkinFile(request))
            lines.push_back(FormatDiagnostic(L"", diagnostic).substr(1));
        return lines;
    }

    // Images live in "<skin folder><skin name>\", as the reader resolves them.
    ImageKit::TempFolder m_skins{L"kv_lint"};
};

// Each expected line is "LINE:COLUMN: severity: " followed by a part of the message.
void ExpectFindings(const std::vector<std::string>& actual,
                    const std::vector<std::string>& expected, const char* name) {
    ASSERT_EQ(actual.size(), expected.size()) << name << ":\n" << testing::PrintToString(actual);
    for (size_t i = 0; i < expected.size(); ++i) {
        size_t head = expected[i].find(": ", expected[i].find(": ") + 2) + 2;
        EXPECT_EQ(actual[i].rfind(expected[i].substr(0, head), 0), 0u) << name << ": " << actual[i];
        EXPECT_NE(actual[i].find(expected[i].substr(head)), std::string::npos)
            << name << ": " << actual[i];
    }
}

} // namespace

TEST_F(KvSkinLintTest, CleanSkinHasNoFindings) {
    std::vector<std::string> entries = kWindow;
    entries.push_back(R"(<I ItemID="Icon" Data="app.ico"/>)");
    entries.push_back(R"(<I ItemID="BackBmp" Data="strip.bmp"/>)");
    entries.push_back(R"(<I ItemID="FontColor" Data="0xFF000000; 0xFF808080"/>)");
    entries.push_back(R"(<I ItemID="FontFormat" Data="1;0;2;5"/>)");
    std::vector<std::string> items = {
        R"(<I ID="Title" Name="Hello" ControlType="1" Pos="0,0,200,20" BkImg="strip.bmp" Cursor="hand.cur"/>)",
        R"(<I ID="OK" Name="OK" ControlType="2" Pos="10, 30, 20, 20" BkImg="strip.bmp" FontSize="0x10"/>)",
        R"(<I ID="Keep" Name="Keep" ControlType="2" ControlStyle="0x50000003" Pos="40,30,100,16" BkImg="check.bmp"/>)",
        R"(<I ID="Round" ToolTip="Round" ControlType="4" Pos="150,60,50,40" BkImg="strip.bmp" Icon="app.ico"/>)",
        R"(<I ID="Jpeg" ControlType="1" Pos="0,60,40,20" BkImg="picture.jpeg"/>)",
        R"(<I ID="Gif" ControlType="1" Pos="40,60,40,20" BkImg="picture.gif"/>)",
        R"(<I ID="Tiff" ControlType="1" Pos="80,60,40,20" BkImg="picture.tiff"/>)"};
    EXPECT_EQ(Lint(SkinText(entries, items)), std::vector<std::string>());
}

// One skin with a fault or two per element, each found at its line (window
// entries from line 6, items from line 10) and column.
TEST_F(KvSkinLintTest, EachFaultAtItsElement) {
    const std::string good = R"(ControlType="2" Pos="0,0,20,20" ToolTip="t")";
    std::vector<std::string> entries = kWindow;
    entries.push_back(R"(<I ItemID="FontColor" Data="0xFF000000;0xFF808080;0xFFFFFFFF"/>)");
    entries.push_back(R"(<I ItemID="FontFormat" Data="16;0;0;1"/>)");
    entries.push_back(R"(<I ItemID="Icon" Data="text.png"/>)");
    const std::vector<std::string> items = {
        R"(<I ID="a" FontSize="12px" DrawFocus="yes" )" + good + "/>", // numbers
        R"(<I ID="b" FontColor="0xFF0000" )" + good + "/>",            // colours
        R"(<I ID="d" FontFormat="0;1;-1;6;0" )" + good + "/>",         // formats
        R"(<I ID="e" ControlType="3"/>)",                              // types that make nothing
        R"(<I ID="Ok" )" + good + "/>",                                // IDs in any case
        R"(<I ID="OK" )" + good + "/>",
        R"(<I ID="g" ControlType="1" Pos="300,300,10,10"/>)", // rectangles
        R"(<I ID="h" ControlType="1" Pos="190,0,20,10"/>)", R"(<I ID="j" ControlType="1"/>)",
        R"(<I ID="k" ControlType="1" Pos="1,2,3"/>)",
        R"(<I ID="l" BkImg="nope.bmp" )" + good + "/>", // files
        R"(<I ID="m" BkImg="text.png" Cursor="strip.bmp" )" + good + "/>",
        R"(<I ID="n" BkImg="odd.bmp" )" + good + "/>", // strips
        R"(<I ID="o" ControlType="4" ControlStyle="3" Pos="0,0,9,9" BkImg="check36.bmp" Name="o"/>)",
        R"(<I ID="p" ControlType="1" Pos="0,0,9,9" BkImg="odd.bmp"/>)",
        "  <!-- c --><I ID=\"q\" FontSize=\"x\" " + good + "/><I ID=\"r\"\n  DrawFocus=\"y\" " +
            good + "/>",
        R"(<I ID="s" BkImg="wide.bmp" Icon="claim.bmp" )" + good + "/>", // image bombs
        R"(<I ID="t" BkImg="wide.png" )" + good + "/>",
        R"(<I ID="u" Name=")" + std::string(1025, 'x') + "\" " + good + "/>", // long text
        R"(<I ID="v" BkImg="fill.jpg" )" + good + "/>",
        R"(<I ID="w" BkImg="twice.tif" )" + good + "/>",
        R"(<I ID="x" BkImg="frames.gif" )" + good + "/>",
        R"(<I ID="y" BkImg="cut.jpg" )" + good + "/>",
        // An item that acts needs something for a screen reader to say: its
        // text (a lone mnemonic marker is no text) or its tooltip.
        R"(<I ID="a1" ControlType="2" Pos="0,0,20,20"/>)",
        R"(<I ID="a2" ControlType="4" Name="&amp;" Pos="0,0,20,20"/>)",
        R"(<I ID="a3" ControlType="2" ControlStyle="0x50010009" Name="  " Pos="0,0,20,20"/>)",
        R"(<I ID="a4" ControlType="2" Name="&amp;Go" Pos="0,0,20,20"/>)"};
    ExpectFindings(Lint(SkinText(entries, items)),
                   {"6:1: warning: has 3 colours",
                    "7:1: error: font style bits 16 is outside 0 to 15",
                    "8:1: error: Icon \"text.png\": LoadImage cannot read it as an icon",
                    "10:1: error: DrawFocus \"yes\" is not a number",
                    "10:1: warning: FontSize \"12px\" is read as 12",
                    "11:1: warning: 0x00FF0000 has alpha 0",
                    "12:1: error: trimming 6 is outside 0 to 5",
                    "12:1: error: vertical alignment -1 is outside 0 to 2",
                    "12:1: warning: has 5 values; only the first four",
                    "13:1: warning: ControlType 3 makes nothing",
                    "15:1: error: item \"OK\" repeats the ID of the item at line 14",
                    "16:1: error: lies wholly outside the sheet of 200 x 100",
                    "17:1: warning: lies partly outside",
                    "18:1: error: item \"j\" has an empty rectangle",
                    "19:1: error: empty rectangle",
                    "19:1: warning: Pos \"1,2,3\" is read only in part",
                    "20:1: error: BkImg \"nope.bmp\": no such file",
                    "21:1: error: BkImg \"text.png\": GDI+ cannot read it as an image",
                    "21:1: error: Cursor \"strip.bmp\": LoadImage cannot read it as a cursor",
                    "22:1: warning: 10 pixels wide, not a multiple of 4",
                    "23:1: warning: 36 pixels wide, not a multiple of 8",
                    "25:13: error: FontSize \"x\"",
                    "25:81: error: DrawFocus \"y\"",
                    "27:1: error: BkImg \"wide.bmp\": the file declares a picture larger",
                    "27:1: error: Icon \"claim.bmp\": the file declares a picture larger",
                    "28:1: error: BkImg \"wide.png\": the file declares a picture larger",
                    "29:1: warning: text of 1025 characters: only the first 1023 are drawn",
                    "30:1: error: BkImg \"fill.jpg\": the file declares a picture larger",
                    "31:1: error: BkImg \"twice.tif\": the file declares a picture larger",
                    "32:1: error: BkImg \"frames.gif\": the file declares a picture larger",
                    "33:1: error: BkImg \"cut.jpg\": its image header cannot be read",
                    "34:1: warning: item \"a1\" acts but has neither text nor tooltip: a screen "
                    "reader",
                    "35:1: warning: item \"a2\" acts but has neither text nor tooltip",
                    "36:1: warning: item \"a3\" acts but has neither text nor tooltip"},
                   "faults");
    // The module's own loader refuses them alike.
    for (const wchar_t* name : {L"wide.bmp", L"claim.bmp", L"wide.png", L"fill.jpg", L"twice.tif",
                                L"frames.gif", L"cut.jpg"})
        EXPECT_EQ(LoadImageOrNull((m_skins.Path() + L"img\\" + name).c_str()), nullptr);
    // Without SheetSize and FontName: items are not placed, fonts are looked for.
    ExpectFindings(
        Lint(SkinText({}, {R"(<I ID="a" FontName="No Such Face" )" + good + "/>",
                           R"(<I ID="b" Name="text" ControlType="2" Pos="300,300,10,10"/>)"})),
        {"3:1: error: no \"SheetSize\" window entry",
         "5:1: error: FontName \"No Such Face\": GDI+ cannot find",
         "6:1: error: item \"b\" has text but no font"},
        "bare window");
    // A sheet the dialog refuses; a layered window whose opacity is left out.
    ExpectFindings(
        Lint(SkinText(
            {R"(<I ItemID="SheetSize" Data="8193,100"/>)", R"(<I ItemID="IsLayerWnd" Data="1"/>)"},
            {})),
        {"4:1: error: larger than 8192 per side", "5:1: warning: without \"AlpahValue\""},
        "window");
}

// The misspellings authors make most, each at its line with the name it was
// meant to be; a host's own entry is no misspelling. A value the reader cannot
// read says what the reader does instead.
TEST_F(KvSkinLintTest, MisspeltNamesAndUnreadableValues) {
    const std::string button = R"(ControlType="2" Pos="0,0,20,20")";
    const std::vector<std::string> entries = {
        R"(<I ItemID="SheetSize" Data="200,100"/>)", R"(<I ItemID="FontNme" Data="DejaVu Sans"/>)",
        R"(<I ItemID="fontsize" Data="12"/>)", R"(<I ItemID="DetailsText" Dta="the host's own"/>)",
        R"(<I ItemID="AlpahValue" Data="half"/>)"};
    const std::vector<std::string> items = {
        R"(<I ID="a" Name="A" FontName="DejaVu Sans" BkImage="strip.bmp" )" + button + "/>",
        R"(<I ID="c" ToolTip="C" FontColor="red" )" + button + "/>",
        R"(<I ID="d" Name="D" )" + button + "/>"};
    ExpectFindings(
        Lint(SkinText(entries, items)),
        {"5:1: warning: window entry \"FontNme\" is not one the toolkit reads; did you mean "
         "FontName?",
         "6:1: warning: \"fontsize\" is not one the toolkit reads; did you mean FontSize?",
         "7:1: warning: attribute \"Dta\" is not one the toolkit reads, so it is ignored; did you "
         "mean Data?",
         "8:1: error: AlpahValue \"half\" is not a number; read as 0: the window is fully "
         "transparent",
         "10:1: warning: attribute \"BkImage\" is not one the toolkit reads, so it is ignored; did "
         "you mean BkImg?",
         "11:1: error: FontColor text colour \"red\" is not a number; read as 0: fully "
         "transparent, the text will not show",
         "12:1: error: has text but no font: neither it nor the window gives \"FontName\" (the "
         "window entry at line 5 misspells it)"},
        "names");
}

TEST_F(KvSkinLintTest, FilesTheModuleRefuses) {
    ExpectFindings(
        Lint("<?xml version=\"1.0\"?>\r\n<!DOCTYPE Skin [<!ENTITY e \"x\">]>\r\n<Skin>&e;</Skin>"),
        {"2:10: error: refuses any DOCTYPE"}, "DOCTYPE");
    // An unclosed element where it was opened too, not only where the parser
    // noticed (kvskin_tests checks both lines for every verb).
    ExpectFindings(
        Lint("<!-- <!DOCTYPE x> -->\n<Skin>\n<Main>\n</Skin>\n"),
        {"3:1: error: <Main> is opened here", "4:3: error: (the skin module cannot load"},
        "DOCTYPE only in a comment");
}
