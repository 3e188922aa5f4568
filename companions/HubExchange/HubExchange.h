// The suite's notification centre: windows of any process of the session
// subscribe to a notification number, and a broadcast of that number posts
// each of them the message it asked for.
#pragma once

#include <windows.h>

// Results of HXRegComNotifyMessage and HXUnRegComNotifyMessage; the negative
// ones are also those of HXBroadcastNotify and HXListNotify.
enum HubResult {
    HX_OK = 0,           // subscribed, or unsubscribed
    HX_UNCHANGED = 1,    // already subscribed, or there was no such subscription
    HX_BAD_WINDOW = -1,  // a null handle, a window that does not exist, or another process's
    HX_TABLE_FULL = -2,  // every slot, or the calling process's share of them, holds a live
                         // subscription: nothing was replaced
    HX_UNAVAILABLE = -3, // the shared table or its lock cannot be opened
    HX_BUSY = -4,        // another process held the table's lock for 5 seconds
    HX_BAD_MESSAGE = -5, // a message below WM_USER, which the system itself gives meaning
};

// The most subscriptions the session holds at once.
#define HX_CAPACITY 255
// The most one process may hold, so that no program can crowd out the others.
#define HX_PROCESS_SHARE 64

// One subscription as HXListNotify reports it.
struct HXSubscription {
    int nNotify;
    HWND hWnd;
    UINT nMessage;
    DWORD dwProcessId; // the process that owns the window
};

#ifdef __cplusplus
extern "C" {
#endif

// Subscribes hWnd, a window of the calling process, to nNotify: every
// broadcast of nNotify posts hWnd the message nMessage, which is WM_USER or
// above. A subscription is the triple (nNotify, hWnd, nMessage); it lasts
// until it is unsubscribed, its window is destroyed, or the subscribing
// process ends, even when the caller frees this library. A process holds at
// most HX_PROCESS_SHARE subscriptions. nReserved is ignored. Returns a
// HubResult.
int __cdecl HXRegComNotifyMessage(int nNotify, HWND hWnd, UINT nMessage, int nReserved);

// Ends the subscription (nNotify, hWnd, nMessage); a live window of another
// process gives HX_BAD_WINDOW. Returns a HubResult.
int __cdecl HXUnRegComNotifyMessage(int nNotify, HWND hWnd, UINT nMessage, int nReserved);

// Posts every window subscribed to nNotify its message with wParam and
// lParam. Returns how many windows it reached, or a negative HubResult.
int __cdecl HXBroadcastNotify(int nNotify, WPARAM wParam, LPARAM lParam);

// Copies up to nCapacity subscriptions, oldest first, into pEntries (which
// may be null when nCapacity is 0). Returns how many there are, which may
// be more than were copied, or a negative HubResult.
int __cdecl HXListNotify(HXSubscription* pEntries, int nCapacity);

#ifdef __cplusplus
}
#endif
