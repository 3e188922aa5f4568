// The layered update of a skinned dialog against the system's own cost of
// showing a finished picture. An 800 x 600 layered dialog with 40 items
// (labels, buttons, shaped buttons) runs UpdateLayered; the baseline is a bare
// UpdateLayeredWindow of a ready 800 x 600 32-bit bitmap to a layered window
// of the same size. Both are measured in this run, in alternating rounds;
// the medians of the rounds are compared.
#include "skin/CommonDlg.h"

#include "../../tests/skin_dialog/DialogKit.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kRounds = 7;
const int kUpdates = 30; // per round
const int kWidth = 800, kHeight = 600;

double Seconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Update> double MeanSeconds(Update update) {
    const double start = Seconds();
    for (int i = 0; i < kUpdates; ++i)
        if (!update())
            return -1;
    return (Seconds() - start) / kUpdates;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

DialogKit::Skin FortyItems() {
    DialogKit::Skin skin;
    skin.window = {{L"BackBmp", L"back.png"}, {L"SheetSize", L"800,600"},
                   {L"IsLayerWnd", L"1"},     {L"AlpahValue", L"100"},
                   {L"ShowToolTip", L"1"},    {L"FontName", L"DejaVu Sans"},
                   {L"FontSize", L"13"},      {L"FontColor", L"0xFF000000"}};
    for (int i = 0; i < 40; ++i) {
        const std::wstring n = std::to_wstring(i);
        skin.items.push_back({{L"ID", L"item" + n},
                              {L"Name", L"Item " + n},
                              {L"Pos", std::to_wstring(10 + (i % 8) * 98) + L"," +
                                           std::to_wstring(10 + (i / 8) * 110) + L",90,40"},
                              {L"ControlType", i % 3 == 0   ? L"1"
                                               : i % 3 == 1 ? L"2"
                                                            : L"4"},
                              {L"BkImg", i % 3 == 0 ? L"label.png" : L"strip.png"},
                              {L"ToolTip", L"Tip " + n}});
    }
    return skin;
}

// A layered pop-up and a ready picture for it, released in one place.
class CBareLayered {
public:
    CBareLayered() {
        m_hWnd = ::CreateWindowExW(WS_EX_LAYERED, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight,
                                   nullptr, nullptr, nullptr, nullptr);
        DWORD* pPixels = nullptr;
        m_hBitmap = ImageKit::CreateDib(kWidth, kHeight, &pPixels);
        if (pPixels)
            std::fill(pPixels, pPixels + kWidth * kHeight, 0xC0204080u);
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    }
    ~CBareLayered() {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteDC(m_hDC);
        ::DeleteObject(m_hBitmap);
        ::DestroyWindow(m_hWnd);
    }
    bool Update() {
        SIZE size = {kWidth, kHeight};
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        return ::UpdateLayeredWindow(m_hWnd, nullptr, nullptr, &size, m_hDC, &source, 0, &blend,
                                     ULW_ALPHA) != FALSE;
    }

private:
    HWND m_hWnd = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
};

// A pop-up dialog template without controls, in memory.
struct PopupTemplate {
    DLGTEMPLATE dlg = {WS_POPUP, 0, 0, 0, 0, 100, 100};
    WORD menu = 0, windowClass = 0, title = 0;
};

} // namespace

int main() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 3;
    int result = 1;
    {
        ImageKit::TempFolder folder;
        ImageKit::SaveStrip(folder, L"back.png", {0xC0204080}, kWidth, kHeight);
        ImageKit::SaveStrip(folder, L"label.png", {0x80FFFFFF}, 90, 40);
        ImageKit::SaveStrip(folder, L"strip.png", {0xFF00A000, 0xFF00B000, 0xFF00C000, 0xFF808080},
                            90, 40);
        const std::wstring skin = DialogKit::WriteSkin(folder, L"skin.xml", FortyItems());

        CKvCommonDlg dlg(0, nullptr);
        alignas(4) static const PopupTemplate popup;
        if (!dlg.CreateIndirect(&popup.dlg))
            return 2;
        dlg.InitDialogSkin(skin.c_str(), L"Test\\Dlg", L"", L".");
        dlg.ShowWindow(SW_SHOWNOACTIVATE);
        CBareLayered bare;

        auto update = [&] { return dlg.UpdateLayered(100) != FALSE; };
        auto updateBare = [&] { return bare.Update(); };
        update(); // first use: codecs, caches
        updateBare();
        std::vector<double> dialogRounds, bareRounds;
        for (int round = 0; round < kRounds; ++round) {
            dialogRounds.push_back(MeanSeconds(update));
            bareRounds.push_back(MeanSeconds(updateBare));
        }
        const double dialog = Median(dialogRounds), baseline = Median(bareRounds);
        std::printf("%d x %d layered dialog with %zu items; medians of %d rounds of %d updates\n",
                    kWidth, kHeight, dlg.m_arrDynamicItems.size(), kRounds, kUpdates);
        std::printf("UpdateLayered %.2f ms | bare UpdateLayeredWindow %.2f ms | ratio %.1f\n",
                    dialog * 1e3, baseline * 1e3, dialog / baseline);
        result = dialog > 0 && baseline > 0 ? 0 : 1;
        dlg.DestroyWindow();
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}
