// kvskin show and render as a user runs them, in processes of their own:
// render against the picture the windowless dialog composes here, show
// against the windows it makes and the skin they come from.
#include "tests/skin_dialog/DialogKit.h"
#include "tools/common/CapturePixels.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace DialogKit;
using nlohmann::json;

namespace {

struct RunResult {
    DWORD nExitCode = 0xFFFFFFFF;
    std::string strOut;
    std::string strErr;
};

std::wstring BesideTests(const wchar_t* pszName) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self);
    return path.substr(0, path.rfind(L'\\') + 1) + pszName;
}

// kvskin started with its standard output and error in files of the folder.
// Arguments are quoted whole: none of these ends with a backslash or holds a quote.
class CKvSkinProcess {
public:
    CKvSkinProcess(const ImageKit::TempFolder& folder, const std::vector<std::wstring>& args)
        : m_out(folder.File(L"out.txt")), m_err(folder.File(L"err.txt")) {
        std::wstring line = L"\"" + BesideTests(L"kvskin.exe") + L"\"";
        for (const std::wstring& arg : args)
            line += L" \"" + arg + L"\"";
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = ::CreateFileW(m_out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                           CREATE_ALWAYS, 0, nullptr);
        startup.hStdError = ::CreateFileW(m_err.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                          CREATE_ALWAYS, 0, nullptr);
        m_bStarted = ::CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &m_process) != FALSE;
        ::CloseHandle(startup.hStdOutput);
        ::CloseHandle(startup.hStdError);
    }
    ~CKvSkinProcess() {
        if (m_bStarted) {
            ::TerminateProcess(m_process.hProcess, 99);
            ::CloseHandle(m_process.hThread);
            ::CloseHandle(m_process.hProcess);
        }
    }
    DWORD Id() const { return m_process.dwProcessId; }
    bool Running() const { return ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }
    RunResult Finish(DWORD nTimeoutMs = 60000) {
        RunResult run;
        if (m_bStarted && ::WaitForSingleObject(m_process.hProcess, nTimeoutMs) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(m_process.hProcess, &run.nExitCode);
        run.strOut = ReadFile(m_out);
        run.strErr = ReadFile(m_err);
        return run;
    }

private:
    static std::string ReadFile(const std::wstring& path) {
        std::string bytes;
        if (FILE* file = _wfopen(path.c_str(), L"rb")) {
            char buffer[4096];
            for (size_t n; (n = fread(buffer, 1, sizeof(buffer), file)) > 0;)
                bytes.append(buffer, n);
            fclose(file);
        }
        return bytes;
    }

    std::wstring m_out, m_err;
    PROCESS_INFORMATION m_process = {};
    bool m_bStarted = false;
};

// The PNG's pixels as straight ARGB, rows top-down; empty when it cannot be read.
CapturePixels::ArgbImage ReadPng(const std::wstring& path) {
    CapturePixels::ArgbImage image;
    Gdiplus::Bitmap png(path.c_str());
    Gdiplus::BitmapData data = {};
    const Gdiplus::Rect all(0, 0, static_cast<INT>(png.GetWidth()),
                            static_cast<INT>(png.GetHeight()));
    if (png.GetLastStatus() != Gdiplus::Ok ||
        png.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return image;
    image.nWidth = all.Width;
    image.nHeight = all.Height;
    for (int y = 0; y < all.Height; ++y) {
        const auto* pRow = reinterpret_cast<const uint32_t*>(static_cast<const BYTE*>(data.Scan0) +
                                                             y * data.Stride);
        image.pixels.insert(image.pixels.end(), pRow, pRow + all.Width);
    }
    png.UnlockBits(&data);
    return image;
}

// How many pixels differ, and the first that does.
std::string Differences(const CapturePixels::ArgbImage& a, const CapturePixels::ArgbImage& b) {
    if (a.nWidth != b.nWidth || a.nHeight != b.nHeight)
        return "sizes differ";
    int nDiffering = 0;
    std::string first;
    for (int y = 0; y < a.nHeight; ++y)
        for (int x = 0; x < a.nWidth; ++x)
            if (a.At(x, y) != b.At(x, y) && nDiffering++ == 0)
                first = " first at " + std::to_string(x) + "," + std::to_string(y);
    return nDiffering == 0 ? std::string() : std::to_string(nDiffering) + " differ," + first;
}

const int kNormal = 0, kHot = 1, kPressed = 2;

CWndLessItem* DrawnItem(CWndLessProbeDlg& dlg, const wchar_t* pszID) {
    for (size_t i = 0; i < dlg.m_arrDynamicItems.size(); ++i)
        if (dlg.m_arrDynamicItems[i].strID.CompareNoCase(pszID) == 0)
            return dlg.WndLessItem(static_cast<int>(i));
    return nullptr;
}

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
            Parse(L"ID=shaped|Pos=200,100,30,30|ControlType=4|BkImg=strip.png|"
                  L"ControlStyle=0x40000000"),
            Parse(L"ID=CLOSE|Pos=220,140,40,20" + button), // partly off the sheet
        };
        m_strSkin = WriteSkin(m_folder, L"skin.xml", skin);
    }
    RunResult Kvskin(const std::vector<std::wstring>& args) {
        return CKvSkinProcess(m_folder, args).Finish();
    }
    json ShowJson(std::vector<std::wstring> args) {
        args.insert(args.begin(),
                    {L"show", m_strSkin, L"Test\\Dlg", L"--skin-name", L".", L"--json"});
        const RunResult run = Kvskin(args);
        EXPECT_EQ(run.nExitCode, 0u) << run.strErr;
        return json::parse(run.strOut, nullptr, false);
    }

    ImageKit::TempFolder m_folder{L"kv_show"};
    std::wstring m_strSkin;
};

} // namespace

TEST_F(ShowRenderTest, RenderDrawsWhatTheWindowlessDialogComposesPixelForPixel) {
    const struct {
        std::wstring strSkin, strSection, strSkinName;
        std::map<std::wstring, int> states; // ID as given, any case
    } rows[] = {
        {m_strSkin, L"Test\\Dlg", L".", {{L"itema", kHot}, {L"ITEMB", kPressed}, {L"itemE", kHot}}},
        {BesideTests(L"common\\config\\Kelvane\\Kelvane.xml"),
         L"CommonWindow\\MainDlgInfo",
         L"default",
         {{L"btn_close", kPressed}}},
    };
    const wchar_t* const kStateNames[] = {L"normal", L"hot", L"pressed"};
    for (const auto& row : rows) {
        std::vector<std::wstring> args = {
            L"render",       row.strSkin, row.strSection,         L"--skin-name",
            row.strSkinName, L"--out",    m_folder.File(L"r.png")};
        CWndLessProbeDlg dlg;
        ASSERT_TRUE(dlg.Create(301));
        dlg.InitWndLessSkin(row.strSkin.c_str(), row.strSection.c_str(), L"",
                            row.strSkinName.c_str());
        for (const auto& [strID, nState] : row.states) {
            args.insert(args.end(), {L"--state", strID + L"=" + kStateNames[nState]});
            CWndLessItem* pItem = DrawnItem(dlg, strID.c_str());
            ASSERT_NE(pItem, nullptr);
            pItem->SetState(nState);
        }
        const RunResult run = Kvskin(args);
        ASSERT_EQ(run.nExitCode, 0u) << run.strErr;
        const SIZE sheet = SheetSizeOf(dlg);
        CDibCanvas canvas(sheet.cx, sheet.cy);
        ASSERT_TRUE(dlg.DrawSheet(canvas.DC()));
        CapturePixels::ArgbImage composed{sheet.cx, sheet.cy, {}};
        for (int y = 0; y < sheet.cy; ++y)
            for (int x = 0; x < sheet.cx; ++x)
                composed.pixels.push_back(CapturePixels::Unpremultiply(canvas.Pixel(x, y)));
        EXPECT_EQ(Differences(ReadPng(m_folder.File(L"r.png")), composed), "") << row.strSection;
    }
}

TEST_F(ShowRenderTest, ShowJsonDescribesTheBaseDialogsWindowAndControls) {
    for (bool bCaption : {false, true}) {
        const json shown = ShowJson(bCaption ? std::vector<std::wstring>{L"--caption"}
                                             : std::vector<std::wstring>{});
        ASSERT_FALSE(shown.is_discarded());
        const json& window = shown["window"];
        EXPECT_EQ(window["client"], json({240, 160}));
        const int nWidth = window["rect"][2].get<int>() - window["rect"][0].get<int>();
        const int nHeight = window["rect"][3].get<int>() - window["rect"][1].get<int>();
        EXPECT_EQ(nWidth > 240 && nHeight > 160 + 10, bCaption) << nWidth << "x" << nHeight;
        EXPECT_EQ(nWidth == 240 && nHeight == 160, !bCaption);
        EXPECT_EQ(window["layered"], false);
        EXPECT_EQ(window["title"], "Probe");
        EXPECT_EQ(shown["items"], json::array());
    }
    const json controls = ShowJson({})["controls"];
    const struct {
        const char *pszClass, *pszText, *pszTip;
        std::vector<int> rect;
    } expected[] = {
        {"Button", "", "Tip A", {10, 20, 50, 40}},     {"Static", "", "Tip L", {60, 20, 100, 40}},
        {"Button", "Go", "Tip B", {110, 20, 190, 50}}, {"Button", "", "", {10, 60, 50, 80}},
        {"Button", "", "", {30, 70, 70, 90}},          {"Button", "", "", {200, 100, 230, 130}},
        {"Button", "", "", {220, 140, 260, 160}},
    };
    ASSERT_EQ(controls.size(), std::size(expected));
    for (size_t i = 0; i < controls.size(); ++i) {
        const json& control = controls[i];
        EXPECT_EQ(control["id"], 256 + i);
        EXPECT_EQ(control["class"], expected[i].pszClass) << i;
        EXPECT_EQ(control["text"], expected[i].pszText) << i;
        EXPECT_EQ(control["tooltip"], expected[i].pszTip) << i;
        EXPECT_EQ(control["rect"], json(expected[i].rect)) << i;
        EXPECT_EQ(control["style"].get<uint32_t>() & (WS_CHILD | WS_VISIBLE),
                  static_cast<uint32_t>(WS_CHILD | WS_VISIBLE));
    }
}

TEST_F(ShowRenderTest, ShowJsonGivesTheDrawnStatesAfterHoverAndPress) {
    const struct {
        std::vector<std::wstring> args;
        std::map<std::string, int> changed; // every other drawn item is normal
    } rows[] = {
        {{L"--hover", L"ITEMA"}, {{"itemA", kHot}}},
        {{L"--press", L"itemb"}, {{"itemB", kPressed}}},
        {{L"--hover", L"itemE"}, {{"itemE", kHot}}}, // reached where D does not cover it
        {{L"--hover", L"close"}, {{"CLOSE", kHot}}}, // reached on the part inside the window
        {{L"--hover", L"itemA", L"--press", L"itemD"}, {{"itemD", kPressed}}},
    };
    for (const auto& row : rows) {
        std::vector<std::wstring> args = row.args;
        args.push_back(L"--windowless");
        const json shown = ShowJson(args);
        ASSERT_FALSE(shown.is_discarded());
        EXPECT_EQ(shown["window"]["layered"], true);
        EXPECT_EQ(shown["controls"], json::array()); // no child windows at all
        std::vector<std::pair<int, std::string>> drawn;
        for (const json& item : shown["items"]) {
            drawn.emplace_back(item["index"].get<int>(), item["id"].get<std::string>());
            const auto found = row.changed.find(item["id"].get<std::string>());
            EXPECT_EQ(item["state"], found == row.changed.end() ? kNormal : found->second)
                << item["id"] << " after " << row.args.size() << " arguments";
        }
        EXPECT_EQ(drawn,
                  (std::vector<std::pair<int, std::string>>{
                      {0, "itemA"}, {2, "itemB"}, {3, "itemD"}, {4, "itemE"}, {6, "CLOSE"}}));
    }
}

TEST_F(ShowRenderTest, AScreenshotOfTheLayeredDialogIsTheRenderedPictureWithItsAlpha) {
    const std::wstring shot = m_folder.File(L"shot.png"), rendered = m_folder.File(L"r.png");
    RunResult run = Kvskin({L"show", m_strSkin, L"Test\\Dlg", L"--skin-name", L".", L"--windowless",
                            L"--hover", L"itemB", L"--screenshot", shot});
    ASSERT_EQ(run.nExitCode, 0u) << run.strErr;
    run = Kvskin({L"render", m_strSkin, L"Test\\Dlg", L"--skin-name", L".", L"--state",
                  L"itemB=hot", L"--out", rendered});
    ASSERT_EQ(run.nExitCode, 0u) << run.strErr;
    const CapturePixels::ArgbImage image = ReadPng(shot);
    ASSERT_EQ(image.nWidth, 240);
    EXPECT_EQ(image.At(5, 5) >> 24, 0x80u);    // the half-transparent background
    EXPECT_EQ(image.At(112, 25), 0xFF00B000u); // the hot frame of the strip
    EXPECT_EQ(Differences(image, ReadPng(rendered)), "");
}

TEST_F(ShowRenderTest, WrongUsageUnknownItemsAndUnloadableFiles) {
    const std::wstring out = m_folder.File(L"r.png");
    const std::wstring folder = m_folder.Path().substr(0, m_folder.Path().size() - 1);
    const struct {
        std::vector<std::wstring> args;
        DWORD nExitCode;
        const char* pszError;
    } rows[] = {
        {{L"render", m_strSkin, L"Test\\Dlg"}, 64, "usage: kvskin"},
        {{L"render", m_strSkin, L"Test\\Dlg", L"--out", out, L"--state", L"itemA"}, 64, "--state"},
        {{L"render", m_strSkin, L"Test\\Dlg", L"--out", out, L"--state", L"itemA=warm"},
         64,
         "--state"},
        {{L"show", m_strSkin, L"Test\\Dlg", L"--json", L"--hover"}, 64, "usage: kvskin"},
        {{L"render", m_strSkin, L"Test\\Dlg", L"--out", out, L"--skin-name", L".", L"--state",
          L"nothing=hot"},
         1,
         "no item with the ID \"nothing\" in Test\\Dlg"},
        {{L"render", m_strSkin, L"Test\\Dlg", L"--out", out, L"--state", L"label=hot"},
         1,
         "\"label\" is not drawn by the windowless dialog"},
        {{L"show", m_strSkin, L"Test\\Dlg", L"--json", L"--press", L"nothing"},
         1,
         "no item with the ID \"nothing\""},
        {{L"show", m_strSkin, L"Test\\Dlg", L"--json", L"--windowless", L"--hover", L"shaped"},
         1,
         "\"shaped\" is not drawn by the windowless dialog"},
        {{L"render", m_strSkin, L"Test\\None", L"--out", out}, 1, "nothing to draw"},
        {{L"render", m_folder.File(L"none.xml"), L"Test\\Dlg", L"--out", out}, 2, "cannot load"},
        {{L"show", folder, L"Test\\Dlg", L"--json"}, 2, "cannot load"},
    };
    for (const auto& row : rows) {
        const RunResult run = Kvskin(row.args);
        EXPECT_EQ(run.nExitCode, row.nExitCode) << row.pszError;
        EXPECT_NE(run.strErr.find(row.pszError), std::string::npos) << run.strErr;
        EXPECT_EQ(run.strOut, "");
    }
    EXPECT_EQ(::GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ShowRenderTest, WithoutAnOutputTheDialogStaysUntilItIsClosed) {
    for (bool bWindowless : {false, true}) {
        std::vector<std::wstring> args = {L"show", m_strSkin, L"Test\\Dlg", L"--skin-name", L"."};
        if (bWindowless)
            args.push_back(L"--windowless");
        CKvSkinProcess process(m_folder, args);
        HWND hDlg = nullptr;
        for (int nTries = 0; !hDlg && nTries < 200; ++nTries, ::Sleep(50))
            for (HWND h = ::FindWindowW(nullptr, L"Probe"); h && !hDlg;
                 h = ::FindWindowExW(nullptr, h, nullptr, L"Probe")) {
                DWORD nProcess = 0;
                ::GetWindowThreadProcessId(h, &nProcess);
                hDlg = nProcess == process.Id() && ::IsWindowVisible(h) ? h : nullptr;
            }
        ASSERT_NE(hDlg, nullptr);
        ::Sleep(500);
        EXPECT_TRUE(process.Running());
        if (bWindowless) { // a click on the item CLOSE, where the window shows it
            POINT pt = {225, 145};
            ::ClientToScreen(hDlg, &pt);
            ::SetCursorPos(pt.x, pt.y);
            ::PostMessageW(hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(225, 145));
            ::PostMessageW(hDlg, WM_LBUTTONUP, 0, MAKELPARAM(225, 145));
        } else { // what a window manager sends for its close button
            ::PostMessageW(hDlg, WM_CLOSE, 0, 0);
        }
        const RunResult run = process.Finish(20000);
        EXPECT_EQ(run.nExitCode, 0u) << run.strErr;
    }
}
