// Image files come with skins, which anyone may write: a file of a few bytes
// can declare a picture of gigabytes, and the decoders allocate what the
// header declares before they read a pixel. The declared size is therefore
// read from the header first, and a picture beyond the limits is not decoded.
#pragma once

#include <windows.h>

#include <cstdint>

namespace KvImageLimits {

// Larger than any screen and any sheet a dialog accepts, in pixels.
constexpr uint64_t kMaxSide = 16384;
constexpr uint64_t kMaxPixels = 8192ull * 8192ull;
// More pixels per byte of file than even a one-bit picture of one colour
// compresses to in the formats that are read here.
constexpr uint64_t kMaxPixelsPerFileByte = 8 * 1032;

// Whether the declared picture fits: within both limits and explainable by
// a file of nFileBytes.
bool DeclaredSizeFits(uint64_t nWidth, uint64_t nHeight, uint64_t nFileBytes);

enum class ImageHeader {
    Fits,       // or not a format read here: the decoder judges it itself
    TooLarge,   // declares a picture that does not fit
    Unreadable, // a known format whose header cannot be read as a decoder reads it
};

// What the header of a BMP, PNG, GIF (every frame), JPEG, TIFF, icon or
// cursor file declares. A header that cannot be read counts against the
// file: what a decoder would make of it, and allocate, is unknown.
ImageHeader CheckImageFile(LPCWSTR pszPath);

// CheckImageFile gives Fits: the file may be handed to a decoder.
bool ImageFileFits(LPCWSTR pszPath);

} // namespace KvImageLimits
