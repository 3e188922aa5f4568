// GDI+ drawing shared by the skinned controls and the windowless dialog:
// the composed cache bitmap, 1:1 copies of image parts, the dotted focus
// frame, and text measuring.
#pragma once

#include <afx.h>
#include "runtime/KelvaneApi.h"
#include "skin/Canvas.h"
#include "skin/TextLook.h"
#include <windows.h>
#include <gdiplus.h>

#include <memory>

// Replaces the bitmap in *ppBitmap with a fully transparent 32-bpp ARGB bitmap
// of the given size. When it cannot be made, the slot is left empty.
KELVANE_API BOOL CreateCacheBitmap(Gdiplus::Bitmap** ppBitmap, int nWidth, int nHeight);

// Copies rcSource of pSource, unscaled, to the origin of pDest.
KELVANE_API BOOL DrawImagePart(Gdiplus::Image* pSource, Gdiplus::Image* pDest, RECT rcSource);

// A black dotted frame 3 pixels inside rc.
KELVANE_API BOOL DrawFocusFrame(Gdiplus::Image* pDest, RECT rc);

// Measures strText within the layout box rc (a height of 0 leaves the height
// unbounded) and writes the integer bounding box back into rc. The measuring
// status is left as pGraphics->GetLastStatus().
KELVANE_API void MeasureTextBounds(const CString& strText, Gdiplus::Graphics* pGraphics,
                                   const CString& strFontName, int nEmSize, int nStyle, RECT& rc);

// MeasureTextBounds with a font made beforehand, for callers that measure often.
KELVANE_API void MeasureTextBounds(const CString& strText, Gdiplus::Graphics* pGraphics,
                                   const Gdiplus::Font& font, RECT& rc);

// A font of the family, em size in pixels and GDI+ style bits. A family that
// does not exist gives a font whose status is not Ok: it draws and measures nothing.
KELVANE_API std::unique_ptr<Gdiplus::Font> CreateSkinFont(const CString& strFontName, int nEmSize,
                                                          int nStyle);

// MeasureTextBounds on a Graphics made for pImage; nothing when pImage is null.
KELVANE_API void MeasureTextOnImage(const CString& strText, Gdiplus::Image* pImage,
                                    const CString& strFontName, int nEmSize, int nStyle, RECT& rc);

// Draws strText into rc in the look's font and format and the colour given;
// prefix says what an ampersand does. Failures leave the text out. Both draw
// and measure at most KvLayout::kMaxDrawnText characters.
KELVANE_API void DrawSkinText(Gdiplus::Graphics& graphics, const CString& strText,
                              const ItemFontInfo& look, Gdiplus::ARGB clrText,
                              const Gdiplus::RectF& rc, Gdiplus::HotkeyPrefix prefix);
// The same with the look's font made beforehand; only the look's format is read.
KELVANE_API void DrawSkinText(Gdiplus::Graphics& graphics, const CString& strText,
                              const Gdiplus::Font& font, const ItemFontInfo& look,
                              Gdiplus::ARGB clrText, const Gdiplus::RectF& rc,
                              Gdiplus::HotkeyPrefix prefix);
// The look's font; a family that does not exist gives a font whose status is not Ok.
KELVANE_API std::unique_ptr<Gdiplus::Font> CreateLookFont(const ItemFontInfo& look);
// A rectangle as GDI+ draws text into it.
Gdiplus::RectF RectFOf(const RECT& rc);

// hWnd's window rectangle in the client coordinates of its parent, where the
// parent's background image is drawn 1:1.
KELVANE_API RECT GetRectInParentClient(HWND hWnd);

// Loads an image file; null when GDI+ cannot read it, or when its header
// declares a picture beyond the limits of skin/ImageLimits.h or, in a format
// read there, cannot be read. The image is decoded from a copy of the file's
// bytes: the file is not held open, so it can be saved over while shown.
KELVANE_API Gdiplus::Image* LoadImageOrNull(LPCWSTR pszPath);

// A stream over a copy of the file's bytes, for GDI+ to decode from (it keeps
// the stream it decodes from as long as the image lives, and one on the file
// would keep the file open and locked against writers); null when the file
// cannot be read or is larger than any picture the toolkit decodes.
IStream* CreateFileCopyStream(LPCWSTR pszPath);

// Copies pCache onto hDC at (0, 0) through copy, its premultiplied canvas, or
// with GDI+ when that is empty; copy must hold pCache's current pixels.
KELVANE_API void PaintComposedCache(HDC hDC, Gdiplus::Bitmap* pCache, const CKvCanvas& copy,
                                    int nWidth, int nHeight);

// Makes pCache hold the control's look at the given size, building it (counted
// in nBuilds) when an input change discarded it or the size changed since;
// compose draws the look into pCache. false when no cache can be made.
template <typename Compose>
bool EnsureComposedCache(int nWidth, int nHeight, std::unique_ptr<Gdiplus::Bitmap>& pCache,
                         CKvCanvas& copy, UINT& nBuilds, Compose compose) {
    if (pCache && static_cast<int>(pCache->GetWidth()) == nWidth &&
        static_cast<int>(pCache->GetHeight()) == nHeight)
        return true;
    Gdiplus::Bitmap* pNew = nullptr;
    CreateCacheBitmap(&pNew, nWidth, nHeight);
    pCache.reset(pNew);
    if (!pCache)
        return false;
    ++nBuilds;
    compose();
    copy.CopyFrom(pCache.get());
    return true;
}

// Paints a control's composed cache, first building it when needed.
template <typename Compose>
void PaintThroughCache(HDC hDC, int nWidth, int nHeight, std::unique_ptr<Gdiplus::Bitmap>& pCache,
                       CKvCanvas& copy, UINT& nBuilds, Compose compose) {
    if (EnsureComposedCache(nWidth, nHeight, pCache, copy, nBuilds, compose))
        PaintComposedCache(hDC, pCache.get(), copy, nWidth, nHeight);
}
