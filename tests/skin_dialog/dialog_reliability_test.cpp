// A skinned dialog with 20 items (labels, buttons, shaped buttons, tooltips,
// an icon, cursors and a background) made, shown and destroyed 1,000 times
// gives back its GDI and USER objects and its private memory. Every other
// cycle is layered; the others paint their controls, which a layered window
// never asks for.
#include "DialogKit.h"

#include "tests/common/ResourceKit.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace DialogKit;
using namespace ResourceKit;

namespace {

Skin TwentyItems(bool bLayered) {
    Skin skin;
    skin.window = Parse(L"Title=Reliability|Icon=app.ico|BackBmp=back.png|SheetSize=320,240|"
                        L"ShowToolTip=1|FontName=DejaVu Sans|FontSize=12|FontColor=0xFF000000|"
                        L"AlpahValue=100|IsLayerWnd=" +
                        std::to_wstring(bLayered));
    for (int i = 0; i < 20; ++i) {
        const std::wstring n = std::to_wstring(i);
        skin.items.push_back(Parse(
            L"ID=item" + n + L"|Name=Item " + n + L"|ToolTip=Tip " + n + L"|Icon=icon.png|Pos=" +
            std::to_wstring(5 + i % 4 * 78) + L"," + std::to_wstring(5 + i / 4 * 46) + L",75,42" +
            (i < 8    ? L"|ControlType=1|BkImg=label.png"
             : i < 16 ? L"|ControlType=2"
                      : L"|ControlType=4") +
            (i >= 8 ? L"|BkImg=strip.png" : L"") + (i % 4 == 0 ? L"|Cursor=hand.cur" : L"")));
    }
    return skin;
}

} // namespace

TEST(SkinDialogReliability, ThousandCyclesGiveBackGdiUserObjectsAndMemory) {
    ImageKit::TempFolder folder;
    ImageKit::SaveStrip(folder, L"back.png", {0xC0204080}, 320, 240);
    ImageKit::SaveStrip(folder, L"label.png", {0x80FFFFFF}, 75, 42);
    ImageKit::SaveStrip(folder, L"strip.png", {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF808080}, 75,
                        42);
    ImageKit::SaveStrip(folder, L"icon.png", {0xFFFFCC00}, 16, 16);
    ImageKit::WriteBytes(folder.File(L"app.ico"), ImageKit::IconFileBytes(1, 32));
    ImageKit::WriteBytes(folder.File(L"hand.cur"), ImageKit::IconFileBytes(2, 32));
    const std::wstring skins[] = {WriteSkin(folder, L"layered.xml", TwentyItems(true)),
                                  WriteSkin(folder, L"plain.xml", TwentyItems(false))};

    auto cycle = [&](int i) {
        CProbeDlg dlg(301);
        ASSERT_TRUE(dlg.Create(301));
        dlg.LoadTestSkin(skins[i % 2]);
        dlg.ShowWindow(SW_SHOWNOACTIVATE);
        dlg.UpdateWindow();
        Pump(&dlg);
        ASSERT_NE(::GetDlgItem(dlg.m_hWnd, 256 + 19), nullptr);
        if (i == 0) { // the counters see what a dialog holds
            EXPECT_GT(GdiObjects() * UserObjects(), 0) << GdiObjects() << " " << UserObjects();
        }
    };
    const Growth growth = MeasureCycles(20, 1000, cycle);
    std::printf("%s\n", growth.Describe().c_str());
    // A leak of one object or 2 KiB per cycle would exceed these allowances.
    EXPECT_TRUE(growth.Within(10, 2ll << 20)) << growth.Describe();
}
