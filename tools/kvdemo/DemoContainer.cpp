#include "tools/kvdemo/DemoContainer.h"

namespace {

const UINT_PTR kTickTimer = 1;

} // namespace

BEGIN_MESSAGE_MAP(CDemoContainer, CContainerDlg)
ON_WM_TIMER()
END_MESSAGE_MAP()

CDemoContainer::CDemoContainer(const CString& strSkinFile) {
    SetSkinFileName(strSkinFile);
    SetPageFactory([strSkinFile] { return new CDemoPage(strSkinFile); });
}

void CDemoContainer::SetTicker(std::function<void()> tick, UINT nMilliseconds) {
    m_tick = std::move(tick);
    m_nTickMilliseconds = nMilliseconds;
}

BOOL CDemoContainer::OnInitDialog() {
    CContainerDlg::OnInitDialog();
    // After the skin gave the size; the move carries the page along.
    CenterWindow();
    if (m_tick)
        SetTimer(kTickTimer, m_nTickMilliseconds, nullptr);
    return TRUE;
}

void CDemoContainer::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kTickTimer && m_tick)
        m_tick();
}

CDemoPage* CDemoContainer::Page() const {
    // Every page this container makes is one: its factory is fixed above.
    return static_cast<CDemoPage*>(m_pChildPage.get());
}

int CDemoContainer::ItemIndex(LPCWSTR pszID) const {
    for (size_t i = 0; i < m_arrDynamicItems.size(); ++i)
        if (m_arrDynamicItems[i].strID.CompareNoCase(pszID) == 0 &&
            WndLessItem(static_cast<int>(i)))
            return static_cast<int>(i);
    return -1;
}

int CDemoContainer::ItemState(LPCWSTR pszID) const {
    const CWndLessItem* pItem = WndLessItem(ItemIndex(pszID));
    return pItem ? pItem->GetState() : -1;
}

RECT CDemoContainer::ItemRect(LPCWSTR pszID) const {
    const int nIndex = ItemIndex(pszID);
    return nIndex < 0 ? RECT{} : m_arrDynamicItems[static_cast<size_t>(nIndex)].rcPos;
}

// The model's values, not the skin's entries: those are 96-DPI pixels, and the
// container places its page and takes presses at its window's DPI.
POINT CDemoContainer::ChildPos() const {
    return m_window.ptChildPos;
}

int CDemoContainer::CaptionHeight() const {
    return m_window.nCaptionHeight;
}
