// kvskin show and render as a user runs them, in processes of their own:
// render and a screenshot of show against the picture the windowless dialog
// composes here. (A base-dialog section is rendered by the build itself: the
// default page's contact sheet.)
#include "tools/common/Process.h"
#include "tests/skin_dialog/DialogKit.h"
#include "tools/common/CapturePixels.h"
#include "tools/common/Input.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace DialogKit;

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

const int kNormal = 0, kHot = 1, kPressed = 2;

class ShowRenderTest : public testing::Test {
protected:
    void SetUp() override {
        // Half-transparent and stretched from 120 x 80 to the sheet.
        ImageKit::SaveStrip(m_folder, L"back.png", {0x80336699}, 120, 80);
        ImageKit::SaveStrip(m_folder, L"strip.png",
                            {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFFFF00FF}, 40, 20);
        ImageKit::SaveStrip(m_folder, L"icon.png", {0xFFFFCC00}, 16, 16);
        DialogKit::Skin skin;
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
            Parse(L"ID=btn_exit|Pos=220,140,40,20" + button), // partly off the sheet
        };
        m_strSkin = WriteSkin(m_folder, L"skin.xml", skin);
    }
    // kvskin VERB SKIN Test\Dlg ARGS.
    KvProcess::RunResult Kvskin(const wchar_t* pszVerb, std::vector<std::wstring> args) {
        args.insert(args.begin(), {pszVerb, m_strSkin, L"Test\\Dlg", L"--skin-name", L"."});
        return KvProcess::RunTool(L"kvskin.exe", args);
    }

    ImageKit::TempFolder m_folder{L"kv_show"};
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

// One refusal per verb; a refused render writes nothing.
TEST_F(ShowRenderTest, UnknownItemsAreRefused) {
    const std::wstring out = m_folder.File(L"r.png");
    const struct {
        const wchar_t* pszVerb;
        std::vector<std::wstring> args;
        const char* pszError;
    } rows[] = {
        {L"show", {L"--json", L"--press", L"nothing"}, "no item with the ID \"nothing\""},
        {L"render", {L"--out", out, L"--state", L"label=hot"}, "\"label\" is not drawn"},
    };
    for (const auto& row : rows) {
        const auto [nExitCode, strOut, strErr] = Kvskin(row.pszVerb, row.args);
        EXPECT_EQ(nExitCode, 1u) << row.pszError;
        EXPECT_NE(strErr.find(row.pszError), std::string::npos) << strErr;
        EXPECT_EQ(strOut, "");
    }
    EXPECT_EQ(::GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Without an output the (windowed) dialog stays until it is closed as a host's
// would close: a click on a shipped host's close ID, partly off the sheet (the
// demo page's "Close" is BTN_EXIT, which once did nothing).
TEST_F(ShowRenderTest, WithoutAnOutputTheDialogStaysUntilItIsClosed) {
    KvProcess::CRunningProcess process(KvProcess::BesideProgram(L"kvskin.exe"),
                                       {L"show", m_strSkin, L"Test\\Dlg", L"--skin-name", L"."});
    HWND hDlg = nullptr;
    // The dialog comes from another process: 20 s covers a loaded machine.
    ASSERT_TRUE(WindowKit::WaitFor(
        [&] { return (hDlg = ::FindWindowW(nullptr, L"Probe")) != nullptr; }, 20000));
    EXPECT_FALSE(process.WaitForExit(500));
    KvInput::CursorTo(hDlg, {225, 145});
    KvInput::LeftButton(true);
    KvInput::LeftButton(false);
    EXPECT_EQ(process.Finish(20000).nExitCode, 0u);
}
