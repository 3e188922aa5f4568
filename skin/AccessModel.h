// What a screen reader reads of a skinned item: its name, description and
// keyboard shortcut from its text and tooltip, its role from its kind, its
// state from what its dialog knows of it now, and what its default action is
// called. The dialogs' accessible objects and kvskin describe read it. Nothing
// here touches a window or COM, so all of it is testable by value; the
// functions are the module's own and not exported (tests compile
// skin/AccessModel.cpp in).
#pragma once

#include <afx.h>

#include "skin/DialogLayout.h"

namespace KvAccess {

// What is spoken for an item. Its text names it; an item without text is
// named by its tooltip. A tooltip beside a text describes the item.
struct ItemSpeech {
    CString strName;
    CString strDescription;
    CString strShortcut; // "Alt+d" for "Show &details"; empty without a mnemonic
};

// bMnemonic: the item draws "&x" as an underlined x (bitmap buttons do;
// labels and windowless items draw the text as it is written).
ItemSpeech SpeechOf(const CString& strText, const CString& strToolTip, bool bMnemonic);

// The text as a button shows it: "&" marks the next character and is not
// drawn, "&&" draws one ampersand.
CString WithoutMnemonic(const CString& strText);
// The marked character, 0 when none is marked.
wchar_t MnemonicOf(const CString& strText);

// Whether a click on an item of this kind does something.
bool Acts(ItemKind kind);
// The role a screen reader announces: push button, check box, radio button
// or static text; 0 for a kind that makes nothing.
long RoleOf(ItemKind kind);

// What the dialog knows of an item at the moment of asking.
struct ItemFacts {
    bool bFocused = false;
    bool bHot = false;
    bool bPressed = false;
    bool bChecked = false;
    bool bDisabled = false;
    bool bInvisible = false;
    bool bDefault = false; // Enter presses it
};
// The state bits: the facts, plus focusable for an enabled item that acts
// and read-only for static text.
long StateOf(ItemKind kind, const ItemFacts& facts);

// The name of the default action, as the system's buttons give it: "Press",
// "Check" or "Uncheck"; empty for an item that does not act.
CString DefaultActionOf(ItemKind kind, bool bChecked);

} // namespace KvAccess
