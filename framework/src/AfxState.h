// Per-thread data of the framework, shared by every module of the process.
#pragma once

#include <afxwin.h>

#include <map>
#include <unordered_map>
#include <utility>

class CGdiObject;

struct AfxThreadState {
    AFX_MODULE_STATE* pModuleState = nullptr; // null: the executable's
    MSG lastSentMsg{};                        // what Default() passes on
    CWnd* pWndInit = nullptr;                 // window object waiting for its HWND
    HHOOK hHookCbt = nullptr;
    std::unordered_map<HWND, CWnd*> permanentWnds;
    std::unordered_map<HWND, CWnd*> temporaryWnds;
    std::unordered_map<HDC, CDC*> temporaryDCs;
    // One temporary per handle and wrapper class, so a font handle gives a CFont.
    std::map<std::pair<HGDIOBJ, const CRuntimeClass*>, CGdiObject*> temporaryGdiObjects;
    int nTempMapLock = 0;
};

// Attaches the thread's waiting window object to the window being created.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);

// This thread's state, made on first use.
AfxThreadState* AfxGetThreadState();
// Deletes the temporary objects of this thread's maps.
void AfxDeleteTemporaryObjects(AfxThreadState* pState);

struct AFX_CLASS_REGISTRATION {
    wchar_t szName[80];
    HINSTANCE hInstance;
    AFX_CLASS_REGISTRATION* pNext;
};
