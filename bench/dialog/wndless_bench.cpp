// One hover change of a windowless dialog against the system's own floor for
// showing it. A windowless dialog with 40 items (state strip, icon and text
// each) gets a WM_MOUSEMOVE that moves the hot item from one item to its
// neighbour, which runs through to the finished layered update. The floor is
// a bare UpdateLayeredWindowIndirect of a ready picture to the same window
// with the same dirty rectangle (the two items' parts); a bare full push is
// printed beside it. All are measured in this run, in alternating rounds, and the
// medians compared; once on an 800 x 600 sheet and once on a 4000 x 4000 one,
// where the composition alone (the parts drawn into a ready picture, no push)
// must cost about what it costs on the small sheet.
#include "skin/CommonWndLessDlg.h"
#include "skin/DialogLayout.h"

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
const double kTargetRatio = 1.25;          // of the dirty push
const double kTargetCompositionGrowth = 2; // large sheet's composition over the small one's
const double kFrameMs = 1000.0 / 60;

struct SheetFigures {
    double hoverMs, dirtyPushMs, fullPushMs, compositionMs;
};

// The part of the sheet that item nItem draws on.
RECT ItemPart(DialogKit::CWndLessProbeDlg& dlg, int nItem, SIZE sheet) {
    Gdiplus::Bitmap measure(1, 1, PixelFormat32bppPARGB);
    return dlg.WndLessItem(nItem)->DrawnRect(sheet, &measure);
}

// The figures of one sheet size, or nothing when a step failed.
bool MeasureSheet(const DialogKit::Grid& grid, int nUpdates, SheetFigures& figures) {
    ImageKit::TempFolder folder;
    const std::wstring skin = WriteFortyItemSkin(folder, grid);
    DialogKit::CWndLessProbeDlg dlg(0);
    alignas(4) static const PopupTemplate popup;
    if (!dlg.CreateIndirect(&popup.dlg) || !dlg.LoadTestSkin(skin))
        return false;
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    const SIZE sheet = grid.sheet;
    CReadyPush bare(dlg.m_hWnd, sheet);

    // Between the first two items' centres: every move changes the hot item.
    int nMoves = 0;
    auto hover = [&] {
        const int nBefore = dlg.m_nCompositions;
        dlg.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(55 + (nMoves++ % 2) * 98, 30));
        return dlg.m_nCompositions == nBefore + 1;
    };
    // The parts the change composes, and the one rectangle it pushes.
    std::vector<RECT> parts;
    for (int nItem : {0, 1})
        AddDirtyRect(parts, ItemPart(dlg, nItem, sheet), sheet);
    const RECT rcDirty = DirtyBounds(parts);
    auto dirtyPush = [&] { return bare.UpdatePart(rcDirty); };
    auto fullPush = [&] { return bare.Update(); };
    // What the update composes: the parts cleared, then drawn inside them.
    DialogKit::CSheetCanvas canvas(sheet.cx, sheet.cy);
    auto composition = [&] {
        for (const RECT& rc : parts)
            canvas.Clear(rc);
        const int nSaved = canvas.DC()->SaveDC();
        ClipToParts(canvas.DC()->m_hDC, parts);
        const BOOL bDrawn = dlg.CKvCommonWndLessDlg::DrawSheet(canvas.DC());
        canvas.DC()->RestoreDC(nSaved);
        return bDrawn != FALSE;
    };
    for (auto& warm :
         std::vector<std::function<bool()>>{fullPush, hover, hover, dirtyPush, composition})
        if (!warm()) // first use: codecs, fonts, the looks of both states
            return false;
    const std::vector<double> ms = MedianMs(
        kRounds, nUpdates, {Whole(hover), Whole(dirtyPush), Whole(fullPush), Whole(composition)});
    figures = {ms[0], ms[1], ms[2], ms[3]};
    dlg.DestroyWindow();
    std::printf("%ld x %ld windowless dialog, %d items (strip, icon, text); medians of %d rounds "
                "of %d\n",
                sheet.cx, sheet.cy, grid.nItems, kRounds, nUpdates);
    std::printf("  hover change %.2f ms | dirty push %.2f ms (bare UpdateLayeredWindowIndirect, "
                "%ld x %ld dirty) | ratio %.2f (target <= %.2f)\n",
                figures.hoverMs, figures.dirtyPushMs, rcDirty.right - rcDirty.left,
                rcDirty.bottom - rcDirty.top, figures.hoverMs / figures.dirtyPushMs, kTargetRatio);
    std::printf("  against a bare full push %.2f ms: ratio %.2f | %.0f%% of a 60 Hz frame\n",
                figures.fullPushMs, figures.hoverMs / figures.fullPushMs,
                100 * figures.hoverMs / kFrameMs);
    return figures.hoverMs > 0 && figures.dirtyPushMs > 0 && figures.fullPushMs > 0 &&
           figures.compositionMs > 0;
}

} // namespace

int main() {
    const CGdiplusSession gdiplus; // outlives every GDI+ object below
    if (!gdiplus.Started())
        return 3;
    DialogKit::Grid large = kFortyItems;
    large.sheet = SIZE{4000, 4000};
    SheetFigures small = {}, big = {};
    if (!MeasureSheet(kFortyItems, 30, small) || !MeasureSheet(large, 5, big))
        return 1;
    std::printf("composition alone (the changed part, no push): %.3f ms on 800 x 600, %.3f ms on "
                "4000 x 4000 | ratio %.2f (target <= %.0f)\n",
                small.compositionMs, big.compositionMs, big.compositionMs / small.compositionMs,
                kTargetCompositionGrowth);
    return 0;
}
