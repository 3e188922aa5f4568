// Input as a person gives it, shared by the tools that drive windows (kvskin
// show, kvdemo's tour) and the test kits: the cursor put where the mouse
// would be, mouse messages at a client point, and real button and key input
// through the system.
#pragma once

#include <windows.h>

namespace KvInput {

// Puts the cursor over the client point of hWnd; returns the screen point.
// Leave tracking, cursors and tooltips then see what a user's mouse makes
// them see.
POINT CursorTo(HWND hWnd, POINT client);

// The cursor over the client point, then the message posted to hWnd's queue,
// so that it goes through the message loop (and a dialog's pretranslation).
void PostMove(HWND hWnd, POINT client);
void PostPress(HWND hWnd, POINT client);
// A press and a release at the client point.
void PostClick(HWND hWnd, POINT client);

// The left button or a key going down or up, through the system's input.
void LeftButton(bool bDown);
void Key(WORD nVirtualKey, bool bDown);

} // namespace KvInput
