#include "tests/common/WindowKit.h"
#include "tools/common/Input.h"

namespace WindowKit {

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Repaint(HWND hWnd) {
    ::UpdateWindow(hWnd);
    PumpMessages();
}

BOOL CHostWindow::CreateHost(int nWidth, int nHeight) {
    LPCTSTR className = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(WS_EX_TOPMOST, className, L"controls host", WS_POPUP, kLeft, kTop, nWidth,
                  nHeight, nullptr, nullptr))
        return FALSE;
    // Shown without activation: under Wine with no window manager, hiding an
    // active window waits two seconds for the X server's focus events.
    ShowWindow(SW_SHOWNOACTIVATE);
    Repaint(m_hWnd);
    return TRUE;
}

BOOL CHostWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    m_commands.push_back(wParam);
    return CWnd::OnCommand(wParam, lParam);
}

void Click(HWND hWnd, POINT ptDown, POINT ptUp) {
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptDown.x, ptDown.y));
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(ptUp.x, ptUp.y));
    PumpMessages();
}

void MoveMouse(HWND hWnd, POINT pt) {
    KvInput::CursorTo(hWnd, pt);
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
}

} // namespace WindowKit
