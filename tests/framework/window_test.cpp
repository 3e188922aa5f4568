#include "framework_kit.h"

#include <vector>

namespace {

// A window of no framework object.
HWND CreatePlainWindow() {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr,
                           nullptr);
}

// What each handler saw after its window ended under it: whether the object
// still existed, and whether the handle map had lost the window.
std::vector<std::pair<bool, bool>> g_afterEnd;

class CProbeWnd : public CLive<CWnd> {
public:
    bool m_bFailCreate = false;
    bool m_bKeepNcDestroy = false; // its WM_NCDESTROY handler skips the base class
    bool m_bCreateSawWindow = false;
    CWnd* m_pNested = nullptr; // made as a child inside WM_CREATE

protected:
    afx_msg int OnCreate(LPCREATESTRUCTW lpCreateStruct) {
        m_bCreateSawWindow = m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this;
        if (m_bFailCreate)
            return -1;
        if (m_pNested != nullptr &&
            !m_pNested->Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 5, 5), this, 9))
            return -1;
        return CWnd::OnCreate(lpCreateStruct);
    }
    afx_msg void OnNcDestroy() {
        if (!m_bKeepNcDestroy)
            CWnd::OnNcDestroy();
    }
    // Ends its own window wParam messages deep, then goes on using the object.
    afx_msg LRESULT OnEndHere(WPARAM wParam, LPARAM) {
        HWND hWnd = m_hWnd;
        if (wParam > 0)
            SendMessage(WM_APP + 3, wParam - 1);
        else
            DestroyWindow();
        bool alive = g_live.count(this) != 0;
        g_afterEnd.push_back({alive, FromHandlePermanent(hWnd) == nullptr});
        // The fault under test: touching a deleted object would use freed memory.
        return alive ? Default() : 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeWnd, CWnd)
ON_WM_CREATE()
ON_WM_NCDESTROY()
ON_MESSAGE(WM_APP + 3, OnEndHere)
END_MESSAGE_MAP()

BOOL CreatePopup(CWnd& wnd, LPCWSTR lpszClass = nullptr) {
    return wnd.CreateEx(0, lpszClass, L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr);
}

// A later subclass on top of the framework's, recording the procedure it
// finds once WM_NCDESTROY has gone down the chain.
WNDPROC g_laterSuper = nullptr;
LONG_PTR g_procAfterChain = 0;
LRESULT CALLBACK LaterProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcW(g_laterSuper, hWnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
        g_procAfterChain = GetWindowLongPtrW(hWnd, GWLP_WNDPROC);
    return result;
}

} // namespace

// Whether or not the handler of WM_NCDESTROY calls the base class, the window
// leaves the map, PostNcDestroy runs once, and a later subclass keeps its place.
// The child it makes in WM_CREATE, while it is itself being made, reaches its
// own object, and ends with it; the dialog suite's modal loop test makes one
// in WM_INITDIALOG.
TEST(Window, EveryWindowEndsThroughOnePath) {
    for (bool keep : {false, true}) {
        for (bool later : {false, true}) {
            SCOPED_TRACE(testing::Message() << "keep " << keep << " later " << later);
            CWnd inner;
            CProbeWnd probe;
            probe.m_bKeepNcDestroy = keep;
            probe.m_pNested = &inner;
            ASSERT_TRUE(CreatePopup(probe));
            EXPECT_TRUE(probe.m_bCreateSawWindow);
            EXPECT_EQ(&inner, CWnd::FromHandlePermanent(inner.m_hWnd));
            HWND hWnd = probe.m_hWnd;
            if (later)
                g_laterSuper = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProc)));
            g_nPostNcDestroy = 0;
            EXPECT_TRUE(::DestroyWindow(hWnd));
            EXPECT_EQ(nullptr, probe.m_hWnd);
            EXPECT_EQ(nullptr, inner.m_hWnd);
            EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
            EXPECT_EQ(1, g_nPostNcDestroy);
            if (later) {
                EXPECT_EQ(reinterpret_cast<LONG_PTR>(&LaterProc), g_procAfterChain);
            }
        }
    }
}

// A self-deleting object is deleted once, whatever ends its window: its own
// handler, directly or a few messages deeper (after the outermost message
// returned), a failed WM_CREATE, a class that does not exist, or a dialog
// template naming one. The same rule holds for windows and dialogs.
TEST(Window, ASelfDeletingObjectEndsOnceWhateverEndsItsWindow) {
    for (int way = 0; way < 5; ++way) {
        SCOPED_TRACE(testing::Message() << "way " << way);
        g_afterEnd.clear();
        g_nPostNcDestroy = 0;
        const void* pObject = nullptr;
        if (way == 4) {
            auto* pDlg = new CLive<CDialog>;
            pDlg->m_bDeleteAtEnd = true;
            pObject = pDlg;
            EXPECT_FALSE(pDlg->CreateIndirect(TemplateInMemory(202)));
        } else {
            auto* pProbe = new CProbeWnd;
            pProbe->m_bDeleteAtEnd = true;
            pProbe->m_bFailCreate = way == 2;
            pObject = pProbe;
            const bool bCreates = way < 2;
            ASSERT_EQ(bCreates,
                      CreatePopup(*pProbe, way == 3 ? L"NoSuchWindowClass" : nullptr) != FALSE);
            if (bCreates) {
                HWND hWnd = pProbe->m_hWnd;
                const WPARAM depth = way * 2; // destroyed 0 or 2 messages deeper
                ::SendMessageW(hWnd, WM_APP + 3, depth, 0);
                ASSERT_EQ(depth + 1, g_afterEnd.size());
                for (const auto& seen : g_afterEnd)
                    EXPECT_EQ(std::make_pair(true, true), seen);
                EXPECT_FALSE(::IsWindow(hWnd));
            }
        }
        EXPECT_EQ(0u, g_live.count(pObject));
        EXPECT_EQ(1, g_nPostNcDestroy);
    }
}

// Temporaries made inside the outermost message go when it returns, and in a
// modal loop run inside it, after each message the loop dispatches; those its
// caller made, or made under a lock, stay. Each is stamped when made, so that
// one released and made again comes back without the stamp. Temporaries own
// neither their windows nor their GDI objects.
TEST(Window, TemporariesOutliveNoScopeButTheirOwn) {
    const int kStamp = 0x40000000;
    auto stamped = [](HWND hWnd) { return (CWnd::FromHandle(hWnd)->m_nFlags & kStamp) != 0; };
    HWND hCaller = CreatePlainWindow();
    CWnd* volatile pNone = nullptr; // callers ask null window pointers for their handle
    EXPECT_EQ(nullptr, pNone->GetSafeHwnd());
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hCaller)); // no creation hook left armed
    CWnd::FromHandle(hCaller)->m_nFlags |= kStamp;
    CCallWnd handler;
    // Two messages of the modal loop: the first stamps, the second looks.
    HWND hModal = CreatePlainWindow();
    CDialog dlg(200);
    CCallWnd step;
    int nStep = 0;
    bool bStampKept = true;
    step.Post([&] {
        if (nStep++ == 0) {
            CWnd::FromHandle(hModal)->m_nFlags |= kStamp;
            step.PostMessage(WM_APP);
        } else {
            bStampKept = stamped(hModal);
            dlg.EndDialog(IDOK);
        }
    });
    handler.Call([&] { EXPECT_EQ(IDOK, dlg.DoModal()); });
    EXPECT_EQ(2, nStep);
    EXPECT_FALSE(bStampKept) << "a modal loop's message kept its temporary";
    HBRUSH hBrush = ::CreateSolidBrush(RGB(1, 2, 3));
    for (bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "locked" : "unlocked");
        HWND hInner = CreatePlainWindow();
        if (locked)
            AfxLockTempMaps();
        handler.Call([&] {
            CWnd::FromHandle(hInner)->m_nFlags |= kStamp;
            CBrush::FromHandle(hBrush);
        });
        EXPECT_TRUE(stamped(hCaller));
        EXPECT_EQ(locked, stamped(hInner));
        if (locked) {
            EXPECT_TRUE(AfxUnlockTempMaps());
        }
        ::DestroyWindow(hInner);
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), ::GetObjectType(hBrush));
    EXPECT_TRUE(::IsWindow(hCaller));
    ::DeleteObject(hBrush);
    step.DestroyWindow();
    handler.DestroyWindow();
    ::DestroyWindow(hModal);
    ::DestroyWindow(hCaller);
}
