// The layered update of a skinned dialog after one of its controls changed,
// against the system's own floor for showing it. An 800 x 600 layered dialog
// with 40 items (labels, buttons, shaped buttons) has one button take a new
// caption colour; the button draws its new look (untimed), and the update
// the dialog then runs is timed: its part of the kept picture composed again
// and pushed. The floor is a bare UpdateLayeredWindowIndirect of a ready
// 800 x 600 picture to the same window with the button's rectangle as the
// dirty part; a bare full push and a whole UpdateLayered are printed beside
// it. All are measured in this run, in alternating rounds; the medians are
// compared.
#include "skin/CommonDlg.h"

#include "../../tests/skin_dialog/DialogKit.h"
#include "LayeredBench.h"
#include "skin/BmpButton.h"
#include "skin/DrawUtil.h"
#include "tools/common/GdiplusSession.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace LayeredBench;

const int kRounds = 9;
const int kUpdates = 30; // per round
const int kWidth = 800, kHeight = 600;
const double kTargetRatio = 1.25;
const int kChangedItem = 1; // a bitmap button

// The update the dialog runs after the button drew its new look: what the
// change queued for the dialog (its refresh), dispatched. Only that is timed.
Measurement ControlUpdate(CKvCommonDlg& dlg, CKvBmpButton& button) {
    return [&dlg, &button, nChanges = 0]() mutable {
        button.SetTextColors(++nChanges % 2 ? 0xFFFF0000 : 0xFF0000FF, 0xFF808080, TRUE);
        button.UpdateWindow(); // the new look, drawn; the dialog marks its part
        std::vector<MSG> queued;
        MSG msg;
        while (::PeekMessageW(&msg, dlg.m_hWnd, 0, 0, PM_REMOVE))
            queued.push_back(msg);
        const double start = Seconds();
        for (const MSG& one : queued)
            ::DispatchMessageW(&one);
        const double seconds = Seconds() - start;
        return queued.empty() ? -1.0 : seconds;
    };
}

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
    auto* pButton = dlg.m_arrDynamicItems[kChangedItem].pControl.get<CWnd>();
    auto* pChanged = DYNAMIC_DOWNCAST(CKvBmpButton, pButton);
    if (!pChanged)
        return 2;
    const RECT rcDirty = GetRectInParentClient(pChanged->m_hWnd);
    CReadyPush bare(dlg.m_hWnd, SIZE{kWidth, kHeight});

    const Measurement controlUpdate = ControlUpdate(dlg, *pChanged);
    const Measurement dirtyPush = Whole([&] { return bare.UpdatePart(rcDirty); });
    const Measurement fullPush = Whole([&] { return bare.Update(); });
    const Measurement wholeUpdate = Whole([&] { return dlg.UpdateLayered(100) != FALSE; });
    for (const Measurement& warm : {wholeUpdate, fullPush, controlUpdate, controlUpdate, dirtyPush})
        if (warm() < 0) // first use: codecs, caches, both colours
            return 1;
    const std::vector<double> ms =
        MedianMs(kRounds, kUpdates, {controlUpdate, dirtyPush, fullPush, wholeUpdate});
    dlg.DestroyWindow();
    std::printf("%d x %d layered dialog with %zu items, one button's look changed; medians of %d "
                "rounds of %d\n",
                kWidth, kHeight, dlg.m_arrDynamicItems.size(), kRounds, kUpdates);
    std::printf(
        "  update %.2f ms | dirty push %.2f ms (bare UpdateLayeredWindowIndirect, %ld x %ld "
        "dirty) | ratio %.2f (target <= %.2f)\n",
        ms[0], ms[1], rcDirty.right - rcDirty.left, rcDirty.bottom - rcDirty.top, ms[0] / ms[1],
        kTargetRatio);
    std::printf("  against a bare full push %.2f ms: ratio %.2f | a whole UpdateLayered %.2f ms\n",
                ms[2], ms[0] / ms[2], ms[3]);
    return ms[0] > 0 && ms[1] > 0 && ms[2] > 0 && ms[3] > 0 ? 0 : 1;
}
