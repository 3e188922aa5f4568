#include "tests/common/ImageKit.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

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

// The C runtime shares a file it opens for reading and writing, as a viewer does.
std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    char buffer[65536];
    for (size_t read; file && (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, read);
    if (file)
        std::fclose(file);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    const bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return file && std::fclose(file) == 0 && ok;
}

namespace {

std::string Le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A bottom-up DIB; icons and cursors add an AND mask and declare twice the
// height.
std::string Dib(int width, int height, bool forIcon) {
    std::string dib = Le(40, 4) + Le(width, 4) + Le(forIcon ? 2 * height : height, 4) + Le(1, 2) +
                      Le(32, 2) + std::string(24, '\0');
    dib += std::string(static_cast<size_t>(width) * height * 4, '\x80');
    for (int i = 0; i < width * height; ++i)
        dib[40 + i * 4 + 3] = '\xFF';
    if (forIcon)
        dib += std::string(static_cast<size_t>((width + 31) / 32 * 4 * height), '\0');
    return dib;
}

} // namespace

std::string BmpFileBytes(int nWidth, int nHeight) {
    std::string dib = Dib(nWidth, nHeight, false);
    return "BM" + Le(static_cast<uint32_t>(14 + dib.size()), 4) + Le(0, 4) + Le(14 + 40, 4) + dib;
}

std::string IconFileBytes(int nType, int nSize) {
    std::string dib = Dib(nSize, nSize, true);
    bool icon = nType == 1;
    return Le(0, 2) + Le(nType, 2) + Le(1, 2) + Le(nSize, 1) + Le(nSize, 1) + Le(0, 2) +
           Le(icon ? 1 : 0, 2) + Le(icon ? 32 : 0, 2) + Le(static_cast<uint32_t>(dib.size()), 4) +
           Le(22, 4) + dib;
}

bool SavePng(Gdiplus::Bitmap& bitmap, const std::wstring& path) {
    return PngFile::Save(bitmap, path);
}

bool SaveEncoded(Gdiplus::Bitmap& bitmap, const std::wstring& path, const wchar_t* mimeType) {
    return PngFile::Save(bitmap, path, mimeType);
}

std::wstring SaveStrip(const TempFolder& folder, const wchar_t* name,
                       const std::vector<Gdiplus::ARGB>& colours, int frameWidth, int height) {
    const int count = static_cast<int>(colours.size());
    Gdiplus::Bitmap strip(frameWidth * count, height, PixelFormat32bppARGB);
    // Row by row in one lock: a sheet-sized strip has millions of pixels.
    Gdiplus::BitmapData data = {};
    Gdiplus::Rect whole(0, 0, frameWidth * count, height);
    if (strip.LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok)
        return std::wstring();
    for (int y = 0; y < height; ++y) {
        auto* pRow = reinterpret_cast<Gdiplus::ARGB*>(static_cast<BYTE*>(data.Scan0) +
                                                      static_cast<ptrdiff_t>(y) * data.Stride);
        for (int i = 0; i < count; ++i)
            std::fill_n(pRow + i * frameWidth, frameWidth, colours[i]);
    }
    strip.UnlockBits(&data);
    const std::wstring path = folder.File(name);
    return SavePng(strip, path) ? path : std::wstring();
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
