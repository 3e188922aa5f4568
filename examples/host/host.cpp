// The smallest host of Kelvane.dll: starts GDI+, writes a line to the
// module's log, runs a skinned dialog from the default skin and exits. The
// dialog's template (host.rc) only makes the window; the skin gives it its
// size, look and items, and OnItemCommand gives the page's own items their
// meaning: the toolkit knows only the roles CLOSE, IDOK, IDCANCEL, ...
//   kelvane_host [--seconds N]   N > 0 closes the dialog after N seconds
// The log is written only while the file it names exists: create
// common\config\Kelvane\Kelvane.log beside Kelvane.dll to switch it on.
#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/Log.h"
#include "runtime/ModuleApp.h"

#include "host_resource.h"
#include "skin/CommonDlg.h"

#include <cstdio>
#include <cwchar>

namespace {

// Skinned windows paint with GDI+ but never start it: the host does, before
// the first window, and shuts it down after the last one is gone.
class CGdiplusSession {
public:
    CGdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        m_bStarted = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~CGdiplusSession() {
        if (m_bStarted)
            Gdiplus::GdiplusShutdown(m_token);
    }
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;
    bool Started() const { return m_bStarted; }

private:
    ULONG_PTR m_token = 0;
    bool m_bStarted = false;
};

// The demo page of the default skin, closed by a timer when asked to.
class CHostDlg : public CKvCommonDlg {
public:
    explicit CHostDlg(UINT nSeconds) : CKvCommonDlg(IDD_HOST, nullptr), m_nSeconds(nSeconds) {}

protected:
    BOOL OnInitDialog() override {
        CKvCommonDlg::OnInitDialog();
        InitDialogSkin(GetConfigDirectory() + L"Kelvane.xml", L"CommonWindow\\DemoPage", L"",
                       L"default");
        if (m_nSeconds > 0)
            SetTimer(kCloseTimer, m_nSeconds * 1000, nullptr);
        return TRUE;
    }
    // "Close" and "Show message" carry the page's own IDs, which no role of
    // the toolkit covers: what they do is the host's to say.
    BOOL OnItemCommand(_XmlDynamicItem& item) override {
        if (item.strID.CompareNoCase(L"BTN_EXIT") == 0) {
            EndDialog(IDOK);
            return TRUE;
        }
        if (item.strID.CompareNoCase(L"BTN_MESSAGE") == 0) {
            // The texts are entries of the skin; DlgNotice.dll beside Kelvane.dll shows them.
            ShowMessageBox(L"MessageText", L"MessageCaption", MB_OK | MB_ICONINFORMATION, TRUE,
                           L"");
            return TRUE;
        }
        return CKvCommonDlg::OnItemCommand(item);
    }
    afx_msg void OnTimer(UINT_PTR nIDEvent) {
        if (nIDEvent == kCloseTimer) {
            KillTimer(kCloseTimer);
            EndDialog(IDOK);
        }
    }
    DECLARE_MESSAGE_MAP()

private:
    static constexpr UINT_PTR kCloseTimer = 1;
    UINT m_nSeconds;
};

BEGIN_MESSAGE_MAP(CHostDlg, CKvCommonDlg)
ON_WM_TIMER()
END_MESSAGE_MAP()

// "--seconds N" with N from 0 to 3600; anything else is a usage error.
bool ParseSeconds(int argc, wchar_t** argv, UINT& nSeconds) {
    nSeconds = 0;
    if (argc == 1)
        return true;
    if (argc != 3 || wcscmp(argv[1], L"--seconds") != 0)
        return false;
    wchar_t* end = nullptr;
    unsigned long value = wcstoul(argv[2], &end, 10);
    if (end == argv[2] || *end != L'\0' || value > 3600)
        return false;
    nSeconds = static_cast<UINT>(value);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    UINT nSeconds = 0;
    if (!ParseSeconds(argc, argv, nSeconds)) {
        fwprintf(stderr, L"usage: kelvane_host [--seconds N]\n");
        return 64;
    }
    CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        fwprintf(stderr, L"kelvane_host: GDI+ did not start\n");
        return 3;
    }

    const CString strConfig = GetConfigDirectory();
    wprintf(L"configuration: %ls\n", strConfig.GetString());
    InitLog(L"Host", GetLogFilePath());
    WriteLog(L"Host started, configuration in %s", strConfig.GetString());

    CHostDlg dlg(nSeconds);
    INT_PTR result = dlg.DoModal();
    // Calls into the module point the log back at its own tag.
    InitLog(L"Host", GetLogFilePath());
    WriteLog(L"Dialog ended with %d", static_cast<int>(result));
    if (result == -1) {
        fwprintf(stderr, L"kelvane_host: the dialog could not be created\n");
        return 1;
    }
    return 0;
}
