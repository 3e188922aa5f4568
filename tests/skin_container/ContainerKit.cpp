#include "ContainerKit.h"

#include "runtime/ModuleApp.h"
#include "tools/common/Input.h"

#include <thread>

namespace ContainerKit {

using WindowKit::WaitFor;

// ---------------------------------------------------------------------------
// Probes

BEGIN_MESSAGE_MAP(CProbePage, CContainerPage)
ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

void CProbePage::OnWindowPosChanged(WINDOWPOS* pPos) {
    CContainerPage::OnWindowPosChanged(pPos);
    if (m_bShown || !(pPos->flags & SWP_SHOWWINDOW))
        return;
    m_bShown = true;
    const HWND hContainer = GetContainer();
    m_bContainerVisibleAtShow = ::IsWindowVisible(hContainer) != FALSE;
    RECT container = {}, page = {};
    ::GetWindowRect(hContainer, &container);
    GetWindowRect(&page);
    m_ptOffsetAtShow = {page.left - container.left, page.top - container.top};
}

BEGIN_MESSAGE_MAP(CProbeContainer, CContainerDlg)
ON_MESSAGE(WM_PROBE_PING, OnPing)
ON_MESSAGE(WM_PROBE_END, OnProbeEnd)
ON_WM_NCDESTROY()
END_MESSAGE_MAP()

BOOL CProbeContainer::OnInitDialog() {
    const BOOL bResult = CContainerDlg::OnInitDialog();
    m_hPage = m_pChildPage ? m_pChildPage->m_hWnd : nullptr;
    m_hSelf = m_hWnd;
    return bResult;
}

BOOL CProbeContainer::OnCommand(WPARAM wParam, LPARAM lParam) {
    m_commands.push_back(LOWORD(wParam));
    return CContainerDlg::OnCommand(wParam, lParam);
}

LRESULT CProbeContainer::OnPing(WPARAM, LPARAM) {
    ++m_nPings;
    return 0;
}

LRESULT CProbeContainer::OnProbeEnd(WPARAM wParam, LPARAM) {
    EndDialog(static_cast<int>(wParam));
    return 0;
}

void CProbeContainer::OnNcDestroy() {
    m_bPageWindowAtEnd = m_hPage && ::IsWindow(m_hPage);
    m_bSubscribedAtEnd = false;
    for (const HXSubscription& entry : Subscriptions())
        m_bSubscribedAtEnd |= entry.hWnd == m_hWnd;
    CContainerDlg::OnNcDestroy();
}

// ---------------------------------------------------------------------------
// The centre, processes, skins

std::vector<HXSubscription> Subscriptions() {
    const auto list = HubExport<decltype(&HXListNotify)>("HXListNotify");
    std::vector<HXSubscription> entries(HX_CAPACITY);
    const int nCount = list ? list(entries.data(), HX_CAPACITY) : 0;
    entries.resize(static_cast<size_t>(nCount < 0 ? 0 : nCount));
    return entries;
}

CSkinFolder::CSkinFolder() : TempFolder(L"kvcontainer", GetConfigDirectory().GetString()) {
    Subfolder(L"default");
}

CString CSkinFolder::Write(const wchar_t* pszFile, const DialogKit::Skin& skin) {
    DialogKit::WriteSkin(*this, pszFile, skin, L"CommonWindow\\MainDlgInfo");
    // Relative to the configuration directory.
    return CString(File(pszFile).c_str()).Mid(GetConfigDirectory().GetLength());
}

// ---------------------------------------------------------------------------
// The driver

void CDriver::Ping() {
    const int nPings = m_dlg.m_nPings;
    if (::PostMessageW(Container(), WM_PROBE_PING, 0, 0))
        WaitFor([&] { return m_dlg.m_nPings != nPings || !::IsWindow(Container()); }, 5000);
}

void CDriver::Settle() {
    Ping();
    for (HWND hWnd : {Container(), Page()})
        if (hWnd)
            ::RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine shows a thread's paints when the thread next looks at its queue:
    // it has done so once it takes the ping after the one of the paints.
    Ping();
    Ping();
}

void CDriver::Post(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    ::PostMessageW(Container(), nMessage, wParam, lParam);
    Settle();
}

void CDriver::Click(POINT client) {
    Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    Post(WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
}

void CDriver::MoveTo(POINT screen) {
    ::SetWindowPos(Container(), nullptr, screen.x, screen.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle();
}

void CDriver::Drag(POINT client, POINT delta, const std::function<void()>& whileHeld) {
    const POINT start = KvInput::CursorTo(Container(), client);
    ::Sleep(50);
    KvInput::LeftButton(true);
    ::Sleep(200);
    const int nSteps = 5;
    for (int i = 1; i <= nSteps; ++i) {
        ::SetCursorPos(start.x + delta.x * i / nSteps, start.y + delta.y * i / nSteps);
        ::Sleep(50);
    }
    if (whileHeld) {
        ::Sleep(200);
        whileHeld();
    }
    KvInput::LeftButton(false);
    ::Sleep(200);
    Settle();
}

void CDriver::RealClick(POINT client) {
    KvInput::CursorTo(Container(), client);
    ::Sleep(50);
    KvInput::LeftButton(true);
    KvInput::LeftButton(false);
    ::Sleep(200);
    Settle();
}

void CDriver::PressAltF4() {
    KvInput::Key(VK_MENU, true);
    KvInput::Key(VK_F4, true);
    KvInput::Key(VK_F4, false);
    KvInput::Key(VK_MENU, false);
    ::Sleep(200);
}

RECT CDriver::WindowRect(HWND hWnd) {
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

POINT CDriver::PageOffset() const {
    const RECT container = ContainerRect(), page = PageRect();
    return POINT{page.left - container.left, page.top - container.top};
}

INT_PTR RunModal(CProbeContainer& dlg, const std::function<void(CDriver&)>& script) {
    std::thread driver([&] {
        CDriver d(dlg);
        // Run once the container is on the screen and idle.
        if (WaitFor([&] { return d.Container() && ::IsWindowVisible(d.Container()); }, 10000)) {
            d.Settle();
            script(d);
        }
        if (!WaitFor([&] { return !::IsWindow(d.Container()); }, 5000))
            ::PostMessageW(d.Container(), WM_PROBE_END, kLeftOpen, 0);
    });
    const INT_PTR nResult = dlg.DoModal();
    driver.join();
    return nResult;
}

} // namespace ContainerKit
