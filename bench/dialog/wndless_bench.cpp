// One hover change of a windowless dialog against the system's own cost of
// showing a finished picture. An 800 x 600 windowless dialog with 40 items
// (state strip, icon and text each) gets a WM_MOUSEMOVE that moves the hot
// item, which runs through to the finished UpdateLayeredWindow; the baseline
// is a bare UpdateLayeredWindow of a ready 800 x 600 bitmap. Both are measured
// in this run, in alternating rounds, and the medians compared. Where the time
// goes: the picture alone (DrawSheet into a ready bitmap) and the 40 items
// alone (drawn onto a fresh layer).
#include "skin/CommonWndLessDlg.h"

#include "../../tests/skin_dialog/DialogKit.h"
#include "LayeredBench.h"
#include "tools/common/GdiplusSession.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace LayeredBench;

const int kRounds = 7;
const int kUpdates = 30;               // per round
const int kWidth = 800, kHeight = 600; // as the skin gives them
const int kItems = 40;
const double kFrameMs = 1000.0 / 60;

} // namespace

int main() {
    const CGdiplusSession gdiplus; // outlives every GDI+ object below
    if (!gdiplus.Started())
        return 3;
    ImageKit::TempFolder folder;
    const std::wstring skin = WriteFortyItemSkin(folder);

    DialogKit::CWndLessProbeDlg dlg(0);
    alignas(4) static const PopupTemplate popup;
    if (!dlg.CreateIndirect(&popup.dlg))
        return 2;
    if (!dlg.LoadTestSkin(skin))
        return 2;
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    CBareLayered bare(kWidth, kHeight);

    // Between the first two items' centres: every move changes the hot item.
    int nMoves = 0;
    auto hover = [&] {
        const int nBefore = dlg.m_nCompositions;
        dlg.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(55 + (nMoves++ % 2) * 98, 30));
        return dlg.m_nCompositions == nBefore + 1;
    };
    DialogKit::CSheetCanvas canvas(kWidth, kHeight);
    auto picture = [&] { return dlg.DrawSheet(canvas.DC()) != FALSE; };
    auto items = [&] {
        Gdiplus::Bitmap layer(kWidth, kHeight, PixelFormat32bppARGB);
        for (int i = 0; i < kItems; ++i)
            dlg.WndLessItem(i)->Draw(&layer);
        return layer.GetLastStatus() == Gdiplus::Ok;
    };
    auto updateBare = [&] { return bare.Update(); };
    for (auto& warm : std::vector<std::function<bool()>>{hover, picture, items, updateBare})
        warm(); // first use: codecs, fonts
    const std::vector<double> ms = MedianMs(kRounds, kUpdates, {hover, picture, items, updateBare});
    const double hoverMs = ms[0], pictureMs = ms[1], itemsMs = ms[2], bareMs = ms[3];
    std::printf("%d x %d windowless dialog with %d items (strip, icon, text); medians of %d "
                "rounds of %d\n",
                kWidth, kHeight, kItems, kRounds, kUpdates);
    std::printf("hover change %.2f ms | bare UpdateLayeredWindow %.2f ms | ratio %.1f "
                "(target 4) | %.0f%% of a 60 Hz frame\n",
                hoverMs, bareMs, hoverMs / bareMs, 100 * hoverMs / kFrameMs);
    std::printf("of which: picture (DrawSheet) %.2f ms, of that the 40 items %.2f ms\n", pictureMs,
                itemsMs);
    dlg.DestroyWindow();
    return hoverMs > 0 && bareMs > 0 && pictureMs > 0 && itemsMs > 0 ? 0 : 1;
}
