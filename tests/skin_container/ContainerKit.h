// The container as a host runs it, for the container suites: a container and
// a page that record how they end, a skin below the module's configuration
// directory, and a driver thread that acts on the running container as a
// user or another process would while DoModal runs on the test's thread.
#pragma once

#include "skin/ContainerDlg.h"

#include "companions/HubExchange/HubExchange.h"
#include "tests/skin_dialog/DialogKit.h"
#include "tools/common/Process.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ContainerKit {

// Page templates of the suites' pages.rc.
const UINT kPlainPage = 401;
const UINT kBrokenPage = 402; // a control of an unknown class

// Posted to a probe container: counted, so that a thread knows what it
// posted before has been handled.
const UINT WM_PROBE_PING = WM_APP + 10;
// Posted to a probe container: ends it with wParam as the result.
const UINT WM_PROBE_END = WM_APP + 11;
// What RunModal ends a container with that its script left open.
const INT_PTR kLeftOpen = 42;

// A page that records its deletion, and where it first showed.
class CProbePage : public CContainerPage {
public:
    CProbePage(UINT nTemplate, bool* pDeleted) : CContainerPage(nTemplate), m_pDeleted(pDeleted) {}
    ~CProbePage() override { *m_pDeleted = true; }

    // When the page first became visible: whether its container was, and
    // the page's offset from it.
    bool m_bShown = false;
    bool m_bContainerVisibleAtShow = false;
    POINT m_ptOffsetAtShow = {};

protected:
    afx_msg void OnWindowPosChanged(WINDOWPOS* pPos);
    DECLARE_MESSAGE_MAP()

private:
    bool* m_pDeleted;
};

class CProbeContainer : public CContainerDlg {
public:
    // Each is read by the driver thread while the container runs.
    std::atomic<HWND> m_hSelf{nullptr};
    std::atomic<HWND> m_hPage{nullptr};
    std::atomic<int> m_nPings{0};
    std::vector<UINT> m_commands; // IDs of the WM_COMMAND messages that reached it
    // At WM_NCDESTROY, while the window still exists: whether the page's
    // window did, and whether the centre still held the subscription.
    bool m_bPageWindowAtEnd = true;
    bool m_bSubscribedAtEnd = true;

    using CContainerDlg::m_pChildPage;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg LRESULT OnPing(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnProbeEnd(WPARAM wParam, LPARAM lParam);
    afx_msg void OnNcDestroy();
    DECLARE_MESSAGE_MAP()
};

// An export of HubExchange.dll beside this program, which then stays loaded
// (the centre pins itself anyway); null without it.
template <class F> F HubExport(const char* pszName) {
    static const HMODULE hHub =
        ::LoadLibraryW(KvProcess::BesideProgram(L"HubExchange.dll").c_str());
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(hHub, pszName)));
}

// The notification centre's subscriptions; empty when they cannot be read.
std::vector<HXSubscription> Subscriptions();

// A skin folder below the module's configuration directory, removed
// afterwards; its images go to its "default" folder, as the container reads
// them with that skin name.
class CSkinFolder : public ImageKit::TempFolder {
public:
    CSkinFolder();
    // Writes the skin as the container's section; returns the name that
    // SetSkinFileName takes, relative to the configuration directory.
    CString Write(const wchar_t* pszFile, const DialogKit::Skin& skin);
};

// What the driver thread does to the running container.
class CDriver {
public:
    explicit CDriver(CProbeContainer& dlg) : m_dlg(dlg) {}
    HWND Container() const { return m_dlg.m_hSelf; }
    HWND Page() const { return m_dlg.m_hPage; }

    // Waits until everything posted to the container so far was handled and
    // what that painted is on the screen, or until the container has gone.
    void Settle();
    void Post(UINT nMessage, WPARAM wParam = 0, LPARAM lParam = 0);
    // A press and release at a client point of the container, posted.
    void Click(POINT client);
    // Moves the container's top-left corner to a screen point, as a program would.
    void MoveTo(POINT screen);
    // A real drag: the pointer pressed at a client point of the container,
    // moved by delta in steps and released, through the system's input;
    // whileHeld runs before the release.
    void Drag(POINT client, POINT delta, const std::function<void()>& whileHeld = nullptr);
    // A real click at a client point of the container, through the system's input.
    void RealClick(POINT client);
    // Alt+F4 through the system's input, to whichever window is active.
    void PressAltF4();
    RECT ContainerRect() const { return WindowRect(Container()); }
    RECT PageRect() const { return WindowRect(Page()); }
    // The page's top-left corner from the container's.
    POINT PageOffset() const;

private:
    // Waits until everything posted to the container so far was handled.
    void Ping();
    static RECT WindowRect(HWND hWnd);

    CProbeContainer& m_dlg;
};

// DoModal on this thread while script acts from a driver thread. A
// container the script leaves open is ended with kLeftOpen.
INT_PTR RunModal(CProbeContainer& dlg, const std::function<void(CDriver&)>& script);

} // namespace ContainerKit
