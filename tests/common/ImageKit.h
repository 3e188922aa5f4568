// Files and images for tests and benchmarks: a temporary folder of the
// program's own, solid-colour strips saved there as PNG, and pixel reads.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <utility>
#include <vector>

namespace ImageKit {

// A fresh folder under the Windows temp path (or under strParent, which
// ends with a backslash), removed with its files and sub-folders on
// destruction.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* pszPrefix = L"kvtest", const std::wstring& strParent = L"");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::wstring File(const wchar_t* name) const { return m_path + name; }
    // Creates the sub-folder and returns its path, ending with a backslash.
    std::wstring Subfolder(const wchar_t* name) const;
    const std::wstring& Path() const { return m_path; } // ends with a backslash

private:
    std::wstring m_path;
};

// The bytes of a file ("" when it cannot be read); a file made of bytes.
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);

// Image, icon and cursor files as bytes, made without an encoder: a 32-bpp BMP
// of opaque grey, and a one-image .ico (nType 1) or .cur (nType 2, hot spot
// 0, 0) of 32 bpp.
std::string BmpFileBytes(int nWidth, int nHeight);
std::string IconFileBytes(int nType, int nSize);

// Frames side by side, frame i filled with colours[i].
std::wstring SaveStrip(const TempFolder& folder, const wchar_t* name,
                       const std::vector<Gdiplus::ARGB>& colours, int frameWidth, int height);

bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path);
// Through the encoder of the MIME type ("image/jpeg").
bool SaveEncoded(Gdiplus::Bitmap& bitmap, const std::wstring& path, const wchar_t* mimeType);

Gdiplus::ARGB PixelAt(Gdiplus::Bitmap* bitmap, int x, int y);

// Pixels of the column range [x0, x1) and row range [y0, y1) equal to colour.
int CountPixels(Gdiplus::Bitmap* bitmap, Gdiplus::ARGB colour, int x0, int y0, int x1, int y1);

// The first and last columns in [x0, x1) with a pixel that is not fully
// transparent in rows [0, height); (x1, -1) when there is none.
std::pair<int, int> InkColumns(Gdiplus::Bitmap* bitmap, int x0, int x1, int height);

} // namespace ImageKit
