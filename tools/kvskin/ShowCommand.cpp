// kvskin show: a real skinned dialog built from a section and shown, driven
// by real mouse messages, captured from the screen or described as JSON.
#include "tools/common/Input.h"
#include "tools/common/PngFile.h"
#include "tools/common/WindowCapture.h"
#include "tools/kvskin/Commands.h"
#include "tools/common/GdiplusSession.h"
#include "tools/kvskin/ItemRequests.h"
#include "tools/kvskin/PreviewDialog.h"
#include "tools/kvskin/ShowWatch.h"
#include "tools/kvskin/ShownDialogJson.h"
#include "tools/kvskin/SkinJson.h"
#include "tools/common/SkinPaths.h"

#include <memory>

namespace {

// Long enough for what showing, a cursor move or a posted mouse message sets
// off under Wine (the X server's own pointer motion, paints, layered updates)
// to come back through the message loop.
constexpr UINT kSettleMs = 150;
constexpr UINT_PTR kSettleTimer = 0x4B56;

struct ShowRequest {
    PreviewSkin skin;
    CString strHoverID;
    CString strPressID;
    CString strScreenshot;
    bool bJson;
    bool bWatch;
    CString strGivenSkinFile; // as the user wrote it

    // Without an output to make, the dialog stays until it is closed.
    bool Interactive() const { return strScreenshot.IsEmpty() && !bJson; }
};

// The top-left corner that centres a window of size in the work area, kept
// inside it when the window is larger.
POINT CentredOrigin(const RECT& rcWork, SIZE size) {
    const LONG x = rcWork.left + (rcWork.right - rcWork.left - size.cx) / 2;
    const LONG y = rcWork.top + (rcWork.bottom - rcWork.top - size.cy) / 2;
    return POINT{x > rcWork.left ? x : rcWork.left, y > rcWork.top ? y : rcWork.top};
}

void PlaceCentred(CWnd& dlg) {
    RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    CRect rcWindow;
    dlg.GetWindowRect(&rcWindow);
    const POINT origin = CentredOrigin(rcWork, SIZE{rcWindow.Width(), rcWindow.Height()});
    dlg.SetWindowPos(nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CALLBACK EndLoopOnTimer(HWND hWnd, UINT, UINT_PTR nID, DWORD) {
    ::KillTimer(hWnd, nID);
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd))
        pWnd->EndModalLoop(IDOK);
}

// Runs the framework's message loop for the dialog for a while, as a host's
// loop would, so that every message it gets is handled before the next step.
void Settle(CWnd& dlg) {
    if (!::SetTimer(dlg.m_hWnd, kSettleTimer, kSettleMs, EndLoopOnTimer))
        return;
    dlg.RunModalLoop(0);
    ::KillTimer(dlg.m_hWnd, kSettleTimer);
}

// Where the mouse goes for an item, in the client coordinates of the window
// that gets the messages.
struct MouseTarget {
    HWND hWnd;
    POINT pt;
};

// The centre of rc, or else the first point of rc (row by row) that hits.
template <class Hits> std::optional<POINT> PointHitting(const RECT& rc, Hits hits) {
    const POINT centre = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    if (rc.right > rc.left && rc.bottom > rc.top && hits(centre))
        return centre;
    for (LONG y = rc.top; y < rc.bottom; ++y)
        for (LONG x = rc.left; x < rc.right; ++x)
            if (hits(POINT{x, y}))
                return POINT{x, y};
    return std::nullopt;
}

// A windowless item takes the mouse at a point of the window where it is the
// first item hit; a base dialog's item is its control.
std::optional<MouseTarget> ItemTarget(CKvCommonDlg& dlg, bool bWindowless, int nIndex,
                                      std::string& strError) {
    _XmlDynamicItem& item = dlg.m_arrDynamicItems[static_cast<size_t>(nIndex)];
    const std::string strName = "kvskin: item \"" + ToUtf8(item.strID) + "\"";
    if (!bWindowless) {
        CWnd* pControl = item.pControl.get<CWnd>();
        if (!pControl || !pControl->m_hWnd) {
            strError = strName + " has no control (ControlType " +
                       std::to_string(item.nControlType) + ")\n";
            return std::nullopt;
        }
        CRect rc;
        pControl->GetClientRect(&rc);
        return MouseTarget{pControl->m_hWnd, rc.CenterPoint()};
    }
    if (!item.pControl.get<CWndLessItem>()) {
        strError = strName + " is not drawn by the windowless dialog (ControlType " +
                   std::to_string(item.nControlType) + ", not 2)\n";
        return std::nullopt;
    }
    auto& wndLess = static_cast<CKvCommonWndLessDlg&>(dlg);
    CRect rcClient, rcReach;
    dlg.GetClientRect(&rcClient);
    rcReach.IntersectRect(&rcClient, &item.rcPos);
    std::optional<POINT> pt =
        PointHitting(rcReach, [&](POINT p) { return wndLess.HitTestItem(p) == nIndex; });
    if (!pt) {
        strError = strName + " has no point in the window where the mouse reaches it\n";
        return std::nullopt;
    }
    return MouseTarget{dlg.m_hWnd, *pt};
}

// A move, then a press when asked, where a user's mouse would make them.
void PostMouse(const MouseTarget& target, bool bPress) {
    KvInput::PostMove(target.hWnd, target.pt);
    if (bPress)
        KvInput::PostPress(target.hWnd, target.pt);
}

// A move, or a move and a press, at its target.
struct MouseStep {
    MouseTarget target;
    bool bPress;
};

// The steps --hover and --press ask for, in this order; false (and the
// reason in strError) when an ID names no item the mouse can reach.
bool ResolveMouseSteps(CKvCommonDlg& dlg, const ShowRequest& request, std::vector<MouseStep>& steps,
                       std::string& strError) {
    const std::pair<CString, bool> asked[] = {{request.strHoverID, false},
                                              {request.strPressID, true}};
    for (const auto& [strID, bPress] : asked) {
        if (strID.IsEmpty())
            continue;
        const int nIndex = FindItemByID(dlg.m_arrDynamicItems, strID);
        if (nIndex < 0) {
            strError = NoSuchItemMessage(strID, request.skin.strSection);
            return false;
        }
        std::optional<MouseTarget> target =
            ItemTarget(dlg, request.skin.bWindowless, nIndex, strError);
        if (!target)
            return false;
        steps.push_back({*target, bPress});
    }
    return true;
}

// False (and the reason in strErr) when no PNG was written. A capture that
// lost the layered window's alpha is written, with a warning.
bool SaveScreenshot(CWnd& dlg, const CString& strPath, std::string& strErr) {
    const WindowCapture::CaptureResult capture = WindowCapture::CaptureWindows(dlg.m_hWnd);
    if (!capture.Ok()) {
        strErr += "kvskin: cannot capture the window: " + ToUtf8(capture.strError.c_str()) + "\n";
        return false;
    }
    if (!capture.bAlphaKept)
        strErr += "kvskin: warning: the display had blended the layered window; captured opaque\n";
    const CString strFull = ToFullWindowsPath(strPath);
    if (!PngFile::Save(capture.image, strFull.GetString())) {
        strErr += "kvskin: cannot write " + ToUtf8(strFull) + "\n";
        return false;
    }
    return true;
}

int ShowDialog(const ShowRequest& request, ToolOutput& output) {
    const FileStamp skinBeforeLoad = StampOf(request.skin.strSkinFile);
    ::SetLastError(0);
    std::unique_ptr<CKvCommonDlg> dlg = CreatePreviewDialog(request.skin);
    if (!dlg) {
        output.strErr =
            "kvskin: the dialog cannot be created (" + WindowFailureText(::GetLastError()) + ")\n";
        return kExitNotDone;
    }
    std::vector<MouseStep> steps;
    if (!ResolveMouseSteps(*dlg, request, steps, output.strErr))
        return kExitNotDone;
    PlaceCentred(*dlg);
    // Only a user's window takes the activation (see CPreviewDialog).
    dlg->ShowWindow(request.Interactive() ? SW_SHOW : SW_SHOWNOACTIVATE);
    dlg->UpdateWindow();
    Settle(*dlg);
    for (const MouseStep& step : steps) {
        PostMouse(step.target, step.bPress);
        Settle(*dlg);
    }
    if (!request.strScreenshot.IsEmpty() &&
        !SaveScreenshot(*dlg, request.strScreenshot, output.strErr))
        return kExitNotDone;
    if (request.bJson)
        output.strOut = DescribeShownDialog(*dlg).dump(
                            2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                        "\n";
    if (request.Interactive() && request.bWatch)
        return WatchPreview(std::move(dlg),
                            {request.skin, request.strGivenSkinFile, skinBeforeLoad});
    if (request.Interactive())
        dlg->RunModalLoop(0); // until EndDialog (Escape, the close items) or destruction
    return kExitOk;
}

} // namespace

const KvSkinCommand kShowCommand = {
    L"show",
    "usage: kvskin show SKINFILE SECTION [--section2 SECTION] [--skin-name NAME]\n"
    "                   [--windowless] [--caption] [--hover ID] [--press ID]\n"
    "                   [--screenshot OUT.png] [--json] [--watch]\n"
    "  Shows SECTION as a real skinned dialog (CKvCommonDlg, or CKvCommonWndLessDlg\n"
    "  with --windowless; --caption adds a caption bar). --hover and --press put\n"
    "  the mouse on the item ID (any case) and move, then press. --screenshot saves\n"
    "  what the screen shows of the window as PNG, alpha kept; --json prints the\n"
    "  window, its controls and its drawn items. Either makes it exit once the\n"
    "  window has settled; otherwise it stays until the window is closed: Escape,\n"
    "  or an item with a closing role (CLOSE, IDOK, IDCANCEL, IDYES, IDNO) or the ID\n"
    "  BTN_CLOSE or BTN_EXIT. --watch reloads the dialog, in its place, whenever\n"
    "  SKINFILE or an image it shows changes; a file that does not load or lints\n"
    "  with errors keeps the last good picture and shows the errors in a band along\n"
    "  it (and on standard error) until the next good save.\n",
    {{L"--section2", L"--skin-name", L"--hover", L"--press", L"--screenshot"},
     {L"--windowless", L"--caption", L"--json", L"--watch"},
     2,
     2},
    RunShow,
};

int RunShow(const CParsedCommand& command, ToolOutput& output) {
    if (command.positional[0].IsEmpty())
        return kExitUsage;
    ShowRequest request;
    request.skin.strSkinFile = ToFullWindowsPath(command.positional[0]);
    request.skin.strSection = command.positional[1];
    request.skin.strSection2 = command.Option(L"--section2");
    request.skin.strSkinName = command.Option(L"--skin-name", L"default");
    request.skin.bWindowless = command.Flag(L"--windowless");
    request.skin.bCaption = command.Flag(L"--caption");
    request.strHoverID = command.Option(L"--hover");
    request.strPressID = command.Option(L"--press");
    request.strScreenshot = command.Option(L"--screenshot");
    request.bJson = command.Flag(L"--json");
    request.bWatch = command.Flag(L"--watch");
    request.strGivenSkinFile = command.positional[0];
    if (request.bWatch && !request.Interactive()) {
        output.strErr = "kvskin: --watch keeps the preview open; it takes no --screenshot or "
                        "--json\n";
        return kExitUsage;
    }
    const std::string problem = SkinFileUnloadable(command.positional[0], request.skin.strSkinFile);
    if (!problem.empty()) {
        output.strErr = "kvskin: " + problem;
        return kExitLoadFailed;
    }
    CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        output.strErr = "kvskin: GDI+ cannot be started\n";
        return kExitNotDone;
    }
    return ShowDialog(request, output);
}
