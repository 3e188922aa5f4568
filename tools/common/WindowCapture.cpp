#include "tools/common/WindowCapture.h"

#include <algorithm>
#include <utility>

#include "skin/Canvas.h"
#include "tools/common/PngFile.h"

namespace WindowCapture {

using CapturePixels::Layer;
using CapturePixels::LayerKind;

namespace {

class CScreenDC {
public:
    CScreenDC() : m_hDC(::GetDC(nullptr)) {}
    ~CScreenDC() {
        if (m_hDC)
            ::ReleaseDC(nullptr, m_hDC);
    }
    CScreenDC(const CScreenDC&) = delete;
    CScreenDC& operator=(const CScreenDC&) = delete;
    HDC DC() const { return m_hDC; }

private:
    HDC m_hDC;
};

bool IsTopLevel(HWND hWnd) {
    return ::GetAncestor(hWnd, GA_PARENT) == ::GetDesktopWindow();
}

// Why hWnd cannot be captured; empty when it can.
std::wstring CheckWindow(HWND hWnd, bool bMustShow) {
    if (!hWnd || !::IsWindow(hWnd))
        return L"not a window";
    if (!IsTopLevel(hWnd))
        return L"not a top-level window";
    if (bMustShow && (!::IsWindowVisible(hWnd) || ::IsIconic(hWnd)))
        return L"the window is not shown";
    return std::wstring();
}

bool IsShown(HWND hWnd) {
    return ::IsWindowVisible(hWnd) && !::IsIconic(hWnd);
}

// Position in the Z order of top-level windows, 0 for the top-most.
int ZRank(HWND hWnd) {
    int nRank = 0;
    for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT), ++nRank)
        if (h == hWnd)
            return nRank;
    return nRank;
}

std::vector<HWND> BottomFirst(const std::vector<HWND>& windows) {
    std::vector<std::pair<int, HWND>> ranked;
    for (HWND hWnd : windows)
        ranked.emplace_back(ZRank(hWnd), hWnd);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<HWND> ordered;
    for (const auto& entry : ranked)
        ordered.push_back(entry.second);
    return ordered;
}

// Wine puts a window's paints on the X screen only when its thread next
// looks at its queue; a look for a message nobody posts does that without
// taking anything from the queue.
void FlushPaints(const std::vector<HWND>& windows) {
    for (HWND hWnd : windows)
        if (::GetWindowThreadProcessId(hWnd, nullptr) == ::GetCurrentThreadId())
            ::RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    static const UINT kNeverPosted = ::RegisterWindowMessageW(L"KvCaptureFlushOnly");
    MSG msg;
    ::PeekMessageW(&msg, reinterpret_cast<HWND>(-1), kNeverPosted, kNeverPosted, PM_NOREMOVE);
}

RECT CaptureArea(const std::vector<HWND>& windows, CaptureExtent extent) {
    RECT area = {};
    ::GetWindowRect(windows.front(), &area);
    if (extent == CaptureExtent::Union) {
        for (HWND hWnd : windows) {
            RECT rc = {};
            ::GetWindowRect(hWnd, &rc);
            ::UnionRect(&area, &area, &rc);
        }
    }
    return area;
}

Layer LayerOf(HWND hWnd, const RECT& area) {
    const int nScreenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int nScreenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT screen = {nScreenLeft, nScreenTop,
                         nScreenLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         nScreenTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    Layer layer = {{}, LayerKind::Opaque, 255};
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    ::IntersectRect(&layer.rc, &rc, &screen);
    ::OffsetRect(&layer.rc, -area.left, -area.top);
    if (!(::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED))
        return layer;
    COLORREF key = 0;
    BYTE nAlpha = 255;
    DWORD flags = 0;
    // Only windows set up with SetLayeredWindowAttributes have attributes.
    if (!::GetLayeredWindowAttributes(hWnd, &key, &nAlpha, &flags)) {
        layer.kind = LayerKind::PerPixelAlpha;
        return layer;
    }
    layer.kind = LayerKind::ConstantAlpha;
    layer.nConstantAlpha = (flags & LWA_ALPHA) ? nAlpha : 255;
    return layer;
}

bool ReadScreen(const RECT& area, std::vector<uint32_t>& pixels) {
    const int nWidth = area.right - area.left;
    const int nHeight = area.bottom - area.top;
    CKvCanvas canvas(nWidth, nHeight);
    CScreenDC screen;
    if (!canvas.IsReady() || !screen.DC())
        return false;
    // CAPTUREBLT makes Windows include layered windows; Wine has them anyway.
    if (!::BitBlt(canvas.DC(), 0, 0, nWidth, nHeight, screen.DC(), area.left, area.top,
                  SRCCOPY | CAPTUREBLT))
        return false;
    ::GdiFlush();
    pixels.assign(canvas.Bits(), canvas.Bits() + static_cast<size_t>(nWidth) * nHeight);
    return true;
}

} // namespace

CaptureResult CaptureWindows(HWND hFirst, const std::vector<HWND>& overWindows,
                             CaptureExtent extent) {
    CaptureResult result;
    result.strError = CheckWindow(hFirst, true);
    std::vector<HWND> windows = {hFirst};
    for (HWND hWnd : overWindows) {
        if (result.strError.empty())
            result.strError = CheckWindow(hWnd, false);
        if (result.strError.empty() && IsShown(hWnd))
            windows.push_back(hWnd);
    }
    if (!result.Ok())
        return result;
    FlushPaints(windows);
    result.rcScreen = CaptureArea(windows, extent);
    std::vector<uint32_t> screen;
    if (!ReadScreen(result.rcScreen, screen)) {
        result.strError = L"the screen could not be read";
        return result;
    }
    std::vector<Layer> layers;
    for (HWND hWnd : BottomFirst(windows))
        layers.push_back(LayerOf(hWnd, result.rcScreen));
    result.image = CapturePixels::ComposeCapture(result.rcScreen.right - result.rcScreen.left,
                                                 result.rcScreen.bottom - result.rcScreen.top,
                                                 screen, layers, &result.bAlphaKept);
    return result;
}

std::wstring CaptureWindowsToPng(const std::wstring& path, HWND hFirst,
                                 const std::vector<HWND>& overWindows, CaptureExtent extent) {
    const CaptureResult capture = CaptureWindows(hFirst, overWindows, extent);
    if (!capture.Ok())
        return capture.strError;
    if (!PngFile::Save(capture.image, path))
        return L"cannot write " + path;
    return std::wstring();
}

} // namespace WindowCapture
