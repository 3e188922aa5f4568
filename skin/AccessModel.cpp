#include "skin/AccessModel.h"

#include <oleacc.h>

namespace KvAccess {

CString WithoutMnemonic(const CString& strText) {
    CString strShown;
    for (int i = 0; i < strText.GetLength(); ++i) {
        if (strText[i] == L'&')
            ++i; // the marker goes; a doubled one leaves one ampersand
        if (i < strText.GetLength())
            strShown += strText[i];
    }
    return strShown;
}

wchar_t MnemonicOf(const CString& strText) {
    for (int i = 0; i + 1 < strText.GetLength(); ++i) {
        if (strText[i] != L'&')
            continue;
        if (strText[i + 1] != L'&')
            return strText[i + 1];
        ++i;
    }
    return 0;
}

ItemSpeech SpeechOf(const CString& strText, const CString& strToolTip, bool bMnemonic) {
    ItemSpeech speech;
    speech.strName = bMnemonic ? WithoutMnemonic(strText) : strText;
    const wchar_t cMnemonic = bMnemonic ? MnemonicOf(strText) : 0;
    if (cMnemonic)
        speech.strShortcut = CString(L"Alt+") + cMnemonic;
    speech.strName.Trim();
    if (speech.strName.IsEmpty())
        speech.strName = strToolTip;
    else if (strToolTip != speech.strName)
        speech.strDescription = strToolTip;
    return speech;
}

bool Acts(ItemKind kind) {
    return kind == ItemKind::PushButton || kind == ItemKind::CheckBox ||
           kind == ItemKind::RadioButton;
}

long RoleOf(ItemKind kind) {
    switch (kind) {
    case ItemKind::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ItemKind::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case ItemKind::RadioButton:
        return ROLE_SYSTEM_RADIOBUTTON;
    case ItemKind::Label:
        return ROLE_SYSTEM_STATICTEXT;
    case ItemKind::None:
        break;
    }
    return 0;
}

long StateOf(ItemKind kind, const ItemFacts& facts) {
    const struct {
        bool bSet;
        long nBit;
    } bits[] = {
        {facts.bInvisible, STATE_SYSTEM_INVISIBLE},
        {facts.bDisabled, STATE_SYSTEM_UNAVAILABLE},
        {!facts.bDisabled && Acts(kind), STATE_SYSTEM_FOCUSABLE},
        {facts.bFocused, STATE_SYSTEM_FOCUSED},
        {facts.bHot, STATE_SYSTEM_HOTTRACKED},
        {facts.bPressed, STATE_SYSTEM_PRESSED},
        {facts.bChecked, STATE_SYSTEM_CHECKED},
        {facts.bDefault, STATE_SYSTEM_DEFAULT},
        {kind == ItemKind::Label, STATE_SYSTEM_READONLY},
    };
    long nState = 0;
    for (const auto& bit : bits)
        if (bit.bSet)
            nState |= bit.nBit;
    return nState;
}

CString DefaultActionOf(ItemKind kind, bool bChecked) {
    switch (kind) {
    case ItemKind::PushButton:
        return L"Press";
    case ItemKind::CheckBox:
        return bChecked ? L"Uncheck" : L"Check";
    case ItemKind::RadioButton:
        return L"Check";
    default:
        return CString();
    }
}

} // namespace KvAccess
