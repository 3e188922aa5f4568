// Skins give their lengths in pixels of a 96-DPI screen; a window shows them
// at its own DPI. Everything here is pure arithmetic on one scale per window,
// a DPI, so that at 96 every length, rectangle and font size is exactly the
// skin's own and every picture is byte-identical to an unscaled one. The
// functions are the module's own and not exported (tests and tools link
// kv_skin_parts).
#pragma once

#include <windows.h>

#include <vector>

namespace KvScale {

// The DPI at which the skin's pixels are drawn 1:1.
constexpr int kBaseDpi = 96;

// n * nNum / nDen rounded to the nearest integer, halves away from zero, in
// 64 bits so that no skin value overflows before the division; results
// beyond int are clamped. nDen must be positive.
int MulDivRound(int n, int nNum, int nDen);

// A skin length at nDpi. Lengths scale as positions: a size is the distance
// between two scaled edges, never a scaled width of its own.
int Length(int n, int nDpi);
POINT Point(POINT pt, int nDpi);
SIZE Size(SIZE sz, int nDpi);
// Each edge on its own, so that rectangles that touch at 96 DPI still touch.
RECT Rect(const RECT& rc, int nDpi);
// A font's em size; 0 (the system's size) stays 0.
int FontSize(int nSize, int nDpi);

// A DPI as the percentage image variants are named by (144 -> 150), and back.
int PercentOfDpi(int nDpi);
int DpiOfPercent(int nPercent);

// Which file of an image to draw at nPercent, given the percentages of the
// variants "name@<percent>.ext" that exist beside it (the base file is 100):
// an exact variant as it is; else the nearest larger one, scaled down; else
// the largest, scaled up.
struct ImageChoice {
    int nPercent = 100; // 100: the base file
    bool bResample = false;
};
ImageChoice ChooseImageVariant(int nPercent, const std::vector<int>& variants);

// The size an image of nFrames equal frames, drawn for nSourcePercent, takes
// at nDpi: each frame scaled on its own and the strip made of them again, so
// that the frames stay equal. nFrames of 1 or less: the image as one frame.
SIZE ImageSizeAt(SIZE source, int nSourcePercent, int nDpi, int nFrames);

} // namespace KvScale
