#include "tools/kvskin/ShowWatch.h"

#include "skin/BmpButton.h"
#include "skin/ControlLayout.h"
#include "skin/DialogModel.h"
#include "tools/common/SkinLint.h"
#include "tools/common/SkinPaths.h"
#include "tools/common/Utf8.h"
#include "tools/kvskin/Commands.h"
#include "tools/kvskin/ItemRequests.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// How often the files are looked at. A change is taken once the files stay
// as they are for one more look, so that a save in several writes, or a
// rename that briefly leaves no file, is read whole.
constexpr UINT kPollMs = 200;
constexpr UINT_PTR kPollTimer = 0x4B57;
// The modal loop's result for a poll; any other ends the preview.
constexpr int kPollResult = 0x4B57;
// The findings shown in the band; standard error has them all.
constexpr size_t kBandLines = 8;

void Report(const std::string& text) {
    fwrite(text.data(), 1, text.size(), stderr);
    fflush(stderr);
}

CString FromUtf8(const std::string& text) {
    const int nLength =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    CString wide;
    if (nLength > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                              wide.GetBuffer(nLength), nLength);
    wide.ReleaseBuffer(nLength > 0 ? nLength : 0);
    return wide;
}

} // namespace

bool FileStamp::operator==(const FileStamp& other) const {
    return bExists == other.bExists && nSize == other.nSize &&
           ::CompareFileTime(&written, &other.written) == 0;
}

FileStamp StampOf(const CString& strPath) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(strPath, GetFileExInfoStandard, &data))
        return stamp;
    stamp.bExists = true;
    stamp.written = data.ftLastWriteTime;
    stamp.nSize = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return stamp;
}

namespace {

// The skin file and the files its section shows, with the stamps they had
// when last taken, and when last looked at.
class CWatchedFiles {
public:
    // Those files whose stamp was taken before they were read keep it, so
    // that a save while they were read is a change; the others are taken now.
    void Watch(std::vector<CString> files, const std::map<CString, FileStamp>& takenBefore) {
        m_files = std::move(files);
        m_taken.clear();
        for (const CString& file : m_files) {
            const auto before = takenBefore.find(file);
            m_taken.push_back(before == takenBefore.end() ? StampOf(file) : before->second);
        }
        m_lastSeen = m_taken;
    }
    std::map<CString, FileStamp> Taken() const {
        std::map<CString, FileStamp> taken;
        for (size_t i = 0; i < m_files.size(); ++i)
            taken[m_files[i]] = m_taken[i];
        return taken;
    }
    // True once the files differ from when they were taken and have stayed
    // as they are since the last look.
    bool ChangeSettled() {
        const std::vector<FileStamp> now = Stamps();
        const bool bSettled = now == m_lastSeen;
        m_lastSeen = now;
        return bSettled && !(now == m_taken);
    }
    // The files as they are now count as taken (read, or found broken).
    void Take() { m_taken = m_lastSeen; }

private:
    std::vector<FileStamp> Stamps() const {
        std::vector<FileStamp> stamps;
        for (const CString& file : m_files)
            stamps.push_back(StampOf(file));
        return stamps;
    }

    std::vector<CString> m_files;
    std::vector<FileStamp> m_taken, m_lastSeen;
};

// The skin file and every image, icon and cursor file the dialog's section names.
std::vector<CString> FilesShownBy(CKvXMLParseBase& dlg, const CString& strSkinFile) {
    const KvWindowModel window = ReadWindowModel(dlg);
    std::vector<CString> files = {strSkinFile, window.strBackPath, window.strIconPath};
    for (const _XmlDynamicItem& item : dlg.m_arrDynamicItems)
        files.insert(files.end(), {item.strBkImg, item.strIcon, item.strCursor});
    std::vector<CString> named;
    for (const CString& file : files)
        if (!file.IsEmpty())
            named.push_back(file);
    return named;
}

// A plain band along the preview, owned by it, with the findings that keep
// the last good picture on the screen.
class CFindingsBand : public CWnd {
public:
    void Show(CWnd& owner, const std::vector<std::string>& lines) {
        m_strText = L"The last good picture stays until these errors are fixed:\n";
        for (size_t i = 0; i < lines.size() && i < kBandLines; ++i)
            m_strText += FromUtf8(lines[i]) + L"\n";
        if (lines.size() > kBandLines) {
            CString more;
            more.Format(L"... and %d more on standard error",
                        static_cast<int>(lines.size() - kBandLines));
            m_strText += more;
        }
        if (m_hWnd && ::GetWindow(m_hWnd, GW_OWNER) != owner.m_hWnd)
            DestroyWindow();
        // The family the default skin's text is in, which a fresh prefix has.
        if (!m_font.GetSafeHandle())
            m_font.CreateFont(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH, L"DejaVu Sans");
        if (!m_hWnd &&
            !CreateEx(WS_EX_NOACTIVATE, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)),
                      L"kvskin: skin errors", kStyle, 0, 0, 1, 1, owner.m_hWnd, nullptr))
            return;
        FollowOwner();
        Invalidate();
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    void Hide() {
        if (m_hWnd)
            DestroyWindow();
    }
    // Right under the owner, as wide as it and as high as its text; above it
    // when the work area has no room below. (Laid over the owner, it showed
    // black where the two overlap under Wine with a window manager.)
    void FollowOwner() {
        HWND hOwner = m_hWnd ? ::GetWindow(m_hWnd, GW_OWNER) : nullptr;
        RECT rcOwner;
        if (!hOwner || !::GetWindowRect(hOwner, &rcOwner))
            return;
        const int nWidth = rcOwner.right - rcOwner.left;
        const int nHeight = TextHeight(nWidth - 2 * kPadding) + 2 * kPadding;
        RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
        const bool bBelow = rcOwner.bottom + nHeight <= rcWork.bottom || rcOwner.top - nHeight < 0;
        const int nTop = bBelow ? rcOwner.bottom : rcOwner.top - nHeight;
        SetWindowPos(nullptr, rcOwner.left, nTop, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        RECT rc;
        GetClientRect(&rc);
        ::SetBkColor(dc.m_hDC, RGB(0x8B, 0x1A, 0x1A));
        ::ExtTextOutW(dc.m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
        ::SetTextColor(dc.m_hDC, RGB(0xFF, 0xFF, 0xFF));
        HGDIOBJ hOld = ::SelectObject(dc.m_hDC, m_font.GetSafeHandle());
        ::SetBkMode(dc.m_hDC, TRANSPARENT);
        ::InflateRect(&rc, -kPadding, -kPadding);
        ::DrawTextW(dc.m_hDC, m_strText, -1, &rc, DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc.m_hDC, hOld);
    }
    DECLARE_MESSAGE_MAP()

private:
    int TextHeight(int nWidth) {
        CClientDC dc(this);
        HGDIOBJ hOld = ::SelectObject(dc.m_hDC, m_font.GetSafeHandle());
        RECT rcText = {0, 0, nWidth, 0};
        ::DrawTextW(dc.m_hDC, m_strText, -1, &rcText, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc.m_hDC, hOld);
        return rcText.bottom;
    }

    static constexpr int kPadding = 6;
    // A system menu makes Wine hand the band to the window manager, which
    // keeps an owned window above its owner (an unmanaged one stays below a
    // managed owner's frame); disabled, it takes neither focus nor clicks.
    static constexpr DWORD kStyle = WS_POPUP | WS_SYSMENU | WS_DISABLED;
    CString m_strText;
    CFont m_font;
};

BEGIN_MESSAGE_MAP(CFindingsBand, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

// What the user did to the preview that a new dialog keeps: its place, its
// activation, the checks made, and the item held pressed (by ID).
struct PreviewState {
    POINT ptWindow = {0, 0};
    bool bActive = false;
    std::vector<CString> checkedIDs;
    CString strPressedID;
};

CKvBmpButton* ButtonOf(_XmlDynamicItem& item) {
    return DYNAMIC_DOWNCAST(CKvBmpButton, item.pControl.get<CWnd>());
}

PreviewState StateOf(CKvCommonDlg& dlg) {
    PreviewState state;
    CRect rc;
    dlg.GetWindowRect(&rc);
    state.ptWindow = rc.TopLeft();
    state.bActive = ::GetForegroundWindow() == dlg.m_hWnd;
    for (_XmlDynamicItem& item : dlg.m_arrDynamicItems) {
        const CWndLessItem* pDrawn = item.pControl.get<CWndLessItem>();
        CKvBmpButton* pButton = pDrawn ? nullptr : ButtonOf(item);
        if ((pDrawn && pDrawn->GetState() == KvWndLess::kStatePressed) ||
            (pButton && (pButton->SendMessage(BM_GETSTATE) & BST_PUSHED)))
            state.strPressedID = item.strID;
        if (pButton && pButton->SendMessage(BM_GETCHECK) == BST_CHECKED)
            state.checkedIDs.push_back(item.strID);
    }
    return state;
}

// The window under the cursor, when it is the dialog or one of its controls,
// and the cursor in its client coordinates.
HWND UnderCursor(CKvCommonDlg& dlg, POINT& ptClient) {
    ::GetCursorPos(&ptClient);
    HWND hWnd = ::WindowFromPoint(ptClient);
    if (hWnd != dlg.m_hWnd && ::GetParent(hWnd) != dlg.m_hWnd)
        return nullptr;
    ::ScreenToClient(hWnd, &ptClient);
    return hWnd;
}

// The new dialog where the old one was, checked as it was, shown as it was.
void PlaceAndShow(CKvCommonDlg& dlg, const PreviewState& state) {
    for (_XmlDynamicItem& item : dlg.m_arrDynamicItems) {
        CKvBmpButton* pButton = ButtonOf(item);
        if (!pButton || pButton->GetButtonKind() == KvLayout::kKindPush)
            continue;
        for (const CString& id : state.checkedIDs)
            if (item.strID.CompareNoCase(id) == 0) // as IDs compare
                pButton->SendMessage(BM_SETCHECK, BST_CHECKED);
    }
    dlg.SetWindowPos(nullptr, state.ptWindow.x, state.ptWindow.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dlg.ShowWindow(state.bActive ? SW_SHOW : SW_SHOWNOACTIVATE);
}

// The pointer's hover found again by a move where the cursor is, and a held
// press by a press there when the item under it is the one that was pressed.
void ReplayPointer(CKvCommonDlg& dlg, const PreviewState& state) {
    POINT pt;
    HWND hUnder = UnderCursor(dlg, pt);
    if (!hUnder)
        return;
    ::PostMessageW(hUnder, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    const int nPressed = FindItemByID(dlg.m_arrDynamicItems, state.strPressedID);
    if (state.strPressedID.IsEmpty() || nPressed < 0)
        return;
    _XmlDynamicItem& item = dlg.m_arrDynamicItems[static_cast<size_t>(nPressed)];
    CWnd* pControl = item.pControl.get<CWnd>();
    const bool bUnder = item.pControl.get<CWndLessItem>()
                            ? static_cast<CKvCommonWndLessDlg&>(dlg).HitTestItem(pt) == nPressed
                            : pControl && pControl->m_hWnd == hUnder;
    if (bUnder)
        ::PostMessageW(hUnder, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
}

void CALLBACK EndLoopToPoll(HWND hWnd, UINT, UINT_PTR, DWORD) {
    if (CWnd* pWnd = CWnd::FromHandlePermanent(hWnd))
        pWnd->EndModalLoop(kPollResult);
}

// The preview as it runs: the dialog shown, the files it came from, the band.
class CWatchSession {
public:
    CWatchSession(std::unique_ptr<CKvCommonDlg> dlg, const WatchRequest& request)
        : m_dlg(std::move(dlg)), m_request(request) {
        m_files.Watch(FilesShownBy(*m_dlg, request.skin.strSkinFile),
                      {{request.skin.strSkinFile, request.skinBeforeLoad}});
    }
    ~CWatchSession() { m_band.Hide(); }

    int Run() {
        ShowProblems(Problems());
        for (;;) {
            ::SetTimer(m_dlg->m_hWnd, kPollTimer, kPollMs, EndLoopToPoll);
            const int nResult = m_dlg->RunModalLoop(0);
            // Ended by the user: closed (EndDialog hides it) or destroyed.
            if (nResult != kPollResult || !m_dlg->m_hWnd || !m_dlg->IsWindowVisible())
                return kExitOk;
            m_band.FollowOwner();
            if (m_files.ChangeSettled())
                Reload();
        }
    }

private:
    // Why the file as it is now cannot replace the picture: it cannot be
    // read, or lint finds errors in the sections shown. Every finding goes to
    // standard error; the errors come back, as lint prints them.
    std::vector<std::string> Problems() {
        const CString& strGiven = m_request.strGivenSkinFile;
        const std::string unreadable = SkinFileUnreadable(m_request.skin.strSkinFile);
        if (!unreadable.empty()) {
            const std::string line =
                "kvskin: cannot read skin file " + ToUtf8(strGiven) + ": " + unreadable;
            Report(line + "\n");
            return {line};
        }
        LintRequest lint;
        lint.strSkinFile = m_request.skin.strSkinFile;
        lint.strSkinName = m_request.skin.strSkinName;
        lint.sections = {m_request.skin.strSection};
        if (!m_request.skin.strSection2.IsEmpty())
            lint.sections.push_back(m_request.skin.strSection2);
        std::vector<std::string> errors;
        for (const LintDiagnostic& diagnostic : LintSkinFile(lint)) {
            const std::string line = FormatDiagnostic(strGiven, diagnostic);
            Report(line + "\n");
            if (diagnostic.severity == LintSeverity::Error)
                errors.push_back(line);
        }
        return errors;
    }

    void ShowProblems(const std::vector<std::string>& problems) {
        if (problems.empty())
            m_band.Hide();
        else
            m_band.Show(*m_dlg, problems);
    }

    void Reload() {
        m_files.Take();
        const std::string strGiven = ToUtf8(m_request.strGivenSkinFile);
        std::vector<std::string> problems = Problems();
        if (!problems.empty()) {
            Report("kvskin: " + strGiven +
                   " has errors: the last good picture stays until they are fixed\n");
            ShowProblems(problems);
            return;
        }
        const std::map<CString, FileStamp> takenBefore = StampsBeforeLoad();
        ::SetLastError(0);
        std::unique_ptr<CKvCommonDlg> fresh = CreatePreviewDialog(m_request.skin);
        if (!fresh) {
            const std::string line = "kvskin: the dialog cannot be created (" +
                                     WindowFailureText(::GetLastError()) + ")";
            Report(line + "\n");
            ShowProblems({line});
            return;
        }
        m_band.Hide();
        const PreviewState state = StateOf(*m_dlg);
        PlaceAndShow(*fresh, state);
        m_dlg = std::move(fresh); // the old dialog goes, uncovering the new one
        ReplayPointer(*m_dlg, state);
        m_files.Watch(FilesShownBy(*m_dlg, m_request.skin.strSkinFile), takenBefore);
        Report("kvskin: " + strGiven + " reloaded\n");
    }

    // The stamps of the files the new skin names, taken before the dialog
    // reads them: stamped after, an image saved while the dialog loads or
    // before the session looks again would never be shown.
    std::map<CString, FileStamp> StampsBeforeLoad() {
        std::map<CString, FileStamp> taken = m_files.Taken();
        CKvXMLParseBase reader;
        const PreviewSkin& skin = m_request.skin;
        reader.LoadSkin(skin.strSkinFile, skin.strSection, skin.strSection2, skin.strSkinName);
        for (const CString& file : FilesShownBy(reader, skin.strSkinFile))
            taken.emplace(file, StampOf(file));
        return taken;
    }

    std::unique_ptr<CKvCommonDlg> m_dlg;
    WatchRequest m_request;
    CWatchedFiles m_files;
    CFindingsBand m_band;
};

} // namespace

int WatchPreview(std::unique_ptr<CKvCommonDlg> dlg, const WatchRequest& request) {
    CWatchSession session(std::move(dlg), request);
    return session.Run();
}
