// Captures of real windows on the test display: a layered pop-up pushed with
// UpdateLayeredWindow (opaque, half, quarter and fully transparent bands) and
// an ordinary pop-up it owns, partly over it and reaching past it. The PNGs
// are read back with GDI+; they stay in the working folder to be looked at.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <type_traits>
#include <vector>

#include "tests/common/ImageKit.h"
#include "tests/common/WindowKit.h"
#include "tools/common/DibCanvas.h"
#include "tools/common/WindowCapture.h"

using CapturePixels::Layer;
using CapturePixels::LayerKind;
using WindowCapture::CaptureExtent;

namespace {

const int kLeft = 300, kTop = 200, kWidth = 160, kHeight = 80, kBand = 40;
const Gdiplus::ARGB kBands[] = {0xFFD02020, 0x80209040, 0x402040E0, 0x00000000};
const RECT kCover = {kLeft + 100, kTop + 40, kLeft + 200, kTop + 120};
const COLORREF kCoverColour = RGB(240, 200, 0);
const Gdiplus::ARGB kCoverArgb = 0xFFF0C800;

LRESULT CALLBACK PaintCoverColour(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    if (nMsg != WM_PAINT)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(hWnd, &ps);
    HBRUSH hBrush = ::CreateSolidBrush(kCoverColour);
    ::FillRect(hDC, &ps.rcPaint, hBrush);
    ::DeleteObject(hBrush);
    ::EndPaint(hWnd, &ps);
    return 0;
}

struct WindowDeleter {
    void operator()(HWND hWnd) const { ::DestroyWindow(hWnd); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

UniqueWindow MakePopup(DWORD exStyle, const RECT& rc, HWND hOwner = nullptr) {
    static const ATOM kClass = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = PaintCoverColour;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KvCaptureTestPopup";
        return ::RegisterClassW(&wc);
    }();
    return UniqueWindow(::CreateWindowExW(exStyle | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                          MAKEINTATOM(kClass), L"", WS_POPUP, rc.left, rc.top,
                                          rc.right - rc.left, rc.bottom - rc.top, hOwner, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr));
}

Gdiplus::ARGB Premultiplied(Gdiplus::ARGB argb) {
    const UINT alpha = argb >> 24;
    Gdiplus::ARGB result = argb & 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8)
        result |= (((argb >> shift) & 0xFF) * alpha / 255) << shift;
    return result;
}

// Pushes the four bands as the window's picture.
bool PushBands(HWND hWnd) {
    CDibCanvas canvas(kWidth, kHeight);
    if (!canvas.IsReady())
        return false;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            canvas.Bits()[y * kWidth + x] = Premultiplied(kBands[x / kBand]);
    POINT ptWindow = {kLeft, kTop}, ptSource = {0, 0};
    SIZE size = {kWidth, kHeight};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::UpdateLayeredWindow(hWnd, nullptr, &ptWindow, &size, canvas.DC(), &ptSource, 0, &blend,
                                 ULW_ALPHA);
}

// Each channel within 2 of the expected one: premultiplying loses a little.
::testing::AssertionResult NearArgb(Gdiplus::ARGB actual, Gdiplus::ARGB expected) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 2)
            return ::testing::AssertionFailure()
                   << std::hex << actual << " instead of " << expected;
    return ::testing::AssertionSuccess();
}

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_layered = MakePopup(WS_EX_LAYERED, {kLeft, kTop, kLeft + kWidth, kTop + kHeight});
        ASSERT_TRUE(m_layered && PushBands(m_layered.get()));
        ::ShowWindow(m_layered.get(), SW_SHOWNOACTIVATE);
        m_cover = MakePopup(0, kCover, m_layered.get());
        ASSERT_TRUE(m_cover);
        ::ShowWindow(m_cover.get(), SW_SHOWNOACTIVATE);
        WindowKit::PumpMessages();
    }

    UniqueWindow m_layered;
    UniqueWindow m_cover;
};

struct Probe {
    int x, y; // in the captured picture
    Gdiplus::ARGB expected;
};

struct ExtentCase {
    CaptureExtent extent;
    const wchar_t* pszFile;
    int nWidth, nHeight;
    std::vector<Probe> probes;
};

TEST_F(CaptureTest, PngKeepsLayeredAlphaAndOpaqueCover) {
    const Probe bandsAboveCover[] = {{20, 10, kBands[0]},  {60, 10, kBands[1]},
                                     {100, 10, kBands[2]}, {140, 10, kBands[3]},
                                     {60, 70, kBands[1]},  {0, 0, kBands[0]}};
    const ExtentCase cases[] = {
        {CaptureExtent::FirstWindow,
         L"capture_first.png",
         kWidth,
         kHeight,
         {{110, 60, kCoverArgb}, {159, 79, kCoverArgb}}},
        {CaptureExtent::Union,
         L"capture_union.png",
         200,
         120,
         {{110, 60, kCoverArgb}, {199, 119, kCoverArgb}, {20, 100, 0}, {99, 119, 0}}},
    };
    for (const ExtentCase& c : cases) {
        SCOPED_TRACE(c.pszFile);
        ASSERT_EQ(L"", WindowCapture::CaptureWindowsToPng(c.pszFile, m_layered.get(),
                                                          {m_cover.get()}, c.extent));
        Gdiplus::Bitmap png(c.pszFile);
        ASSERT_EQ(Gdiplus::Ok, png.GetLastStatus());
        EXPECT_EQ(UINT(c.nWidth), png.GetWidth());
        EXPECT_EQ(UINT(c.nHeight), png.GetHeight());
        std::vector<Probe> probes(std::begin(bandsAboveCover), std::end(bandsAboveCover));
        probes.insert(probes.end(), c.probes.begin(), c.probes.end());
        for (const Probe& p : probes)
            EXPECT_TRUE(NearArgb(ImageKit::PixelAt(&png, p.x, p.y), p.expected))
                << "at " << p.x << "," << p.y;
    }
}

TEST_F(CaptureTest, ConstantAlphaWindowGetsItsAlpha) {
    UniqueWindow faded = MakePopup(WS_EX_LAYERED, {kLeft, kTop + 300, kLeft + 50, kTop + 350});
    ASSERT_TRUE(::SetLayeredWindowAttributes(faded.get(), 0, 0x60, LWA_ALPHA));
    ::ShowWindow(faded.get(), SW_SHOWNOACTIVATE);
    const WindowCapture::CaptureResult capture = WindowCapture::CaptureWindows(faded.get());
    ASSERT_TRUE(capture.Ok());
    EXPECT_TRUE(NearArgb(capture.image.At(25, 25), 0x60000000 | (kCoverArgb & 0xFFFFFF)));
}

TEST_F(CaptureTest, RefusesWhatItCannotCapture) {
    UniqueWindow hidden = MakePopup(0, {0, 0, 10, 10});
    HWND hChild = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5,
                                    m_cover.get(), nullptr, nullptr, nullptr);
    const HWND refused[] = {nullptr, hidden.get(), hChild};
    for (HWND hWnd : refused)
        EXPECT_FALSE(WindowCapture::CaptureWindows(hWnd).Ok()) << hWnd;
    EXPECT_FALSE(WindowCapture::CaptureWindows(m_layered.get(), {hChild}).Ok());
    EXPECT_NE(L"", WindowCapture::CaptureWindowsToPng(L"no\\such\\folder\\x.png", m_cover.get()));
}

// How screen pixels become picture pixels, with the display either keeping
// a layered window's premultiplied pixels or composing them.
TEST(CapturePixelsTest, ComposeReadsEachKindOfWindow) {
    struct Row {
        LayerKind kind;
        uint8_t nConstantAlpha;
        uint32_t screen, expected;
        bool bAlphaKept;
    };
    const Row rows[] = {
        {LayerKind::PerPixelAlpha, 0, 0x80402010, 0x80804020, true},
        {LayerKind::PerPixelAlpha, 0, 0x00000000, 0x00000000, true},
        {LayerKind::PerPixelAlpha, 0, 0x00402010, 0xFF402010, false}, // composed by the display
        {LayerKind::Opaque, 0, 0x00402010, 0xFF402010, true},
        {LayerKind::ConstantAlpha, 0x40, 0x00402010, 0x40402010, true},
        {LayerKind::ConstantAlpha, 0, 0x00402010, 0x00000000, true},
    };
    for (const Row& row : rows) {
        // Three pixels: the layer over an opaque one at pixel 1, nothing at 2.
        const std::vector<Layer> layers = {{{-5, -5, 2, 1}, LayerKind::Opaque, 255},
                                           {{1, 0, 2, 9}, row.kind, row.nConstantAlpha}};
        bool bKept = !row.bAlphaKept;
        const CapturePixels::ArgbImage image = CapturePixels::ComposeCapture(
            3, 1, {0x00102030, row.screen, 0x00FFFFFF}, layers, &bKept);
        EXPECT_EQ(0xFF102030u, image.At(0, 0));
        EXPECT_EQ(row.expected, image.At(1, 0)) << std::hex << row.screen;
        EXPECT_EQ(0u, image.At(2, 0));
        EXPECT_EQ(row.bAlphaKept, bKept) << std::hex << row.screen;
    }
}

} // namespace
