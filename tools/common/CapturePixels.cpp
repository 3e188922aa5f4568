#include "tools/common/CapturePixels.h"

#include <algorithm>

namespace CapturePixels {

std::vector<int> TopLayerMap(int nWidth, int nHeight, const std::vector<Layer>& layers) {
    std::vector<int> topLayer(static_cast<size_t>(nWidth) * nHeight, -1);
    for (size_t i = 0; i < layers.size(); ++i) {
        const RECT& rc = layers[i].rc;
        const int x0 = (std::max)(0L, rc.left),
                  x1 = (std::min)(static_cast<LONG>(nWidth), rc.right);
        const int y0 = (std::max)(0L, rc.top),
                  y1 = (std::min)(static_cast<LONG>(nHeight), rc.bottom);
        for (int y = y0; y < y1; ++y)
            std::fill_n(topLayer.begin() + static_cast<size_t>(y) * nWidth + x0,
                        (std::max)(0, x1 - x0), static_cast<int>(i));
    }
    return topLayer;
}

static uint32_t Channel(uint32_t argb, int nShift) {
    return (argb >> nShift) & 0xFF;
}

bool IsPremultiplied(uint32_t argb) {
    const uint32_t alpha = Channel(argb, 24);
    return Channel(argb, 16) <= alpha && Channel(argb, 8) <= alpha && Channel(argb, 0) <= alpha;
}

uint32_t Unpremultiply(uint32_t argb) {
    const uint32_t alpha = Channel(argb, 24);
    if (alpha == 0)
        return 0;
    uint32_t result = alpha << 24;
    for (int nShift = 0; nShift < 24; nShift += 8) {
        const uint32_t straight = (Channel(argb, nShift) * 255 + alpha / 2) / alpha;
        result |= (std::min)(straight, 255u) << nShift;
    }
    return result;
}

bool ScreenKeptAlpha(const std::vector<uint32_t>& screen, const std::vector<int>& topLayer,
                     int nLayer) {
    for (size_t i = 0; i < screen.size(); ++i)
        if (topLayer[i] == nLayer && !IsPremultiplied(screen[i]))
            return false;
    return true;
}

// How the pixels of one layer are read, once its screen pixels are known.
static LayerKind ReadAs(const Layer& layer, bool bKeptAlpha) {
    if (layer.kind == LayerKind::PerPixelAlpha && !bKeptAlpha)
        return LayerKind::Opaque;
    return layer.kind;
}

static uint32_t StraightPixel(uint32_t screen, LayerKind kind, uint8_t nConstantAlpha) {
    switch (kind) {
    case LayerKind::PerPixelAlpha:
        return Unpremultiply(screen);
    case LayerKind::ConstantAlpha:
        return nConstantAlpha == 0 ? 0 : (screen & 0xFFFFFF) | uint32_t(nConstantAlpha) << 24;
    case LayerKind::Opaque:
        break;
    }
    return screen | 0xFF000000;
}

ArgbImage ComposeCapture(int nWidth, int nHeight, const std::vector<uint32_t>& screen,
                         const std::vector<Layer>& layers, bool* pbAlphaKept) {
    const std::vector<int> topLayer = TopLayerMap(nWidth, nHeight, layers);
    std::vector<LayerKind> readAs;
    bool bAllKept = true;
    for (size_t i = 0; i < layers.size(); ++i) {
        const bool bKept = ScreenKeptAlpha(screen, topLayer, static_cast<int>(i));
        bAllKept = bAllKept && (layers[i].kind != LayerKind::PerPixelAlpha || bKept);
        readAs.push_back(ReadAs(layers[i], bKept));
    }
    ArgbImage image;
    image.nWidth = nWidth;
    image.nHeight = nHeight;
    image.pixels.assign(topLayer.size(), 0);
    for (size_t i = 0; i < topLayer.size(); ++i)
        if (topLayer[i] >= 0)
            image.pixels[i] =
                StraightPixel(screen[i], readAs[topLayer[i]], layers[topLayer[i]].nConstantAlpha);
    if (pbAlphaKept)
        *pbAlphaKept = bAllKept;
    return image;
}

} // namespace CapturePixels
