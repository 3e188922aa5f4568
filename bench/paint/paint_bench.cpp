// Painting never renders: a skinned button (strip, icon and caption) and a
// label get 1,000 paint and 1,000 erase requests each. The composed cache must
// be built once per control, and one paint should cost at most a fifth of one
// cache build. Everything is measured in this run:
//  - erase request: WM_ERASEBKGND with the window's DC, handled by copying the cache;
//  - paint request: RedrawWindow, minus the same request to a plain framework
//    control of the same size (the system's own cost of a paint round trip);
//  - cache build: a setter discards the cache, an erase request rebuilds and
//    copies it; the copy measured above is taken off.
#include "skin/BmpButton.h"
#include "skin/Label.h"

#include "tests/common/ImageKit.h"
#include "tests/common/WindowKit.h"

#include <cstdio>

namespace {

const int kRequests = 1000;
const int kBuilds = 200;

double Seconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double TimePaintRequests(HWND hWnd) {
    const double start = Seconds();
    for (int i = 0; i < kRequests; ++i)
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return (Seconds() - start) / kRequests;
}

double TimeEraseRequests(HWND hWnd) {
    HDC hdc = ::GetDC(hWnd);
    const double start = Seconds();
    for (int i = 0; i < kRequests; ++i)
        ::SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    const double seconds = (Seconds() - start) / kRequests;
    ::ReleaseDC(hWnd, hdc);
    return seconds;
}

template <class Discard> double TimeBuilds(HWND hWnd, double eraseSeconds, Discard discard) {
    HDC hdc = ::GetDC(hWnd);
    const double start = Seconds();
    for (int i = 0; i < kBuilds; ++i) {
        discard();
        ::SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    }
    const double seconds = (Seconds() - start) / kBuilds - eraseSeconds;
    ::ReleaseDC(hWnd, hdc);
    return seconds;
}

// Runs the requests against a configured control whose cache was just discarded.
template <class Control, class Discard>
bool Measure(const char* name, Control& control, HWND hBaseline, Discard discard) {
    discard();
    const UINT before = control.GetCacheBuildCount();
    const double paint = TimePaintRequests(control.m_hWnd);
    const double erase = TimeEraseRequests(control.m_hWnd);
    const UINT builds = control.GetCacheBuildCount() - before;
    const double baseline = TimePaintRequests(hBaseline);
    const double build = TimeBuilds(control.m_hWnd, erase, discard);
    const double paintCost = (std::max)(erase, paint - baseline);
    std::printf("%-6s cache builds during %d paint + %d erase requests: %u (expected 1)\n", name,
                kRequests, kRequests, builds);
    std::printf("%-6s erase %.1f us | paint request %.1f us, plain control %.1f us, "
                "difference %.1f us\n",
                name, erase * 1e6, paint * 1e6, baseline * 1e6, (paint - baseline) * 1e6);
    std::printf("%-6s one paint %.1f us vs one cache build %.1f us: ratio %.3f (target <= 0.200)\n",
                name, paintCost * 1e6, build * 1e6, paintCost / build);
    return builds == 1;
}

} // namespace

int main() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 3;
    bool ok = false;
    {
        ImageKit::TempFolder folder;
        const std::wstring strip = ImageKit::SaveStrip(
            folder, L"strip.png", {0xFF3060A0, 0xFF4070B0, 0xFF2050FF, 0xFF808080}, 200, 40);
        const std::wstring icon = ImageKit::SaveStrip(folder, L"icon.png", {0xFFFFCC00}, 16, 16);
        const std::wstring labelImage =
            ImageKit::SaveStrip(folder, L"label.png", {0x80FFFFFF}, 200, 40);
        WindowKit::CHostWindow host;
        if (!host.CreateHost(430, 200))
            return 2;

        CKvBmpButton button;
        button.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 210, 50), &host,
                      256);
        button.LoadStateImage(strip.c_str(), FALSE);
        button.LoadIconImage(icon.c_str(), FALSE);
        button.SetFontName(L"DejaVu Sans", FALSE);
        button.SetFontSize(14, FALSE);
        button.SetText(L"Settings", FALSE);
        CButton plainButton;
        plainButton.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(220, 10, 420, 50),
                           &host, 257);

        CLabel label;
        label.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 60, 210, 100), &host, 258);
        label.SetImageFile(labelImage.c_str());
        label.SetFontName(L"DejaVu Sans");
        label.SetFontSize(14);
        label.SetText(L"Connected to the server");
        CStatic plainStatic;
        plainStatic.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(220, 60, 420, 100), &host,
                           259);
        WindowKit::Repaint(host.m_hWnd);

        ok = Measure("button", button, plainButton.m_hWnd,
                     [&] { button.SetDrawFocus(FALSE, FALSE); });
        ok = Measure("label", label, plainStatic.m_hWnd, [&] { label.SetFontSize(14); }) && ok;
        host.DestroyWindow();
    }
    Gdiplus::GdiplusShutdown(token);
    return ok ? 0 : 1;
}
