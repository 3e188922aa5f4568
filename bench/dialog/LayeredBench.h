// What the layered-window benchmarks share: a clock, means of repeated
// updates, medians of rounds, and the baseline, a bare UpdateLayeredWindow of
// a ready 32-bit bitmap to a layered window of the same size.
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

// Mean seconds of nTimes calls of update; -1 when one fails.
template <class Update> double MeanSeconds(int nTimes, Update update) {
    const double start = Seconds();
    for (int i = 0; i < nTimes; ++i)
        if (!update())
            return -1;
    return (Seconds() - start) / nTimes;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// nRounds of nTimes calls of each measurement, the measurements taking turns
// so that a slow spell of the machine hits all alike; the medians, in ms.
inline std::vector<double> MedianMs(int nRounds, int nTimes,
                                    const std::vector<std::function<bool()>>& measurements) {
    std::vector<std::vector<double>> rounds(measurements.size());
    for (int round = 0; round < nRounds; ++round)
        for (size_t i = 0; i < measurements.size(); ++i)
            rounds[i].push_back(MeanSeconds(nTimes, measurements[i]) * 1e3);
    std::vector<double> medians;
    for (const auto& values : rounds)
        medians.push_back(Median(values));
    return medians;
}

// A shown layered pop-up and a ready picture for it, released in one place.
class CBareLayered {
public:
    CBareLayered(int nWidth, int nHeight) : m_size{nWidth, nHeight} {
        m_hWnd = ::CreateWindowExW(WS_EX_LAYERED, L"STATIC", L"", WS_POPUP, 0, 0, nWidth, nHeight,
                                   nullptr, nullptr, nullptr, nullptr);
        if (m_picture.IsReady())
            std::fill(m_picture.Bits(), m_picture.Bits() + nWidth * nHeight, 0xC0204080u);
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    }
    ~CBareLayered() { ::DestroyWindow(m_hWnd); }
    CBareLayered(const CBareLayered&) = delete;
    CBareLayered& operator=(const CBareLayered&) = delete;

    bool Update() {
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        return ::UpdateLayeredWindow(m_hWnd, nullptr, nullptr, &m_size, m_picture.DC(), &source, 0,
                                     &blend, ULW_ALPHA) != FALSE;
    }

private:
    SIZE m_size;
    HWND m_hWnd = nullptr;
    CKvCanvas m_picture{m_size.cx, m_size.cy};
};

// The 800 x 600 sheet of 40 items the benchmarks draw.
const DialogKit::Grid kFortyItems = {40, 8, {800, 600}, {90, 40}, {98, 110}, 10};

// The windowless section the benchmarks draw: 40 push-button items with state
// strip, icon and text each over a half-transparent background. Writes it and
// its images into folder; returns the skin file.
inline std::wstring WriteFortyItemSkin(const ImageKit::TempFolder& folder) {
    return DialogKit::WriteGridSkin(
        folder, L"skin.xml", kFortyItems,
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
