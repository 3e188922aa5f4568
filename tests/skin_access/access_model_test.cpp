// What a screen reader calls an item and how the windowless dialog's keyboard
// moves, by value; the real windows and oleacc are the access suite's, which
// read roles, states and actions and drive the plain cases (a mnemonic, a
// tooltip for a name; the first Tab, Space, Enter and the arrows round a
// group; Tab round or on to the page) end to end.
#include "skin/AccessModel.h"
#include "skin/WndLessKeyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace KvAccess;
using namespace KvWndLess;

TEST(AccessModel, AnItemIsNamedByItsTextAsShownElseByItsTooltip) {
    const struct {
        const wchar_t *pszText, *pszTip;
        bool bMnemonic;
        const wchar_t *pszName, *pszDescription, *pszShortcut;
    } rows[] = {
        {L"  ", L"About", true, L"About", L"", L""},
        {L"Fish && &Chips", L"Fish & Chips", true, L"Fish & Chips", L"", L"Alt+C"},
        {L"Trailing&", L"", true, L"Trailing", L"", L""},
    };
    for (const auto& row : rows) {
        const ItemSpeech speech = SpeechOf(row.pszText, row.pszTip, row.bMnemonic);
        EXPECT_EQ(speech.strName, row.pszName) << row.pszText;
        EXPECT_EQ(speech.strDescription, row.pszDescription) << row.pszText;
        EXPECT_EQ(speech.strShortcut, row.pszShortcut) << row.pszText;
    }
}

namespace {

// "Aa.A": an item per letter; a letter acts, a dot does not, upper case starts a group.
std::vector<KeyItem> Items(const char* pszItems) {
    std::vector<KeyItem> items;
    for (const char* p = pszItems; *p; ++p)
        items.push_back({*p != '.', *p == 'A'});
    return items;
}

} // namespace

TEST(WndLessKeyboard, TabArrowsSpaceAndEnterInEveryStateGiveFocusPressAndCommand) {
    using E = KeyEvent;
    using P = FocusPass;
    const struct {
        const char* pszCase;
        const char* pszItems;
        int nFocus, nHeld;
        E event;
        bool bNeighbour;
        int nFocusAfter, nHeldAfter;
        bool bHandled;
        int nPress, nRelease, nCommand;
        P pass;
    } rows[] = {
        // clang-format off
        {"first Shift+Tab",          ".aAa", -1, -1, E::BackTab, false,   3, -1, true, -1, -1, -1, P::None},
        {"Tab with nothing acting",  "..", -1, -1, E::Tab, false,        -1, -1, false, -1, -1, -1, P::None},
        {"... with the page there",  "..", -1, -1, E::Tab, true,         -1, -1, true, -1, -1, -1, P::Forward},
        {"Tab lets a held item go",  "aa", 0, 0, E::Tab, false,           1, -1, true, -1, 0, -1, P::None},
        {"arrow before Tab",         "aa", -1, -1, E::Next, false,       -1, -1, false, -1, -1, -1, P::None},
        {"arrow within the group",   "Aa.aA", 1, -1, E::Next, false,      3, -1, true, -1, -1, -1, P::None},
        {"arrow in a group of one",  "Aa.aA", 4, -1, E::Next, false,      4, -1, true, -1, -1, -1, P::None},
        {"Space repeats",            "aa", 1, 1, E::SpaceDown, false,     1, 1, true, -1, -1, -1, P::None},
        {"Space up, none held",      "aa", 1, -1, E::SpaceUp, false,      1, -1, true, -1, -1, -1, P::None},
        {"Enter before Tab",         "aa", -1, -1, E::Enter, false,      -1, -1, false, -1, -1, -1, P::None},
        {"arrives by Tab",           ".aa", -1, -1, E::ArriveForward, false, 1, -1, true, -1, -1, -1, P::None},
        {"arrives, nothing acts",    "..", -1, -1, E::ArriveForward, false, -1, -1, false, -1, -1, -1, P::None},
        {"a press moves the focus",  "a.a", 0, -1, E::Pointed, false,     2, -1, false, -1, -1, -1, P::None},
        {"... only one there is",    "a.a", -1, -1, E::Pointed, false,   -1, -1, false, -1, -1, -1, P::None},
        {"focus lost lets go",       "aa", 1, 1, E::FocusLost, false,     1, -1, false, -1, 1, -1, P::None},
        // clang-format on
    };
    for (const auto& row : rows) {
        const KeyInput input = {row.event, row.event == E::Pointed ? 2 : -1, row.bNeighbour};
        const KeyStep step = StepKey({row.nFocus, row.nHeld}, Items(row.pszItems), input);
        EXPECT_EQ(step.next.nFocusItem, row.nFocusAfter) << row.pszCase;
        EXPECT_EQ(step.next.nSpaceItem, row.nHeldAfter) << row.pszCase;
        EXPECT_EQ(step.bHandled, row.bHandled) << row.pszCase;
        EXPECT_EQ(step.nPressItem, row.nPress) << row.pszCase;
        EXPECT_EQ(step.nReleaseItem, row.nRelease) << row.pszCase;
        EXPECT_EQ(step.nCommandItem, row.nCommand) << row.pszCase;
        EXPECT_EQ(step.pass, row.pass) << row.pszCase;
        // Only what moves the focus counts as using the keyboard.
        const bool bMoved = step.next.nFocusItem != row.nFocus || step.pass != P::None ||
                            row.event == E::Next || row.event == E::Previous;
        EXPECT_EQ(step.bKeyboardUsed, bMoved && step.bHandled) << row.pszCase;
    }
}
