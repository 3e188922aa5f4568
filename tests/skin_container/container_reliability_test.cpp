// A hundred containers in a row, each opened with its page, moved and closed
// by a broadcast of the notification centre, give back what they took and
// their subscriptions.
#include "ContainerKit.h"

#include "tests/skin_dialog/ReliabilityKit.h"

using namespace ContainerKit;

TEST(ContainerReliability, HundredRunsGiveBackObjectsMemoryAndSubscriptions) {
    CSkinFolder skins;
    ImageKit::SaveStrip(skins, L"default\\back.png", {0xE0203040}, 300, 200);
    ImageKit::SaveStrip(skins, L"default\\close.png",
                        {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF808080}, 20, 20);
    DialogKit::Skin skin;
    skin.window = DialogKit::Parse(L"SheetSize=300,200|BackBmp=back.png|IsDrag=1|"
                                   L"CaptionHeight=30|ChildPos=20,40|ShowToolTip=1");
    skin.items = {DialogKit::Parse(L"ID=BTN_CLOSE|ControlType=2|BkImg=close.png|Pos=270,5,20,20|"
                                   L"ToolTip=Close")};
    const CString strSkin = skins.Write(L"skin.xml", skin);
    const auto broadcast = HubExport<decltype(&HXBroadcastNotify)>("HXBroadcastNotify");
    ASSERT_NE(broadcast, nullptr);
    ReliabilityKit::ExpectCyclesGiveBack(10, 100, [&](int i) {
        bool bPageDeleted = false;
        CProbeContainer dlg;
        dlg.SetSkinFileName(strSkin);
        dlg.SetPageFactory([&] { return new CProbePage(kPlainPage, &bPageDeleted); });
        const INT_PTR nResult = RunModal(dlg, [&](CDriver& d) {
            d.MoveTo({100 + i % 50, 100});
            if (i == 0)
                ReliabilityKit::ExpectCountersSeeObjects();
            EXPECT_EQ(broadcast(kContainerNotify, 0, 0), 1);
        });
        ASSERT_EQ(nResult, IDCANCEL);
        ASSERT_TRUE(bPageDeleted);
        ASSERT_FALSE(dlg.m_bSubscribedAtEnd);
    });
    EXPECT_TRUE(Subscriptions().empty());
}
