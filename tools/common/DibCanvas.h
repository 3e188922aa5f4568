// 32-bpp top-down DIB sections: the pixels GDI hands out and takes in.
#pragma once

#include <windows.h>

#include <cstdint>

// A top-down 32-bpp DIB section; *ppBits receives its pixels (null on failure).
HBITMAP CreateTopDownDib(int nWidth, int nHeight, void** ppBits);

// A top-down 32-bpp DIB section selected into a memory DC of its own.
class CDibCanvas {
public:
    CDibCanvas(int nWidth, int nHeight);
    ~CDibCanvas();
    CDibCanvas(const CDibCanvas&) = delete;
    CDibCanvas& operator=(const CDibCanvas&) = delete;

    bool IsReady() const { return m_pBits != nullptr; }
    HDC DC() const { return m_hDC; }
    uint32_t* Bits() const { return m_pBits; }

private:
    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    uint32_t* m_pBits = nullptr;
};
