// The keyboard in skinned dialogs, with real key input (SendInput) to the
// active window under Wine: Tab stops, a radio group as one stop whose
// arrows select, Enter, Escape and mnemonics, and keyboard cues that show only
// once the keyboard was used, read back from the screen.
#include "tests/skin_access/AccessKit.h"
#include "tests/skin_dialog/DialogKit.h"

#include "skin/BmpButton.h"
#include "tools/common/Input.h"
#include "tools/common/WindowCapture.h"

#include <gtest/gtest.h>

using namespace DialogKit;

namespace {

const POINT kDialogAt = {140, 140};

// A key as a person presses it, with Shift or Alt held around it.
void Press(WORD nKey, WORD nModifier = 0) {
    if (nModifier)
        KvInput::Key(nModifier, true);
    KvInput::Key(nKey, true);
    KvInput::Key(nKey, false);
    if (nModifier)
        KvInput::Key(nModifier, false);
}

// Pumps the dialog until what the keys did is done, or gives up.
template <class Condition> bool PumpUntil(CWnd* pDlg, Condition condition) {
    for (int i = 0; i < 100 && !condition(); ++i)
        Pump(pDlg, 20);
    return condition();
}

// Dark pixels the screen shows in a control: caption, underline, focus frame.
int InkIn(HWND hDialog, HWND hControl) {
    const WindowCapture::CaptureResult shot = WindowCapture::CaptureWindows(hDialog);
    EXPECT_TRUE(shot.Ok()) << std::string(shot.strError.begin(), shot.strError.end());
    RECT rc = {};
    ::GetWindowRect(hControl, &rc);
    int nInk = 0;
    for (LONG y = rc.top; y < rc.bottom; ++y)
        for (LONG x = rc.left; x < rc.right; ++x) {
            const uint32_t argb = shot.image.At(x - shot.rcScreen.left, y - shot.rcScreen.top);
            nInk += ((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF) < 200;
        }
    return nInk;
}

class KeyboardTest : public testing::Test {
protected:
    void SetUp() override {
        ImageKit::SaveStrip(m_folder, L"toggle.png",
                            {0xFFE0E0E0, 0xFFE8E8E8, 0xFFD0D0D0, 0xFFC0C0C0, 0xFF80C080, 0xFF88C888,
                             0xFF70B070, 0xFF609060},
                            16, 16);
        ImageKit::SaveStrip(m_folder, L"push.png", {0xFFD8D8F0, 0xFFE0E0F8, 0xFFC8C8E0, 0xFFB0B0B0},
                            70, 30);
    }
    void TearDown() override {
        if (m_dlg.m_hWnd)
            m_dlg.DestroyWindow();
    }

    // Shown active, the skin loaded while the dialog starts, so that the
    // dialog manager gives the first Tab stop the focus.
    void ShowActive(const Skin& skin) {
        const std::wstring path = WriteSkin(m_folder, L"skin.xml", skin);
        m_dlg.m_onInit = [path](CProbeDlg& dlg) { dlg.LoadTestSkin(path); };
        ASSERT_TRUE(m_dlg.Create(301, nullptr));
        m_dlg.SetWindowPos(nullptr, kDialogAt.x, kDialogAt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        m_dlg.ShowWindow(SW_SHOW);
        ::SetForegroundWindow(m_dlg.m_hWnd);
        ASSERT_TRUE(PumpUntil(&m_dlg, [this] { return ::GetForegroundWindow() == m_dlg.m_hWnd; }));
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
    // The items' commands so far, as one line.
    std::wstring Commands() const {
        std::wstring line;
        for (const CString& id : m_dlg.m_itemCommands)
            line += (line.empty() ? L"" : L" ") + std::wstring(id.GetString());
        return line;
    }
    LRESULT Check(const wchar_t* pszID) { return ::SendMessageW(Item(pszID), BM_GETCHECK, 0, 0); }

    ImageKit::TempFolder m_folder;
    CProbeDlg m_dlg;
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

    // Before any key: the focused box shows neither its frame nor its underline.
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYUISTATE), UISF_HIDEFOCUS | UISF_HIDEACCEL);
    const int nPlain = InkIn(m_dlg.m_hWnd, Item(L"keep"));
    // The radio group is one Tab stop: its checked radio, not its first.
    Press(VK_TAB);
    EXPECT_TRUE(FocusOn(L"radB"));
    EXPECT_EQ(m_dlg.SendMessage(WM_QUERYUISTATE), 0);
    Press(VK_TAB, VK_SHIFT);
    EXPECT_TRUE(FocusOn(L"keep"));
    EXPECT_GT(InkIn(m_dlg.m_hWnd, Item(L"keep")), nPlain + 20) << "focus frame and underline";

    // Arrows move within the group and select as they move, round its end.
    Press(VK_TAB);
    ASSERT_TRUE(FocusOn(L"radB"));
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
    EXPECT_EQ(Commands(), L"go def keep");
    EXPECT_EQ(Check(L"keep"), BST_CHECKED);

    // Escape cancels.
    Press(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil(&m_dlg, [&] { return !m_dlg.IsWindowVisible(); }));
}
