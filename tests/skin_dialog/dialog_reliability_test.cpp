// A skinned dialog with 20 items (labels, buttons, shaped buttons, tooltips,
// an icon, cursors and a background) made, shown and destroyed 1,000 times
// gives back what it took. Every other cycle is layered; the others paint
// their controls, which a layered window never asks for.
#include "DialogKit.h"
#include "ReliabilityKit.h"

using namespace DialogKit;

TEST(SkinDialogReliability, ThousandCyclesGiveBackGdiUserObjectsAndMemory) {
    ImageKit::TempFolder folder;
    const Grid grid = {20, 4, {320, 240}, {75, 42}, {78, 46}, 5};
    const auto item = [](int i) {
        return L"ToolTip=Tip " + std::to_wstring(i) + L"|Icon=icon.png|" +
               (i < 8    ? L"ControlType=1|BkImg=label.png"
                : i < 16 ? L"ControlType=2|BkImg=strip.png"
                         : L"ControlType=4|BkImg=strip.png") +
               (i % 4 == 0 ? L"|Cursor=hand.cur" : L"");
    };
    const std::wstring window = L"Title=Reliability|Icon=app.ico|ShowToolTip=1|"
                                L"FontName=DejaVu Sans|FontSize=12|FontColor=0xFF000000|"
                                L"AlpahValue=100|IsLayerWnd=";
    const std::wstring skins[] = {WriteGridSkin(folder, L"layered.xml", grid, window + L"1", item),
                                  WriteGridSkin(folder, L"plain.xml", grid, window + L"0", item)};
    ReliabilityKit::ExpectCyclesGiveBack(20, 1000, [&](int i) {
        CProbeDlg dlg;
        ASSERT_TRUE(CreateShownAt(dlg, {0, 0}, skins[i % 2], 0));
        ASSERT_NE(::GetDlgItem(dlg.m_hWnd, 256 + 19), nullptr);
        if (i == 0)
            ReliabilityKit::ExpectCountersSeeObjects();
    });
}
