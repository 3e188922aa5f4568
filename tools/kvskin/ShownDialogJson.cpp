#include "tools/kvskin/ShownDialogJson.h"

#include "skin/CommonWndLessDlg.h"
#include "tools/common/ToolTips.h"
#include "tools/kvskin/SkinJson.h"

#include <commctrl.h>

namespace {

using nlohmann::ordered_json;

ordered_json RectJson(const RECT& rc) {
    return ordered_json::array({rc.left, rc.top, rc.right, rc.bottom});
}

CString WindowText(HWND hWnd) {
    const int nLength = ::GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<size_t>(nLength) + 1, L'\0');
    const int nCopied = ::GetWindowTextW(hWnd, &text[0], nLength + 1);
    return CString(text.c_str(), nCopied);
}

CString ClassName(HWND hWnd) {
    wchar_t name[256] = {};
    const int nLength = ::GetClassNameW(hWnd, name, 256);
    return CString(name, nLength);
}

ordered_json ControlJson(HWND hDlg, HWND hToolTip, HWND hControl) {
    RECT rc = {};
    ::GetWindowRect(hControl, &rc);
    ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
    return {{"id", ::GetDlgCtrlID(hControl)},
            {"class", ToUtf8(ClassName(hControl))},
            {"rect", RectJson(rc)},
            {"style", static_cast<uint32_t>(::GetWindowLongW(hControl, GWL_STYLE))},
            {"text", ToUtf8(WindowText(hControl))},
            {"tooltip", ToUtf8(ToolTipText(hToolTip, hDlg, hControl))}};
}

ordered_json WindowJson(HWND hDlg) {
    RECT rcWindow = {}, rcClient = {};
    ::GetWindowRect(hDlg, &rcWindow);
    ::GetClientRect(hDlg, &rcClient);
    const uint32_t exStyle = static_cast<uint32_t>(::GetWindowLongW(hDlg, GWL_EXSTYLE));
    return {{"rect", RectJson(rcWindow)},
            {"client", ordered_json::array({rcClient.right, rcClient.bottom})},
            {"layered", (exStyle & WS_EX_LAYERED) != 0},
            {"exStyle", exStyle},
            {"title", ToUtf8(WindowText(hDlg))}};
}

} // namespace

ordered_json DescribeShownDialog(CKvCommonDlg& dlg) {
    const HWND hDlg = dlg.m_hWnd;
    const HWND hToolTip = OwnedToolTip(hDlg);
    ordered_json controls = ordered_json::array();
    for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        controls.push_back(ControlJson(hDlg, hToolTip, hChild));
    ordered_json items = ordered_json::array();
    for (size_t i = 0; i < dlg.m_arrDynamicItems.size(); ++i) {
        const _XmlDynamicItem& item = dlg.m_arrDynamicItems[i];
        if (const CWndLessItem* pItem = item.pControl.get<CWndLessItem>())
            items.push_back(
                {{"index", i}, {"id", ToUtf8(item.strID)}, {"state", pItem->GetState()}});
    }
    return {{"window", WindowJson(hDlg)}, {"controls", controls}, {"items", items}};
}
