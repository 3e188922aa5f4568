// A windowless dialog with 40 items (strip, icon, text, tooltips, cursors)
// made, hovered, clicked and destroyed 1,000 times gives back its GDI and
// USER objects and its private memory. The windows stay hidden: a layered
// update does not need them shown, and a click's keyboard focus would make
// Wine wait two seconds for the X server at every destruction of a shown
// window (about 2 s a cycle shown, 50 ms hidden).
#include "tests/skin_dialog/DialogKit.h"

#include "tests/common/ResourceKit.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace DialogKit;
using namespace ResourceKit;

namespace {

const int kItems = 40;

POINT ItemCentre(int i) {
    return POINT{5 + i % 8 * 50 + 22, 5 + i / 8 * 46 + 20};
}

} // namespace

TEST(WndLessReliability, ThousandCyclesGiveBackGdiUserObjectsAndMemory) {
    ImageKit::TempFolder folder;
    const std::wstring skin = WriteGridSkin(
        folder, L"skin.xml", {kItems, 8, {410, 240}, {45, 40}, {50, 46}, 5},
        L"ShowToolTip=1|ToolTipWidth=200|FontName=DejaVu Sans|FontSize=11|FontColor=0xFF000000",
        [](int i) {
            const std::wstring n = std::to_wstring(i);
            return L"Name=" + n + L"|ControlType=2|BkImg=strip.png|Icon=icon.png" +
                   (i % 5 ? L"|ToolTip=Tip " + n : L"") + (i % 8 == 0 ? L"|Cursor=hand.cur" : L"");
        });

    auto cycle = [&](int i) {
        CWndLessProbeDlg dlg(301);
        ASSERT_TRUE(dlg.Create(301));
        ASSERT_TRUE(dlg.LoadTestSkin(skin));
        // Hover one item, press it, drag to another and release there.
        const POINT press = ItemCentre(i % kItems), release = ItemCentre((i + 9) % kItems);
        dlg.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(press.x, press.y));
        dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.m_hWnd),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
        dlg.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(release.x, release.y));
        dlg.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(release.x, release.y));
        Pump(&dlg); // the leave notification: the pointer is not over a hidden window
        ASSERT_EQ(dlg.m_itemCommands.size(), 1u);
        EXPECT_EQ(dlg.m_nCompositions,
                  5); // the first picture and 4 changes; the leave changes nothing
        if (i == 0) { // the counters see what a dialog holds
            EXPECT_GT(GdiObjects() * UserObjects(), 0) << GdiObjects() << " " << UserObjects();
        }
    };
    // A hundred cycles first: until then the heap still grows by itself.
    const Growth growth = MeasureCycles(100, 1000, cycle);
    std::printf("%s\n", growth.Describe().c_str());
    // A leak of one object or 2 KiB per cycle would exceed these allowances.
    EXPECT_TRUE(growth.Within(10, 2ll << 20)) << growth.Describe();
}
