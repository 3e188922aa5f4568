// What screen readers and UI Automation clients reach of a skinned dialog
// through WM_GETOBJECT: an IAccessible whose children are the dialog's items,
// drawn ones included. An item that is a window of its own also answers for
// itself, as the system's object for that window with the item's name, role,
// state and action. The objects ask the dialog (IKvAccessSource) each time,
// so they say what the dialog shows now; once the dialog has disconnected
// them they answer CO_E_OBJNOTCONNECTED and never touch it again.
#pragma once

#include <afx.h>
#include <windows.h>
#include <oleacc.h>

#include <vector>

// An item as a screen reader reads it at the moment of asking.
struct KvAccessItem {
    CString strName;
    CString strDescription;
    CString strShortcut;
    CString strDefaultAction;
    long nRole = 0;
    long nState = 0;
    RECT rcScreen = {0, 0, 0, 0};
    HWND hWnd = nullptr; // the item's own window; null for an item the dialog draws
};

// What a dialog tells its accessible objects. Children are numbered from 1
// in item order; 0 is the dialog itself.
class IKvAccessSource {
public:
    virtual int AccessChildCount() = 0;
    // False when there is no such child.
    virtual bool DescribeChild(int nChild, KvAccessItem& item) = 0;
    // The child at a screen point, 0 for none.
    virtual int AccessChildAt(POINT ptScreen) = 0;
    // The child whose own window hWnd is, 0 for none.
    virtual int AccessChildOfWindow(HWND hWnd) = 0;
    // The child with the keyboard focus, 0 for none.
    virtual int AccessFocusChild() = 0;
    // Runs the child as a click on it does, after the caller's call has
    // returned (a command may open a modal window); false when it cannot act.
    virtual bool RunChild(int nChild) = 0;
    // Gives the child the keyboard focus; false when it takes none.
    virtual bool FocusChild(int nChild) = 0;

protected:
    ~IKvAccessSource() = default;
};

// The accessible objects one dialog has handed out: the dialog's own and one
// per item window, each made when first asked for and held until the
// dialog disconnects them all.
class CKvAccessObjects {
public:
    explicit CKvAccessObjects(IKvAccessSource& source) : m_source(source) {}
    ~CKvAccessObjects();
    CKvAccessObjects(const CKvAccessObjects&) = delete;
    CKvAccessObjects& operator=(const CKvAccessObjects&) = delete;

    // The object of hWnd, the dialog's window or an item's (bItemWindow),
    // with a reference for the caller; null once disconnected.
    IAccessible* Object(HWND hWnd, bool bItemWindow);
    // What WM_GETOBJECT answers for OBJID_CLIENT of hWnd; 0 lets the system
    // answer (also when COM is not running on this thread).
    LRESULT Answer(HWND hWnd, bool bItemWindow, WPARAM wParam);
    // Every object answers CO_E_OBJNOTCONNECTED from now on; none is made again.
    void Disconnect();

    IKvAccessSource& Source() { return m_source; }

private:
    IKvAccessSource& m_source;
    std::vector<IAccessible*> m_objects; // one reference each
    bool m_bDisconnected = false;
};

// Sent by an item's window to its parent for its WM_GETOBJECT: wParam the
// item's window, lParam the request's wParam. A skinned dialog answers as
// CKvAccessObjects::Answer does; any other parent gives 0.
UINT KvItemObjectMessage();
// The WM_GETOBJECT answer of an item window: its skinned dialog's, or 0 for
// the system's.
LRESULT KvAnswerItemGetObject(HWND hItem, WPARAM wParam, LPARAM lParam);
