// Skinned dialogs for tests and benches: skin files written from entries and
// items, icon and cursor files, a bitmap to paint into, a dialog that records
// what reaches it, and message pumping that offers each message to the dialog
// first, as the modal loop does.
#pragma once

#include "skin/CommonDlg.h"
#include "skin/CommonWndLessDlg.h"

#include "tests/common/ImageKit.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace DialogKit {

using Attributes = std::vector<std::pair<std::wstring, std::wstring>>;

// "Name=Value|Name=Value" as attributes.
Attributes Parse(const std::wstring& spec);
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

// A one-image .ico (or .cur with its hot spot at 0, 0) of size x size pixels.
bool SaveIconFile(const std::wstring& path, int size, Gdiplus::ARGB colour, bool bCursor);

// A top-down 32-bit section selected into a memory DC.
class CDibCanvas {
public:
    CDibCanvas(int nWidth, int nHeight);
    ~CDibCanvas();
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;
    CDC* DC() { return &m_dc; }
    DWORD Pixel(int x, int y) const;

private:
    int m_nWidth;
    DWORD* m_pPixels = nullptr;
    HBITMAP m_hBitmap;
    CDC m_dc;
    HGDIOBJ m_hOld;
};

// Offers each queued message to pDlg's PreTranslateMessage, then dispatches
// it, for at least nMilliseconds.
void Pump(CWnd* pDlg, DWORD nMilliseconds = 0);

// Posted to a probe: ends it with wParam as the result.
const UINT WM_PROBE_END = WM_APP + 1;
// A command ID that is no item's; the probe's map takes it.
const UINT kProbeCommandID = 600;

class CProbeDlg : public CKvCommonDlg {
public:
    explicit CProbeDlg(UINT nTemplate = 301, CWnd* pParent = nullptr)
        : CKvCommonDlg(nTemplate, pParent) {}

    void LoadTestSkin(const std::wstring& path) {
        InitDialogSkin(path.c_str(), L"Test\\Dlg", L"", L".");
    }

    using CKvCommonDlg::m_font;
    using CKvCommonDlg::m_hIcon;
    using CKvCommonDlg::m_pBackImage;
    using CKvCommonDlg::m_toolTip;

    std::function<void(CProbeDlg&)> m_onInit;          // runs in OnInitDialog
    std::function<void(CProbeDlg&)> m_afterWindowSkin; // runs after InitWindowSkin
    BOOL m_bItemCommandResult = TRUE;
    std::vector<CString> m_itemCommands;  // IDs of the items that sent commands
    std::vector<LPARAM> m_captionPresses; // WM_NCLBUTTONDOWN with HTCAPTION
    int m_nProbeCommands = 0;

protected:
    BOOL OnInitDialog() override;
    BOOL OnItemCommand(_XmlDynamicItem& item) override;
    BOOL InitWindowSkin() override;
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg LRESULT OnProbeEnd(WPARAM wParam, LPARAM lParam);
    afx_msg void OnProbeCommand();
    DECLARE_MESSAGE_MAP()
};

// A windowless dialog that records the commands and caption presses that
// reach it and counts the pictures it composes.
class CWndLessProbeDlg : public CKvCommonWndLessDlg {
public:
    explicit CWndLessProbeDlg(UINT nTemplate = 301, CWnd* pParent = nullptr)
        : CKvCommonWndLessDlg(nTemplate, pParent) {}

    BOOL LoadTestSkin(const std::wstring& path) {
        return InitWndLessSkin(path.c_str(), L"Test\\Dlg", L"", L".");
    }
    BOOL DrawSheet(CDC* pDC) override;

    using CKvCommonWndLessDlg::m_bLButtonDown;
    using CKvCommonWndLessDlg::m_bTracking;
    using CKvCommonWndLessDlg::m_nHotItem;
    using CKvCommonWndLessDlg::m_pBackImage;
    using CKvCommonWndLessDlg::m_toolTip;
    using CKvCommonWndLessDlg::WndLessItem;

    std::function<void(CWndLessProbeDlg&)> m_onInit; // runs in OnInitDialog
    BOOL m_bApplyRoles = TRUE;                       // the items' roles act after recording
    std::vector<CString> m_itemCommands;             // IDs of the items whose commands ran
    std::vector<LPARAM> m_captionPresses;            // WM_NCLBUTTONDOWN with HTCAPTION
    int m_nCompositions = 0;                         // DrawSheet calls

protected:
    BOOL OnInitDialog() override;
    BOOL OnItemCommand(_XmlDynamicItem& item) override;
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg LRESULT OnProbeEnd(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

} // namespace DialogKit
