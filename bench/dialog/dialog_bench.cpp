// The layered update of a skinned dialog against the system's own cost of
// showing a finished picture. An 800 x 600 layered dialog with 40 items
// (labels, buttons, shaped buttons) runs UpdateLayered; the baseline is a bare
// UpdateLayeredWindow of a ready 800 x 600 32-bit bitmap to a layered window
// of the same size. Both are measured in this run, in alternating rounds;
// the medians of the rounds are compared.
#include "skin/CommonDlg.h"

#include "../../tests/skin_dialog/DialogKit.h"
#include "LayeredBench.h"
#include "tools/common/GdiplusSession.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace LayeredBench;

const int kRounds = 7;
const int kUpdates = 30; // per round
const int kWidth = 800, kHeight = 600;

} // namespace

int main() {
    const CGdiplusSession gdiplus; // outlives every GDI+ object below
    if (!gdiplus.Started())
        return 3;
    ImageKit::TempFolder folder;
    const std::wstring skin = DialogKit::WriteGridSkin(
        folder, L"skin.xml", kFortyItems,
        L"IsLayerWnd=1|AlpahValue=100|ShowToolTip=1|FontName=DejaVu Sans|FontSize=13|"
        L"FontColor=0xFF000000",
        [](int i) {
            return L"ToolTip=Tip " + std::to_wstring(i) +
                   (i % 3 == 0   ? L"|ControlType=1|BkImg=label.png"
                    : i % 3 == 1 ? L"|ControlType=2|BkImg=strip.png"
                                 : L"|ControlType=4|BkImg=strip.png");
        });

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
