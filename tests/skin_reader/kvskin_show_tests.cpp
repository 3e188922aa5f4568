// kvskin show and render as a user runs them, in processes of their own:
// render and a screenshot of show against the picture the windowless dialog
// composes here, and the watched preview. (A base-dialog section is rendered
// by the build itself: the default page's contact sheet.)
#include "tools/common/Process.h"
#include "tests/skin_dialog/DialogKit.h"
#include "tools/common/CapturePixels.h"
#include "tools/common/Input.h"
#include "tools/kvskin/ContactSheet.h"
#include "tools/kvskin/ItemRequests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
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

    // A base section: a page, an eight-frame check box and a four-frame push button.
    std::wstring WriteBaseSkin(const wchar_t* pszPage, const wchar_t* pszName) {
        ImageKit::SaveStrip(m_folder, L"check.png",
                            {0xFF101010, 0xFF202020, 0xFF303030, 0xFF404040, 0xFF505050, 0xFF606060,
                             0xFF707070, 0xFF808080},
                            16, 16);
        DialogKit::Skin skin;
        skin.window = Parse(std::wstring(L"SheetSize=200,100|Title=Base|FontName=DejaVu Sans|"
                                         L"FontColor=0xFF000000;0xFF808080|BackBmp=") +
                            pszPage);
        skin.items = {Parse(L"ID=keep|Name=Keep|ControlType=2|ControlStyle=0x40000003|"
                            L"Pos=10,10,100,20|BkImg=check.png"),
                      Parse(L"ID=go|Name=Go|ControlType=2|ControlStyle=0x40000000|Pos=10,50,60,24|"
                            L"BkImg=strip.png")};
        return WriteSkin(m_folder, pszName, skin);
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

// Every cell of a contact sheet is what a render of that one item in that look
// shows there, pixel for pixel: in a base-dialog section (every look of the
// check box) and a windowless one.
TEST_F(ShowRenderTest, ContactSheetCellsAreSingleLookRenders) {
    ImageKit::SaveStrip(m_folder, L"page.png", {0xFFE0E4E8}, 200, 100);
    const std::wstring windowless = m_strSkin, base = WriteBaseSkin(L"page.png", L"base.xml");
    const struct {
        std::wstring strSkin;
        const wchar_t* pszID;
        std::vector<const wchar_t*> looks;
    } rows[] = {{base,
                 L"keep",
                 {L"normal", L"hot", L"pressed", L"disabled", L"checked", L"checked-hot",
                  L"checked-pressed", L"checked-disabled"}},
                {windowless, L"itemB", {L"hot", L"pressed"}}};
    for (const auto& row : rows) {
        m_strSkin = row.strSkin;
        const std::wstring sheetPng = m_folder.File(L"sheet.png");
        const auto drawn = Kvskin(L"render", {L"--states", L"--out", sheetPng});
        ASSERT_EQ(drawn.nExitCode, 0u) << drawn.strErr;
        // Where the tool puts each cell, worked out from the same section.
        std::string strError;
        const auto picture =
            MakeSectionPicture({m_strSkin.c_str(), L"Test\\Dlg", L"", L"."}, strError);
        ASSERT_TRUE(picture) << strError;
        const CapturePixels::ArgbImage normal = picture->Compose();
        const auto sheetRows = ContactSheetRows(*picture, {normal.nWidth, normal.nHeight});
        const ContactSheetLayout layout = LayOutContactSheet(sheetRows);
        const size_t nItem = static_cast<size_t>(FindItemByID(picture->Items(), row.pszID));
        const auto sheetRow = std::find_if(sheetRows.begin(), sheetRows.end(),
                                           [&](auto& r) { return r.nItem == nItem; });
        ASSERT_NE(sheetRow, sheetRows.end());
        const int nCellTop = layout.cellTops[static_cast<size_t>(sheetRow - sheetRows.begin())];
        const RECT rc = sheetRow->rcSource, rcItem = picture->Items()[nItem].rcPos;
        Gdiplus::Bitmap sheet(sheetPng.c_str());
        std::set<Gdiplus::ARGB> frames; // each look shows a frame of its own
        for (const wchar_t* pszLook : row.looks) {
            const std::wstring single = m_folder.File(L"single.png");
            const auto one = Kvskin(L"render", {L"--out", single, L"--state",
                                                std::wstring(row.pszID) + L"=" + pszLook});
            ASSERT_EQ(one.nExitCode, 0u) << one.strErr;
            const ItemLook look =
                ParseItemStateRequest((std::wstring(L"x=") + pszLook).c_str())->look;
            const int nCellLeft = layout.ColumnLeft(static_cast<size_t>(layout.ColumnOf(look)));
            Gdiplus::Bitmap singleImage(single.c_str());
            frames.insert(ImageKit::PixelAt(&singleImage, rcItem.left + 2, rcItem.top + 4));
            int nDiffering = 0;
            for (LONG y = rc.top; y < rc.bottom; ++y)
                for (LONG x = rc.left; x < rc.right; ++x)
                    nDiffering +=
                        ImageKit::PixelAt(&singleImage, x, y) !=
                        ImageKit::PixelAt(&sheet, nCellLeft + x - rc.left, nCellTop + y - rc.top);
            EXPECT_EQ(nDiffering, 0) << row.pszID << " " << pszLook;
        }
        EXPECT_EQ(frames.size(), row.looks.size()) << row.pszID;
    }
}

// The skin author's loop: a watched preview reloads after a save (also a new
// file renamed over the old, as many editors save, and an image saved over
// alone); a broken save keeps the last good picture and says where it broke.
TEST_F(ShowRenderTest, WatchedPreviewReloadsAndSurvivesABrokenSave) {
    ImageKit::SaveStrip(m_folder, L"grey.png", {0xFFE0E4E8}, 200, 100);
    const std::wstring skin = WriteBaseSkin(L"grey.png", L"watched.xml");
    KvProcess::CRunningProcess process(
        KvProcess::BesideProgram(L"kvskin.exe"),
        {L"show", skin, L"Test\\Dlg", L"--skin-name", L".", L"--watch"});
    HWND hDlg = nullptr;
    // A reload is a new window; the page's own background shows at (190, 95).
    const auto pageShows = [&](COLORREF colour) {
        return WindowKit::WaitFor(
            [&] {
                hDlg = ::FindWindowW(nullptr, L"Base");
                return hDlg && ScreenPixel(hDlg, {190, 95}) == colour;
            },
            20000);
    };
    ASSERT_TRUE(pageShows(RGB(0xE0, 0xE4, 0xE8)));

    ImageKit::WriteBytes(skin, "<Skin><Test>");
    ASSERT_TRUE(WindowKit::WaitFor(
        [] { return ::FindWindowW(nullptr, L"kvskin: skin errors") != nullptr; }, 20000));
    EXPECT_EQ(ScreenPixel(hDlg, {190, 95}), RGB(0xE0, 0xE4, 0xE8));

    ImageKit::SaveStrip(m_folder, L"blue.png", {0xFF4040C0}, 200, 100);
    ASSERT_TRUE(::MoveFileExW(WriteBaseSkin(L"blue.png", L"saved.tmp").c_str(), skin.c_str(),
                              MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(pageShows(RGB(0x40, 0x40, 0xC0)));
    EXPECT_EQ(::FindWindowW(nullptr, L"kvskin: skin errors"), nullptr);
    EXPECT_FALSE(ImageKit::SaveStrip(m_folder, L"blue.png", {0xFF40C040}, 200, 100).empty());
    ASSERT_TRUE(pageShows(RGB(0x40, 0xC0, 0x40)));

    ::SetForegroundWindow(hDlg);
    KvInput::Key(VK_ESCAPE, true);
    KvInput::Key(VK_ESCAPE, false);
    const KvProcess::RunResult run = process.Finish(20000);
    EXPECT_EQ(run.nExitCode, 0u);
    EXPECT_NE(run.strErr.find("watched.xml:1:"), std::string::npos) << run.strErr;
    EXPECT_NE(run.strErr.find("reloaded"), std::string::npos) << run.strErr;
}
