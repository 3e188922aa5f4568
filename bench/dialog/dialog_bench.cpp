// The layered update of a skinned dialog against the system's own cost of
// showing a finished picture. An 800 x 600 layered dialog with 40 items
// (labels, buttons, shaped buttons) runs UpdateLayered; the baseline is a bare
// UpdateLayeredWindow of a ready 800 x 600 32-bit bitmap to a layered window
// of the same size. Both are measured in this run, in alternating rounds;
// the medians of the rounds are compared.
#include "skin/CommonDlg.h"

#include "../../tests/skin_dialog/DialogKit.h"
#include "LayeredBench.h"
#include "tools/kvskin/GdiplusSession.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace LayeredBench;

const int kRounds = 7;
const int kUpdates = 30; // per round
const int kWidth = 800, kHeight = 600;

DialogKit::Skin FortyItems() {
    DialogKit::Skin skin;
    skin.window = {{L"BackBmp", L"back.png"}, {L"SheetSize", L"800,600"},
                   {L"IsLayerWnd", L"1"},     {L"AlpahValue", L"100"},
                   {L"ShowToolTip", L"1"},    {L"FontName", L"DejaVu Sans"},
                   {L"FontSize", L"13"},      {L"FontColor", L"0xFF000000"}};
    for (int i = 0; i < 40; ++i) {
        const std::wstring n = std::to_wstring(i);
        skin.items.push_back({{L"ID", L"item" + n},
                              {L"Name", L"Item " + n},
                              {L"Pos", std::to_wstring(10 + (i % 8) * 98) + L"," +
                                           std::to_wstring(10 + (i / 8) * 110) + L",90,40"},
                              {L"ControlType", i % 3 == 0   ? L"1"
                                               : i % 3 == 1 ? L"2"
                                                            : L"4"},
                              {L"BkImg", i % 3 == 0 ? L"label.png" : L"strip.png"},
                              {L"ToolTip", L"Tip " + n}});
    }
    return skin;
}

} // namespace

int main() {
    const CGdiplusSession gdiplus; // outlives every GDI+ object below
    if (!gdiplus.Started())
        return 3;
    ImageKit::TempFolder folder;
    ImageKit::SaveStrip(folder, L"back.png", {0xC0204080}, kWidth, kHeight);
    ImageKit::SaveStrip(folder, L"label.png", {0x80FFFFFF}, 90, 40);
    ImageKit::SaveStrip(folder, L"strip.png", {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF808080}, 90,
                        40);
    const std::wstring skin = DialogKit::WriteSkin(folder, L"skin.xml", FortyItems());

    CKvCommonDlg dlg(0, nullptr);
    alignas(4) static const PopupTemplate popup;
    if (!dlg.CreateIndirect(&popup.dlg))
        return 2;
    dlg.InitDialogSkin(skin.c_str(), L"Test\\Dlg", L"", L".");
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    CBareLayered bare(kWidth, kHeight);

    auto update = [&] { return dlg.UpdateLayered(100) != FALSE; };
    auto updateBare = [&] { return bare.Update(); };
    update(); // first use: codecs, caches
    updateBare();
    const std::vector<double> ms = MedianMs(kRounds, kUpdates, {update, updateBare});
    const double dialog = ms[0], baseline = ms[1];
    std::printf("%d x %d layered dialog with %zu items; medians of %d rounds of %d updates\n",
                kWidth, kHeight, dlg.m_arrDynamicItems.size(), kRounds, kUpdates);
    std::printf("UpdateLayered %.2f ms | bare UpdateLayeredWindow %.2f ms | ratio %.1f\n", dialog,
                baseline, dialog / baseline);
    dlg.DestroyWindow();
    return dialog > 0 && baseline > 0 ? 0 : 1;
}
