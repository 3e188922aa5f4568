// Per-thread data of the framework, shared by every module of the process.
#pragma once

#include <afxwin.h>

#include <unordered_map>

class CGdiObject;

struct AfxThreadState {
    AFX_MODULE_STATE* pModuleState = nullptr; // null: the executable's
    MSG lastSentMsg{};                        // what Default() passes on
    CWnd* pWndInit = nullptr;                 // window object waiting for its HWND
    HHOOK hHookCbt = nullptr;
    std::unordered_map<HWND, CWnd*> permanentWnds;
    std::unordered_map<HWND, CWnd*> temporaryWnds;
    std::unordered_map<HDC, CDC*> temporaryDCs;
    std::unordered_map<HGDIOBJ, CGdiObject*> temporaryGdiObjects;
    int nTempMapLock = 0;
};

// This thread's state, made on first use.
AfxThreadState* AfxGetThreadState();
// Deletes the temporary objects of this thread's maps.
void AfxDeleteTemporaryObjects(AfxThreadState* pState);

struct AFX_CLASS_REGISTRATION {
    wchar_t szName[80];
    HINSTANCE hInstance;
    AFX_CLASS_REGISTRATION* pNext;
};
