// Skinned dialogs for tests and benches: skin files written from entries and
// items, icon and cursor files, a bitmap to paint into, a dialog that records
// what reaches it, and message pumping that offers each message to the dialog
// first, as the modal loop does.
#pragma once

#include "skin/CommonDlg.h"
#include "skin/CommonWndLessDlg.h"

#include "tests/common/ImageKit.h"
#include "tests/common/WindowKit.h"
#include "tools/common/ToolTips.h"
#include "skin/Canvas.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace DialogKit {

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// "Name=Value|Name=Value" as attributes.
Attributes Parse(const std::wstring& text);
// Replaces the attribute's value, or adds the attribute: XML allows each once.
void SetAttribute(Attributes& attributes, const wchar_t* pszName, const std::wstring& value);

// One skin section: window entries (ItemID, Data) and dynamic items.
struct Skin {
    Attributes window;
    std::vector<Attributes> items;
};

// Writes the skin as name in the folder, as the section pszSection (a path
// of element names separated by backslashes). Its images are read from the
// same folder: load it with the skin name ".". Values are written as they are.
std::wstring WriteSkin(const ImageKit::TempFolder& folder, const wchar_t* name, const Skin& skin,
                       const wchar_t* pszSection = L"Test\\Dlg");

// A sheet of many like items in rows, for reliability tests and benches.
struct Grid {
    int nItems, nColumns;
    SIZE sheet, item, pitch; // pitch: from one item's corner to the next one's
    int nMargin;             // before the first row and column
};
// Writes the grid's images (back.png the sheet's size; label.png, strip.png of
// four state frames, the item's size; icon.png, app.ico, hand.cur) and the
// skin: window entries from the "Name=Value|..." window text plus SheetSize and
// BackBmp; item i "item<i>", named "Item <i>", at its place in the grid, with
// the attributes perItem(i) adds or replaces.
std::wstring WriteGridSkin(const ImageKit::TempFolder& folder, const wchar_t* name,
                           const Grid& grid, const std::wstring& window,
                           const std::function<std::wstring(int)>& perItem);

// A canvas's pixel, once GDI has finished what it was drawing there.
inline DWORD CanvasPixel(const ::CKvCanvas& canvas, int x, int y) {
    ::GdiFlush();
    return canvas.Bits()[y * canvas.Width() + x];
}

// A DIB canvas as the dialogs draw into it: through a CDC, read by pixel.
class CSheetCanvas : public ::CKvCanvas {
public:
    CSheetCanvas(int nWidth, int nHeight) : ::CKvCanvas(nWidth, nHeight) {
        m_dc.Attach(::CKvCanvas::DC());
    }
    ~CSheetCanvas() { m_dc.Detach(); } // the base owns the DC
    CDC* DC() { return &m_dc; }
    DWORD Pixel(int x, int y) const { return CanvasPixel(*this, x, y); }

private:
    CDC m_dc;
};

// The screen's pixel at a client point of hWnd.
COLORREF ScreenPixel(HWND hWnd, POINT client);
// Whether that pixel shows colour within nMilliseconds: a busy machine's
// window manager maps, stacks and exposes windows late.
bool ScreenShows(HWND hWnd, POINT client, COLORREF colour, DWORD nMilliseconds = 2000);

// Where two pictures differ, for a failure message: "" when they hold the
// same bytes, else their sizes or the first pixel that differs.
std::string PictureDifference(const ::CKvCanvas& kept, const ::CKvCanvas& whole);

// Offers each queued message as an application's loop does, to the framework
// windows from its own up through its parents (a control, its page, the
// page's container), and to pDlg when it is none of them; then dispatches
// it. For at least nMilliseconds.
void Pump(CWnd* pDlg, DWORD nMilliseconds = 0);

// Pumps until the condition holds, for about two seconds at most; whether it did.
template <class Condition> bool PumpUntil(CWnd* pDlg, Condition condition) {
    for (int i = 0; i < 100 && !condition(); ++i)
        Pump(pDlg, 20);
    return condition();
}

// A probe made from a test template (the bare pop-up unless told) at `at`,
// its skin loaded, shown without taking the activation and pumped for
// nMilliseconds; whether it was made.
template <class TProbe>
bool CreateShownAt(TProbe& dlg, POINT at, const std::wstring& skinPath, DWORD nMilliseconds,
                   UINT nTemplate = 301, CWnd* pParent = nullptr) {
    if (!dlg.Create(nTemplate, pParent))
        return false;
    dlg.SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dlg.LoadTestSkin(skinPath);
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    Pump(&dlg, nMilliseconds);
    return true;
}

// Posted to a probe: ends it with wParam as the result.
const UINT WM_PROBE_END = WM_APP + 1;

// What both probes record: the commands of items, the caption presses and
// the pictures composed; WM_PROBE_END ends them. m_onInit runs in OnInitDialog.
template <class TDialog, class TSelf> class CProbeOf : public TDialog {
public:
    explicit CProbeOf(UINT nTemplate, CWnd* pParent) : TDialog(nTemplate, pParent) {}

    using TDialog::m_pBackImage;
    using TDialog::m_toolTip;
    using TDialog::SetBackImage;

    std::function<void(TSelf&)> m_onInit;
    std::vector<CString> m_itemCommands;  // IDs of the items that sent commands
    std::vector<LPARAM> m_captionPresses; // WM_NCLBUTTONDOWN with HTCAPTION
    int m_nCompositions = 0;              // DrawSheet calls
    int m_nPartCompositions = 0;          // of them, those limited to parts of the sheet

    BOOL DrawSheet(CDC* pDC) override {
        ++m_nCompositions;
        HRGN hClip = ::CreateRectRgn(0, 0, 0, 0);
        m_nPartCompositions += ::GetClipRgn(pDC->m_hDC, hClip) == 1;
        ::DeleteObject(hClip);
        return TDialog::DrawSheet(pDC);
    }

protected:
    // Modeless probes do not take the focus: under Wine without a window manager,
    // destroying the active window waits two seconds for the X server.
    BOOL OnInitDialog() override {
        TDialog::OnInitDialog();
        if (!m_onInit)
            return FALSE;
        m_onInit(static_cast<TSelf&>(*this));
        return TRUE;
    }
    // Caption presses are recorded, not passed on: the system's move loop
    // would wait for the mouse.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NCLBUTTONDOWN) {
            if (wParam == HTCAPTION)
                m_captionPresses.push_back(lParam);
            return 0;
        }
        if (message != WM_PROBE_END)
            return TDialog::WindowProc(message, wParam, lParam);
        this->EndDialog(static_cast<int>(wParam));
        return 0;
    }
};

class CProbeDlg : public CProbeOf<CKvCommonDlg, CProbeDlg> {
public:
    explicit CProbeDlg(UINT nTemplate = 301, CWnd* pParent = nullptr)
        : CProbeOf(nTemplate, pParent) {}

    void LoadTestSkin(const std::wstring& path) {
        InitDialogSkin(path.c_str(), L"Test\\Dlg", L"", L".");
    }

    using CKvCommonDlg::LayeredPicture;
    using CKvCommonDlg::m_font;
    using CKvCommonDlg::m_hIcon;

    std::function<void(CProbeDlg&)> m_afterWindowSkin; // runs after InitWindowSkin
    BOOL m_bItemCommandResult = TRUE;

protected:
    BOOL OnItemCommand(_XmlDynamicItem& item) override;
    BOOL InitWindowSkin() override;
};

// A windowless probe.
class CWndLessProbeDlg : public CProbeOf<CKvCommonWndLessDlg, CWndLessProbeDlg> {
public:
    explicit CWndLessProbeDlg(UINT nTemplate = 301, CWnd* pParent = nullptr)
        : CProbeOf(nTemplate, pParent) {}

    BOOL LoadTestSkin(const std::wstring& path) {
        return InitWndLessSkin(path.c_str(), L"Test\\Dlg", L"", L".");
    }

    using CKvCommonWndLessDlg::LayeredPicture;
    using CKvCommonWndLessDlg::WndLessItem;

    BOOL m_bApplyRoles = TRUE; // the items' roles act after recording

protected:
    BOOL OnItemCommand(_XmlDynamicItem& item) override;
};

} // namespace DialogKit
