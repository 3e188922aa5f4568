// PNG files through GDI+ (the caller has started GDI+, as a host does).
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

#include "tools/common/CapturePixels.h"

namespace PngFile {

// Any encoder the system has, by its MIME type; PNG unless told.
bool Save(Gdiplus::Bitmap& bitmap, const std::wstring& path,
          const wchar_t* mimeType = L"image/png");

// Writes the picture with its alpha; false for an empty picture.
bool Save(const CapturePixels::ArgbImage& image, const std::wstring& path);

} // namespace PngFile
