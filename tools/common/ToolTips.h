// What a dialog's tooltip control holds, read as a screen reader or a test
// would: the tooltip window a dialog owns and the text of one of its tools.
#pragma once

#include <afx.h>
#include <windows.h>

// The tooltip window hOwner made (a top-level window it owns), or null.
HWND OwnedToolTip(HWND hOwner);

// The text of the tool that is the whole window hTool, as hOwner registered
// it; empty without a tooltip window.
CString ToolTipText(HWND hToolTip, HWND hOwner, HWND hTool);
