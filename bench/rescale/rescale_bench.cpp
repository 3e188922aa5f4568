// What a move to a monitor of another scale costs a windowless dialog of
// 2,000 items: WM_DPICHANGED from 96 to 144 DPI (the model read again, every
// item rebuilt with its images at the new scale, the layered picture
// composed and pushed at the new size), against a fresh LoadSkin of the same
// file, and against a fresh load of the whole dialog (LoadSkin, items, first
// picture). The skin is skinload_bench's: 2,000 items, a fifth of them
// repeated in a second section, 500 window entries; here with a sheet, and
// with the strips, icons and cursor it names written beside it.
#include "skin/CommonWndLessDlg.h"

#include "../../tests/skin_dialog/DialogKit.h"
#include "../dialog/LayeredBench.h"
#include "tools/common/GdiplusSession.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace LayeredBench;

constexpr int kItems = 2000;
constexpr int kRepeated = kItems / 5;
constexpr int kWindowEntries = 500;
constexpr int kRounds = 5;
constexpr SIZE kSheet = {560, 32}; // where the items' rectangles reach
constexpr int kFromDpi = 96, kToDpi = 144;

std::wstring ItemElement(const std::wstring& id, int i) {
    const std::wstring n = std::to_wstring(i);
    return L"<Item ID=\"" + id + L"\" Name=\"Item " + n + L"\" ToolTip=\"Tip " + n +
           L"\" FontName=\"DejaVu Sans\" FontSize=\"12\" FontColor=\"0xFF000000;0xFF808080\""
           L" FontFormat=\"0;1;1;1\" BkImg=\"buttons\\b" +
           n + L".png\" Cursor=\"hand.cur\" Icon=\"icons\\i" + n + L".png\" Pos=\"" +
           std::to_wstring(i % 400) + L", " + std::to_wstring(i / 400) +
           L", 80, 24\" ControlType=\"2\" ControlStyle=\"0x50000000\" DrawFocus=\"0\"/>\n";
}

std::wstring SkinText() {
    std::wstring xml = L"\xFEFF<Skin><Bench><Main>\n<WindowInfo>\n";
    for (int i = 0; i < kWindowEntries; ++i)
        xml += L"<Entry ItemID=\"Key" + std::to_wstring(i) + L"\" Data=\"" +
               std::to_wstring(i * 7) + L", " + std::to_wstring(i) + L"\"/>\n";
    xml += L"<Entry ItemID=\"SheetSize\" Data=\"" + std::to_wstring(kSheet.cx) + L"," +
           std::to_wstring(kSheet.cy) + L"\"/>\n<Entry ItemID=\"BackBmp\" Data=\"back.png\"/>\n";
    xml += L"</WindowInfo>\n<DynamicInfo>\n";
    for (int i = 0; i < kItems; ++i)
        xml += ItemElement(L"Btn_Item_" + std::to_wstring(i), i);
    xml += L"</DynamicInfo></Main>\n<Second><DynamicInfo>\n";
    for (int i = 0; i < kItems; i += kItems / kRepeated)
        xml += ItemElement(L"BTN_ITEM_" + std::to_wstring(i), i);
    return xml + L"</DynamicInfo></Second></Bench></Skin>\n";
}

// The skin and every file it names; each kind of image is encoded once and
// its bytes written under every name.
std::wstring WriteSkin(const ImageKit::TempFolder& folder) {
    ImageKit::SaveStrip(folder, L"back.png", {0xC0204080}, kSheet.cx, kSheet.cy);
    const std::wstring strip = ImageKit::SaveStrip(
        folder, L"strip.png", {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF808080}, 80, 24);
    const std::wstring icon = ImageKit::SaveStrip(folder, L"icon.png", {0xFFFFCC00}, 16, 16);
    const std::string stripBytes = ImageKit::ReadBytes(strip),
                      iconBytes = ImageKit::ReadBytes(icon);
    const std::wstring buttons = folder.Subfolder(L"buttons"), icons = folder.Subfolder(L"icons");
    for (int i = 0; i < kItems; ++i) {
        const std::wstring n = std::to_wstring(i);
        if (!ImageKit::WriteBytes(buttons + L"b" + n + L".png", stripBytes) ||
            !ImageKit::WriteBytes(icons + L"i" + n + L".png", iconBytes))
            return std::wstring();
    }
    ImageKit::WriteBytes(folder.File(L"hand.cur"), ImageKit::IconFileBytes(2, 32));
    const std::wstring xml = SkinText();
    const std::wstring path = folder.File(L"skin.xml");
    const std::string bytes(reinterpret_cast<const char*>(xml.data()),
                            xml.size() * sizeof(wchar_t));
    return ImageKit::WriteBytes(path, bytes) ? path : std::wstring();
}

// A windowless dialog of the skin, shown; null when it could not be made.
std::unique_ptr<DialogKit::CWndLessProbeDlg> LoadDialog(const std::wstring& skin) {
    auto pDlg = std::make_unique<DialogKit::CWndLessProbeDlg>(0);
    alignas(4) static const PopupTemplate popup;
    if (!pDlg->CreateIndirect(&popup.dlg))
        return nullptr;
    if (!pDlg->InitWndLessSkin(skin.c_str(), L"Bench\\Main", L"Bench\\Second", L"."))
        return nullptr;
    pDlg->ShowWindow(SW_SHOWNOACTIVATE);
    return pDlg;
}

// The dialog moved to a monitor of nDpi; true when it took the sheet's size there.
bool MoveToDpi(CWnd& dlg, int nDpi) {
    RECT rc = {0, 0, 0, 0};
    dlg.GetWindowRect(&rc);
    const SIZE sheet = KvScale::Size(kSheet, nDpi);
    RECT suggested = {rc.left, rc.top, rc.left + sheet.cx, rc.top + sheet.cy};
    dlg.SendMessage(WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&suggested));
    dlg.GetWindowRect(&rc);
    return rc.right - rc.left == sheet.cx && rc.bottom - rc.top == sheet.cy;
}

} // namespace

int main() {
    const CGdiplusSession gdiplus; // outlives every GDI+ object below
    if (!gdiplus.Started())
        return 3;
    ImageKit::TempFolder folder(L"kv_rescale");
    const std::wstring skin = WriteSkin(folder);
    std::unique_ptr<DialogKit::CWndLessProbeDlg> pDlg = skin.empty() ? nullptr : LoadDialog(skin);
    if (!pDlg || pDlg->m_arrDynamicItems.size() != size_t(kItems)) {
        std::fprintf(stderr, "rescale_bench: the skin did not load as a dialog of %d items\n",
                     kItems);
        return 1;
    }
    // Each round: 96 -> 144 and back, each timed; a bare LoadSkin; a whole
    // dialog loaded (its window made untimed). The way back resamples no
    // image, as the load at 96 does not: their ratio is what a rescale
    // itself costs.
    double backSeconds = 0;
    auto rescale = [&]() -> double {
        double start = Seconds();
        const bool bMoved = MoveToDpi(*pDlg, kToDpi);
        const double seconds = Seconds() - start;
        start = Seconds();
        const bool bBack = MoveToDpi(*pDlg, kFromDpi);
        backSeconds = Seconds() - start;
        return bMoved && bBack ? seconds : -1;
    };
    auto rescaleBack = [&]() -> double { return backSeconds; };
    auto loadSkin = [&]() -> double {
        CKvXMLParseBase reader;
        const double start = Seconds();
        reader.LoadSkin(skin.c_str(), L"Bench\\Main", L"Bench\\Second", L".");
        const double seconds = Seconds() - start;
        return reader.m_arrDynamicItems.size() == size_t(kItems) ? seconds : -1;
    };
    auto loadDialog = [&]() -> double {
        DialogKit::CWndLessProbeDlg dlg(0);
        alignas(4) static const PopupTemplate popup;
        if (!dlg.CreateIndirect(&popup.dlg))
            return -1;
        const double start = Seconds();
        const BOOL bLoaded =
            dlg.InitWndLessSkin(skin.c_str(), L"Bench\\Main", L"Bench\\Second", L".");
        const double seconds = Seconds() - start;
        return bLoaded ? seconds : -1;
    };
    const std::vector<Measurement> measurements = {rescale, rescaleBack, loadSkin, loadDialog};
    for (const Measurement& warm : measurements)
        if (warm() < 0) {
            std::fprintf(stderr, "rescale_bench: a step failed\n");
            return 1;
        }
    const std::vector<double> ms = MedianMs(kRounds, 1, measurements);
    if (ms[0] < 0 || ms[1] < 0 || ms[2] < 0 || ms[3] < 0) {
        std::fprintf(stderr, "rescale_bench: a step failed\n");
        return 1;
    }
    std::printf("windowless dialog of %d items (strip, icon, text, cursor each), %ld x %ld sheet; "
                "medians of %d rounds\n",
                kItems, kSheet.cx, kSheet.cy, kRounds);
    std::printf("  rescale %d -> %d DPI: %.1f ms (every image without a variant resampled)\n",
                kFromDpi, kToDpi, ms[0]);
    std::printf("  fresh LoadSkin of the file: %.1f ms | ratio rescale / LoadSkin %.2f\n", ms[2],
                ms[0] / ms[2]);
    std::printf("  fresh load of the whole dialog at %d DPI: %.1f ms | ratio rescale / dialog "
                "load %.2f\n",
                kFromDpi, ms[3], ms[0] / ms[3]);
    std::printf("  rescale back %d -> %d DPI (no image resampled): %.1f ms | ratio to the dialog "
                "load %.2f (target below 1: a rescale parses no skin)\n",
                kToDpi, kFromDpi, ms[1], ms[1] / ms[3]);
    return 0;
}
