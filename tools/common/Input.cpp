#include "tools/common/Input.h"

namespace KvInput {

POINT CursorTo(HWND hWnd, POINT client) {
    POINT screen = client;
    ::ClientToScreen(hWnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    return screen;
}

void PostMove(HWND hWnd, POINT client) {
    CursorTo(hWnd, client);
    ::PostMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

void PostPress(HWND hWnd, POINT client) {
    CursorTo(hWnd, client);
    ::PostMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
}

void PostClick(HWND hWnd, POINT client) {
    PostPress(hWnd, client);
    ::PostMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
}

void LeftButton(bool bDown) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = bDown ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(input));
}

void Key(WORD nVirtualKey, bool bDown) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = nVirtualKey;
    input.ki.dwFlags = bDown ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace KvInput
