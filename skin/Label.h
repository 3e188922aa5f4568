// A static control drawn with GDI+: the parent's background piece, an image
// of its own and a text, composed once into a cache bitmap and copied on
// every paint. It can show its own cursor.
#pragma once

#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/DrawUtil.h"

#include <memory>
#include <type_traits>

class KELVANE_API CLabel : public CStatic {
    DECLARE_DYNCREATE(CLabel)

public:
    CLabel();
    virtual ~CLabel();

    // Setters discard an existing cache and repaint; with no cache they only store.
    void SetText(CString strText);
    void SetTextColors(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrDisabled);
    void SetFontSize(int nSize);
    void SetFontName(CString strName);
    void SetFontStyle(int nStyle);
    void SetTextFormat(int nAlign, int nLineAlign, int nTrimming);
    // The parent keeps the image alive and calls again when it replaces it.
    void SetParentBackground(Gdiplus::Image* pImage);
    // FALSE only for a null path; an unreadable file leaves the label without an image.
    BOOL SetImageFile(LPCWSTR pszPath);
    // The DPI the image set after it is drawn for: the dialog's.
    void SetImageDpi(int nDpi) { m_nImageDpi = nDpi; }
    // Takes ownership of hCursor and destroys the cursor held before.
    void SetLabelCursor(HCURSOR hCursor);

    const CString& GetText() const { return m_strText; }
    // Whether the last SetImageFile gave an image that could be read.
    bool HasImage() const { return m_pImage != nullptr; }

    UINT GetCacheBuildCount() const { return m_nCacheBuilds; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    struct CursorDestroyer {
        void operator()(HCURSOR hCursor) const { ::DestroyCursor(hCursor); }
    };
    using CursorHandle = std::unique_ptr<std::remove_pointer_t<HCURSOR>, CursorDestroyer>;

    CString m_strText;
    ItemFontInfo m_textLook; // drawn in its normal colour in every state
    std::unique_ptr<Gdiplus::Image> m_pImage;
    Gdiplus::Image* m_pParentBk; // not owned
    std::unique_ptr<Gdiplus::Bitmap> m_pCache;
    CursorHandle m_hCursor;
    UINT m_nCacheBuilds;
    int m_nImageDpi = 96;
    CKvCanvas m_cacheCopy; // what paints copy; refreshed with every build

private:
    void InputChanged();
    void PaintCache(HDC hDC);
    void ComposeCache(const CRect& rcClient);
};
