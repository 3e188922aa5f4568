// Painting never renders: a skinned button (strip, icon and caption) and a
// label get 1,000 paint requests from the system and 1,000 erase requests,
// and must build their composed cache once each. Then one paint of a cached
// control is timed directly, against one cache build, both in this run:
//  - paint: WM_ERASEBKGND with a memory DC of the control's size, which the
//    control answers by copying its cache (no window DC, so no display round
//    trip in the figure);
//  - cache build: a setter discards the cache and the same request builds it
//    and copies it; the paint measured in the same round is taken off.
// Each round takes the median of its requests, so that a request the system
// preempted does not weigh on the round; the figures are medians of rounds,
// after a warm-up round that is not counted, and the ratio is the median of
// the rounds' own ratios (a machine whose speed drifts shifts both alike).
#include "skin/BmpButton.h"
#include "skin/Label.h"

#include "tests/common/ImageKit.h"
#include "tests/common/WindowKit.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

const int kRequests = 1000;
const int kRounds = 15;
const int kPaintsPerRound = 400;
const int kBuildsPerRound = 100;
const double kTargetRatio = 0.1;

double Seconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// How many times the control built its cache while the system asked it to
// paint and erase kRequests times each: painting must only copy.
template <class Control, class Discard>
UINT BuildsDuringRequests(Control& control, Discard discard) {
    discard();
    const UINT before = control.GetCacheBuildCount();
    for (int i = 0; i < kRequests; ++i)
        ::RedrawWindow(control.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC hdc = ::GetDC(control.m_hWnd);
    for (int i = 0; i < kRequests; ++i)
        ::SendMessageW(control.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    ::ReleaseDC(control.m_hWnd, hdc);
    return control.GetCacheBuildCount() - before;
}

// Median seconds of nTimes erase requests into hDC, each after prepare().
template <class Prepare> double MedianErase(HWND hWnd, HDC hDC, int nTimes, Prepare prepare) {
    std::vector<double> times;
    times.reserve(static_cast<size_t>(nTimes));
    for (int i = 0; i < nTimes; ++i) {
        prepare();
        const double start = Seconds();
        ::SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
        times.push_back(Seconds() - start);
    }
    return Median(std::move(times));
}

// Paint and build of a configured control, medians of rounds in seconds.
template <class Control, class Discard>
bool Measure(const char* name, Control& control, Discard discard) {
    const UINT builds = BuildsDuringRequests(control, discard);
    CRect rc;
    control.GetClientRect(&rc);
    CKvCanvas target(rc.Width(), rc.Height()); // where the paints go
    std::vector<double> paints, buildsCost, ratios;
    for (int round = -1; round < kRounds; ++round) {
        const double paint = MedianErase(control.m_hWnd, target.DC(), kPaintsPerRound, [] {});
        const double build =
            MedianErase(control.m_hWnd, target.DC(), kBuildsPerRound, discard) - paint;
        if (round < 0)
            continue; // the warm-up
        paints.push_back(paint);
        buildsCost.push_back(build);
        ratios.push_back(paint / build);
    }
    const double paint = Median(paints), build = Median(buildsCost), ratio = Median(ratios);
    std::printf("%-6s cache builds during %d paint + %d erase requests: %u (expected 1)\n", name,
                kRequests, kRequests, builds);
    std::printf("%-6s one paint %.1f us vs one cache build %.1f us: ratio %.3f (target <= %.1f); "
                "medians of %d rounds\n",
                name, paint * 1e6, build * 1e6, ratio, kTargetRatio, kRounds);
    return builds == 1 && paint > 0 && build > 0;
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

        CLabel label;
        label.Create(L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, CRect(10, 60, 210, 100), &host, 258);
        label.SetImageFile(labelImage.c_str());
        label.SetFontName(L"DejaVu Sans");
        label.SetFontSize(14);
        label.SetText(L"Connected to the server");
        WindowKit::Repaint(host.m_hWnd);

        ok = Measure("button", button, [&] { button.SetDrawFocus(FALSE, FALSE); });
        ok = Measure("label", label, [&] { label.SetFontSize(14); }) && ok;
        host.DestroyWindow();
    }
    Gdiplus::GdiplusShutdown(token);
    return ok ? 0 : 1;
}
