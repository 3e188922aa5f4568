// What the access suites read through the real oleacc: objects found as a
// screen reader finds them, each child as it reads it, and the events the
// dialogs announce.
#pragma once

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace AccessKit {

// One reference to an object, released with it.
using CAcc = Microsoft::WRL::ComPtr<IAccessible>;

// AccessibleObjectFromWindow(hWnd, OBJID_CLIENT); empty when it fails.
CAcc FromWindow(HWND hWnd);
// The child's own object (get_accChild); empty for an element.
CAcc ChildObject(IAccessible* pParent, long nChild);

VARIANT ChildId(long nChild);

// What a screen reader reads of one child (0: the object itself).
struct Reading {
    std::wstring strName, strDescription, strShortcut, strAction;
    long nRole = 0, nState = 0;
    RECT rcScreen = {0, 0, 0, 0};
};
Reading Read(IAccessible* pAcc, long nChild);

// A child VARIANT as a number: its id, or -1 for an object, -2 for none.
long ChildNumber(const VARIANT& child);

// Records the object events of this process while messages are pumped.
class CEventLog {
public:
    CEventLog();
    ~CEventLog();
    CEventLog(const CEventLog&) = delete;
    CEventLog& operator=(const CEventLog&) = delete;
    // How many events of this kind reached the log for hWnd and nChild.
    int Count(DWORD nEvent, HWND hWnd, LONG nChild) const;

private:
    HWINEVENTHOOK m_hHook;
};

} // namespace AccessKit
