// The container: a modal, skinned, windowless-items dialog that frames one
// page dialog supplied by its owner, keeps the page at a fixed offset while it
// moves, and closes by its "BTN_CLOSE" item, by its close message (from the
// page) or by the notification centre's broadcast; Enter and Escape do not
// close it.
#pragma once

#include <afxwin.h>

#include "runtime/KelvaneApi.h"
#include "skin/CommonWndLessDlg.h"

#include <functional>
#include <memory>

// Asks the container to close as Cancel would; the notification centre
// delivers its broadcast under this message too.
#define WM_CLOSE_CONTAINER (WM_USER + 100)

// The notification-centre number whose broadcast closes every container.
constexpr int kContainerNotify = 20;

// A page the container hosts: a dialog with a pop-up template of its own,
// placed in screen coordinates. It is skinned when it loads a skin, and looks
// like a plain dialog when it does not. The container owns it: a page must
// not delete itself (no `delete this` in PostNcDestroy).
class KELVANE_API CContainerPage : public CKvCommonDlg {
    DECLARE_DYNAMIC(CContainerPage)

public:
    explicit CContainerPage(UINT nIDTemplate, CWnd* pParent = nullptr);

    // Called by the container before the page's window exists.
    void SetContainer(HWND hContainer, UINT nCloseMessage);
    HWND GetContainer() const { return m_hContainer; }
    // Posts the close message to the container, which then closes as by
    // Cancel after this page's current message is done. FALSE when no
    // container was set or the post failed.
    BOOL RequestClose();

    // Enter and Escape in the page do nothing, as in the container: a page
    // that ended as a dialog would be hidden and leave a hole in its frame.
    // A page that wants either overrides it.
    void OnOK() override;
    void OnCancel() override;

protected:
    // The system's close (Alt+F4, the window manager's close) closes the
    // container, as its close item does.
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    HWND m_hContainer;
    UINT m_nCloseMessage;
};

class KELVANE_API CContainerDlg : public CKvCommonWndLessDlg {
    DECLARE_DYNAMIC(CContainerDlg)

public:
    // Runs modally from the module's template 28012; construct it without a
    // parent and call DoModal.
    explicit CContainerDlg(CWnd* pParent = nullptr);
    ~CContainerDlg() override;

    // Called once in OnInitDialog; the container owns what it returns. No
    // factory, or a null result, means no page.
    void SetPageFactory(std::function<CContainerPage*()> make);
    // The skin file's name below the configuration directory; "Kelvane.xml"
    // unless set. A relative path with folders is taken as it is; a full
    // path (drive or network) names the file itself.
    void SetSkinFileName(const CString& strName);

    BOOL OnInitDialog() override;
    // "BTN_CLOSE" in any case closes the container; no other ID does anything.
    BOOL OnItemCommand(_XmlDynamicItem& item) override;

    // Subscribes the window to the notification centre (bRegister) or ends
    // the subscription, through HubExchange.dll beside this module. Without
    // the library or its export nothing happens; a refused subscription (a
    // full table) is logged. Always TRUE.
    BOOL RegisterNotify(BOOL bRegister);
    // Puts the page's top-left corner at "ChildPos" from the container's
    // outer top-left corner, on top, and shows it once the container is
    // visible.
    void PositionChildPage();

protected:
    afx_msg void OnIgnoredCommand();
    afx_msg LRESULT OnCloseRequest(WPARAM wParam, LPARAM lParam);
    // WM_CLOSE (Alt+F4, SC_CLOSE) would become IDCANCEL, which the container
    // ignores: a window the system cannot close. It closes as "BTN_CLOSE".
    afx_msg void OnClose();
    afx_msg void OnMove(int x, int y);
    afx_msg void OnWindowPosChanged(WINDOWPOS* pPos);
    afx_msg void OnActivate(UINT nState, CWnd* pOther, BOOL bMinimized);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    // The skin, or the fallback look, at nDpi; the page keeps its offset.
    void ApplyDpi(int nDpi) override;

    CString m_strConfigDir;
    std::unique_ptr<CContainerPage> m_pChildPage;

private:
    void CreateChildPage();
    void RaiseChildPage();
    void EndDrag();
    // Gives a container whose skin shows nothing a look a person can see,
    // drag and close, at nDpi. szTemplate is the window's size before the skin.
    void ApplyFallbackLook(SIZE szTemplate, int nDpi);

    std::function<CContainerPage*()> m_makePage;
    CString m_strSkinFileName;
    // A caption drag: where the cursor and the window were at the press.
    bool m_bDragging = false;
    POINT m_ptDragCursor = {0, 0};
    POINT m_ptDragWindow = {0, 0};
    // The fallback look is shown, made for a template of this size.
    bool m_bFallbackLook = false;
    SIZE m_szFallbackTemplate = {0, 0};
};
