// A windowless dialog with 40 items (strip, icon, text, tooltips, cursors)
// made, hovered, clicked and destroyed 1,000 times gives back what it took.
// The windows stay hidden: a layered update does not need them shown, and a
// click's keyboard focus would make Wine wait two seconds for the X server at
// every destruction of a shown window.
#include "tests/skin_dialog/DialogKit.h"
#include "tests/skin_dialog/ReliabilityKit.h"

using namespace DialogKit;

TEST(WndLessReliability, ThousandCyclesGiveBackGdiUserObjectsAndMemory) {
    ImageKit::TempFolder folder;
    const std::wstring skin = WriteGridSkin(
        folder, L"skin.xml", {40, 8, {410, 240}, {45, 40}, {50, 46}, 5},
        L"ShowToolTip=1|ToolTipWidth=200|FontName=DejaVu Sans|FontSize=11|FontColor=0xFF000000",
        [](int i) {
            const std::wstring n = std::to_wstring(i);
            return L"Name=" + n + L"|ControlType=2|BkImg=strip.png|Icon=icon.png" +
                   (i % 5 ? L"|ToolTip=Tip " + n : L"") + (i % 8 == 0 ? L"|Cursor=hand.cur" : L"");
        });
    const auto centre = [](int i) { return MAKELPARAM(5 + i % 8 * 50 + 22, 5 + i / 8 * 46 + 20); };
    // A hundred cycles first: until then the heap still grows by itself.
    ReliabilityKit::ExpectCyclesGiveBack(100, 1000, [&](int i) {
        CWndLessProbeDlg dlg(301);
        ASSERT_TRUE(dlg.Create(301));
        ASSERT_TRUE(dlg.LoadTestSkin(skin));
        // Hover one item, press it, drag to another and release there.
        const LPARAM press = centre(i % 40), release = centre((i + 9) % 40);
        dlg.SendMessage(WM_MOUSEMOVE, 0, press);
        dlg.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.m_hWnd),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, press);
        dlg.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, release);
        dlg.SendMessage(WM_LBUTTONUP, 0, release);
        Pump(&dlg); // the leave notification: the pointer is not over a hidden window
        ASSERT_EQ(dlg.m_itemCommands.size(), 1u);
        // The first picture and four changes; the leave changes nothing.
        EXPECT_EQ(dlg.m_nCompositions, 5);
        if (i == 0)
            ReliabilityKit::ExpectCountersSeeObjects();
    });
}
