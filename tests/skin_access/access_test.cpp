// The skinned dialogs as screen readers and keyboard users reach them, through
// the real oleacc and real key input (SendInput) to the active window under
// Wine. A windowed dialog: Tab stops, a radio group as one stop whose arrows
// select, Enter, Escape and mnemonics, and keyboard cues that show only once
// the keyboard was used. A windowless dialog: every drawn item read and
// checked against the skin, hit, navigated and run through oleacc; Tab,
// Space, Enter and the arrows reach the items, their focus frame read back
// from the layered picture; objects that outlive their window. The demo's page
// read as its skin says, and its container and page passing the focus on.
#include "tests/skin_access/AccessKit.h"
#include "tests/skin_dialog/DialogKit.h"

#include "res/resource.h"
#include "runtime/ModuleApp.h"
#include "skin/BmpButton.h"
#include "tools/common/Input.h"
#include "tools/kvdemo/DemoContainer.h"

#include <gtest/gtest.h>

using namespace AccessKit;
using namespace DialogKit;

namespace {

const POINT kDialogAt = {140, 140};

RECT OnScreen(HWND hWnd, RECT rc) {
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool Same(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b) != FALSE;
}

POINT Centre(const RECT& rc) {
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// A key as a person presses it, with Shift or Alt held around it.
void Press(WORD nKey, WORD nModifier = 0) {
    if (nModifier)
        KvInput::Key(nModifier, true);
    KvInput::Key(nKey, true);
    KvInput::Key(nKey, false);
    if (nModifier)
        KvInput::Key(nModifier, false);
}

// The picture a windowless dialog composes now, as its layered window gets it.
struct Picture {
    explicit Picture(CKvCommonWndLessDlg& dlg, SIZE sheet) : canvas(sheet.cx, sheet.cy) {
        bDrawn = dlg.CKvCommonWndLessDlg::DrawSheet(canvas.DC()) != FALSE;
    }
    DWORD At(LONG x, LONG y) const { return canvas.Pixel(x, y); }
    CSheetCanvas canvas;
    bool bDrawn = false;
};

// The focus frame 3 pixels inside rc: the dots (at even sums of the
// coordinates) are the opaque inverse of the picture without it, and nothing
// else differs within rc; without bFramed, nothing differs at all. Empty when
// so, else what differs.
std::string FrameDifference(const Picture& shown, const Picture& plain, const RECT& rc,
                            bool bFramed = true) {
    const RECT frame = {rc.left + 3, rc.top + 3, rc.right - 3, rc.bottom - 3};
    int nDots = 0;
    for (LONG y = rc.top; y < rc.bottom; ++y)
        for (LONG x = rc.left; x < rc.right; ++x) {
            const bool bEdge = (x == frame.left || x == frame.right - 1 || y == frame.top ||
                                y == frame.bottom - 1) &&
                               x >= frame.left && x < frame.right && y >= frame.top &&
                               y < frame.bottom;
            const bool bDot = bFramed && bEdge && ((x + y) & 1) == 0;
            const DWORD nExpected =
                bDot ? 0xFF000000u | (~plain.At(x, y) & 0xFFFFFFu) : plain.At(x, y);
            nDots += bDot;
            if (shown.At(x, y) != nExpected)
                return "at " + std::to_string(x) + "," + std::to_string(y) +
                       (bDot ? " a dot" : " no dot");
        }
    return nDots > 0 || !bFramed ? std::string() : "no dots";
}

// The child with the focus as the dialog's object says: its number, 0 for
// the object itself, -2 for none.
long FocusChildOf(HWND hWnd) {
    CAcc acc = FromWindow(hWnd);
    VARIANT focus;
    ::VariantInit(&focus);
    if (!acc.Get() || acc->get_accFocus(&focus) != S_OK)
        return -2;
    return ChildNumber(focus);
}

// A dialog of the probe's kind shown active, the items' commands kept.
template <class TProbe> class KeyFixture : public testing::Test {
protected:
    void TearDown() override {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
    }
    bool Foreground() {
        ::SetForegroundWindow(m_dlg.m_hWnd);
        return PumpUntil(&m_dlg, [this] { return ::GetForegroundWindow() == m_dlg.m_hWnd; });
    }
    using Commands = std::vector<CString>;

    ImageKit::TempFolder m_folder;
    TProbe m_dlg;
};

class KeyboardTest : public KeyFixture<CProbeDlg> {
protected:
    void SetUp() override {
        ImageKit::SaveStrip(m_folder, L"toggle.png",
                            {0xFFE0E0E0, 0xFFE8E8E8, 0xFFD0D0D0, 0xFFC0C0C0, 0xFF80C080, 0xFF88C888,
                             0xFF70B070, 0xFF609060},
                            16, 16);
        ImageKit::SaveStrip(m_folder, L"push.png", {0xFFD8D8F0, 0xFFE0E0F8, 0xFFC8C8E0, 0xFFB0B0B0},
                            70, 30);
    }

    // Shown active, the skin loaded while the dialog starts, so that the
    // dialog manager gives the first Tab stop the focus.
    void ShowActive(const Skin& skin) {
        const std::wstring path = WriteSkin(m_folder, L"skin.xml", skin);
        m_dlg.m_onInit = [path](CProbeDlg& dlg) { dlg.LoadTestSkin(path); };
        ASSERT_TRUE(m_dlg.Create(301, nullptr));
        m_dlg.SetWindowPos(nullptr, kDialogAt.x, kDialogAt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_dlg.ShowWindow(SW_SHOW);
        ASSERT_TRUE(Foreground());
        Pump(&m_dlg, 100);
    }
    HWND Item(const wchar_t* pszID) {
        for (const _XmlDynamicItem& item : m_dlg.m_arrDynamicItems)
            if (item.strID == pszID)
                return item.pControl.get<CWnd>()->m_hWnd;
        return nullptr;
    }
    bool FocusOn(const wchar_t* pszID) {
        return PumpUntil(&m_dlg, [&] { return ::GetFocus() == Item(pszID); });
    }
    LRESULT Check(const wchar_t* pszID) { return ::SendMessageW(Item(pszID), BM_GETCHECK, 0, 0); }
};

} // namespace

TEST_F(KeyboardTest, TabStopsRadioArrowsEnterEscapeAndMnemonicsAsInTheSystemsDialogs) {
    Skin skin;
    skin.window = Parse(L"SheetSize=300,160|FontName=DejaVu Sans|FontSize=14|"
                        L"FontColor=0xFF000000");
    const std::wstring toggle = L"|ControlType=2|BkImg=toggle.png|Pos=";
    const std::wstring push = L"|ControlType=2|BkImg=push.png|Pos=";
    skin.items = {
        Parse(L"ID=keep|Name=&amp;Keep|ControlStyle=0x40030003" + toggle + L"10,10,110,24"),
        Parse(L"ID=radA|Name=A|ControlStyle=0x40030009" + toggle + L"10,40,60,24"),
        Parse(L"ID=radB|Name=B|ControlStyle=0x40010009" + toggle + L"10,64,60,24"),
        Parse(L"ID=radC|Name=C|ControlStyle=0x40010009" + toggle + L"10,88,60,24"),
        Parse(L"ID=note|Name=Note|ControlType=1|ControlStyle=0x40020000|Pos=80,40,60,24"),
        Parse(L"ID=go|Name=Go|ControlStyle=0x40030000" + push + L"150,10,70,30"),
        Parse(L"ID=def|Name=Def|ControlStyle=0x40010001" + push + L"150,50,70,30"),
    };
    ShowActive(skin);
    ::SendMessageW(Item(L"radB"), BM_SETCHECK, BST_CHECKED, 0);
    Pump(&m_dlg, 50);
    ASSERT_TRUE(FocusOn(L"keep"));

    // Before any key the dialog hides its cues (the buttons suite shows a
    // skinned button draws as its cues say).
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYUISTATE), UISF_HIDEFOCUS | UISF_HIDEACCEL);
    // The radio group is one Tab stop: its checked radio, not its first.
    Press(VK_TAB);
    ASSERT_TRUE(FocusOn(L"radB"));
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYUISTATE), 0);
    EXPECT_EQ(::SendMessageW(Item(L"keep"), WM_QUERYUISTATE, 0, 0), 0) << "the box's own cues";

    // Arrows move within the group and select as they move, round its end.
    const struct {
        WORD nKey;
        const wchar_t* pszTo;
    } arrows[] = {{VK_DOWN, L"radC"}, {VK_RIGHT, L"radA"}, {VK_UP, L"radC"}};
    for (const auto& arrow : arrows) {
        Press(arrow.nKey);
        EXPECT_TRUE(FocusOn(arrow.pszTo)) << arrow.pszTo;
        EXPECT_EQ(Check(arrow.pszTo), BST_CHECKED) << arrow.pszTo;
        EXPECT_EQ(m_dlg.m_itemCommands.back(), arrow.pszTo);
    }
    EXPECT_EQ(Check(L"radA") + Check(L"radB"), 0);

    // Enter presses the focused push button, or else the default one.
    m_dlg.m_itemCommands.clear();
    Press(VK_TAB);
    EXPECT_TRUE(FocusOn(L"go"));
    Press(VK_RETURN);
    Press(VK_TAB, VK_SHIFT);
    EXPECT_TRUE(FocusOn(L"radC"));
    Press(VK_RETURN);
    // Alt and the marked letter click the box.
    Press('K', VK_MENU);
    PumpUntil(&m_dlg, [&] { return m_dlg.m_itemCommands.size() == 3; });
    EXPECT_EQ(m_dlg.m_itemCommands, (Commands{L"go", L"def", L"keep"}));
    EXPECT_EQ(Check(L"keep"), BST_CHECKED);

    // Escape cancels.
    Press(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil(&m_dlg, [&] { return !m_dlg.IsWindowVisible(); }));
}

namespace {

class WndLessKeyboardTest : public KeyFixture<CWndLessProbeDlg> {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ImageKit::SaveStrip(m_folder, L"back.png", {kBack}, 240, 100);
        ImageKit::SaveStrip(m_folder, L"strip.png", {kNormal, kHot, kPressed, 0}, 40, 24);
    }
    void TearDown() override {
        KeyFixture::TearDown();
        ::CoUninitialize();
    }
    // Shown active, the pointer away from it.
    void ShowActive(const Skin& skin) {
        ::SetCursorPos(0, 0);
        ASSERT_TRUE(CreateShownAt(m_dlg, kDialogAt, WriteSkin(m_folder, L"skin.xml", skin), 0));
        ASSERT_TRUE(Foreground());
        ASSERT_TRUE(PumpUntil(&m_dlg, [this] { return ::GetFocus() == m_dlg.m_hWnd; }));
        Pump(&m_dlg, 100);
    }
    Picture Now() { return Picture(m_dlg, {240, 100}); }
    void PressAndPump(WORD nKey, WORD nModifier = 0) {
        Press(nKey, nModifier);
        Pump(&m_dlg, 150);
    }
    // The pointer over a client point, the move posted as the system would.
    void Hover(POINT client) {
        KvInput::PostMove(m_dlg.m_hWnd, client);
        Pump(&m_dlg, 100);
    }

    static constexpr Gdiplus::ARGB kBack = 0xFF203040, kNormal = 0xFF00A000, kHot = 0xFF00B000,
                                   kPressed = 0xFF00C000;
};

} // namespace

// A windowless dialog as a screen reader reads it, then as a user without a
// mouse drives it: Tab reaches the drawn items in item order, round the end;
// the focused one is framed in the picture the layered window shows, and a
// screen reader hears where the focus is; Space and Enter run it, the arrows
// stay within its group. Before the first Tab, nothing of it changes: no
// frame, Space runs nothing, Escape cancels.
TEST_F(WndLessKeyboardTest, DrawnItemsAreReadRunAndReachedByTabWithAFrameInThePicture) {
    Skin skin;
    skin.window = Parse(L"SheetSize=240,100|BackBmp=back.png|FontName=DejaVu Sans|FontSize=12|"
                        L"FontColor=0xFFFFFFFF|ShowToolTip=1");
    const std::wstring strip = L"|ControlType=2|BkImg=strip.png|Pos=";
    // Two groups: one and two; three and the one off the sheet. The note
    // makes nothing here; two is named by its tooltip.
    skin.items = {
        Parse(L"ID=one|Name=One|ToolTip=Opens a file|ControlStyle=0x50030000" + strip +
              L"10,10,40,24"),
        Parse(L"ID=note|Name=Note|ControlType=1|Pos=60,10,40,24"),
        Parse(L"ID=two|ToolTip=Two|ControlStyle=0x50010000" + strip + L"110,10,40,24"),
        Parse(L"ID=three|Name=Three|ControlStyle=0x50030000" + strip + L"160,10,40,24"),
        Parse(L"ID=away|Name=Far &amp;away|Pos=300,10,40,24|ControlType=2"),
    };
    const RECT rcOne = {10, 10, 50, 34}, rcTwo = {110, 10, 150, 34}, rcThree = {160, 10, 200, 34};
    ShowActive(skin);
    CEventLog events;
    CAcc acc = FromWindow(m_dlg.m_hWnd);
    ASSERT_TRUE(acc.Get());

    long nCount = 0;
    EXPECT_EQ(acc->get_accChildCount(&nCount), S_OK);
    ASSERT_EQ(nCount, 4);
    const struct {
        const wchar_t *pszName, *pszDescription;
        RECT rcPos;
        long nState;
    } children[] = {
        {L"One", L"Opens a file", rcOne, STATE_SYSTEM_FOCUSABLE},
        {L"Two", L"", rcTwo, STATE_SYSTEM_FOCUSABLE},
        {L"Three", L"", rcThree, STATE_SYSTEM_FOCUSABLE},
        // Off the sheet: nothing of it is seen. Drawn text keeps its ampersand.
        {L"Far &away", L"", {300, 10, 340, 34}, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_INVISIBLE},
    };
    for (long n = 1; n <= 4; ++n) {
        const auto& expected = children[n - 1];
        const Reading reading = Read(acc.Get(), n);
        EXPECT_EQ(reading.strName, expected.pszName);
        EXPECT_EQ(reading.strDescription, expected.pszDescription) << n;
        EXPECT_EQ(reading.nRole, ROLE_SYSTEM_PUSHBUTTON) << n;
        EXPECT_EQ(reading.nState, expected.nState) << n;
        EXPECT_EQ(reading.strAction, L"Press") << n;
        EXPECT_TRUE(Same(reading.rcScreen, OnScreen(m_dlg.m_hWnd, expected.rcPos))) << n;
        EXPECT_EQ(ChildObject(acc.Get(), n).Get(), nullptr) << "drawn items are elements";
    }
    EXPECT_EQ(Read(acc.Get(), CHILDID_SELF).nRole, ROLE_SYSTEM_CLIENT); // the system's

    // The pointer over an item makes it hot, and that is announced.
    Hover({30, 20});
    EXPECT_EQ(Read(acc.Get(), 1).nState, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED);
    EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, m_dlg.m_hWnd, 1), 1);
    Hover({5, 95}); // over the empty sheet

    // Hit test and navigation in item order.
    VARIANT found;
    const POINT ptTwo = Centre(OnScreen(m_dlg.m_hWnd, rcTwo));
    EXPECT_EQ(acc->accHitTest(ptTwo.x, ptTwo.y, &found), S_OK);
    EXPECT_EQ(ChildNumber(found), 2);
    const POINT ptSheet = Centre(OnScreen(m_dlg.m_hWnd, {60, 40, 100, 90}));
    EXPECT_EQ(acc->accHitTest(ptSheet.x, ptSheet.y, &found), S_OK);
    EXPECT_EQ(ChildNumber(found), CHILDID_SELF);
    const struct {
        long nDirection, nFrom;
        HRESULT hr;
        long nTo;
    } moves[] = {{NAVDIR_FIRSTCHILD, 0, S_OK, 1}, {NAVDIR_LASTCHILD, 0, S_OK, 4},
                 {NAVDIR_NEXT, 1, S_OK, 2},       {NAVDIR_PREVIOUS, 4, S_OK, 3},
                 {NAVDIR_NEXT, 4, S_FALSE, -2},   {NAVDIR_PREVIOUS, 1, S_FALSE, -2}};
    for (const auto& move : moves) {
        EXPECT_EQ(acc->accNavigate(move.nDirection, ChildId(move.nFrom), &found), move.hr);
        EXPECT_EQ(ChildNumber(found), move.nTo) << move.nDirection << " from " << move.nFrom;
    }

    // The default action runs the item as a click does, once the call returned.
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(2)), S_OK);
    EXPECT_TRUE(m_dlg.m_itemCommands.empty());
    Pump(&m_dlg);
    EXPECT_EQ(m_dlg.m_itemCommands, Commands{L"two"});
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(5)), E_INVALIDARG);
    m_dlg.m_itemCommands.clear();

    const Picture plain = Now();
    ASSERT_TRUE(plain.bDrawn);
    PressAndPump(VK_SPACE);
    EXPECT_EQ(m_dlg.m_itemCommands, Commands{}) << "Space before the first Tab";
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYUISTATE), UISF_HIDEFOCUS | UISF_HIDEACCEL);
    EXPECT_EQ(FocusChildOf(m_dlg.m_hWnd), CHILDID_SELF);

    // Tab: the first item, framed (the windowless suite shows the picture
    // reaches the screen).
    PressAndPump(VK_TAB);
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYUISTATE), 0);
    EXPECT_EQ(FrameDifference(Now(), plain, rcOne), "");
    EXPECT_EQ(FocusChildOf(m_dlg.m_hWnd), 1);
    EXPECT_EQ(events.Count(EVENT_OBJECT_FOCUS, m_dlg.m_hWnd, 1), 1);
    EXPECT_EQ(Read(acc.Get(), 1).nState, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(Read(acc.Get(), 2).nState, STATE_SYSTEM_FOCUSABLE);

    // Tab past the note to two; Space runs it when it comes up, Enter at once.
    PressAndPump(VK_TAB);
    EXPECT_EQ(FrameDifference(Now(), plain, rcTwo), "");
    EXPECT_EQ(FrameDifference(Now(), plain, rcOne, false), "");
    KvInput::Key(VK_SPACE, true);
    Pump(&m_dlg, 150);
    EXPECT_EQ(Now().At(111, 11), kPressed) << "held with Space";
    EXPECT_EQ(m_dlg.m_itemCommands, Commands{});
    KvInput::Key(VK_SPACE, false);
    Pump(&m_dlg, 150);
    EXPECT_EQ(Now().At(111, 11), kNormal);
    EXPECT_EQ(m_dlg.m_itemCommands, Commands{L"two"});
    PressAndPump(VK_RETURN);
    EXPECT_EQ(m_dlg.m_itemCommands, (Commands{L"two", L"two"}));
    EXPECT_TRUE(m_dlg.IsWindowVisible()) << "Enter ran the item, not the dialog's OK";

    // The arrows go round within the group of one and two.
    PressAndPump(VK_RIGHT);
    EXPECT_EQ(FocusChildOf(m_dlg.m_hWnd), 1);
    PressAndPump(VK_UP);
    EXPECT_EQ(FocusChildOf(m_dlg.m_hWnd), 2);
    // Tab goes round the end, Shift+Tab back.
    PressAndPump(VK_TAB);
    EXPECT_EQ(FrameDifference(Now(), plain, rcThree), "");
    PressAndPump(VK_TAB);
    PressAndPump(VK_TAB);
    EXPECT_EQ(FocusChildOf(m_dlg.m_hWnd), 1);
    PressAndPump(VK_TAB, VK_SHIFT);
    EXPECT_EQ(FocusChildOf(m_dlg.m_hWnd), 4);

    // A screen reader gives the focus as Tab does.
    EXPECT_EQ(acc->accSelect(SELFLAG_TAKEFOCUS, ChildId(2)), S_OK);
    EXPECT_EQ(FocusChildOf(m_dlg.m_hWnd), 2);
    EXPECT_EQ(FrameDifference(Now(), plain, rcTwo), "");
    // Escape keeps its dialog meaning: cancel.
    PressAndPump(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil(&m_dlg, [&] { return !m_dlg.IsWindowVisible(); }));
    EXPECT_EQ(m_dlg.m_itemCommands, (Commands{L"two", L"two"}));

    // The window goes while the client holds the object: it answers, and
    // touches nothing of the dialog.
    m_dlg.DestroyWindow();
    EXPECT_EQ(acc->get_accChildCount(&nCount), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(acc->get_accName(ChildId(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->accHitTest(ptTwo.x, ptTwo.y, &found), CO_E_OBJNOTCONNECTED);
}

// The demo's page as a screen reader hears it: its labels and buttons in item
// order, each where it is shown (the dialog suites check that items are placed
// as their skin says); the container's close item is a drawn item, read as the
// windowless dialog's above. With the keyboard alone, Shift+Tab goes from the
// page's first stop to that close item, and Tab from there back to the page
// (the other two crossings mirror these).
TEST(DemoAccessTest, ThePageIsReadAsItsSkinSaysAndTabCrossesToTheContainerAndBack) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ::SetCursorPos(0, 0);
    {
        CDemoContainer dlg(GetConfigDirectory() + L"Kelvane.xml");
        ASSERT_TRUE(dlg.Create(IDD_CONTAINER));
        dlg.ShowWindow(SW_SHOW);
        CDemoPage* pPage = dlg.Page();
        ASSERT_TRUE(pPage && pPage->m_hWnd);
        ASSERT_TRUE(PumpUntil(nullptr, [&] { return ::GetForegroundWindow() == pPage->m_hWnd; }));
        Pump(nullptr, 200);
        const auto detailsFocused = [&] {
            return PumpUntil(
                nullptr, [&] { return ::GetFocus() == pPage->ItemWindow(L"CHK_DETAILS")->m_hWnd; });
        };
        ASSERT_TRUE(detailsFocused());
        Press(VK_TAB, VK_SHIFT);
        ASSERT_TRUE(PumpUntil(nullptr, [&] { return ::GetFocus() == dlg.m_hWnd; }))
            << "Shift+Tab from the page's first stop";
        EXPECT_EQ(FocusChildOf(dlg.m_hWnd), 1) << "the close item";
        Press(VK_TAB);
        EXPECT_TRUE(detailsFocused()) << "Tab from the container's last item";
        CEventLog events;

        long nCount = 0;
        // One child of each kind, by its place in item order: the labels and
        // buttons the table leaves out are read by the same code as these (the
        // details label is read below, once it changes).
        const long kLabel = STATE_SYSTEM_READONLY, kActs = STATE_SYSTEM_FOCUSABLE;
        const struct {
            long n;
            const wchar_t *pszID, *pszName, *pszDescription, *pszShortcut;
            long nRole, nState; // without the focus, which the page's dialog manager places
        } items[] = {
            {1, L"LBL_BANNER", L"Welcome to Kelvane", L"", L"", ROLE_SYSTEM_STATICTEXT, kLabel},
            {3, L"CHK_DETAILS", L"Show details", L"Shows or hides the details below", L"Alt+d",
             ROLE_SYSTEM_CHECKBUTTON, kActs},
            {6, L"RAD_TEAL", L"Teal", L"Use teal as the accent colour", L"",
             ROLE_SYSTEM_RADIOBUTTON, kActs | STATE_SYSTEM_CHECKED},
            {13, L"BTN_EXIT", L"Close", L"Closes the window", L"", ROLE_SYSTEM_PUSHBUTTON, kActs},
        };
        CAcc sheet = FromWindow(pPage->m_hWnd);
        ASSERT_TRUE(sheet.Get());
        EXPECT_EQ(sheet->get_accChildCount(&nCount), S_OK);
        ASSERT_EQ(nCount, 13); // every item of the skin's page, labels included
        for (const auto& expected : items) {
            SCOPED_TRACE(expected.pszID);
            // The same from the page's object and from the control's own.
            CAcc own = ChildObject(sheet.Get(), expected.n);
            ASSERT_TRUE(own.Get());
            for (const Reading& reading :
                 {Read(sheet.Get(), expected.n), Read(own.Get(), CHILDID_SELF)}) {
                EXPECT_EQ(reading.strName, expected.pszName);
                EXPECT_EQ(reading.strDescription, expected.pszDescription);
                EXPECT_EQ(reading.strShortcut, expected.pszShortcut);
                EXPECT_EQ(reading.nRole, expected.nRole);
                EXPECT_EQ(reading.nState & ~STATE_SYSTEM_FOCUSED, expected.nState);
                CRect rcShown;
                pPage->ItemWindow(expected.pszID)->GetWindowRect(&rcShown);
                EXPECT_TRUE(Same(reading.rcScreen, rcShown));
            }
            EXPECT_EQ((Read(sheet.Get(), expected.n).nState & STATE_SYSTEM_FOCUSED) != 0,
                      ::GetFocus() == pPage->ItemWindow(expected.pszID)->m_hWnd);
        }

        // Ticking the box through its own object is the click: the details
        // change, and the label's new name and the box's new state are announced.
        CAcc box = ChildObject(sheet.Get(), 3);
        EXPECT_EQ(box->accDoDefaultAction(ChildId(CHILDID_SELF)), S_OK);
        Pump(&dlg, 100);
        EXPECT_EQ(pPage->CheckOf(L"CHK_DETAILS"), BST_CHECKED);
        EXPECT_EQ(Read(sheet.Get(), 4).strName, pPage->Entry(L"DetailsShown").GetString());
        EXPECT_EQ(events.Count(EVENT_OBJECT_NAMECHANGE, pPage->ItemWindow(L"LBL_DETAILS")->m_hWnd,
                               CHILDID_SELF),
                  1);
        EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, pPage->ItemWindow(L"CHK_DETAILS")->m_hWnd,
                               CHILDID_SELF),
                  1);
        EXPECT_EQ(Read(sheet.Get(), 3).strAction, L"Uncheck");
        EXPECT_EQ(sheet->accDoDefaultAction(ChildId(1)), DISP_E_MEMBERNOTFOUND); // a label

        // The page ends with the container; what clients hold stays answerable.
        dlg.DestroyWindow();
        for (IAccessible* pAcc : {sheet.Get(), box.Get()})
            EXPECT_EQ(pAcc->get_accChildCount(&nCount), CO_E_OBJNOTCONNECTED);
    }
    ::CoUninitialize();
}
