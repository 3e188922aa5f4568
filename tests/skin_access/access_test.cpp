// The skinned dialogs as a screen reader reaches them, through the real
// oleacc under Wine: AccessibleObjectFromWindow on a windowless dialog and on
// the default skin's demo page, every child read and checked against the
// skin, actions run through accDoDefaultAction, events heard, and objects
// that outlive their windows.
#include "tests/skin_access/AccessKit.h"
#include "tests/skin_dialog/DialogKit.h"

#include "res/resource.h"
#include "runtime/ModuleApp.h"
#include "tools/common/Input.h"
#include "tools/kvdemo/DemoContainer.h"

#include <gtest/gtest.h>

using namespace AccessKit;
using namespace DialogKit;

namespace {

const POINT kDialogAt = {120, 120};

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

class AccessTest : public testing::Test {
protected:
    // Screen readers need COM on the dialogs' thread, as a host gives it.
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { ::CoUninitialize(); }

    // The pointer over a client point, and the move posted as the system would.
    static void Hover(CWndLessProbeDlg& dlg, POINT client) {
        KvInput::PostMove(dlg.m_hWnd, client);
        Pump(&dlg, 100);
    }

    ImageKit::TempFolder m_folder;
};

} // namespace

TEST_F(AccessTest, AWindowlessDialogsItemsAreReadClickedAndOutliveNothing) {
    ImageKit::SaveStrip(m_folder, L"back.png", {0xFF203040}, 200, 100);
    ImageKit::SaveStrip(m_folder, L"strip.png", {0xFF00A000, 0xFF00B000, 0xFF00C000, 0}, 40, 20);
    Skin skin;
    skin.window = Parse(L"SheetSize=200,100|BackBmp=back.png|FontName=DejaVu Sans|FontSize=12|"
                        L"FontColor=0xFFFFFFFF|ShowToolTip=1");
    skin.items = {
        Parse(L"ID=open|Name=Open|ToolTip=Opens a "
              L"file|Pos=10,10,40,20|ControlType=2|BkImg=strip.png"),
        Parse(L"ID=note|Name=Note|Pos=60,10,40,20|ControlType=1"), // makes nothing here
        Parse(L"ID=close|ToolTip=Close|Pos=110,10,40,20|ControlType=2|BkImg=strip.png"),
        Parse(L"ID=away|Name=Far &amp;away|Pos=300,10,40,20|ControlType=2"),
    };
    CWndLessProbeDlg dlg;
    dlg.m_bApplyRoles = FALSE;
    ASSERT_TRUE(CreateShownAt(dlg, kDialogAt, WriteSkin(m_folder, L"skin.xml", skin), 100));
    Hover(dlg, {5, 95}); // over the empty sheet
    CEventLog events;
    CAcc acc = FromWindow(dlg.m_hWnd);
    ASSERT_TRUE(acc.Get());

    long nCount = 0;
    EXPECT_EQ(acc->get_accChildCount(&nCount), S_OK);
    ASSERT_EQ(nCount, 3);
    const struct {
        const wchar_t *pszName, *pszDescription;
        RECT rcPos;
        long nState;
    } children[] = {
        {L"Open", L"Opens a file", {10, 10, 50, 30}, STATE_SYSTEM_FOCUSABLE},
        {L"Close", L"", {110, 10, 150, 30}, STATE_SYSTEM_FOCUSABLE},
        // Off the sheet: nothing of it is seen. Drawn text keeps its ampersand.
        {L"Far &away", L"", {300, 10, 340, 30}, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_INVISIBLE},
    };
    for (long n = 1; n <= 3; ++n) {
        const auto& expected = children[n - 1];
        const Reading reading = Read(acc.Get(), n);
        EXPECT_EQ(reading.strName, expected.pszName);
        EXPECT_EQ(reading.strDescription, expected.pszDescription) << n;
        EXPECT_EQ(reading.nRole, ROLE_SYSTEM_PUSHBUTTON) << n;
        EXPECT_EQ(reading.nState, expected.nState) << n;
        EXPECT_EQ(reading.strAction, L"Press") << n;
        EXPECT_TRUE(Same(reading.rcScreen, OnScreen(dlg.m_hWnd, expected.rcPos))) << n;
        EXPECT_EQ(ChildObject(acc.Get(), n).Get(), nullptr) << "drawn items are elements";
    }
    EXPECT_EQ(Read(acc.Get(), CHILDID_SELF).nRole, ROLE_SYSTEM_CLIENT); // the system's

    // The pointer over an item makes it hot, and that is announced.
    Hover(dlg, {30, 20});
    EXPECT_EQ(Read(acc.Get(), 1).nState, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED);
    EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, dlg.m_hWnd, 1), 1);

    // Hit test and navigation in item order.
    VARIANT found;
    const POINT ptClose = Centre(OnScreen(dlg.m_hWnd, children[1].rcPos));
    EXPECT_EQ(acc->accHitTest(ptClose.x, ptClose.y, &found), S_OK);
    EXPECT_EQ(ChildNumber(found), 2);
    const POINT ptSheet = Centre(OnScreen(dlg.m_hWnd, {60, 40, 100, 90}));
    EXPECT_EQ(acc->accHitTest(ptSheet.x, ptSheet.y, &found), S_OK);
    EXPECT_EQ(ChildNumber(found), CHILDID_SELF);
    const struct {
        long nDirection, nFrom;
        HRESULT hr;
        long nTo;
    } moves[] = {{NAVDIR_FIRSTCHILD, 0, S_OK, 1}, {NAVDIR_LASTCHILD, 0, S_OK, 3},
                 {NAVDIR_NEXT, 1, S_OK, 2},       {NAVDIR_PREVIOUS, 3, S_OK, 2},
                 {NAVDIR_NEXT, 3, S_FALSE, -2},   {NAVDIR_PREVIOUS, 1, S_FALSE, -2}};
    for (const auto& move : moves) {
        EXPECT_EQ(acc->accNavigate(move.nDirection, ChildId(move.nFrom), &found), move.hr);
        EXPECT_EQ(ChildNumber(found), move.nTo) << move.nDirection << " from " << move.nFrom;
    }

    // The default action runs the item as a click does, once the call returned.
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(2)), S_OK);
    EXPECT_TRUE(dlg.m_itemCommands.empty());
    Pump(&dlg);
    EXPECT_EQ(dlg.m_itemCommands, std::vector<CString>{L"close"});
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(4)), E_INVALIDARG);

    // The window goes while the client holds the object: it answers, and
    // touches nothing of the dialog.
    dlg.DestroyWindow();
    EXPECT_EQ(acc->get_accChildCount(&nCount), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(acc->get_accName(ChildId(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(acc->accDoDefaultAction(ChildId(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(acc->accHitTest(ptClose.x, ptClose.y, &found), CO_E_OBJNOTCONNECTED);
}

// What a screen reader hears of the demo's page: its labels and buttons in
// item order, each where it is shown (the dialog suites check that items are
// placed as their skin says). The container's close item is a drawn item, read
// as the windowless dialog's above; the keyboard suite reaches it.
TEST_F(AccessTest, TheDemosContainerAndPageAreReadAsTheSkinDescribesThem) {
    CDemoContainer dlg(GetConfigDirectory() + L"Kelvane.xml");
    ASSERT_TRUE(dlg.Create(IDD_CONTAINER));
    dlg.ShowWindow(SW_SHOW);
    Pump(&dlg, 300);
    CDemoPage* pPage = dlg.Page();
    ASSERT_TRUE(pPage && pPage->m_hWnd);
    CEventLog events;

    long nCount = 0;
    // One child of each kind, by its place in item order: the labels and
    // buttons the table leaves out are read by the same code as these (the
    // details label and the amber radio are read below, once they change).
    const long kLabel = STATE_SYSTEM_READONLY, kActs = STATE_SYSTEM_FOCUSABLE;
    const struct {
        long n;
        const wchar_t *pszID, *pszName, *pszDescription, *pszShortcut;
        long nRole, nState; // without the focus, which the page's dialog manager places
    } items[] = {
        {1, L"LBL_BANNER", L"Welcome to Kelvane", L"", L"", ROLE_SYSTEM_STATICTEXT, kLabel},
        {3, L"CHK_DETAILS", L"Show details", L"Shows or hides the details below", L"Alt+d",
         ROLE_SYSTEM_CHECKBUTTON, kActs},
        {6, L"RAD_TEAL", L"Teal", L"Use teal as the accent colour", L"", ROLE_SYSTEM_RADIOBUTTON,
         kActs | STATE_SYSTEM_CHECKED},
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

    // Ticking the box through its object is the click: the details change and
    // their label's new name is announced.
    CWnd* pDetails = pPage->ItemWindow(L"LBL_DETAILS");
    EXPECT_EQ(sheet->accDoDefaultAction(ChildId(3)), S_OK);
    Pump(&dlg, 100);
    EXPECT_EQ(pPage->CheckOf(L"CHK_DETAILS"), BST_CHECKED);
    EXPECT_EQ(Read(sheet.Get(), 4).strName, pPage->Entry(L"DetailsShown").GetString());
    EXPECT_EQ(events.Count(EVENT_OBJECT_NAMECHANGE, pDetails->m_hWnd, CHILDID_SELF), 1);
    EXPECT_EQ(Read(sheet.Get(), 3).strAction, L"Uncheck");
    // A radio through its own object: checked, and that is announced.
    CAcc amber = ChildObject(sheet.Get(), 7);
    EXPECT_EQ(amber->accDoDefaultAction(ChildId(CHILDID_SELF)), S_OK);
    Pump(&dlg, 100);
    EXPECT_EQ(Read(sheet.Get(), 7).nState & STATE_SYSTEM_CHECKED, STATE_SYSTEM_CHECKED);
    EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, pPage->ItemWindow(L"RAD_AMBER")->m_hWnd,
                           CHILDID_SELF),
              1);
    EXPECT_EQ(sheet->accDoDefaultAction(ChildId(1)), DISP_E_MEMBERNOTFOUND); // a label

    // The page ends with the container; what clients hold stays answerable.
    dlg.DestroyWindow();
    for (IAccessible* pAcc : {sheet.Get(), amber.Get()})
        EXPECT_EQ(pAcc->get_accChildCount(&nCount), CO_E_OBJNOTCONNECTED);
}
