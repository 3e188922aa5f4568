#include "tools/common/DibCanvas.h"

HBITMAP CreateTopDownDib(int nWidth, int nHeight, void** ppBits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *ppBits = nullptr;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, ppBits, nullptr, 0);
}

CDibCanvas::CDibCanvas(int nWidth, int nHeight) {
    void* pBits = nullptr;
    m_hBitmap = CreateTopDownDib(nWidth, nHeight, &pBits);
    m_hDC = ::CreateCompatibleDC(nullptr);
    if (m_hBitmap && m_hDC) {
        m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
        m_pBits = static_cast<uint32_t*>(pBits);
    }
}

CDibCanvas::~CDibCanvas() {
    if (m_hOldBitmap)
        ::SelectObject(m_hDC, m_hOldBitmap);
    if (m_hDC)
        ::DeleteDC(m_hDC);
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
}
