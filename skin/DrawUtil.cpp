#include "skin/DrawUtil.h"

#include "skin/ControlLayout.h"
#include "skin/ImageLimits.h"

#include <shlwapi.h>

#include <vector>

namespace {

// The largest image file read: the bytes of the largest picture decoded, at
// four bytes a pixel, and room for its headers.
constexpr ULONGLONG kMaxImageFileBytes = KvImageLimits::kMaxPixels * 4 + (1 << 20);

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

void DrawSkinText(Gdiplus::Graphics& graphics, const CString& strText, const ItemFontInfo& look,
                  Gdiplus::ARGB clrText, const Gdiplus::RectF& rc, Gdiplus::HotkeyPrefix prefix) {
    DrawSkinText(graphics, strText, *CreateLookFont(look), look, clrText, rc, prefix);
}

void DrawSkinText(Gdiplus::Graphics& graphics, const CString& strText, const Gdiplus::Font& font,
                  const ItemFontInfo& look, Gdiplus::ARGB clrText, const Gdiplus::RectF& rc,
                  Gdiplus::HotkeyPrefix prefix) {
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetAlignment(static_cast<Gdiplus::StringAlignment>(look.nAlign));
    format.SetLineAlignment(static_cast<Gdiplus::StringAlignment>(look.nLineAlign));
    format.SetTrimming(static_cast<Gdiplus::StringTrimming>(look.nTrimming));
    format.SetHotkeyPrefix(prefix);
    Gdiplus::SolidBrush brush{Gdiplus::Color(clrText)};
    const CString strDrawn = DrawnText(strText);
    graphics.DrawString(strDrawn, strDrawn.GetLength(), &font, rc, &format, &brush);
}

std::unique_ptr<Gdiplus::Font> CreateLookFont(const ItemFontInfo& look) {
    return CreateSkinFont(look.strFontName, look.nFontSize, look.nFontStyle);
}

Gdiplus::RectF RectFOf(const RECT& rc) {
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top),
                          static_cast<Gdiplus::REAL>(rc.right - rc.left),
                          static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
}

RECT GetRectInParentClient(HWND hWnd) {
    RECT rc{0, 0, 0, 0};
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

IStream* CreateFileCopyStream(LPCWSTR pszPath) {
    HANDLE hFile =
        ::CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return nullptr;
    LARGE_INTEGER size = {};
    std::vector<BYTE> bytes;
    if (::GetFileSizeEx(hFile, &size) && size.QuadPart > 0 &&
        static_cast<ULONGLONG>(size.QuadPart) <= kMaxImageFileBytes)
        bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD nRead = 0;
    const BOOL bRead =
        !bytes.empty() &&
        ::ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &nRead, nullptr);
    ::CloseHandle(hFile);
    if (!bRead || nRead != bytes.size())
        return nullptr;
    return ::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
}

Gdiplus::Image* LoadImageOrNull(LPCWSTR pszPath) {
    if (!KvImageLimits::ImageFileFits(pszPath))
        return nullptr;
    IStream* pStream = CreateFileCopyStream(pszPath);
    if (!pStream)
        return nullptr;
    Gdiplus::Image* pImage = new Gdiplus::Image(pStream);
    pStream->Release(); // the image holds the stream for as long as it needs it
    if (pImage && pImage->GetLastStatus() != Gdiplus::Ok) {
        delete pImage;
        pImage = nullptr;
    }
    return pImage;
}

void PaintComposedCache(HDC hDC, Gdiplus::Bitmap* pCache, const CKvCanvas& copy, int nWidth,
                        int nHeight) {
    if (!pCache || copy.BlendOnto(hDC))
        return;
    Gdiplus::Graphics graphics(hDC);
    graphics.DrawImage(pCache, 0, 0, nWidth, nHeight);
}
