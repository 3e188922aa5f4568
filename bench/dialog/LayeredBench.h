// What the layered-window benchmarks share: a clock, means of repeated
// updates, medians of rounds, and the floors: a bare UpdateLayeredWindowIndirect
// of a ready 32-bit picture to the same window, whole or with a dirty rectangle.
#pragma once

#include <windows.h>

#include "tests/common/ImageKit.h"
#include "tests/skin_dialog/DialogKit.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace LayeredBench {

inline double Seconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One run of a measurement: the seconds it timed, -1 when it failed. Most
// time all they do (Whole); some leave their preparation out.
using Measurement = std::function<double()>;

// A measurement that times the whole of update, which says whether it worked.
template <class Update> Measurement Whole(Update update) {
    return [update]() mutable {
        const double start = Seconds();
        return update() ? Seconds() - start : -1.0;
    };
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Waits until the display has done what earlier pushes asked of it (reading
// a pixel of the screen waits for the X server), so that no run pays for the
// one before.
inline void Settle() {
    HDC hScreen = ::GetDC(nullptr);
    ::GetPixel(hScreen, 0, 0);
    ::ReleaseDC(nullptr, hScreen);
}

// nRounds of nTimes runs of each measurement, the measurements taking turns
// run by run, so that a slow spell of the machine hits all alike; the medians
// of the rounds' means, in ms (-1 for a measurement that failed).
inline std::vector<double> MedianMs(int nRounds, int nTimes,
                                    const std::vector<Measurement>& measurements) {
    std::vector<std::vector<double>> rounds(measurements.size());
    for (int round = 0; round < nRounds; ++round) {
        std::vector<double> totals(measurements.size(), 0);
        for (int i = 0; i < nTimes; ++i)
            for (size_t m = 0; m < measurements.size(); ++m) {
                Settle();
                const double seconds = totals[m] < 0 ? -1 : measurements[m]();
                totals[m] = seconds < 0 ? -1 : totals[m] + seconds;
            }
        for (size_t m = 0; m < measurements.size(); ++m)
            rounds[m].push_back(totals[m] < 0 ? -1 : totals[m] / nTimes * 1e3);
    }
    std::vector<double> medians;
    for (const auto& values : rounds)
        medians.push_back(Median(values));
    return medians;
}

// The floor of a layered update: a ready picture of the window's size pushed
// to the layered window itself, whole or with a dirty rectangle, so that
// whatever the system does for that window (its children, say) is in it.
class CReadyPush {
public:
    CReadyPush(HWND hWnd, SIZE size) : m_hWnd(hWnd), m_size(size), m_picture(size.cx, size.cy) {
        if (m_picture.IsReady())
            std::fill_n(m_picture.Bits(), static_cast<size_t>(size.cx) * size.cy, 0xC0204080u);
    }
    CReadyPush(const CReadyPush&) = delete;
    CReadyPush& operator=(const CReadyPush&) = delete;

    bool Update() { return Push(nullptr); }
    // Only rcDirty changed since the last push: the system takes that part.
    bool UpdatePart(const RECT& rcDirty) { return Push(&rcDirty); }

private:
    bool Push(const RECT* prcDirty) {
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UPDATELAYEREDWINDOWINFO info = {sizeof(info), nullptr, nullptr, &m_size,   m_picture.DC(),
                                        &source,      0,       &blend,  ULW_ALPHA, prcDirty};
        return ::UpdateLayeredWindowIndirect(m_hWnd, &info) != FALSE;
    }

    HWND m_hWnd;
    SIZE m_size;
    CKvCanvas m_picture;
};

// The 800 x 600 sheet of 40 items the benchmarks draw.
const DialogKit::Grid kFortyItems = {40, 8, {800, 600}, {90, 40}, {98, 110}, 10};

// The windowless section the benchmarks draw: 40 push-button items with state
// strip, icon and text each over a half-transparent background, on a sheet of
// the grid's size. Writes it and its images into folder; returns the skin file.
inline std::wstring WriteFortyItemSkin(const ImageKit::TempFolder& folder,
                                       const DialogKit::Grid& grid = kFortyItems) {
    return DialogKit::WriteGridSkin(
        folder, L"skin.xml", grid,
        L"ShowToolTip=1|FontName=DejaVu Sans|FontSize=13|FontColor=0xFF000000", [](int i) {
            return L"ToolTip=Tip " + std::to_wstring(i) +
                   L"|ControlType=2|BkImg=strip.png|Icon=icon.png";
        });
}

// A pop-up dialog template without controls, in memory.
struct PopupTemplate {
    DLGTEMPLATE dlg = {WS_POPUP, 0, 0, 0, 0, 100, 100};
    WORD menu = 0, windowClass = 0, title = 0;
};

} // namespace LayeredBench
