#include "skin/Canvas.h"

#include <algorithm>

HBITMAP CreateDibSection32(int nWidth, int nHeight, bool bTopDown, void** ppBits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = bTopDown ? -nHeight : nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(nWidth) * static_cast<DWORD>(nHeight) * 4;
    *ppBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, ppBits, nullptr, 0);
    if (hBitmap && !*ppBits) {
        ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    return hBitmap;
}

void ClipToParts(HDC hDC, const std::vector<RECT>& parts) {
    HRGN hParts = ::CreateRectRgn(0, 0, 0, 0);
    for (const RECT& rc : parts) {
        HRGN hPart = ::CreateRectRgnIndirect(&rc);
        ::CombineRgn(hParts, hParts, hPart, RGN_OR);
        ::DeleteObject(hPart);
    }
    ::ExtSelectClipRgn(hDC, hParts, RGN_AND);
    ::DeleteObject(hParts);
}

bool CKvCanvas::Create(int nWidth, int nHeight) {
    Release();
    if (nWidth <= 0 || nHeight <= 0)
        return false;
    void* pBits = nullptr;
    m_hBitmap = CreateDibSection32(nWidth, nHeight, true, &pBits);
    m_hDC = m_hBitmap ? ::CreateCompatibleDC(nullptr) : nullptr;
    if (!m_hDC) {
        Release();
        return false;
    }
    m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
    m_pBits = static_cast<uint32_t*>(pBits);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    return true;
}

bool CKvCanvas::CopyFrom(Gdiplus::Bitmap* pBitmap) {
    if (!pBitmap ||
        !Create(static_cast<int>(pBitmap->GetWidth()), static_cast<int>(pBitmap->GetHeight())))
        return false;
    // GDI+ converts to the premultiplied form straight into the section.
    Gdiplus::BitmapData data = {};
    data.Width = static_cast<UINT>(m_nWidth);
    data.Height = static_cast<UINT>(m_nHeight);
    data.Stride = m_nWidth * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = m_pBits;
    Gdiplus::Rect whole(0, 0, m_nWidth, m_nHeight);
    if (pBitmap->LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                          PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
        Release();
        return false;
    }
    pBitmap->UnlockBits(&data);
    return true;
}

void CKvCanvas::Release() {
    m_pBitmap.reset(); // it draws into the section's pixels
    if (m_hOldBitmap)
        ::SelectObject(m_hDC, m_hOldBitmap);
    if (m_hDC)
        ::DeleteDC(m_hDC);
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
    m_hBitmap = nullptr;
    m_hDC = nullptr;
    m_hOldBitmap = nullptr;
    m_pBits = nullptr;
    m_nWidth = m_nHeight = 0;
}

Gdiplus::Bitmap* CKvCanvas::Bitmap() {
    if (!m_pBitmap && m_pBits) {
        auto pBitmap = std::make_unique<Gdiplus::Bitmap>(m_nWidth, m_nHeight, m_nWidth * 4,
                                                         PixelFormat32bppPARGB,
                                                         reinterpret_cast<BYTE*>(m_pBits));
        if (pBitmap->GetLastStatus() == Gdiplus::Ok)
            m_pBitmap = std::move(pBitmap);
    }
    return m_pBitmap.get();
}

BOOL CKvCanvas::BlendOnto(HDC hDC) const {
    if (!m_hDC)
        return FALSE;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(hDC, 0, 0, m_nWidth, m_nHeight, m_hDC, 0, 0, m_nWidth, m_nHeight, blend);
}

RECT CKvCanvas::PartOn(const RECT& rc) const {
    return RECT{(std::max<LONG>)(rc.left, 0), (std::max<LONG>)(rc.top, 0),
                (std::min<LONG>)(rc.right, m_nWidth), (std::min<LONG>)(rc.bottom, m_nHeight)};
}

BOOL CKvCanvas::BlendPartOnto(HDC hDC, const RECT& rc) const {
    const RECT part = PartOn(rc);
    if (!m_hDC || part.left >= part.right || part.top >= part.bottom)
        return FALSE;
    const int nWidth = part.right - part.left, nHeight = part.bottom - part.top;
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(hDC, part.left, part.top, nWidth, nHeight, m_hDC, part.left, part.top,
                        nWidth, nHeight, blend);
}

void CKvCanvas::Clear(const RECT& rc) {
    const RECT part = PartOn(rc);
    if (!m_pBits || part.left >= part.right)
        return;
    ::GdiFlush(); // GDI may still be writing there
    for (LONG y = part.top; y < part.bottom; ++y)
        std::fill_n(m_pBits + static_cast<size_t>(y) * m_nWidth + part.left, part.right - part.left,
                    0u);
}
