// A skinned dialog whose push-button items are no child windows: it draws
// them itself, with the background, into one layered picture, tracks hover,
// press and release over them, shows each item's cursor and tooltip text, and
// turns a release over an item into that item's command.
#pragma once

#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/CommonDlg.h"
#include "skin/WndLessItem.h"
#include "skin/WndLessKeyboard.h"
#include "skin/WndLessLayout.h"
#include "skin/WndLessSheet.h"

#include <memory>

class KELVANE_API CKvCommonWndLessDlg : public CKvCommonDlg {
public:
    CKvCommonWndLessDlg(UINT nIDTemplate, CWnd* pParent);
    virtual ~CKvCommonWndLessDlg();

    // Loads the description, builds the items and shows the first full
    // picture; the result is that update's. Call after the window exists; a
    // second call reloads and rebuilds the items, keeping the tooltip.
    BOOL InitWndLessSkin(CString strSkinFile, CString strSection, CString strSection2,
                         CString strSkinName);
    void CreateWndLessItems();
    void CreateWndLessItem(_XmlDynamicItem& item);
    // The first item, in array order, with a drawn item whose "Pos" holds pt.
    int HitTestItem(POINT pt);
    // Background stretched to the sheet, then every item on a transparent layer.
    BOOL DrawItems(Gdiplus::Graphics& graphics);

    BOOL OnItemCommand(_XmlDynamicItem& item) override;
    BOOL DrawSheet(CDC* pDC) override;
    BOOL InitWindowSkin() override;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg LRESULT OnRunItem(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

    void OnBackImageReplaced() override;
    // The drawn items built again at nDpi; the keyboard's focus stays on its item.
    void ApplyDpi(int nDpi) override;

    // The keyboard among the drawn items (skin/WndLessKeyboard.h): Tab and
    // Shift+Tab move a focus among them, on to the keyboard neighbour past
    // either end; Space and Enter run the focused one, the arrows move within
    // its group. Until the first Tab, Enter and Escape keep their dialog
    // meaning. The focused item is framed in the picture once the keyboard
    // was used, while the window has the focus.
    BOOL HandleDialogKey(const MSG& msg) override;
    void OnKeyboardCuesShown() override;
    void ArriveFocus(bool bBack) override;
    // The drawn item with the keyboard focus, -1 for none.
    int FocusItem() const { return m_keys.nFocusItem; }

    // Screen readers read the drawn items: push buttons named by their text
    // as drawn, else by their tooltip.
    bool IsAccessibleItem(const _XmlDynamicItem& item) const override;
    bool DescribeChild(int nChild, KvAccessItem& item) override;
    int AccessFocusChild() override;
    bool RunChild(int nChild) override;
    bool FocusChild(int nChild) override;

    // The drawn item of item nIndex, or null.
    CWndLessItem* WndLessItem(int nIndex) const;

    BOOL m_bLButtonDown; // a press on an item holds the capture
    BOOL m_bTracking;    // a mouse-leave notification is pending
    int m_nHotItem;      // the item under the pointer, -1 for none

private:
    KvWndLess::MouseState CurrentMouseState() const;
    // Runs the mouse message through the state machine and applies the step;
    // the step is returned for what only the handler can do.
    KvWndLess::MouseStep RunMouseStep(KvWndLess::MouseEvent event, int nHit,
                                      bool bInCaptionBand = false);
    void ApplyTipAction(KvWndLess::TipAction action, int nHit);
    // Each item whose state changed is announced to screen readers.
    void AnnounceItemStates(const std::vector<int>& before, const std::vector<int>& after);
    void DeleteWndLessItems();
    std::vector<KvWndLess::KeyItem> KeyItems() const;
    // Runs a key through the keyboard's state machine and applies the step.
    KvWndLess::KeyStep RunKeyStep(const KvWndLess::KeyInput& input);
    // The item that a frame marks in the picture now, -1 for none.
    int FramedItem() const;
    bool m_bSheetPress = false; // the button went down on the empty sheet
    KvWndLess::KeyState m_keys;
    CWndLessSheet m_sheet;
};
