#include "tests/common/ImageKit.h"

#include <algorithm>

#include "tools/common/DibCanvas.h"
#include "tools/common/PngFile.h"

namespace ImageKit {

TempFolder::TempFolder(const wchar_t* pszPrefix, const std::wstring& strParent) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_path = (strParent.empty() ? std::wstring(temp) : strParent) + pszPrefix + L"_" +
             std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(::GetTickCount64()) +
             L"\\";
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

std::wstring TempFolder::Subfolder(const wchar_t* name) const {
    std::wstring path = m_path + name + L"\\";
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((folder + name).c_str());
            else if (name != L"." && name != L"..")
                RemoveTree(folder + name + L"\\");
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

TempFolder::~TempFolder() {
    RemoveTree(m_path);
}

bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path) {
    return PngFile::Save(bitmap, path);
}

std::wstring SaveStrip(const TempFolder& folder, const wchar_t* name,
                       const std::vector<Gdiplus::ARGB>& colours, int frameWidth, int height) {
    const int count = static_cast<int>(colours.size());
    Gdiplus::Bitmap strip(frameWidth * count, height, PixelFormat32bppARGB);
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < frameWidth; ++x)
                strip.SetPixel(i * frameWidth + x, y, Gdiplus::Color(colours[i]));
    const std::wstring path = folder.File(name);
    return SavePng(strip, path) ? path : std::wstring();
}

HBITMAP CreateDib(int width, int height, DWORD** ppBits) {
    void* bits = nullptr;
    HBITMAP dib = CreateTopDownDib(width, height, &bits);
    *ppBits = static_cast<DWORD*>(bits);
    return dib;
}

Gdiplus::ARGB PixelAt(Gdiplus::Bitmap* bitmap, int x, int y) {
    Gdiplus::Color pixel;
    if (!bitmap || bitmap->GetPixel(x, y, &pixel) != Gdiplus::Ok)
        return 0xDEADBEEF;
    return pixel.GetValue();
}

int CountPixels(Gdiplus::Bitmap* bitmap, Gdiplus::ARGB colour, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (PixelAt(bitmap, x, y) == colour)
                ++count;
    return count;
}

std::pair<int, int> InkColumns(Gdiplus::Bitmap* bitmap, int x0, int x1, int height) {
    std::pair<int, int> columns(x1, -1);
    for (int x = x0; x < x1; ++x)
        for (int y = 0; y < height; ++y)
            if (PixelAt(bitmap, x, y) >> 24) {
                columns.first = (std::min)(columns.first, x);
                columns.second = x;
            }
    return columns;
}

} // namespace ImageKit
