// Image, icon and cursor files as bytes, made without an encoder, for skins
// written by tests and benchmarks.
#pragma once

#include <string>

// A 32-bpp BMP of opaque grey.
std::string BmpFileBytes(int nWidth, int nHeight);
// A one-image .ico (nType 1) or .cur (nType 2, hot spot 0, 0) of 32 bpp.
std::string IconFileBytes(int nType, int nSize);
