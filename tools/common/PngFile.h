// PNG files through GDI+ (the caller has started GDI+, as a host does).
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "tools/common/CapturePixels.h"

namespace PngFile {

bool Save(Gdiplus::Bitmap& bitmap, const std::wstring& path);

// Writes the picture with its alpha; false for an empty picture.
bool Save(const CapturePixels::ArgbImage& image, const std::wstring& path);

} // namespace PngFile
