#include "skin/DrawUtil.h"

#include "skin/ControlLayout.h"
#include "skin/ImageLimits.h"

namespace {

CString DrawnText(const CString& strText) {
    if (strText.GetLength() <= KvLayout::kMaxDrawnText)
        return strText;
    int nKept = KvLayout::kMaxDrawnText - 1;
    if (IS_HIGH_SURROGATE(strText[nKept - 1]))
        --nKept; // never half a character
    return strText.Left(nKept) + L"\x2026";
}

} // namespace

BOOL CreateCacheBitmap(Gdiplus::Bitmap** ppBitmap, int nWidth, int nHeight) {
    delete *ppBitmap;
    *ppBitmap = nullptr;
    if (nWidth <= 0 || nHeight <= 0)
        return TRUE;
    Gdiplus::Bitmap* pBitmap = new Gdiplus::Bitmap(nWidth, nHeight, PixelFormat32bppARGB);
    if (pBitmap && pBitmap->GetLastStatus() != Gdiplus::Ok) {
        delete pBitmap;
        pBitmap = nullptr;
    }
    *ppBitmap = pBitmap;
    return TRUE;
}

BOOL DrawImagePart(Gdiplus::Image* pSource, Gdiplus::Image* pDest, RECT rcSource) {
    if (!pSource || !pDest)
        return TRUE;
    const int width = rcSource.right - rcSource.left;
    const int height = rcSource.bottom - rcSource.top;
    Gdiplus::Graphics graphics(pDest);
    graphics.DrawImage(pSource, Gdiplus::Rect(0, 0, width, height), rcSource.left, rcSource.top,
                       width, height, Gdiplus::UnitPixel);
    return TRUE;
}

BOOL DrawFocusFrame(Gdiplus::Image* pDest, RECT rc) {
    if (!pDest)
        return TRUE;
    InflateRect(&rc, -KvLayout::kContentGap, -KvLayout::kContentGap);
    Gdiplus::Graphics graphics(pDest);
    Gdiplus::Pen pen(Gdiplus::Color(0xFF000000), 1.0f);
    pen.SetDashStyle(Gdiplus::DashStyleDot);
    graphics.DrawRectangle(&pen, static_cast<INT>(rc.left), static_cast<INT>(rc.top),
                           static_cast<INT>(rc.right - rc.left - 1),
                           static_cast<INT>(rc.bottom - rc.top - 1));
    return TRUE;
}

void MeasureTextBounds(const CString& strText, Gdiplus::Graphics* pGraphics,
                       const CString& strFontName, int nEmSize, int nStyle, RECT& rc) {
    if (!pGraphics)
        return;
    const std::unique_ptr<Gdiplus::Font> pFont = CreateSkinFont(strFontName, nEmSize, nStyle);
    MeasureTextBounds(strText, pGraphics, *pFont, rc);
}

void MeasureTextBounds(const CString& strText, Gdiplus::Graphics* pGraphics,
                       const Gdiplus::Font& font, RECT& rc) {
    if (!pGraphics)
        return;
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rc.left),
                                static_cast<Gdiplus::REAL>(rc.top),
                                static_cast<Gdiplus::REAL>(rc.right - rc.left),
                                static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
    // A failed measurement reports an empty box rather than leftovers.
    Gdiplus::RectF box(0, 0, 0, 0);
    const CString strDrawn = DrawnText(strText);
    pGraphics->MeasureString(strDrawn, strDrawn.GetLength(), &font, layout, &format, &box);
    rc = KvLayout::RectFromMeasuredBox(box.X, box.Y, box.Width, box.Height);
}

std::unique_ptr<Gdiplus::Font> CreateSkinFont(const CString& strFontName, int nEmSize, int nStyle) {
    Gdiplus::FontFamily family(strFontName);
    return std::make_unique<Gdiplus::Font>(&family, static_cast<Gdiplus::REAL>(nEmSize), nStyle,
                                           Gdiplus::UnitPixel);
}

void MeasureTextOnImage(const CString& strText, Gdiplus::Image* pImage, const CString& strFontName,
                        int nEmSize, int nStyle, RECT& rc) {
    if (!pImage)
        return;
    Gdiplus::Graphics graphics(pImage);
    MeasureTextBounds(strText, &graphics, strFontName, nEmSize, nStyle, rc);
}

void DrawSkinText(Gdiplus::Graphics& graphics, const CString& strText, const KvTextLook& look,
                  Gdiplus::ARGB clrText, const Gdiplus::RectF& rc) {
    const std::unique_ptr<Gdiplus::Font> pFont =
        CreateSkinFont(look.strFontName, look.nFontSize, look.nFontStyle);
    DrawSkinText(graphics, strText, *pFont, look, clrText, rc);
}

void DrawSkinText(Gdiplus::Graphics& graphics, const CString& strText, const Gdiplus::Font& font,
                  const KvTextLook& look, Gdiplus::ARGB clrText, const Gdiplus::RectF& rc) {
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetAlignment(static_cast<Gdiplus::StringAlignment>(look.nAlign));
    format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(look.nLineAlign));
    format.SetTrimming(static_cast<Gdiplus::StringTrimming>(look.nTrimming));
    format.SetHotkeyPrefix(look.hotkeyPrefix);
    Gdiplus::SolidBrush brush{Gdiplus::Color(clrText)};
    const CString strDrawn = DrawnText(strText);
    graphics.DrawString(strDrawn, strDrawn.GetLength(), &font, rc, &format, &brush);
}

RECT GetRectInParentClient(HWND hWnd) {
    RECT rc{0, 0, 0, 0};
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

Gdiplus::Image* LoadImageOrNull(LPCWSTR pszPath) {
    if (!KvImageLimits::ImageFileFits(pszPath))
        return nullptr;
    Gdiplus::Image* pImage = new Gdiplus::Image(pszPath);
    if (pImage && pImage->GetLastStatus() != Gdiplus::Ok) {
        delete pImage;
        pImage = nullptr;
    }
    return pImage;
}

HBITMAP CreateTopDownSection(int nWidth, int nHeight, void** ppBits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *ppBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, ppBits, nullptr, 0);
    if (hBitmap && !*ppBits) {
        ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    return hBitmap;
}

BOOL CKvCacheSurface::CopyFrom(Gdiplus::Bitmap* pCache) {
    Release();
    if (!pCache)
        return FALSE;
    const int width = static_cast<int>(pCache->GetWidth());
    const int height = static_cast<int>(pCache->GetHeight());
    void* pBits = nullptr;
    m_hBitmap = CreateTopDownSection(width, height, &pBits);
    if (!m_hBitmap)
        return FALSE;
    // GDI+ converts to the premultiplied form AlphaBlend wants, straight into the DIB.
    Gdiplus::BitmapData data = {};
    data.Width = static_cast<UINT>(width);
    data.Height = static_cast<UINT>(height);
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = pBits;
    Gdiplus::Rect whole(0, 0, width, height);
    if (pCache->LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                         PixelFormat32bppPARGB, &data) != Gdiplus::Ok) {
        Release();
        return FALSE;
    }
    pCache->UnlockBits(&data);
    m_hMemDC = ::CreateCompatibleDC(nullptr);
    if (!m_hMemDC) {
        Release();
        return FALSE;
    }
    m_hOldBitmap = ::SelectObject(m_hMemDC, m_hBitmap);
    m_nWidth = width;
    m_nHeight = height;
    return TRUE;
}

BOOL CKvCacheSurface::PaintTo(HDC hDC) const {
    if (!m_hMemDC)
        return FALSE;
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return ::AlphaBlend(hDC, 0, 0, m_nWidth, m_nHeight, m_hMemDC, 0, 0, m_nWidth, m_nHeight, blend);
}

void CKvCacheSurface::Release() {
    if (m_hMemDC) {
        ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
    }
    if (m_hBitmap)
        ::DeleteObject(m_hBitmap);
    m_hMemDC = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
    m_nWidth = m_nHeight = 0;
}

void PaintComposedCache(HDC hDC, Gdiplus::Bitmap* pCache, const CKvCacheSurface& surface,
                        int nWidth, int nHeight) {
    if (!pCache || surface.PaintTo(hDC))
        return;
    Gdiplus::Graphics graphics(hDC);
    graphics.DrawImage(pCache, 0, 0, nWidth, nHeight);
}
