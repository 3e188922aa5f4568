// Skinned dialogs at the display scale that the prefix's "LogPixels" gives:
// run_scale.sh runs this program once per DPI and names the DPI in
// KV_SCALE_DPI. Sizes, item rectangles, text and image variants follow the
// DPI; a move to a monitor of another scale (WM_DPICHANGED, which Wine never
// sends itself) resizes once and draws anew.
#include "tests/skin_dialog/DialogKit.h"

#include "skin/DialogModel.h"
#include "skin/DrawUtil.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cmath>
#include <cstdlib>

using namespace DialogKit;

namespace {

const Gdiplus::ARGB kBack = 0xFF203040, kBack150 = 0xFF405060;
const Gdiplus::ARGB kNormal = 0xFF00A000, kNormal200 = 0xFF0000C0;
const Gdiplus::ARGB kHot = 0xFF00B000, kPressed = 0xFF00C000, kUnused = 0xFFFF00FF;
// Odd lengths, so that most of them fall between pixels at every scale.
const SIZE kSheet = {241, 163};
const RECT kItemA = {11, 21, 48, 40}, kItemB = {48, 21, 85, 40}; // B touches A
const RECT kTextItem = {20, 60, 170, 101};
const int kTextSize = 15;
const POINT kDialogAt = {60, 50};

// A skin length at nDpi as the display shows it: the length times the scale.
double Exact(int n, int nDpi) {
    return n * nDpi / 96.0;
}
int Rounded(int n, int nDpi) {
    return static_cast<int>(std::lround(Exact(n, nDpi)));
}

// Every edge within a pixel of the skin's edge times the scale.
void ExpectNearScaled(const RECT& rc, const RECT& skin, int nDpi, const char* what) {
    for (LONG RECT::*edge : {&RECT::left, &RECT::top, &RECT::right, &RECT::bottom})
        EXPECT_LE(std::abs(rc.*edge - Exact(skin.*edge, nDpi)), 1.0)
            << what << ": " << rc.*edge << " for " << skin.*edge;
}

std::wstring PosOf(const RECT& rc) {
    return std::to_wstring(rc.left) + L"," + std::to_wstring(rc.top) + L"," +
           std::to_wstring(rc.right - rc.left) + L"," + std::to_wstring(rc.bottom - rc.top);
}

// The WM_SIZE messages that reach a window, by their client size.
std::vector<SIZE> g_sizes;
LRESULT CALLBACK RecordSize(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR) {
    if (message == WM_SIZE)
        g_sizes.push_back(SIZE{LOWORD(lParam), HIWORD(lParam)});
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

// A pop-up without frame: its window is its sheet.
RECT SuggestedRect(POINT at, int nDpi) {
    return RECT{at.x, at.y, at.x + Rounded(kSheet.cx, nDpi), at.y + Rounded(kSheet.cy, nDpi)};
}

// What the system does on a move to a monitor of nDpi, told through the
// subclass that counts the WM_SIZE messages that follow: the window takes
// the suggested rectangle, with one resize.
void MoveToDpi(CWnd& dlg, int nDpi, const RECT& rcSuggested) {
    g_sizes.clear();
    ::SetWindowSubclass(dlg.m_hWnd, RecordSize, 1, 0);
    dlg.SendMessage(WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rcSuggested));
    Pump(&dlg, 300);
    ::RemoveWindowSubclass(dlg.m_hWnd, RecordSize, 1);
    CRect rcAfter;
    dlg.GetWindowRect(&rcAfter);
    EXPECT_EQ(PosOf(rcAfter), PosOf(rcSuggested)) << "moved to " << nDpi;
    ASSERT_EQ(g_sizes.size(), 1u) << "one resize, to the suggested rectangle, at " << nDpi;
    EXPECT_EQ(g_sizes[0].cx, rcAfter.Width()) << nDpi;
    EXPECT_EQ(g_sizes[0].cy, rcAfter.Height()) << nDpi;
}

// A probe whose first item's creation loads a second description, as a
// host's hook may: an item and a position record come after the load.
class CHookProbeDlg : public CProbeDlg {
public:
    std::wstring m_strAddedSkin;
    using CKvCommonDlg::m_mapPosInfo;

protected:
    BOOL OnItemCreated(_XmlDynamicItem& item) override {
        if (!m_strAddedSkin.empty() && item.strID == L"label") {
            const std::wstring path = m_strAddedSkin;
            m_strAddedSkin.clear();
            LoadSkin(path.c_str(), L"Test\\Dlg", L"", L".");
        }
        return CProbeDlg::OnItemCreated(item);
    }
};

class ScaleTest : public testing::Test {
protected:
    void SetUp() override {
        const char* pszDpi = std::getenv("KV_SCALE_DPI"); // none when not run by run_scale.sh
        m_nDpi = pszDpi ? std::atoi(pszDpi) : 0;
        ASSERT_GT(m_nDpi, 0) << "run through run_scale.sh, which sets the prefix's DPI";
        // A base image with a variant drawn for 150%, and a strip with one
        // drawn for 200%: each scale takes a variant as it is, or another
        // scaled, in its own colour.
        ImageKit::SaveStrip(m_folder, L"back.png", {kBack}, kSheet.cx, kSheet.cy);
        ImageKit::SaveStrip(m_folder, L"back@150.png", {kBack150}, Rounded(kSheet.cx, 144),
                            Rounded(kSheet.cy, 144));
        const LONG cx = kItemA.right - kItemA.left, cy = kItemA.bottom - kItemA.top;
        ImageKit::SaveStrip(m_folder, L"strip.png", {kNormal, kHot, kPressed, kUnused}, cx, cy);
        ImageKit::SaveStrip(m_folder, L"strip@200.png", {kNormal200, kHot, kPressed, kUnused},
                            2 * cx, 2 * cy);
        ImageKit::SaveStrip(m_folder, L"icon.png", {0xFFFFCC00}, 16, 16);
        m_skin.window =
            Parse(L"SheetSize=" + std::to_wstring(kSheet.cx) + L"," + std::to_wstring(kSheet.cy) +
                  L"|BackBmp=back.png|FontName=DejaVu Sans|FontSize=12|"
                  L"FontColor=0xFFFFFFFF");
        m_skin.items = {
            Parse(L"ID=itemA|ControlType=2|BkImg=strip.png|Pos=" + PosOf(kItemA)),
            Parse(L"ID=itemB|ControlType=2|BkImg=strip.png|Pos=" + PosOf(kItemB)),
            Parse(L"ID=text|ControlType=2|Icon=icon.png|Name=Scale|FontSize=" +
                  std::to_wstring(kTextSize) + L"|Pos=" + PosOf(kTextItem)),
        };
    }

    // Background and item A's normal frame as a display of nDpi shows them.
    static Gdiplus::ARGB BackAt(int nDpi) { return nDpi == 96 ? kBack : kBack150; }
    static Gdiplus::ARGB NormalAt(int nDpi) { return nDpi == 96 ? kNormal : kNormal200; }

    template <class TDialog> void CreateShown(TDialog& dlg) {
        // Clear of the dialog: a pointer over an item would make its pictures hover pictures.
        ::SetCursorPos(0, 0);
        ASSERT_TRUE(CreateShownAt(dlg, kDialogAt, WriteSkin(m_folder, L"skin.xml", m_skin), 50));
    }

    // The sheet, item frames and background of a windowless dialog's picture at nDpi.
    void ExpectWndLessPicture(CWndLessProbeDlg& dlg, int nDpi, const char* step) {
        const CKvCanvas& picture = dlg.LayeredPicture();
        ASSERT_EQ(picture.Width(), Rounded(kSheet.cx, nDpi)) << step;
        ASSERT_EQ(picture.Height(), Rounded(kSheet.cy, nDpi)) << step;
        const auto pixel = [&](LONG x, LONG y) { return CanvasPixel(picture, x, y); };
        // Inside both frames, a pixel clear of their filtered edges; then
        // the background right of B, and in the sheet's far corner.
        for (const RECT& skin : {kItemA, kItemB}) {
            const RECT rc = KvScale::Rect(skin, nDpi);
            for (const POINT& pt :
                 {POINT{rc.left + 1, rc.top + 1}, POINT{rc.right - 2, rc.bottom - 2}})
                EXPECT_EQ(pixel(pt.x, pt.y), NormalAt(nDpi))
                    << step << " at " << pt.x << "," << pt.y;
        }
        const RECT rcB = KvScale::Rect(kItemB, nDpi);
        EXPECT_EQ(pixel(rcB.right + 1, rcB.top + 1), BackAt(nDpi)) << step;
        EXPECT_EQ(pixel(picture.Width() - 1, picture.Height() - 1), BackAt(nDpi)) << step;
    }

    int m_nDpi = 0;
    ImageKit::TempFolder m_folder{L"kv_scale"};
    Skin m_skin;
};

// The sheet is the skin's times the scale, rounded; each item within a pixel
// of its scaled rectangle, neighbours still touching; text measured at the
// scaled size; each image the variant for the scale, or another scaled. Then
// the same at another scale, after a move.
TEST_F(ScaleTest, WindowlessDialogIsDrawnAtTheDisplaysScaleAndFollowsAMove) {
    CWndLessProbeDlg dlg;
    CreateShown(dlg);
    EXPECT_EQ(WindowDpi(dlg.m_hWnd), m_nDpi);
    RECT rcClient = {0, 0, 0, 0};
    dlg.GetClientRect(&rcClient);
    EXPECT_EQ(rcClient.right, Rounded(kSheet.cx, m_nDpi));
    EXPECT_EQ(rcClient.bottom, Rounded(kSheet.cy, m_nDpi));
    const RECT skins[] = {kItemA, kItemB, kTextItem};
    for (size_t i = 0; i < 3; ++i)
        ExpectNearScaled(dlg.m_arrDynamicItems[i].rcPos, skins[i], m_nDpi, "item");
    EXPECT_EQ(dlg.m_arrDynamicItems[0].rcPos.right, dlg.m_arrDynamicItems[1].rcPos.left);
    ExpectWndLessPicture(dlg, m_nDpi, "loaded");

    // The text's width is what the text measures at the scaled font size.
    Gdiplus::Bitmap surface(8, 8, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(&surface);
    RECT rcMeasured = {0, 0, 1024, 0};
    MeasureTextBounds(L"Scale", &graphics,
                      *CreateSkinFont(L"DejaVu Sans", Rounded(kTextSize, m_nDpi), 0), rcMeasured);
    RECT rcText = {0, 0, 0, 0};
    dlg.WndLessItem(2)->GetTextRect(rcText, &surface);
    EXPECT_EQ(rcText.right - rcText.left, rcMeasured.right - rcMeasured.left);
    EXPECT_GT(rcText.right - rcText.left, 0);

    // A move to a monitor of another scale: the window takes the rectangle the
    // system suggests, once, and the picture is drawn at the new scale; moved
    // back, the picture is the one it was, byte for byte.
    const int nOther = m_nDpi == 144 ? 96 : 144;
    const CKvCanvas& picture = dlg.LayeredPicture();
    CSheetCanvas before(picture.Width(), picture.Height());
    ::BitBlt(before.DC()->m_hDC, 0, 0, picture.Width(), picture.Height(), picture.DC(), 0, 0,
             SRCCOPY);
    CRect rcBefore;
    dlg.GetWindowRect(&rcBefore);

    const RECT rcSuggested = SuggestedRect(POINT{kDialogAt.x + 7, kDialogAt.y + 5}, nOther);
    MoveToDpi(dlg, nOther, rcSuggested);
    ExpectWndLessPicture(dlg, nOther, "moved");
    ExpectNearScaled(dlg.m_arrDynamicItems[1].rcPos, kItemB, nOther, "item B moved");

    MoveToDpi(dlg, m_nDpi, rcBefore);
    EXPECT_EQ(PictureDifference(dlg.LayeredPicture(), before), "");
}

// The base dialog's controls are windows: they move to their rectangles at
// the new scale, the dialog font is made at the new size, and the window is
// resized once. (That the background is the new scale's variant, the
// windowless test shows: both read it through the same image cache.)
TEST_F(ScaleTest, BaseDialogMovesItsControlsAndRemakesItsFont) {
    m_skin.items = {
        Parse(L"ID=label|ControlType=1|Name=Label|Pos=" + PosOf(kTextItem)),
        Parse(L"ID=button|ControlType=2|BkImg=strip.png|Pos=" + PosOf(kItemB)),
    };
    CProbeDlg dlg;
    CreateShown(dlg);
    const int nOther = m_nDpi == 144 ? 96 : 144;
    MoveToDpi(dlg, nOther, SuggestedRect(kDialogAt, nOther));
    const RECT skins[] = {kTextItem, kItemB};
    for (size_t i = 0; i < 2; ++i) {
        CWnd* pControl = dlg.m_arrDynamicItems[i].pControl.get<CWnd>();
        ASSERT_TRUE(pControl && pControl->m_hWnd);
        ExpectNearScaled(GetRectInParentClient(pControl->m_hWnd), skins[i], nOther, "control");
    }
    LOGFONTW font = {};
    ASSERT_TRUE(::GetObjectW(dlg.m_font.GetSafeHandle(), sizeof(font), &font));
    EXPECT_EQ(font.lfHeight, -Rounded(12, nOther));
}

// Lengths are scaled once from the skin's, whoever adds them: a hook's own
// load adds an item and a position record after the dialog's load, and a
// reload that gives only some lengths leaves the others as they were.
TEST_F(ScaleTest, LengthsAreScaledOnceWhateverLoadsThem) {
    m_skin.items = {Parse(L"ID=label|ControlType=1|Name=Label|Pos=" + PosOf(kTextItem))};
    const RECT kAdded = {31, 111, 52, 124}, kRecord = {5, 7, 18, 22};
    const std::wstring added = L"\xFEFF<Skin><Test><Dlg><PosInfo><E ItemID=\"rec\" Pos=\"" +
                               PosOf(kRecord) +
                               L"\"/></PosInfo><DynamicInfo><Item ID=\"added\" ControlType=\"1\" "
                               L"Pos=\"" +
                               PosOf(kAdded) + L"\"/></DynamicInfo></Dlg></Test></Skin>";
    const std::wstring addedPath = m_folder.File(L"added.xml");
    ASSERT_TRUE(
        ImageKit::WriteBytes(addedPath, std::string(reinterpret_cast<const char*>(added.data()),
                                                    added.size() * sizeof(wchar_t))));
    CHookProbeDlg dlg;
    dlg.m_strAddedSkin = addedPath;
    CreateShown(dlg);
    ASSERT_EQ(dlg.m_arrDynamicItems.size(), 2u);
    ExpectNearScaled(dlg.m_arrDynamicItems[1].rcPos, kAdded, m_nDpi, "added item");
    CWnd* pAdded = dlg.m_arrDynamicItems[1].pControl.get<CWnd>();
    ASSERT_TRUE(pAdded && pAdded->m_hWnd);
    ExpectNearScaled(GetRectInParentClient(pAdded->m_hWnd), kAdded, m_nDpi, "added control");
    ASSERT_EQ(dlg.m_mapPosInfo.count(L"rec"), 1u);
    ExpectNearScaled(dlg.m_mapPosInfo[L"rec"]->rcPos, kRecord, m_nDpi, "record");

    // The reload gives the label's rectangle, not the added item's.
    dlg.LoadTestSkin(WriteSkin(m_folder, L"skin.xml", m_skin));
    ExpectNearScaled(dlg.m_arrDynamicItems[0].rcPos, kTextItem, m_nDpi, "reloaded label");
    ExpectNearScaled(dlg.m_arrDynamicItems[1].rcPos, kAdded, m_nDpi, "added item, reloaded");
    ExpectNearScaled(dlg.m_mapPosInfo[L"rec"]->rcPos, kRecord, m_nDpi, "record, reloaded");
}

} // namespace
