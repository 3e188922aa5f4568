// The kvskin tool as a user runs it: a separate process whose standard
// output, standard error and exit code are checked.
#include "tools/common/Process.h"
#include "tools/common/Utf8.h"
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

using nlohmann::json;

namespace {

const char kSkin[] = u8R"(<?xml version="1.0" encoding="UTF-8"?>
<Skin><Main>
  <WindowInfo>
    <I ItemID="Title" Data="Grüße &quot;q&quot; \ 中"/>
    <I ItemID="SheetSize" Data="400,300"/>
  </WindowInfo>
  <PosInfo><P ItemID="frame" Color="0xFFFF0000" Pos="1,2,3,4"/><P ItemID="none"/></PosInfo>
  <DynamicInfo>
    <I ID="BTN_CLOSE" Name="Close&#9;now" ToolTip="Close" FontName="DejaVu Sans" FontSize="0x10"
       FontColor="0xFF000000;" FontFormat="1;0" BkImg="btn\close.png" Cursor="hand.cur"
       Icon="x.ico" Pos="-10,-20,30,40" ControlType="4" ControlStyle="0xFFFFFFFF" DrawFocus="-1"/>
    <I ID="LBL"/>
  </DynamicInfo>
</Main>
<Extra><DynamicInfo><I ID="lbl" Name="Again"/><I ID="NEW"/></DynamicInfo></Extra>
</Skin>
)";

class KvSkinTest : public SkinFileTest {
protected:
    std::string Image(const char* skinName, const char* file) const {
        return ToUtf8(Directory()) + skinName + "\\" + file;
    }

    CString m_strSkin = Write(L"main.xml", kSkin);
};

} // namespace

// Options may come before and after the positional arguments.
TEST_F(KvSkinTest, DescribesEveryTableExactly) {
    const KvProcess::RunResult run = KvProcess::RunTool(
        L"kvskin.exe", {L"describe", L"--skin-name", L"night", m_strSkin.GetString(), L"Main",
                        L"--section2", L"Extra"});
    EXPECT_EQ(run.nExitCode, 0u) << run.strErr;
    EXPECT_TRUE(run.strErr.empty()) << run.strErr;
    const json skin = json::parse(run.strOut, nullptr, false);
    ASSERT_FALSE(skin.is_discarded());
    EXPECT_EQ(skin["skinDir"], ToUtf8(Directory()));
    EXPECT_EQ(skin["skinName"], "night");
    EXPECT_EQ(skin["windowInfo"],
              json({{"Title", u8"Grüße \"q\" \\ 中"}, {"SheetSize", "400,300"}}));
    EXPECT_EQ(skin["posInfo"]["frame"], json({{"rect", {1, 2, 4, 6}}, {"color", 4294901760u}}));
    EXPECT_EQ(skin["posInfo"]["none"], json({{"rect", {0, 0, 0, 0}}, {"color", 4294967295u}}));

    ASSERT_EQ(skin["items"].size(), 3u);
    json expected = {{"id", "BTN_CLOSE"},
                     {"name", "Close\tnow"},
                     {"toolTip", "Close"},
                     {"fontName", "DejaVu Sans"},
                     {"fontSize", 16},
                     {"fontColor", "0xFF000000;"},
                     {"fontFormat", "1;0"},
                     {"bkImg", Image("night", "btn\\close.png")},
                     {"cursor", Image("night", "hand.cur")},
                     {"icon", Image("night", "x.ico")},
                     {"rect", {-10, -20, 20, 20}},
                     {"controlType", 4},
                     {"controlStyle", 4294967295u},
                     {"drawFocus", -1},
                     {"screenReader",
                      {{"role", "check box"}, // all style bits: the auto-check bits read first
                       {"name", "Close\tnow"},
                       {"description", "Close"},
                       {"shortcut", ""},
                       {"action", "Check"}}}};
    EXPECT_EQ(skin["items"][0], expected);
    EXPECT_EQ(skin["items"][1]["name"], "Again"); // LBL, updated by the second section
    EXPECT_EQ(skin["items"][2]["id"], "NEW");
}

// 0 done (lint: no error), 1 lint errors or a section that matches nothing,
// 2 a file that cannot be loaded or read, 64 wrong usage (the verbs share one
// option parser); lint's lines name the file as it was given. (Lint's 1 on a
// file it cannot load: the malformed-file test below.)
TEST_F(KvSkinTest, ExitCodesOfBothVerbs) {
    const std::wstring skin = m_strSkin.GetString(), dir = Directory().GetString();
    const std::wstring broken = Write(L"broken.xml", "<Skin>").GetString(),
                       missing = dir + L"no.xml";
    const std::wstring warned =
        Write(L"warned.xml", "<Skin><Main>\n<WindowInfo><I ItemID=\"SheetSize\" "
                             "Data=\"9,9\"/></WindowInfo><DynamicInfo>\n"
                             "<I ID=\"a\"/></DynamicInfo></Main></Skin>")
            .GetString();
    const struct {
        std::vector<std::wstring> args;
        DWORD nExit;
        std::string strOut; // how standard output begins
        const char* pszErr; // how standard error begins
    } rows[] = {
        {{L"lint", warned, L"Main", L"--skin-name", L"x"},
         0,
         ToUtf8(warned.c_str()) + ":3:1: warning: ",
         ""},
        {{L"lint", missing}, 2, "", "kvskin: cannot read skin file "},
        {{L"describe", broken, L"Main"}, 2, "", "kvskin: cannot load skin file"},
        {{}, 64, "", "usage: kvskin "},
        {{L"describe", skin, L"Main", L"--section2", L"Main\\No"},
         1,
         "",
         "kvskin: section \"Main\\No\" matches nothing: <Main> has no child element \"No\""},
        {{L"render", skin, L"Main"}, 64, "", "kvskin: render needs --out OUT.png"},
    };
    for (const auto& row : rows) {
        KvProcess::RunResult run = KvProcess::RunTool(L"kvskin.exe", row.args);
        const std::string what =
            row.args.empty() ? "no arguments" : ToUtf8(row.args.back().c_str());
        EXPECT_EQ(run.nExitCode, row.nExit) << what;
        EXPECT_EQ(run.strOut.rfind(row.strOut, 0), 0u) << what << ": " << run.strOut;
        EXPECT_EQ(run.strOut.empty(), row.strOut.empty()) << what;
        EXPECT_EQ(run.strErr.rfind(row.pszErr, 0), 0u) << what << ": " << run.strErr;
    }
}

// A file the module cannot load is named as it was given, at each place the
// parse failed, by every verb that reads it: where the parser noticed the
// unclosed element and where that element was opened.
TEST_F(KvSkinTest, MalformedFilesAreNamedAsGivenWithLineAndColumn) {
    Write(L"open.xml", "<Skin>\n<Main>\n  <WindowInfo>\n</Main></Skin>\n");
    const std::string opened = "open.xml:3:3: error: <WindowInfo> is opened here and never closed",
                      noticed = "open.xml:4:3: error: expected end of tag 'WindowInfo'";
    const struct {
        std::vector<std::wstring> args;
        DWORD nExit;
    } rows[] = {{{L"lint", L"open.xml"}, 1},
                {{L"describe", L"open.xml", L"Main"}, 2},
                {{L"show", L"open.xml", L"Main", L"--json"}, 2},
                {{L"render", L"open.xml", L"Main", L"--out", L"o.png"}, 2}};
    for (const auto& row : rows) {
        const KvProcess::RunResult run = KvProcess::RunTool(L"kvskin.exe", row.args, Directory());
        const std::string said = run.strOut + run.strErr;
        EXPECT_EQ(run.nExitCode, row.nExit) << said;
        EXPECT_NE(said.find(opened), std::string::npos) << said;
        EXPECT_NE(said.find(noticed), std::string::npos) << said;
    }
}
