// kvskin lint against small broken skins: each finding at its element's line
// and column, nothing on a clean skin, and the exit codes of the verb.
#include "tests/skin_reader/SkinImageFiles.h"
#include "tests/skin_reader/SkinTestFiles.h"
#include "tools/kvskin/Commands.h"
#include "tools/kvskin/SkinJson.h"
#include "tools/kvskin/SkinLint.h"
#include "tools/kvskin/SkinLintRules.h"

#include "runtime/StringHelpers.h"

#include <gtest/gtest.h>

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

std::vector<std::string> With(std::vector<std::string> lines, const std::string& more) {
    lines.push_back(more);
    return lines;
}

class KvSkinLintTest : public testing::Test {
protected:
    // Images live in "<skin folder><skin name>\", as the reader resolves them.
    KvSkinLintTest() : m_skins(L"kv_lint"), m_images(m_skins, L"img"), m_strSkinName(L"img") {
        m_images.Write(L"strip.bmp", BmpFileBytes(80, 20));  // four frames of 20
        m_images.Write(L"odd.bmp", BmpFileBytes(10, 20));    // not four equal frames
        m_images.Write(L"check.bmp", BmpFileBytes(128, 16)); // eight frames of 16
        m_images.Write(L"check36.bmp", BmpFileBytes(36, 16));
        m_images.Write(L"hand.cur", IconFileBytes(2, 32));
        m_images.Write(L"app.ico", IconFileBytes(1, 32));
        m_images.Write(L"text.png", "not an image at all");
    }

    // Findings as "LINE:COLUMN: severity: message", without the file name.
    std::vector<std::string> Lint(const std::string& xml, std::vector<CString> sections = {}) {
        LintRequest request;
        request.strSkinFile = m_skins.Write(L"skin.xml", xml);
        request.sections = std::move(sections);
        request.strSkinName = m_strSkinName;
        std::vector<std::string> lines;
        for (const LintDiagnostic& diagnostic : LintSkinFile(request))
            lines.push_back(FormatDiagnostic(L"", diagnostic).substr(1));
        return lines;
    }

    CSkinTestFolder m_skins;
    CSkinTestFolder m_images;
    CString m_strSkinName;
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

struct LintCase {
    const char* name;
    std::vector<std::string> entries;
    std::vector<std::string> items;
    std::vector<std::string> expected;
};

} // namespace

TEST(SkinLintRules, NumbersAreClassifiedAsTheReaderReadsThem) {
    struct Row {
        const wchar_t* text;
        ValueForm form;
    } rows[] = {{L"", ValueForm::Empty},
                {L"  ", ValueForm::Empty},
                {L"12", ValueForm::Whole},
                {L" - 1 2 ", ValueForm::Whole},
                {L"0x1F", ValueForm::Whole},
                {L"0XFF000000", ValueForm::Whole},
                {L"12px", ValueForm::Partial},
                {L"0xZZ", ValueForm::Partial},
                {L"1.5", ValueForm::Partial},
                {L"abc", ValueForm::Unreadable},
                {L"#FF0000", ValueForm::Unreadable}};
    for (const Row& row : rows) {
        NumberReading reading = ReadSkinNumber(row.text);
        EXPECT_EQ(reading.form, row.form) << testing::PrintToString(std::wstring(row.text));
        int parsed = 7;
        ParseNumber(row.text, parsed);
        bool read = row.form == ValueForm::Whole || row.form == ValueForm::Partial;
        EXPECT_EQ(parsed, read ? reading.nValue : 7) << "differs from ParseNumber";
    }
    EXPECT_EQ(ReadIntegerListForm(L" 1, 2,3 ,4", 4), ValueForm::Whole);
    EXPECT_EQ(ReadIntegerListForm(L"1,2,3", 4), ValueForm::Partial);
    EXPECT_EQ(ReadIntegerListForm(L"1,2,3,4,", 4), ValueForm::Partial);
    EXPECT_EQ(ReadIntegerListForm(L"1;2", 2), ValueForm::Partial);
    EXPECT_EQ(ReadIntegerListForm(L"x,1", 2), ValueForm::Unreadable);
    EXPECT_EQ(StateStripFrames(2, BS_AUTOCHECKBOX), 8);
    EXPECT_EQ(StateStripFrames(4, WS_CHILD | BS_AUTORADIOBUTTON), 8);
    EXPECT_EQ(StateStripFrames(2, BS_PUSHBUTTON), 4);
    EXPECT_EQ(StateStripFrames(1, BS_AUTOCHECKBOX), 0);
}

TEST_F(KvSkinLintTest, CleanSkinHasNoFindings) {
    std::vector<std::string> entries = With(With(kWindow, R"(<I ItemID="Icon" Data="app.ico"/>)"),
                                            R"(<I ItemID="BackBmp" Data="strip.bmp"/>)");
    entries.push_back(R"(<I ItemID="FontColor" Data="0xFF000000; 0xFF808080"/>)");
    entries.push_back(R"(<I ItemID="FontFormat" Data="1;0;2;5"/>)");
    std::vector<std::string> items = {
        R"(<I ID="Title" Name="Hello" ControlType="1" Pos="0,0,200,20" BkImg="strip.bmp" Cursor="hand.cur"/>)",
        R"(<I ID="OK" Name="OK" ControlType="2" Pos="10, 30, 20, 20" BkImg="strip.bmp" FontSize="0x10"/>)",
        R"(<I ID="Keep" Name="Keep" ControlType="2" ControlStyle="0x50000003" Pos="40,30,100,16" BkImg="check.bmp"/>)",
        R"(<I ID="Round" ControlType="4" Pos="150,60,50,40" BkImg="strip.bmp" Icon="app.ico"/>)"};
    EXPECT_EQ(Lint(SkinText(entries, items)), std::vector<std::string>());
}

TEST_F(KvSkinLintTest, EachFaultAtItsElement) {
    const std::string good = R"(ControlType="2" Pos="0,0,20,20")";
    const LintCase cases[] = {
        {"number read in part, and not at all",
         kWindow,
         {R"(<I ID="a" FontSize="12px" DrawFocus="yes" )" + good + "/>"},
         {"7:1: error: DrawFocus \"yes\" is not a number",
          "7:1: warning: FontSize \"12px\" is read as 12"}},
        {"colour lists",
         With(kWindow, R"(<I ItemID="FontColor" Data="0xFF000000;0xFF808080;0xFFFFFFFF"/>)"),
         {R"(<I ID="a" FontColor="0xFF0000" )" + good + "/>"},
         {"6:1: warning: has 3 colours", "8:1: warning: 0x00FF0000 has alpha 0"}},
        {"font formats outside the GDI+ ranges",
         With(kWindow, R"(<I ItemID="FontFormat" Data="16;0;0;1"/>)"),
         {R"(<I ID="a" FontFormat="0;3" )" + good + "/>",
          R"(<I ID="b" FontFormat="0;1;-1;6;0" )" + good + "/>"},
         {"6:1: error: font style bits 16 is outside 0 to 15",
          "8:1: error: horizontal alignment 3 is outside 0 to 2",
          "9:1: error: trimming 6 is outside 0 to 5",
          "9:1: error: vertical alignment -1 is outside 0 to 2",
          "9:1: warning: has 5 values; only the first four"}},
        {"control types that make nothing",
         kWindow,
         {R"(<I ID="a" ControlType="3"/>)", R"(<I ID="b" Pos="1,1,5,5"/>)"},
         {"7:1: warning: ControlType 3 makes nothing",
          "8:1: warning: ControlType 0 makes nothing"}},
        {"an ID repeated in another case",
         kWindow,
         {R"(<I ID="Ok" )" + good + "/>", R"(<I ID="OK" )" + good + "/>"},
         {"8:1: error: item \"OK\" repeats the ID of the item at line 7"}},
        {"rectangles: outside, partly outside, empty, missing",
         kWindow,
         {R"(<I ID="a" ControlType="1" Pos="300,300,10,10"/>)",
          R"(<I ID="b" ControlType="1" Pos="190,0,20,10"/>)",
          R"(<I ID="c" ControlType="1" Pos="0,0,0,10"/>)", R"(<I ID="d" ControlType="1"/>)",
          R"(<I ID="e" ControlType="1" Pos="1,2,3"/>)"},
         {"7:1: error: lies wholly outside the sheet of 200 x 100",
          "8:1: warning: lies partly outside", "9:1: error: item \"c\" has an empty rectangle",
          "10:1: error: item \"d\" has an empty rectangle", "11:1: error: empty rectangle",
          "11:1: warning: Pos \"1,2,3\" is read only in part"}},
        {"missing SheetSize",
         {R"(<I ItemID="FontName" Data="DejaVu Sans"/>)"},
         {R"(<I ID="a" ControlType="1" Pos="300,300,10,10"/>)"},
         {"3:1: error: no \"SheetSize\" window entry"}},
        {"files that are missing or do not load",
         With(kWindow, R"(<I ItemID="Icon" Data="text.png"/>)"),
         {R"(<I ID="a" BkImg="nope.bmp" )" + good + "/>",
          R"(<I ID="b" BkImg="text.png" Cursor="strip.bmp" )" + good + "/>"},
         {"6:1: error: Icon \"text.png\": LoadImage cannot read it as an icon",
          "8:1: error: BkImg \"nope.bmp\": no such file",
          "9:1: error: BkImg \"text.png\": GDI+ cannot read it as an image",
          "9:1: error: Cursor \"strip.bmp\": LoadImage cannot read it as a cursor"}},
        {"state strips of uneven frames",
         kWindow,
         {R"(<I ID="a" BkImg="odd.bmp" )" + good + "/>",
          R"(<I ID="b" ControlType="4" ControlStyle="3" Pos="0,0,9,9" BkImg="check36.bmp"/>)",
          R"(<I ID="c" ControlType="1" Pos="0,0,9,9" BkImg="odd.bmp"/>)"},
         {"7:1: warning: 10 pixels wide, not a multiple of 4",
          "8:1: warning: 36 pixels wide, not a multiple of 8"}},
        {"font faces",
         {R"(<I ItemID="SheetSize" Data="200,100"/>)"},
         {R"(<I ID="a" FontName="No Such Face" )" + good + "/>",
          R"(<I ID="b" Name="text" )" + good + "/>"},
         {"6:1: error: FontName \"No Such Face\": GDI+ cannot find",
          "7:1: error: item \"b\" has text but no font"}},
        {"positions follow comments, tags and lines",
         kWindow,
         {"  <!-- c --><I ID=\"a\" FontSize=\"x\" " + good + "/><I ID=\"b\"\n  DrawFocus=\"y\" " +
          good + "/>"},
         {"7:13: error: FontSize \"x\"", "7:69: error: DrawFocus \"y\""}},
    };
    for (const LintCase& c : cases)
        ExpectFindings(Lint(SkinText(c.entries, c.items)), c.expected, c.name);
}

TEST_F(KvSkinLintTest, SectionsNamedOrFound) {
    std::string two = "<Skin>\n<Main><WindowInfo/></Main>\n<MAIN><DynamicInfo/></MAIN>\n"
                      "<main><X><PosInfo/></X></main>\n</Skin>\n";
    ExpectFindings(Lint(two),
                   {"2:7: error: no \"SheetSize\"",
                    "3:1: warning: section \"MAIN\" is never read: its path leads to the element "
                    "at line 2",
                    "4:7: warning: section \"main\\X\" is never read: an element above it is "
                    "never reached"},
                   "found");
    ExpectFindings(Lint(two, {L"main\\\\", L"Main\\Nope", L"Main\\\\x"}),
                   {"2:1: error: section \"Main\\Nope\" matches nothing: <Main> has no child "
                    "element \"Nope\"",
                    "2:1: error: section \"Main\\\\x\" matches nothing: it has an empty step",
                    "2:7: error: no \"SheetSize\""},
                   "named");
    ExpectFindings(Lint("<Skin><A/></Skin>"), {"1:7: error: no section"}, "none");
}

TEST_F(KvSkinLintTest, FilesTheModuleRefuses) {
    ExpectFindings(Lint("<Skin>\n<Main>\n</Skin>\n"),
                   {"3:3: error: expected end of tag 'Main' (the skin module cannot load"},
                   "not well-formed");
    ExpectFindings(
        Lint("<?xml version=\"1.0\"?>\r\n<!DOCTYPE Skin [<!ENTITY e \"x\">]>\r\n<Skin>&e;</Skin>"),
        {"2:10: error: refuses any DOCTYPE"}, "DOCTYPE");
    ExpectFindings(Lint("<!-- <!DOCTYPE x> -->\n<Skin>\n<Main>\n</Skin>\n"),
                   {"4:3: error: expected end of tag 'Main' (the skin module cannot load"},
                   "DOCTYPE only in a comment");
}

TEST_F(KvSkinLintTest, ExitCodesAndLineFormat) {
    CString warned = m_skins.Write(L"warned.xml", SkinText(kWindow, {R"(<I ID="a"/>)"}));
    CString broken = m_skins.Write(L"broken.xml", "<Skin>");
    struct Row {
        std::vector<std::wstring> args;
        int exitCode;
        const char* outStart;
        const char* errStart;
    } rows[] = {
        {{warned.GetString(), L"Main", L"--skin-name", L"x"}, kExitOk, ":7:1: warning: ", ""},
        {{broken.GetString()}, kExitLintErrors, ":1:7: error: ", ""},
        {{(m_skins.Directory() + L"none.xml").GetString()},
         kExitLoadFailed,
         "",
         "kvskin: cannot read skin file "},
        {{m_skins.Directory().GetString()}, kExitLoadFailed, "", "kvskin: cannot read skin file "},
        {{L""}, kExitUsage, "", ""},
    };
    for (const Row& row : rows) {
        std::optional<CParsedCommand> command = ParseCommand(kLintCommand.syntax, row.args);
        ASSERT_TRUE(command);
        ToolOutput output;
        EXPECT_EQ(kLintCommand.pfnRun(*command, output), row.exitCode);
        // Lines name the file as it was given.
        std::string outStart = *row.outStart ? ToUtf8(row.args[0].c_str()) + row.outStart : "";
        EXPECT_EQ(output.strOut.rfind(outStart, 0), 0u) << output.strOut;
        EXPECT_EQ(output.strOut.empty(), outStart.empty());
        EXPECT_EQ(output.strErr.rfind(row.errStart, 0), 0u) << output.strErr;
    }
    EXPECT_FALSE(ParseCommand(kLintCommand.syntax, {}));
    EXPECT_FALSE(ParseCommand(kLintCommand.syntax, {warned.GetString(), L"--skin-name"}));
    EXPECT_FALSE(ParseCommand(kLintCommand.syntax, {warned.GetString(), L"--section2", L"A"}));
}
