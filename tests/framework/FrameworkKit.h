// Helpers shared by the framework's window suites.
#pragma once

#include <afxwin.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

// Window objects alive now: a test asks whether one was deleted without touching it.
inline std::set<const void*> g_live;
inline int g_nPostNcDestroy = 0;

// Counts PostNcDestroy and, when asked, deletes itself there as self-owned windows do.
template <class TBase> class CLive : public TBase {
public:
    CLive() { g_live.insert(this); }
    ~CLive() override { g_live.erase(this); }
    bool m_bDeleteAtEnd = false;

protected:
    void PostNcDestroy() override {
        ++g_nPostNcDestroy;
        if (m_bDeleteAtEnd)
            delete this;
    }
};

// A dialog template in memory with an OK button; a class name makes the
// dialog manager look for that window class.
inline std::vector<WORD> MakeDialogTemplate(LPCWSTR lpszClass = nullptr) {
    std::vector<WORD> t;
    auto dword = [&t](DWORD v) { t.insert(t.end(), {LOWORD(v), HIWORD(v)}); };
    auto text = [&t](LPCWSTR s) {
        for (; *s != 0; ++s)
            t.push_back(*s);
        t.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME);
    dword(0);
    t.insert(t.end(), {1, 0, 0, 120, 60, 0}); // one item, position and size, no menu
    if (lpszClass != nullptr)
        text(lpszClass);
    else
        t.push_back(0);
    text(L"In memory");
    t.push_back(8);
    text(L"MS Shell Dlg");
    if (t.size() % 2 != 0) // items start on a DWORD boundary
        t.push_back(0);
    dword(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON);
    dword(0);
    t.insert(t.end(), {10, 35, 50, 14, IDOK, 0xFFFF, 0x0080}); // a button
    text(L"OK");
    t.push_back(0);
    return t;
}

inline LPCDLGTEMPLATEW AsTemplate(const std::vector<WORD>& t) {
    return reinterpret_cast<LPCDLGTEMPLATEW>(t.data());
}
