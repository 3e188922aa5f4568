#include "tools/common/ToolTips.h"

#include <commctrl.h>

HWND OwnedToolTip(HWND hOwner) {
    for (HWND hTip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); hTip;
         hTip = ::FindWindowExW(nullptr, hTip, TOOLTIPS_CLASSW, nullptr))
        if (::GetWindow(hTip, GW_OWNER) == hOwner)
            return hTip;
    return nullptr;
}

CString ToolTipText(HWND hToolTip, HWND hOwner, HWND hTool) {
    if (!hToolTip)
        return CString();
    wchar_t text[1024] = {};
    TTTOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = hOwner;
    info.uId = reinterpret_cast<UINT_PTR>(hTool);
    info.lpszText = text;
    ::SendMessageW(hToolTip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
    text[1023] = L'\0';
    return CString(text);
}
