// kvskin show and render as a user runs them, in processes of their own:
// render against the picture the windowless dialog composes here and the
// base dialog shows on the screen, show against the windows it makes and the
// skin they come from.
#include "tools/common/Process.h"
#include "tests/skin_dialog/DialogKit.h"
#include "tools/common/CapturePixels.h"
#include "tools/common/Input.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace DialogKit;
using nlohmann::json;

namespace {

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

// What the tool shows comes from another process: 20 s covers a loaded machine.
template <class Condition> bool WaitFor(Condition condition, DWORD nMilliseconds = 20000) {
    return WindowKit::WaitFor(condition, nMilliseconds);
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
        // The base section's page, eight-frame check box and four-frame push button.
        ImageKit::SaveStrip(m_folder, L"page.png", {0xFFE0E4E8}, 200, 100);
        ImageKit::SaveStrip(m_folder, L"check.png",
                            {0xFF101010, 0xFF202020, 0xFF303030, 0xFF404040, 0xFF505050, 0xFF606060,
                             0xFF707070, 0xFF808080},
                            16, 16);
        ImageKit::SaveStrip(m_folder, L"push.png", {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF909090},
                            60, 24);
        m_skin.window = Parse(L"SheetSize=240,160|BackBmp=back.png|Title=Probe|ShowToolTip=1|"
                              L"FontName=DejaVu Sans|FontSize=12|FontColor=0xFFFFFFFF");
        const std::wstring button = L"|ControlType=2|BkImg=strip.png|ControlStyle=0x40000000";
        m_skin.items = {
            Parse(L"ID=itemA|Pos=10,20,40,20|ToolTip=Tip A" + button),
            Parse(L"ID=label|Pos=60,20,40,20|ControlType=1|ToolTip=Tip L|ControlStyle=0x40000000"),
            Parse(L"ID=itemB|Pos=110,20,80,30|Icon=icon.png|Name=Go|ToolTip=Tip B" + button),
            Parse(L"ID=itemD|Pos=10,60,40,20" + button),
            Parse(L"ID=itemE|Pos=30,70,40,20" + button), // under D where they overlap
            Parse(L"ID=shaped|Pos=200,100,30,30|ControlType=4|ControlStyle=0x40000000"),
            Parse(L"ID=CLOSE|Pos=220,140,40,20" + button), // partly off the sheet
        };
        m_strSkin = WriteSkin(m_folder, L"skin.xml", m_skin);
    }
    // kvskin VERB SKIN Test\Dlg ARGS.
    KvProcess::RunResult Kvskin(const wchar_t* pszVerb, std::vector<std::wstring> args) {
        args.insert(args.begin(), {pszVerb, m_strSkin, L"Test\\Dlg", L"--skin-name", L"."});
        return KvProcess::RunTool(L"kvskin.exe", args);
    }
    json ShowJson(std::vector<std::wstring> args) {
        args.push_back(L"--json");
        const auto [nExitCode, strOut, strErr] = Kvskin(L"show", args);
        EXPECT_EQ(nExitCode, 0u) << strErr;
        return json::parse(strOut, nullptr, false);
    }

    // A base-dialog section (its check box makes it one): a check box, a push
    // button and a label on an opaque page, the one named.
    std::wstring WriteBaseSkin(const wchar_t* pszPage = L"page.png",
                               const wchar_t* pszName = L"base.xml") {
        Skin skin;
        skin.window = Parse(std::wstring(L"SheetSize=200,100|BackBmp=") + pszPage +
                            L"|Title=Base|FontName=DejaVu Sans|FontSize=12|"
                            L"FontColor=0xFF000000;0xFF808080");
        skin.items = {
            Parse(L"ID=keep|Name=Keep|ControlType=2|ControlStyle=0x40000003|Pos=10,10,100,20|"
                  L"BkImg=check.png"),
            Parse(L"ID=go|Name=Go|ControlType=2|ControlStyle=0x40000000|Pos=10,50,60,24|"
                  L"BkImg=push.png"),
            Parse(L"ID=note|Name=Note|ControlType=1|ControlStyle=0x40000000|Pos=120,50,60,20")};
        return WriteSkin(m_folder, pszName, skin);
    }

    ImageKit::TempFolder m_folder{L"kv_show"};
    DialogKit::Skin m_skin;
    std::wstring m_strSkin;
};

} // namespace

// render, and a screenshot of show, are the picture the windowless dialog
// composes here with the same states, pixel for pixel, alpha included.
TEST_F(ShowRenderTest, RenderAndAScreenshotAreWhatTheWindowlessDialogComposes) {
    const std::wstring png = m_folder.File(L"r.png"), shot = m_folder.File(L"shot.png");
    const auto [nExitCode, strOut, strErr] =
        Kvskin(L"render", {L"--out", png, L"--state", L"itema=hot", L"--state", L"ITEMB=pressed"});
    ASSERT_EQ(nExitCode, 0u) << strErr;
    ASSERT_EQ(
        Kvskin(L"show", {L"--windowless", L"--hover", L"itemB", L"--screenshot", shot}).nExitCode,
        0u);
    CWndLessProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(301));
    ASSERT_TRUE(dlg.LoadTestSkin(m_strSkin));
    const struct {
        std::wstring strPng;
        int nStateA, nStateB;
    } rows[] = {{png, kHot, kPressed}, {shot, kNormal, kHot}};
    for (const auto& row : rows) {
        dlg.WndLessItem(0)->SetState(row.nStateA);
        dlg.WndLessItem(2)->SetState(row.nStateB);
        CSheetCanvas canvas(240, 160);
        ASSERT_TRUE(dlg.DrawSheet(canvas.DC()));
        const auto composed = [&](int x, int y) {
            return CapturePixels::Unpremultiply(canvas.Pixel(x, y));
        };
        EXPECT_EQ(Differences(row.strPng, {240, 160}, composed), "") << row.nStateB;
    }
}

// A base-dialog section, which render used to refuse: render draws it as the
// base dialog shows it on the screen, background and every control.
TEST_F(ShowRenderTest, RenderDrawsABaseSectionAsTheDialogShowsIt) {
    m_strSkin = WriteBaseSkin();
    const std::wstring png = m_folder.File(L"r.png"), shot = m_folder.File(L"shot.png");
    const auto rendered = Kvskin(L"render", {L"--out", png});
    ASSERT_EQ(rendered.nExitCode, 0u) << rendered.strErr;
    ASSERT_EQ(Kvskin(L"show", {L"--screenshot", shot}).nExitCode, 0u);
    Gdiplus::Bitmap screen(shot.c_str());
    EXPECT_EQ(Differences(png, {200, 100},
                          [&](int x, int y) { return ImageKit::PixelAt(&screen, x, y); }),
              "");
}

// The windowed dialog: the sheet's size, a child window for every item
// (what each control is, the dialog's own tests check); windowless: drawn
// items only (the windowless dialog's tests check it makes no windows), E hot
// where D does not cover it.
TEST_F(ShowRenderTest, ShowJsonDescribesWindowControlsAndDrawnStates) {
    const json shown = ShowJson({});
    ASSERT_FALSE(shown.is_discarded());
    const json& rect = shown["window"]["rect"];
    EXPECT_EQ(rect[2].get<int>() - rect[0].get<int>(), 240);
    EXPECT_EQ(rect[3].get<int>() - rect[1].get<int>(), 160);
    ASSERT_EQ(shown["controls"].size(), 7u);
    EXPECT_EQ(shown["controls"][1]["tooltip"], "Tip L"); // a label's, from the dialog's tooltip

    const json windowless = ShowJson({L"--windowless", L"--hover", L"itemE"});
    ASSERT_FALSE(windowless.is_discarded());
    ASSERT_EQ(windowless["items"].size(), 5u); // the label and the shaped button are not drawn
    EXPECT_EQ(windowless["items"][2], json({{"index", 3}, {"id", "itemD"}, {"state", 0}}));
    EXPECT_EQ(windowless["items"][3], json({{"index", 4}, {"id", "itemE"}, {"state", kHot}}));
}

TEST_F(ShowRenderTest, WrongUsageUnknownItemsAndUnloadableFiles) {
    const std::wstring out = m_folder.File(L"r.png");
    const struct {
        const wchar_t* pszVerb;
        std::vector<std::wstring> args;
        DWORD nExitCode;
        const char* pszError;
    } rows[] = {
        {L"show", {L"--json", L"--hover"}, 64, "usage: kvskin"},
        {L"show", {L"--json", L"--press", L"nothing"}, 1, "no item with the ID \"nothing\""},
        {L"render", {L"--out", out, L"--state", L"label=hot"}, 1, "\"label\" is not drawn"},
    };
    for (const auto& row : rows) {
        const auto [nExitCode, strOut, strErr] = Kvskin(row.pszVerb, row.args);
        EXPECT_EQ(nExitCode, row.nExitCode) << row.pszError;
        EXPECT_NE(strErr.find(row.pszError), std::string::npos) << strErr;
        EXPECT_EQ(strOut, "");
    }
    // A base-dialog section at a scale: its controls are windows at the display's own scale.
    m_strSkin = WriteBaseSkin();
    EXPECT_EQ(Kvskin(L"render", {L"--out", out, L"--scale", L"150"}).nExitCode, 1u);
    m_strSkin = m_folder.File(L"none.xml"); // not there: the skin cannot be loaded
    EXPECT_EQ(Kvskin(L"render", {L"--out", out}).nExitCode, 2u);
    EXPECT_EQ(::GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Without an output the dialog stays until it is closed as a host's would
// close: a click on an item with a closing role or a shipped host's close ID
// (the demo page's "Close" is BTN_EXIT, which once did nothing). Escape ends
// the watched preview below.
TEST_F(ShowRenderTest, WithoutAnOutputTheDialogStaysUntilItIsClosed) {
    // The ID of the item partly off the sheet: a windowless item's role, a window's ID.
    const std::pair<const wchar_t*, bool> rows[] = {{L"CLOSE", true}, {L"btn_exit", false}};
    for (const auto& [pszCloseID, bWindowless] : rows) {
        SetAttribute(m_skin.items.back(), L"ID", pszCloseID);
        WriteSkin(m_folder, L"skin.xml", m_skin);
        std::vector<std::wstring> args = {L"show", m_strSkin, L"Test\\Dlg", L"--skin-name", L"."};
        if (bWindowless)
            args.push_back(L"--windowless");
        KvProcess::CRunningProcess process(KvProcess::BesideProgram(L"kvskin.exe"), args);
        HWND hDlg = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (hDlg = ::FindWindowW(nullptr, L"Probe")) != nullptr; }));
        EXPECT_FALSE(process.WaitForExit(500));
        KvInput::CursorTo(hDlg, {225, 145});
        KvInput::LeftButton(true);
        KvInput::LeftButton(false);
        EXPECT_EQ(process.Finish(20000).nExitCode, 0u) << pszCloseID;
        // The next one finds its own window, not this one going away.
        WaitFor([&] { return !::IsWindow(hDlg); }, 5000);
    }
}

// A watched preview follows its file: a broken save keeps the last good
// picture and shows the errors in a band; the next good save (by rename,
// with a new background) is read back from the screen without a restart,
// and so is a change of an image alone.
TEST_F(ShowRenderTest, WatchedPreviewReloadsAndSurvivesABrokenSave) {
    const std::wstring skin = WriteBaseSkin();
    KvProcess::CRunningProcess process(
        KvProcess::BesideProgram(L"kvskin.exe"),
        {L"show", skin, L"Test\\Dlg", L"--skin-name", L".", L"--watch"});
    HWND hDlg = nullptr;
    const auto dialog = [&] { return hDlg = ::FindWindowW(nullptr, L"Base"); };
    // The page's own background shows at (190, 95); a reload is a new window.
    const auto pageShows = [&](COLORREF colour) {
        return WaitFor([&] { return dialog() && ScreenPixel(hDlg, {190, 95}) == colour; });
    };
    ASSERT_TRUE(pageShows(RGB(0xE0, 0xE4, 0xE8)));

    ImageKit::WriteBytes(skin, "<Skin><Test>");
    ASSERT_TRUE(WaitFor([] { return ::FindWindowW(nullptr, L"kvskin: skin errors") != nullptr; }));
    EXPECT_EQ(ScreenPixel(hDlg, {190, 95}), RGB(0xE0, 0xE4, 0xE8)); // the last good picture

    ImageKit::SaveStrip(m_folder, L"blue.png", {0xFF4040C0}, 200, 100);
    // Saved as many editors save: a new file renamed over the old.
    ASSERT_TRUE(::MoveFileExW(WriteBaseSkin(L"blue.png", L"saved.tmp").c_str(), skin.c_str(),
                              MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(pageShows(RGB(0x40, 0x40, 0xC0)));
    EXPECT_EQ(::FindWindowW(nullptr, L"kvskin: skin errors"), nullptr);
    // The image alone, saved over while the preview shows it.
    EXPECT_FALSE(ImageKit::SaveStrip(m_folder, L"blue.png", {0xFF40C040}, 200, 100).empty());
    ASSERT_TRUE(pageShows(RGB(0x40, 0xC0, 0x40)));

    ::SetForegroundWindow(hDlg);
    KvInput::Key(VK_ESCAPE, true);
    KvInput::Key(VK_ESCAPE, false);
    const KvProcess::RunResult run = process.Finish(20000);
    EXPECT_EQ(run.nExitCode, 0u);
    EXPECT_NE(run.strErr.find("base.xml:1:"), std::string::npos) << run.strErr;
    EXPECT_NE(run.strErr.find("reloaded"), std::string::npos) << run.strErr;
}
