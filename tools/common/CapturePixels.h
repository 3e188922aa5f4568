// The arithmetic of a window capture, kept apart from the screen so that it
// can be checked with tables: which window shows at each pixel, and how a
// pixel read from the screen becomes a straight (not premultiplied) ARGB one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace CapturePixels {

// A 32-bpp picture, rows top-down, pixels 0xAARRGGBB with straight alpha:
// the layout of GDI+'s PixelFormat32bppARGB.
struct ArgbImage {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * nWidth + x]; }
};

enum class LayerKind {
    Opaque,        // an ordinary window
    PerPixelAlpha, // layered through UpdateLayeredWindow
    ConstantAlpha, // layered through SetLayeredWindowAttributes
};

// One captured window: where it lies in the picture and how to read it.
struct Layer {
    RECT rc;
    LayerKind kind;
    uint8_t nConstantAlpha; // for ConstantAlpha only
};

// For each pixel, the index of the top-most layer covering it, or -1.
// Layers come bottom first; rectangles may reach outside the picture.
std::vector<int> TopLayerMap(int nWidth, int nHeight, const std::vector<Layer>& layers);

// A premultiplied pixel has no colour channel above its alpha.
bool IsPremultiplied(uint32_t argb);

uint32_t Unpremultiply(uint32_t argb);

// True when every pixel that layer nLayer shows is a premultiplied one: the
// display then kept the window's own ARGB picture. A display that composes
// layered windows over what lies beneath hands back colours with alpha 0.
bool ScreenKeptAlpha(const std::vector<uint32_t>& screen, const std::vector<int>& topLayer,
                     int nLayer);

// Turns the screen pixels of the picture into straight ARGB: pixels of no
// layer are transparent, of an opaque window opaque, of a layered window
// with the alpha it has. *pbAlphaKept (optional) tells whether every
// per-pixel-alpha layer could be read with its alpha; those that could not
// come out opaque, as the screen composed them.
ArgbImage ComposeCapture(int nWidth, int nHeight, const std::vector<uint32_t>& screen,
                         const std::vector<Layer>& layers, bool* pbAlphaKept);

} // namespace CapturePixels
