#include "skin/DisplayScale.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace KvScale {

int MulDivRound(int n, int nNum, int nDen) {
    const int64_t nProduct = static_cast<int64_t>(n) * nNum;
    const int64_t nHalf = nDen / 2;
    // Half away from zero, whatever the sign of the product.
    const int64_t nQuotient =
        nProduct >= 0 ? (nProduct + nHalf) / nDen : -((-nProduct + nHalf) / nDen);
    return static_cast<int>(std::clamp<int64_t>(nQuotient, INT_MIN, INT_MAX));
}

int Length(int n, int nDpi) {
    return MulDivRound(n, nDpi, kBaseDpi);
}

POINT Point(POINT pt, int nDpi) {
    return POINT{Length(pt.x, nDpi), Length(pt.y, nDpi)};
}

SIZE Size(SIZE sz, int nDpi) {
    return SIZE{Length(sz.cx, nDpi), Length(sz.cy, nDpi)};
}

RECT Rect(const RECT& rc, int nDpi) {
    return RECT{Length(rc.left, nDpi), Length(rc.top, nDpi), Length(rc.right, nDpi),
                Length(rc.bottom, nDpi)};
}

int FontSize(int nSize, int nDpi) {
    return Length(nSize, nDpi);
}

int PercentOfDpi(int nDpi) {
    return MulDivRound(nDpi, 100, kBaseDpi);
}

int DpiOfPercent(int nPercent) {
    return MulDivRound(nPercent, kBaseDpi, 100);
}

ImageChoice ChooseImageVariant(int nPercent, const std::vector<int>& variants) {
    std::vector<int> all(variants);
    all.push_back(100);
    if (std::find(all.begin(), all.end(), nPercent) != all.end())
        return ImageChoice{nPercent, false};
    int nLarger = INT_MAX;
    int nLargest = 100;
    for (int nVariant : all) {
        if (nVariant > nPercent)
            nLarger = std::min(nLarger, nVariant);
        nLargest = std::max(nLargest, nVariant);
    }
    // Scaling down loses less than scaling up, and above every variant the
    // largest holds the most detail.
    return ImageChoice{nLarger != INT_MAX ? nLarger : nLargest, true};
}

namespace {

// A length drawn for nSourcePercent, at nDpi.
int SourceLengthAt(int n, int nSourcePercent, int nDpi) {
    return MulDivRound(n, nDpi * 100, nSourcePercent * kBaseDpi);
}

} // namespace

SIZE ImageSizeAt(SIZE source, int nSourcePercent, int nDpi, int nFrames) {
    const int nCount = std::max(nFrames, 1);
    const int nFrame = SourceLengthAt(source.cx / nCount, nSourcePercent, nDpi);
    return SIZE{nFrame * nCount, SourceLengthAt(source.cy, nSourcePercent, nDpi)};
}

} // namespace KvScale
