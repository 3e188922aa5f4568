// The base of every skinned dialog: a dialog that reads one skin section and
// takes its font, title, icon, size and background from the window entries,
// optionally shows itself as a layered window with per-pixel alpha, and makes
// one child control per dynamic item (labels and bitmap buttons).
#pragma once

#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/Canvas.h"
#include "skin/Accessible.h"
#include "skin/DialogLayout.h"
#include "skin/DialogModel.h"
#include "skin/XMLParseBase.h"

#include <memory>
#include <vector>

class CKvBmpButton;

class KELVANE_API CKvCommonDlg : public CDialog, public CKvXMLParseBase, protected IKvAccessSource {
    DECLARE_DYNAMIC(CKvCommonDlg)

public:
    CKvCommonDlg(UINT nIDTemplate, CWnd* pParent);
    virtual ~CKvCommonDlg();

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    // Builds the background image and applies the layered style.
    virtual BOOL InitWindowSkin();
    // Called after each item's control was made; the result is not used.
    virtual BOOL OnItemCreated(_XmlDynamicItem& item);
    // Called first when an item sends a command: FALSE means handled, the
    // item's role is then not applied.
    virtual BOOL OnItemCommand(_XmlDynamicItem& item);
    // Draws the whole window surface; used for layered pictures.
    virtual BOOL DrawSheet(CDC* pDC);

    // Loads the description, makes the tooltip when the skin asks for one,
    // then the window attributes and the item controls. Call after the window
    // exists; a second call reloads and makes controls only for new items.
    void InitDialogSkin(CString strSkinFile, CString strSection, CString strSection2,
                        CString strSkinName);
    void CreateSkinItems();
    void ApplyWindowAttributes();
    void CreateDialogFont();
    // Hands the dialog font to pWnd and to each of its direct children.
    void ApplyDialogFont(CWnd* pWnd);
    void GetItemFontInfo(const _XmlDynamicItem& item, ItemFontInfo& info);
    void CreateLabelItem(_XmlDynamicItem& item, UINT nID);
    void CreateButtonItem(_XmlDynamicItem& item, UINT nID);

    // Shows DrawSheet's picture with per-pixel alpha and the given constant
    // opacity. The picture is kept: an update that UpdateLayeredPart asked
    // for composes and pushes only the parts InvalidateSheet marked; any
    // other composes it whole. FALSE while minimised (the picture is then
    // shown on restore), when the sheet cannot be made, or when the system
    // refuses the update.
    BOOL UpdateLayered(int nAlphaPercent);
    void PaintSheet(CDC* pDC);
    // A bottom-up 32-bit section of cx x cy; FALSE (and null) for a size that
    // does not fit one section or when the system cannot make it.
    static BOOL CreateBitmap32(HBITMAP* phBitmap, int cx, int cy);
    // A new opaque sheet of the button-face colour, or null when it cannot be made.
    static void CreateSolidBackground(Gdiplus::Bitmap*& pImage, int cx, int cy);

    // The suite's message box. With bFromSkin, text and caption name window
    // entries. -1 when the companion library or its export is missing.
    int ShowMessageBox(CString strText, CString strCaption, UINT nType, BOOL bFromSkin,
                       CString strLibraryDir);

    // The window that Tab past this dialog's last stop (Shift+Tab past its
    // first) hands the keyboard focus to, and that hands it back: the
    // container and its page. Null for none: Tab then goes round as usual.
    void SetKeyboardNeighbour(HWND hNeighbour) { m_hKeyNeighbour = hNeighbour; }

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnItemObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnQueryUIState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnChangeUIState(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnArriveFocus(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    // Loads the description and reads its model at the window's DPI, every
    // length scaled once from the skin's own: the first step of
    // InitDialogSkin and InitWndLessSkin.
    void LoadScaledSkin(const CString& strSkinFile, const CString& strSection,
                        const CString& strSection2, const CString& strSkinName);
    // Scales what hooks added to the description since the load.
    void AdoptAddedLengths();
    // Shows the loaded skin at nDpi: the model read again, fonts, images and
    // the layered picture made anew, the controls moved. The window keeps
    // its rectangle: WM_DPICHANGED gave it the system's already.
    virtual void ApplyDpi(int nDpi);

    // Keyboard cues (focus frames, mnemonic underlines) show once the
    // keyboard is used in this dialog, not before. The dialog keeps that
    // itself and tells its controls: Wine neither keeps nor passes it on.
    bool KeyboardCuesShown() const { return m_bKeyboardCues; }
    void ShowKeyboardCues();
    // Called once the cues are shown, for what the dialog draws itself.
    virtual void OnKeyboardCuesShown();
    // A key for this dialog or one of its controls, before the dialog
    // manager sees it; TRUE takes it. Here the system's conventions for the
    // skinned buttons: arrows select within a radio group, Enter presses the
    // focused push button.
    virtual BOOL HandleDialogKey(const MSG& msg);
    // The neighbour when it can take the keyboard focus now, else null.
    HWND KeyboardNeighbour() const;
    // Hands the keyboard focus to the neighbour: to its first stop, or with
    // bBack to its last. FALSE when there is none.
    BOOL PassFocus(bool bBack);
    // The focus comes from the neighbour by Tab (bBack: Shift+Tab): the
    // dialog becomes the active window and puts it on its first (last) stop,
    // its keyboard cues shown.
    virtual void ArriveFocus(bool bBack);

    // What screen readers read: the items that are children of the dialog's
    // accessible object, in item order. Here the items with a control; the
    // windowless dialog answers for its drawn items.
    virtual bool IsAccessibleItem(const _XmlDynamicItem& item) const;
    int ItemOfChild(int nChild) const;
    int ChildOfItem(int nIndex) const;
    int AccessChildCount() override;
    bool DescribeChild(int nChild, KvAccessItem& item) override;
    int AccessChildAt(POINT ptScreen) override;
    int AccessChildOfWindow(HWND hWnd) override;
    int AccessFocusChild() override;
    bool RunChild(int nChild) override;
    bool FocusChild(int nChild) override;

    // Called by SetBackImage with the new background in place, before the
    // old one is deleted: whatever was derived from the old one must go.
    virtual void OnBackImageReplaced();

    // The window's values, read once per load (InitDialogSkin, InitWndLessSkin)
    // and again on a change of DPI.
    KvWindowModel m_window;
    // The 96-DPI lengths of the description's items and position records.
    KvSkinLengths m_skinLengths;
    // Replace only through SetBackImage, which keeps the controls' view of it current.
    Gdiplus::Bitmap* m_pBackImage; // owned
    HICON m_hIcon;                 // owned
    CFont m_font;
    int m_nAlpha; // percent, for the windowless dialog's redraws
    CToolTipCtrl m_toolTip;

    // Takes ownership of pImage, deletes the previous background and hands
    // the new one to every control that paints the dialog's background.
    void SetBackImage(Gdiplus::Bitmap* pImage);
    // Marks a part of the sheet (client coordinates) whose look changed.
    void InvalidateSheet(const RECT& rc);
    // UpdateLayered for the marked parts alone, when the kept picture allows:
    // it shows the window, its size, background and opacity as they are.
    BOOL UpdateLayeredPart(int nAlphaPercent);
    // The picture the last layered update composed (empty before the first).
    const CKvCanvas& LayeredPicture() const { return m_picture; }
    SIZE GetSheetSize();
    // What a click on an item with this role does: cancel, OK, yes, no, minimise.
    void ApplyItemRole(ItemRole role);
    // Makes, keeps or ends the tooltip as the window's values ask; a new
    // one gets dwStyle. TRUE when the tooltip was made by this call.
    BOOL SetUpToolTip(DWORD dwStyle);

private:
    void ApplyIcon();
    void ApplySheetSize();
    void AddItemTool(CWnd* pControl, const CString& strToolTip);
    // The child controls drawn onto a layered picture, bottom first, each
    // as it paints itself: a layered window shows nothing else of them. Those
    // outside pDC's clip region are left out.
    void ComposeControls(CDC* pDC);
    // The visible child controls that show something inside hDC's clip,
    // bottom first.
    std::vector<HWND> ControlsToCompose(HDC hDC);
    afx_msg LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    // The background as the sheet shows it, premultiplied: the image at its
    // own size, the button face where it does not reach.
    CKvCanvas* SheetBackground();
    // Whether the next update may compose and push only the marked parts.
    bool CanUpdatePart(SIZE sheet, int nAlphaPercent) const;
    bool ComposeWhole(SIZE sheet);
    void ComposeMarkedParts();
    BOOL PushPicture(const RECT* prcDirty, int nAlphaPercent);
    // A control drew a new look: its part of the layered picture is shown again.
    void ControlChanged(HWND hControl);
    // A layered picture shown again after a control changed its look.
    void RefreshLayered();
    afx_msg LRESULT OnRefreshLayered(WPARAM wParam, LPARAM lParam);
    // The accessible objects handed out for this window, made when first asked for.
    CKvAccessObjects& AccessObjects();
    // The skinned button with the keyboard focus among this dialog's
    // controls, or null.
    CKvBmpButton* FocusedButton() const;
    BOOL MoveInRadioGroup(UINT nKey);
    // Whether Tab (bBack: Shift+Tab) from the focus would go round to the
    // other end of this dialog's stops.
    bool TabLeavesDialog(bool bBack) const;

    // What the buttons read through their pointer slot: always m_pBackImage.
    Gdiplus::Image* m_pControlBackImage;
    bool m_bBackFromFile;  // m_pBackImage is the "BackBmp" file's picture
    int m_nShownAlpha;     // the opacity of the last layered update asked for
    bool m_bLayeredStale;  // an update was skipped while minimised
    bool m_bComposing;     // controls are being drawn onto the layered picture
    bool m_bRefreshPosted; // a refresh of the layered picture is on its way

    CKvCanvas m_backSheet;           // SheetBackground's picture; dropped with the background
    CKvCanvas m_picture;             // what the last layered update composed
    bool m_bPictureShown = false;    // m_picture is what the window shows
    int m_nPushedAlpha = 100;        // the opacity m_picture was pushed with
    std::vector<RECT> m_dirty;       // parts marked since, disjoint
    bool m_bPartAsked = false;       // the update running was asked for the marked parts
    std::vector<HWND> m_childOrder;  // the children, bottom first, as last asked for
    bool m_bChildOrderKnown = false; // no child came or went since
    bool m_bKeyboardCues = false;
    HWND m_hKeyNeighbour = nullptr;
    bool m_bKeepWindowRect = false; // a change of DPI set the window's rectangle
    // Disconnected and dropped when the window ends: a dialog object may run again.
    std::unique_ptr<CKvAccessObjects> m_pAccess;
};
