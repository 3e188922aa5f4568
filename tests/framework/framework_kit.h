// Helpers shared by the framework's window suites.
#pragma once

#include <afxwin.h>
#include <gtest/gtest.h>

#include <functional>
#include <set>

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

// A dialog template of the program (dialogs.rc) as a caller holds it in memory:
// 201 has an OK button, 202 names a window class that does not exist.
inline LPCDLGTEMPLATEW TemplateInMemory(int nID) {
    HRSRC hInfo = ::FindResourceW(nullptr, MAKEINTRESOURCEW(nID), RT_DIALOG);
    return static_cast<LPCDLGTEMPLATEW>(::LockResource(::LoadResource(nullptr, hInfo)));
}

// Runs a function inside a message of a framework window, as a handler would,
// or when a message loop delivers the posted message (again for each repost).
class CCallWnd : public CWnd {
public:
    void Call(std::function<void()> fn) {
        Arm(std::move(fn));
        SendMessage(WM_APP);
    }
    void Post(std::function<void()> fn) {
        Arm(std::move(fn));
        PostMessage(WM_APP);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_APP)
            return CWnd::WindowProc(message, wParam, lParam);
        m_fn();
        return 0;
    }

private:
    void Arm(std::function<void()> fn) {
        if (m_hWnd == nullptr)
            CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr);
        m_fn = std::move(fn);
    }
    std::function<void()> m_fn;
};
