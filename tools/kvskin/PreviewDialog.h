// The skinned dialog that kvskin shows a section in, and that render draws a
// base-dialog section through offscreen: a real CKvCommonDlg (or windowless
// CKvCommonWndLessDlg) made from a pop-up template in memory.
#pragma once

#include "skin/CommonWndLessDlg.h"

#include <memory>

// The request for a preview dialog: the section and the dialog class.
struct PreviewSkin {
    CString strSkinFile; // a full Windows path
    CString strSection;
    CString strSection2;
    CString strSkinName;
    bool bWindowless = false;
    bool bCaption = false;   // a caption bar and system menu
    int nScalePercent = 100; // the display scale a picture is drawn for (render)
};

// A pop-up dialog template without controls, font or title, as the dialog
// manager reads it from memory; with a caption bar and system menu when
// asked. The skin sets size, title and font once the window exists. Without
// WS_VISIBLE: the dialog is shown, or drawn offscreen, as its user decides.
struct alignas(4) PopupTemplate {
    explicit PopupTemplate(bool bCaption)
        : dlg{WS_POPUP | (bCaption ? WS_CAPTION | WS_SYSMENU : 0u), 0, 0, 0, 0, 100, 60} {}
    DLGTEMPLATE dlg;
    WORD menu = 0, windowClass = 0, title = 0;
};

// The items that end a preview besides the toolkit's roles: those the
// shipped hosts close on, the container's BTN_CLOSE and the demo page's
// "Close", BTN_EXIT (any case, as IDs compare).
bool ClosesPreview(const CString& strID);

// The skinned dialog of a preview: it leaves the focus alone when it is made
// (the dialog manager's focus would activate the window, and Wine then
// manages it as a frame window: without a window manager destroying it waits
// two seconds for the X server), and it ends as a host's would on its close
// items; Escape ends it as Cancel.
template <class Dialog> class CPreviewDialog : public Dialog {
public:
    CPreviewDialog() : Dialog(0, nullptr) {}
    BOOL OnInitDialog() override {
        Dialog::OnInitDialog();
        return FALSE;
    }
    BOOL OnItemCommand(_XmlDynamicItem& item) override {
        if (!ClosesPreview(item.strID))
            return Dialog::OnItemCommand(item);
        this->EndDialog(IDCANCEL);
        return FALSE;
    }
};

// The dialog made, not shown, with the section applied; null when the window
// cannot be made (the system's reason is then the thread's last error).
std::unique_ptr<CKvCommonDlg> CreatePreviewDialog(const PreviewSkin& skin);

// Why the last window could not be made, in the system's words: a missing
// display and a refused window read alike otherwise.
std::string WindowFailureText(DWORD nError);
