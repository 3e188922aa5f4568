// Real windows for the control tests: a framework host window on screen that
// records the commands its children send, and message pumping.
#pragma once

#include <afxwin.h>

#include <vector>

namespace WindowKit {

// Delivers every queued and posted message of this thread.
void PumpMessages();

// Polls until condition() holds, for at most nMilliseconds; whether it did.
// Other threads and processes (a window manager, a watched tool) move on
// while this one sleeps between looks.
template <class Condition> bool WaitFor(Condition condition, DWORD nMilliseconds) {
    const ULONGLONG end = ::GetTickCount64() + nMilliseconds;
    while (!condition()) {
        if (::GetTickCount64() > end)
            return false;
        ::Sleep(10);
    }
    return true;
}

// Paints whatever is invalid in hWnd now, then delivers posted messages.
void Repaint(HWND hWnd);

// A visible top-level window at a fixed place on the screen.
class CHostWindow : public CWnd {
public:
    static const int kLeft = 100;
    static const int kTop = 100;

    BOOL CreateHost(int nWidth, int nHeight);
    // WM_COMMAND wParam values received, in order.
    std::vector<WPARAM> m_commands;

protected:
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
};

// Sends a press and a release at client points of hWnd, as the mouse would.
void Click(HWND hWnd, POINT ptDown, POINT ptUp);

// Puts the cursor over the client point of hWnd and sends the mouse move.
void MoveMouse(HWND hWnd, POINT pt);

} // namespace WindowKit
