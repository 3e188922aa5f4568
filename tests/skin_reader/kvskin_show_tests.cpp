// kvskin show and render as a user runs them, in processes of their own:
// render against the picture the windowless dialog composes here, show
// against the windows it makes and the skin they come from.
#include "tests/common/ProcessKit.h"
#include "tests/skin_dialog/DialogKit.h"
#include "tools/common/CapturePixels.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <tuple>
#include <string>
#include <vector>

using namespace DialogKit;
using nlohmann::json;

namespace {

// kvskin's exit code, standard output and error.
std::tuple<DWORD, std::string, std::string> RunKvSkin(const std::vector<std::wstring>& args) {
    ProcessKit::RunResult run = ProcessKit::RunTool(L"kvskin.exe", args);
    return {run.nExitCode, run.strOut, run.strErr};
}

// How many pixels of the PNG differ from expected(x, y) (straight ARGB), and the first.
std::string Differences(const std::wstring& png, SIZE size,
                        const std::function<Gdiplus::ARGB(int, int)>& expected) {
    Gdiplus::Bitmap image(png.c_str());
    if (image.GetWidth() != UINT(size.cx) || image.GetHeight() != UINT(size.cy))
        return "not a PNG of the size";
    int nDiffering = 0;
    std::string first;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (ImageKit::PixelAt(&image, x, y) != expected(x, y) && nDiffering++ == 0)
                first = ", first at " + std::to_string(x) + "," + std::to_string(y);
    return nDiffering == 0 ? std::string() : std::to_string(nDiffering) + " differ" + first;
}

const int kNormal = 0, kHot = 1, kPressed = 2;

class ShowRenderTest : public testing::Test {
protected:
    void SetUp() override {
        // Half-transparent and stretched from 120 x 80 to the sheet.
        ImageKit::SaveStrip(m_folder, L"back.png", {0x80336699}, 120, 80);
        ImageKit::SaveStrip(m_folder, L"strip.png",
                            {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFFFF00FF}, 40, 20);
        ImageKit::SaveStrip(m_folder, L"icon.png", {0xFFFFCC00}, 16, 16);
        Skin skin;
        skin.window = Parse(L"SheetSize=240,160|BackBmp=back.png|Title=Probe|ShowToolTip=1|"
                            L"FontName=DejaVu Sans|FontSize=12|FontColor=0xFFFFFFFF");
        const std::wstring button = L"|ControlType=2|BkImg=strip.png|ControlStyle=0x40000000";
        skin.items = {
            Parse(L"ID=itemA|Pos=10,20,40,20|ToolTip=Tip A" + button),
            Parse(L"ID=label|Pos=60,20,40,20|ControlType=1|ToolTip=Tip L|ControlStyle=0x40000000"),
            Parse(L"ID=itemB|Pos=110,20,80,30|Icon=icon.png|Name=Go|ToolTip=Tip B" + button),
            Parse(L"ID=itemD|Pos=10,60,40,20" + button),
            Parse(L"ID=itemE|Pos=30,70,40,20" + button), // under D where they overlap
            Parse(L"ID=shaped|Pos=200,100,30,30|ControlType=4|ControlStyle=0x40000000"),
            Parse(L"ID=CLOSE|Pos=220,140,40,20" + button), // partly off the sheet
        };
        m_strSkin = WriteSkin(m_folder, L"skin.xml", skin);
    }
    // Exit code, standard output and error of kvskin VERB SKIN Test\Dlg ARGS.
    std::tuple<DWORD, std::string, std::string> Kvskin(const wchar_t* pszVerb,
                                                       std::vector<std::wstring> args) {
        args.insert(args.begin(), {pszVerb, m_strSkin, L"Test\\Dlg", L"--skin-name", L"."});
        return RunKvSkin(args);
    }
    json ShowJson(std::vector<std::wstring> args) {
        args.push_back(L"--json");
        const auto [nExitCode, strOut, strErr] = Kvskin(L"show", args);
        EXPECT_EQ(nExitCode, 0u) << strErr;
        return json::parse(strOut, nullptr, false);
    }

    ImageKit::TempFolder m_folder{L"kv_show"};
    std::wstring m_strSkin;
};

} // namespace

TEST_F(ShowRenderTest, RenderDrawsWhatTheWindowlessDialogComposesPixelForPixel) {
    const struct {
        std::wstring strSkin, strSection, strSkinName;
        std::vector<std::tuple<std::wstring, int, int>> states; // --state, item index, state
    } rows[] = {
        {m_strSkin,
         L"Test\\Dlg",
         L".",
         {{L"itema=hot", 0, kHot}, {L"ITEMB=pressed", 2, kPressed}, {L"itemE=hot", 4, kHot}}},
        {ProcessKit::BesideProgram(L"common\\config\\Kelvane\\Kelvane.xml"),
         L"CommonWindow\\MainDlgInfo",
         L"default",
         {{L"btn_close=pressed", 0, kPressed}}},
    };
    for (const auto& row : rows) {
        const std::wstring png = m_folder.File(L"r.png");
        std::vector<std::wstring> args = {L"render", row.strSkin,    row.strSection, L"--out",
                                          png,       L"--skin-name", row.strSkinName};
        CWndLessProbeDlg dlg;
        ASSERT_TRUE(dlg.Create(301));
        dlg.InitWndLessSkin(row.strSkin.c_str(), row.strSection.c_str(), L"",
                            row.strSkinName.c_str());
        for (const auto& [strState, nIndex, nState] : row.states) {
            args.insert(args.end(), {L"--state", strState});
            dlg.WndLessItem(nIndex)->SetState(nState);
        }
        const auto [nExitCode, strOut, strErr] = RunKvSkin(args);
        ASSERT_EQ(nExitCode, 0u) << strErr;
        const SIZE sheet = SheetSizeOf(dlg);
        CDibCanvas canvas(sheet.cx, sheet.cy);
        ASSERT_TRUE(dlg.DrawSheet(canvas.DC()));
        const auto composed = [&](int x, int y) {
            return CapturePixels::Unpremultiply(canvas.Pixel(x, y));
        };
        EXPECT_EQ(Differences(png, sheet, composed), "") << row.strSection;
    }
}

TEST_F(ShowRenderTest, ShowJsonDescribesTheBaseDialogsWindowAndControls) {
    const json shown = ShowJson({}), captioned = ShowJson({L"--caption"});
    ASSERT_FALSE(shown.is_discarded() || captioned.is_discarded());
    const json& window = shown["window"];
    EXPECT_EQ(window["rect"][2].get<int>() - window["rect"][0].get<int>(), 240);
    EXPECT_EQ(window["rect"][3].get<int>() - window["rect"][1].get<int>(), 160);
    EXPECT_GT(captioned["window"]["rect"][3].get<int>() - captioned["window"]["rect"][1].get<int>(),
              170);
    EXPECT_EQ(captioned["window"]["client"], json({240, 160}));
    EXPECT_EQ(window["client"], json({240, 160}));
    EXPECT_EQ(window["layered"], false);
    EXPECT_EQ(window["title"], "Probe");
    EXPECT_EQ(shown["items"], json::array());
    const struct {
        const char *pszClass, *pszText, *pszTip;
        std::vector<int> rect;
    } expected[] = {
        {"Button", "", "Tip A", {10, 20, 50, 40}},     {"Static", "", "Tip L", {60, 20, 100, 40}},
        {"Button", "Go", "Tip B", {110, 20, 190, 50}}, {"Button", "", "", {10, 60, 50, 80}},
        {"Button", "", "", {30, 70, 70, 90}},          {"Button", "", "", {200, 100, 230, 130}},
        {"Button", "", "", {220, 140, 260, 160}},
    };
    const json& controls = shown["controls"];
    ASSERT_EQ(controls.size(), std::size(expected));
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(controls[i]["id"], 256 + i);
        EXPECT_EQ(controls[i]["class"], expected[i].pszClass) << i;
        EXPECT_EQ(controls[i]["text"], expected[i].pszText) << i;
        EXPECT_EQ(controls[i]["tooltip"], expected[i].pszTip) << i;
        EXPECT_EQ(controls[i]["rect"], json(expected[i].rect)) << i;
        EXPECT_EQ(controls[i]["style"].get<DWORD>() & (WS_CHILD | WS_VISIBLE), 0x50000000u);
    }
}

TEST_F(ShowRenderTest, ShowJsonGivesTheDrawnStatesAfterHoverAndPress) {
    const struct {
        std::vector<std::wstring> args;
        std::vector<int> states; // of the drawn items A, B, D, E, CLOSE
    } rows[] = {
        {{L"--hover", L"ITEMA"}, {kHot, 0, 0, 0, 0}},
        {{L"--press", L"itemb"}, {0, kPressed, 0, 0, 0}},
        {{L"--hover", L"itemE"}, {0, 0, 0, kHot, 0}}, // reached where D does not cover it
        {{L"--hover", L"close"}, {0, 0, 0, 0, kHot}}, // reached on its part inside the window
        {{L"--hover", L"itemA", L"--press", L"itemD"}, {0, 0, kPressed, 0, 0}},
    };
    for (const auto& row : rows) {
        std::vector<std::wstring> args = row.args;
        args.push_back(L"--windowless");
        const json shown = ShowJson(args);
        ASSERT_FALSE(shown.is_discarded());
        EXPECT_EQ(shown["window"]["layered"], true);
        EXPECT_EQ(shown["controls"], json::array()); // no child windows at all
        json expected = json::array();
        const std::pair<int, const char*> drawn[] = {
            {0, "itemA"}, {2, "itemB"}, {3, "itemD"}, {4, "itemE"}, {6, "CLOSE"}};
        for (size_t i = 0; i < row.states.size(); ++i)
            expected.push_back(
                {{"index", drawn[i].first}, {"id", drawn[i].second}, {"state", row.states[i]}});
        EXPECT_EQ(shown["items"], expected) << row.args[1].c_str();
    }
}

TEST_F(ShowRenderTest, AScreenshotOfTheLayeredDialogIsTheRenderedPictureWithItsAlpha) {
    const std::wstring shot = m_folder.File(L"shot.png"), png = m_folder.File(L"r.png");
    EXPECT_EQ(std::get<0>(
                  Kvskin(L"show", {L"--windowless", L"--hover", L"itemB", L"--screenshot", shot})),
              0u);
    EXPECT_EQ(std::get<0>(Kvskin(L"render", {L"--state", L"itemB=hot", L"--out", png})), 0u);
    Gdiplus::Bitmap image(shot.c_str()), rendered(png.c_str());
    EXPECT_EQ(ImageKit::PixelAt(&image, 5, 5) >> 24, 0x80u);    // the half-transparent background
    EXPECT_EQ(ImageKit::PixelAt(&image, 112, 25), 0xFF00B000u); // the strip's hot frame
    const auto renderedPixel = [&](int x, int y) { return ImageKit::PixelAt(&rendered, x, y); };
    EXPECT_EQ(Differences(shot, {240, 160}, renderedPixel), "");
}

TEST_F(ShowRenderTest, WrongUsageUnknownItemsAndUnloadableFiles) {
    const std::wstring out = m_folder.File(L"r.png");
    const struct {
        const wchar_t* pszVerb;
        std::vector<std::wstring> args;
        DWORD nExitCode;
        const char* pszError;
    } rows[] = {
        {L"render", {}, 64, "usage: kvskin"},
        {L"render", {L"--out", out, L"--state", L"itemA=warm"}, 64, "--state"},
        {L"show", {L"--json", L"--hover"}, 64, "usage: kvskin"},
        {L"render", {L"--out", out, L"--state", L"nothing=hot"}, 1, "no item with the ID"},
        {L"show", {L"--json", L"--press", L"nothing"}, 1, "no item with the ID \"nothing\""},
        {L"show", {L"--json", L"--windowless", L"--hover", L"shaped"}, 1, "is not drawn"},
        {L"render", {L"--out", out, L"--state", L"label=hot"}, 1, "\"label\" is not drawn"},
    };
    for (const auto& row : rows) {
        const auto [nExitCode, strOut, strErr] = Kvskin(row.pszVerb, row.args);
        EXPECT_EQ(nExitCode, row.nExitCode) << row.pszError;
        EXPECT_NE(strErr.find(row.pszError), std::string::npos) << strErr;
        EXPECT_EQ(strOut, "");
    }
    m_strSkin = m_folder.File(L"none.xml"); // not there: the skin cannot be loaded
    EXPECT_EQ(std::get<0>(Kvskin(L"render", {L"--out", out})), 2u);
    EXPECT_EQ(std::get<0>(Kvskin(L"show", {L"--json"})), 2u);
    EXPECT_EQ(::GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShowRenderTest, WithoutAnOutputTheDialogStaysUntilItIsClosed) {
    for (bool bWindowless : {false, true}) {
        std::vector<std::wstring> args = {L"show", m_strSkin, L"Test\\Dlg", L"--skin-name", L"."};
        if (bWindowless)
            args.push_back(L"--windowless");
        ProcessKit::CRunningProcess process(ProcessKit::BesideProgram(L"kvskin.exe"), args);
        HWND hDlg = nullptr;
        for (int nTries = 0; !hDlg && nTries < 200; ++nTries, ::Sleep(50))
            hDlg = ::FindWindowW(nullptr, L"Probe");
        ASSERT_NE(hDlg, nullptr);
        EXPECT_FALSE(process.WaitForExit(500)); // still open
        if (bWindowless) { // a click on the item CLOSE, where the window shows it
            POINT pt = {225, 145};
            ::ClientToScreen(hDlg, &pt);
            ::SetCursorPos(pt.x, pt.y);
            ::PostMessageW(hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(225, 145));
            ::PostMessageW(hDlg, WM_LBUTTONUP, 0, MAKELPARAM(225, 145));
        } else { // what a window manager sends for its close button
            ::PostMessageW(hDlg, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(process.Finish(20000).nExitCode, 0u);
    }
}
