// The one offscreen picture of the toolkit and its tools: a 32-bit top-down
// DIB section selected into a memory DC of its own, with its pixels in reach.
// Sheets, the windowless items' layer, the controls' paint copies and the
// tools' pictures are all canvases; a canvas releases everything it made, in
// one place, whatever failed on the way.
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"

#include <cstdint>
#include <memory>
#include <vector>

class KELVANE_API CKvCanvas {
public:
    CKvCanvas() = default;
    // A transparent canvas of the size; see IsReady.
    CKvCanvas(int nWidth, int nHeight) { Create(nWidth, nHeight); }
    ~CKvCanvas() { Release(); }
    CKvCanvas(const CKvCanvas&) = delete;
    CKvCanvas& operator=(const CKvCanvas&) = delete;

    // Replaces the picture by a transparent one of the size; false (and
    // empty) when it cannot be made.
    bool Create(int nWidth, int nHeight);
    // Replaces the picture by pBitmap's pixels, premultiplied as AlphaBlend
    // and UpdateLayeredWindow take them; false (and empty) when they cannot
    // be copied.
    bool CopyFrom(Gdiplus::Bitmap* pBitmap);
    void Release();

    bool IsReady() const { return m_pBits != nullptr; }
    HDC DC() const { return m_hDC; }
    // Premultiplied ARGB, row by row from the top. Call GdiFlush before
    // reading what GDI drew.
    uint32_t* Bits() const { return m_pBits; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    SIZE Size() const { return SIZE{m_nWidth, m_nHeight}; }

    // The pixels as a premultiplied GDI+ bitmap to draw on with GDI+; null
    // when the canvas is empty or GDI+ refuses.
    Gdiplus::Bitmap* Bitmap();
    // Composes the canvas over hDC at (0, 0) with its per-pixel alpha; FALSE
    // when it is empty or GDI fails.
    BOOL BlendOnto(HDC hDC) const;
    // Composes the part rc of the canvas over the same place of hDC.
    BOOL BlendPartOnto(HDC hDC, const RECT& rc) const;
    // Makes the pixels of rc (as far as it lies on the canvas) transparent.
    void Clear(const RECT& rc);

private:
    // rc as far as it lies on the canvas.
    RECT PartOn(const RECT& rc) const;

    HBITMAP m_hBitmap = nullptr;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    uint32_t* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::unique_ptr<Gdiplus::Bitmap> m_pBitmap; // draws into m_pBits
};

// A 32-bit DIB section of nWidth x nHeight, rows from the top or (bTopDown
// false) from the bottom; null when it cannot be made. *ppBits receives its
// pixels. Every section of the toolkit is made here.
HBITMAP CreateDibSection32(int nWidth, int nHeight, bool bTopDown, void** ppBits);

// Limits what is drawn on hDC to the parts, within what it let through
// before; the caller restores the DC (SaveDC, RestoreDC).
KELVANE_API void ClipToParts(HDC hDC, const std::vector<RECT>& parts);
