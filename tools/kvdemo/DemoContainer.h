// The demo's container: the default skin's frame around a CDemoPage, put in
// the middle of the screen as a host would (the module's template has no
// position), and ticking for the tour when one runs.
#pragma once

#include "skin/ContainerDlg.h"
#include "tools/kvdemo/DemoPage.h"

#include <functional>

class CDemoContainer : public CContainerDlg {
public:
    // strSkinFile is a full path; the page reads its section from it too.
    explicit CDemoContainer(const CString& strSkinFile);

    // Called every nMilliseconds while the window exists, from its timer.
    void SetTicker(std::function<void()> tick, UINT nMilliseconds);

    CDemoPage* Page() const;
    // The drawn item's state (normal 0, hot 1, pressed 2), -1 when there is none.
    int ItemState(LPCWSTR pszID) const;
    // The item's rectangle in client coordinates; empty when there is none.
    RECT ItemRect(LPCWSTR pszID) const;
    // "ChildPos" and "CaptionHeight" at the window's DPI.
    POINT ChildPos() const;
    int CaptionHeight() const;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    int ItemIndex(LPCWSTR pszID) const;

    std::function<void()> m_tick;
    UINT m_nTickMilliseconds = 0;
};
