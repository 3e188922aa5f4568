// The container as a host runs it: DoModal of the module's template 28012 from
// this program without switching module state, a page from this program's
// templates, a skin below the module's configuration directory. What users
// do comes from a driver thread: posted keys and clicks, real mouse input for
// the caption drag and Alt+F4.
#include "ContainerKit.h"

#include "res/resource.h"
#include "runtime/Log.h"

#include <gtest/gtest.h>

using namespace ContainerKit;
using DialogKit::Parse;

namespace {

const Gdiplus::ARGB kBack = 0xFF203040;
const POINT kChildPos = {20, 40};
// Items along the caption band, client points.
const POINT kClose = {235, 15}, kIdOk = {195, 15}, kIdCancel = {155, 15}, kMinimize = {115, 15},
            kBand = {40, 12};

bool operator==(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

class ContainerTest : public testing::Test {
protected:
    void SetUp() override {
        ImageKit::SaveStrip(m_skins, L"default\\back.png", {kBack}, 300, 200);
        ImageKit::SaveStrip(m_skins, L"default\\strip.png",
                            {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF808080}, 20, 20);
        m_skin.window = Parse(L"SheetSize=300,200|BackBmp=back.png|IsDrag=1|CaptionHeight=30|"
                              L"ChildPos=20,40");
        const wchar_t* ids[] = {L"btn_close", L"CLOSE", L"IDOK", L"IDCANCEL", L"MINIMIZE"};
        for (int i = 0; i < 5; ++i)
            m_skin.items.push_back(Parse(L"ID=" + std::wstring(ids[i]) + L"|ControlType=2|" +
                                         L"BkImg=strip.png|Pos=" + std::to_wstring(265 - 40 * i) +
                                         L",5,20,20"));
        ASSERT_TRUE(Subscriptions().empty());
    }
    void TearDown() override { EXPECT_TRUE(Subscriptions().empty()); }

    // A container of this suite's skin file and a probe page of nTemplate, not
    // yet deleted.
    void Prepare(CProbeContainer& dlg, UINT nTemplate = kPlainPage) {
        m_bPageDeleted = false;
        dlg.SetSkinFileName(m_skins.Write(L"skin.xml", m_skin));
        dlg.SetPageFactory(
            [this, nTemplate] { return new CProbePage(nTemplate, &m_bPageDeleted); });
    }
    // The subscription while it runs is the container's own. (Its number
    // and message the reliability suite's broadcast closes it by.)
    static void ExpectSubscribed(HWND hContainer) {
        const std::vector<HXSubscription> entries = Subscriptions();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].hWnd, hContainer);
    }
    // Ended as by Cancel: unsubscribed, and the page's window went first and
    // its object with it.
    void ExpectEndedAsCancel(const CProbeContainer& dlg, INT_PTR nResult, const char* pszHow) {
        EXPECT_EQ(nResult, IDCANCEL) << pszHow;
        EXPECT_FALSE(dlg.m_bPageWindowAtEnd) << pszHow;
        EXPECT_TRUE(m_bPageDeleted) << pszHow;
        EXPECT_FALSE(dlg.m_bSubscribedAtEnd) << pszHow;
    }

    CSkinFolder m_skins;
    DialogKit::Skin m_skin;
    bool m_bPageDeleted = false;
};

} // namespace

TEST_F(ContainerTest, EveryCloseRequestEndsItAsCancelWould) {
    const struct {
        const char* pszHow;
        std::function<void(CDriver&, CProbeContainer&)> close;
    } rows[] = {
        // The system's close, which would otherwise become the ignored Cancel;
        // on the page it goes through the page's RequestClose.
        {"Alt+F4 on the page", [](CDriver& d, CProbeContainer&) { d.PressAltF4(); }},
        {"Alt+F4 on the container",
         [](CDriver& d, CProbeContainer&) {
             d.RealClick(kBand);
             d.PressAltF4();
         }},
    };
    for (const auto& row : rows) {
        CProbeContainer dlg;
        Prepare(dlg);
        const INT_PTR nResult = RunModal(dlg, [&](CDriver& d) {
            ExpectSubscribed(d.Container());
            row.close(d, dlg);
        });
        ExpectEndedAsCancel(dlg, nResult, row.pszHow);
    }
}

// What a desktop with a window manager does: stacking on activation, the
// manager's own move loop. The page shows over its container, only once the
// container is placed, stays over it, and follows a drag while it runs and
// to where it ends. Enter, Escape and the base dialog's roles leave it open.
TEST_F(ContainerTest, ThePageStaysOverItsContainerAndFollowsADragAsItRunsAndOnlyACloseEndsIt) {
    CProbeContainer dlg;
    Prepare(dlg);
    const INT_PTR nResult = RunModal(dlg, [&](CDriver& d) {
        const auto* pPage = static_cast<const CProbePage*>(dlg.m_pChildPage.get());
        EXPECT_TRUE(pPage->m_bContainerVisibleAtShow);
        EXPECT_TRUE(pPage->m_ptOffsetAtShow == kChildPos);
        // What the screen shows inside the page: its face, not the container's art
        // (within 2 s: a busy machine's window manager restacks late).
        const auto pageOnTop = [&] {
            return DialogKit::ScreenShows(d.Page(), {30, 30}, ::GetSysColor(COLOR_BTNFACE));
        };
        EXPECT_TRUE(pageOnTop()) << "shown";
        d.RealClick({kBand.x + 30, kBand.y}); // not a double-click with the drag's press
        EXPECT_TRUE(pageOnTop()) << "after a click on the caption band";
        ::SetForegroundWindow(d.Page());
        d.Settle();
        ::SetForegroundWindow(d.Container());
        d.Settle();
        EXPECT_TRUE(pageOnTop()) << "after the container was activated again";

        const RECT before = d.ContainerRect();
        d.Drag(kBand, {70, 50}, [&] {
            EXPECT_EQ(d.ContainerRect().left, before.left + 70) << "mid-drag";
            EXPECT_TRUE(d.PageOffset() == kChildPos) << "mid-drag";
            EXPECT_TRUE(pageOnTop()) << "mid-drag";
        });
        EXPECT_EQ(d.ContainerRect().left, before.left + 70);
        EXPECT_EQ(d.ContainerRect().top, before.top + 50);
        EXPECT_TRUE(d.PageOffset() == kChildPos);
        EXPECT_TRUE(pageOnTop()) << "after the drag";

        d.Post(WM_KEYDOWN, VK_RETURN);
        d.Post(WM_KEYDOWN, VK_ESCAPE);
        // In the page too: it does not end as a dialog would, which hid it.
        for (WPARAM key : {VK_RETURN, VK_ESCAPE})
            ::PostMessageW(d.Page(), WM_KEYDOWN, key, 1);
        d.Settle();
        EXPECT_TRUE(::IsWindowVisible(d.Page()));
        for (POINT pt : {kClose, kIdOk, kIdCancel, kMinimize})
            d.Click(pt);
        EXPECT_TRUE(::IsWindowVisible(d.Container()));
        EXPECT_FALSE(::IsIconic(d.Container()));
        d.Post(WM_CLOSE_CONTAINER);
    });
    EXPECT_EQ(nResult, IDCANCEL);
    // Enter and Escape came as OK and Cancel, and were swallowed.
    EXPECT_EQ(dlg.m_commands, (std::vector<UINT>{IDOK, IDCANCEL}));
}

// Its template names a control class nobody registered; a missing template
// fails earlier on the same path.
TEST_F(ContainerTest, APageWhoseWindowCannotBeMadeIsDroppedWhole) {
    CProbeContainer dlg;
    Prepare(dlg, kBrokenPage);
    ASSERT_TRUE(dlg.Create(IDD_CONTAINER));
    EXPECT_TRUE(m_bPageDeleted);
    EXPECT_EQ(dlg.m_pChildPage, nullptr);
    EXPECT_TRUE(dlg.GetExStyle() & WS_EX_LAYERED);
    ExpectSubscribed(dlg.m_hWnd);
    EXPECT_EQ(dlg.SendMessage(WM_CLOSE_CONTAINER), 1);
    dlg.DestroyWindow();
}

TEST_F(ContainerTest, AContainerLeftUnsubscribedByAFullTableSaysSoInTheLog) {
    ImageKit::TempFolder folder(L"kvlog");
    const std::wstring strLog = folder.File(L"kelvane.log");
    ASSERT_TRUE(ImageKit::WriteBytes(strLog, ""));
    InitLog(L"test", strLog.c_str());
    // This process's whole share taken by one window of its own.
    const auto reg = HubExport<decltype(&HXRegComNotifyMessage)>("HXRegComNotifyMessage");
    ASSERT_NE(reg, nullptr);
    HWND hSink = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                   nullptr, nullptr);
    for (int n = 0; n < HX_PROCESS_SHARE; ++n)
        ASSERT_EQ(reg(1000 + n, hSink, WM_USER, 0), HX_OK);

    CProbeContainer dlg;
    Prepare(dlg);
    ASSERT_TRUE(dlg.Create(IDD_CONTAINER));
    dlg.DestroyWindow();
    ::DestroyWindow(hSink);
    InitLog(L"", L"");
    EXPECT_NE(ImageKit::ReadBytes(strLog).find("the notification table is full, -2): it runs "
                                               "unsubscribed"),
              std::string::npos)
        << ImageKit::ReadBytes(strLog);
}

TEST(ContainerSkinPath, AFullPathNamesTheFileAnythingElseIsBelowTheConfiguration) {
    const struct {
        const wchar_t *pszName, *pszPath;
    } rows[] = {
        {L"Kelvane.xml", L"C:\\cfg\\Kelvane.xml"}, {L"D:\\skins\\a.xml", L"D:\\skins\\a.xml"},
        {L"z:/skins/a.xml", L"z:/skins/a.xml"},    {L"\\\\server\\a.xml", L"\\\\server\\a.xml"},
        {L"D:a.xml", L"C:\\cfg\\D:a.xml"}, // relative to a drive's current folder
        {L"\\a.xml", L"C:\\cfg\\\\a.xml"},
    };
    for (const auto& row : rows)
        EXPECT_STREQ(ContainerSkinPath(L"C:\\cfg\\", row.pszName), row.pszPath) << row.pszName;
}

// Read but without "SheetSize", the skin shows nothing: whatever was read
// (its place for the page, its items) gives way to the one plain look.
TEST_F(ContainerTest, ASkinThatShowsNothingGivesAPlainFrameThatCanBeClosed) {
    m_skin.window = Parse(L"BackBmp=back.png|ChildPos=20,40"); // no "SheetSize"
    CProbeContainer dlg;
    Prepare(dlg);
    const INT_PTR nResult = RunModal(dlg, [&](CDriver& d) {
        RECT rcTemplate = {0, 0, 216, 135};
        ::MapDialogRect(d.Container(), &rcTemplate);
        const RECT page = d.PageRect(), frame = d.ContainerRect();
        const ContainerFallbackLayout layout =
            FallbackContainerLayout({rcTemplate.right, rcTemplate.bottom},
                                    {page.right - page.left, page.bottom - page.top});
        EXPECT_EQ(frame.right - frame.left, layout.szSheet.cx);
        EXPECT_EQ(frame.bottom - frame.top, layout.szSheet.cy);
        EXPECT_TRUE(d.PageOffset() == layout.ptChildPos);
        EXPECT_TRUE(
            DialogKit::ScreenShows(d.Container(), {10, 10}, ::GetSysColor(COLOR_ACTIVECAPTION)));
        const RECT& rc = layout.rcClose;
        d.Click({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    });
    ExpectEndedAsCancel(dlg, nResult, "close item");
}
