#include "tests/skin_access/AccessKit.h"

namespace AccessKit {

namespace {

// Spelled out, as the toolkit does: oleacc's import library can give a thunk.
const IID kIIDAccessible = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct Event {
    DWORD nEvent;
    HWND hWnd;
    LONG nObject, nChild;
};
std::vector<Event> g_events;

// A named function: the 32-bit callback is stdcall, which a lambda is not.
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD nEvent, HWND hWnd, LONG nObject, LONG nChild, DWORD,
                          DWORD) {
    g_events.push_back({nEvent, hWnd, nObject, nChild});
}

std::wstring Text(IAccessible* pAcc, long nChild,
                  HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR bstr = nullptr;
    std::wstring text;
    if ((pAcc->*get)(ChildId(nChild), &bstr) == S_OK && bstr)
        text = bstr;
    ::SysFreeString(bstr);
    return text;
}

long Number(IAccessible* pAcc, long nChild,
            HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
    VARIANT value;
    ::VariantInit(&value);
    return (pAcc->*get)(ChildId(nChild), &value) == S_OK && value.vt == VT_I4 ? value.lVal : -1;
}

} // namespace

CAcc FromWindow(HWND hWnd) {
    CAcc acc;
    ::AccessibleObjectFromWindow(hWnd, OBJID_CLIENT, kIIDAccessible,
                                 reinterpret_cast<void**>(acc.GetAddressOf()));
    return acc;
}

CAcc ChildObject(IAccessible* pParent, long nChild) {
    IDispatch* pDispatch = nullptr;
    CAcc acc;
    if (pParent->get_accChild(ChildId(nChild), &pDispatch) == S_OK && pDispatch) {
        pDispatch->QueryInterface(kIIDAccessible, reinterpret_cast<void**>(acc.GetAddressOf()));
        pDispatch->Release();
    }
    return acc;
}

VARIANT ChildId(long nChild) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = nChild;
    return child;
}

Reading Read(IAccessible* pAcc, long nChild) {
    Reading reading;
    reading.strName = Text(pAcc, nChild, &IAccessible::get_accName);
    reading.strDescription = Text(pAcc, nChild, &IAccessible::get_accDescription);
    reading.strShortcut = Text(pAcc, nChild, &IAccessible::get_accKeyboardShortcut);
    reading.strAction = Text(pAcc, nChild, &IAccessible::get_accDefaultAction);
    reading.nRole = Number(pAcc, nChild, &IAccessible::get_accRole);
    reading.nState = Number(pAcc, nChild, &IAccessible::get_accState);
    long x = 0, y = 0, cx = 0, cy = 0;
    if (pAcc->accLocation(&x, &y, &cx, &cy, ChildId(nChild)) == S_OK)
        reading.rcScreen = {x, y, x + cx, y + cy};
    return reading;
}

long ChildNumber(const VARIANT& child) {
    if (child.vt == VT_I4)
        return child.lVal;
    return child.vt == VT_DISPATCH ? -1 : -2;
}

CEventLog::CEventLog()
    : m_hHook(::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_NAMECHANGE, nullptr, RecordEvent,
                                ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT)) {
    g_events.clear();
}

CEventLog::~CEventLog() {
    ::UnhookWinEvent(m_hHook);
    g_events.clear();
}

int CEventLog::Count(DWORD nEvent, HWND hWnd, LONG nChild) const {
    int nCount = 0;
    for (const Event& event : g_events)
        nCount += event.nEvent == nEvent && event.hWnd == hWnd && event.nObject == OBJID_CLIENT &&
                  event.nChild == nChild;
    return nCount;
}

} // namespace AccessKit
