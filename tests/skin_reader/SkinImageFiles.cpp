#include "tests/skin_reader/SkinImageFiles.h"

#include <cstdint>

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
