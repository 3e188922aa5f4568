// Per-thread data of the framework, shared by every module of the process.
#pragma once

#include <afxwin.h>

#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

class CGdiObject;
struct AfxMessageFrame;
class AfxCreateWindowScope;

// One temporary wrapper made by FromHandle, in the order they were made, so
// that a message or a modal loop can release exactly what it made.
struct AfxTempRecord {
    enum Kind { Wnd, DC, GdiObject } kind;
    void* handle;
    const CRuntimeClass* pClass; // the wrapper class of a GDI object
};

struct AfxThreadState {
    AFX_MODULE_STATE* pModuleState = nullptr;  // null: the executable's
    MSG lastSentMsg{};                         // what Default() passes on
    AfxMessageFrame* pTopFrame = nullptr;      // innermost framework message being handled
    AfxCreateWindowScope* pCreating = nullptr; // innermost creation waiting for its HWND
    HHOOK hHookCbt = nullptr;
    int nHookUsers = 0;
    std::unordered_map<HWND, CWnd*> permanentWnds;
    std::unordered_map<HWND, CWnd*> temporaryWnds;
    std::unordered_map<HDC, CDC*> temporaryDCs;
    // One temporary per handle and wrapper class, so a font handle gives a CFont.
    std::map<std::pair<HGDIOBJ, const CRuntimeClass*>, CGdiObject*> temporaryGdiObjects;
    std::vector<AfxTempRecord> tempLog;
    int nTempMapLock = 0;
};

// This thread's state, made on first use.
AfxThreadState* AfxGetThreadState();

// Temporary wrappers: made once per handle, released newest first.
CWnd* AfxTemporaryWnd(AfxThreadState* pState, HWND hWnd);
CDC* AfxTemporaryDC(AfxThreadState* pState, HDC hDC);
CGdiObject* AfxTemporaryGdiObject(AfxThreadState* pState, HGDIOBJ hObject,
                                  const CRuntimeClass* pClass, CGdiObject* (*pfnNew)());
// Releases the temporaries made after the log held nMark entries, unless the maps are locked.
void AfxReleaseTemporariesSince(AfxThreadState* pState, size_t nMark);
// Releases every temporary of the thread, locked or not.
void AfxDeleteTemporaryObjects(AfxThreadState* pState);

// Attaches the innermost waiting window object to the window being created.
LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);

// Arms the creation hook for one window object: the next window made on this
// thread (input-method windows aside) is attached to it and subclassed before
// its first message. Scopes nest, so a window may make others while it is
// being made. A scope that ends with its object still without a window runs
// the object's PostNcDestroy, as the end of a window would have.
class AfxCreateWindowScope {
public:
    explicit AfxCreateWindowScope(CWnd* pWnd);
    ~AfxCreateWindowScope();
    AfxCreateWindowScope(const AfxCreateWindowScope&) = delete;
    AfxCreateWindowScope& operator=(const AfxCreateWindowScope&) = delete;

    CWnd* const m_pWnd;
    bool m_bAttached = false;

private:
    AfxThreadState* m_pState;
    AfxCreateWindowScope* m_pOuter;
};

struct AFX_CLASS_REGISTRATION {
    wchar_t szName[80];
    HINSTANCE hInstance;
    AFX_CLASS_REGISTRATION* pNext;
};
