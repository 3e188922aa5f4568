// Owner-drawn skinned buttons: a state strip, an optional icon, a GDI+ caption
// and the parent's background piece, composed once into a cache bitmap and
// copied on every paint.
#pragma once

#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/DrawUtil.h"

#include <memory>

// Posted to a radio-kind button when another radio of its group was checked.
#define WM_BMPBUTTON_UNCHECK (WM_USER + 0x100)

class KELVANE_API CKvBmpButton : public CButton {
    DECLARE_DYNAMIC(CKvBmpButton)

public:
    CKvBmpButton();
    virtual ~CKvBmpButton();

    // Each setter discards the composed cache; a non-zero bRedraw also repaints.
    void SetText(CString strText, BOOL bRedraw);
    void SetTextColors(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrDisabled, BOOL bRedraw);
    void SetFontStyle(int nStyle, BOOL bRedraw);
    void SetFontSize(int nSize, BOOL bRedraw);
    void SetFontName(CString strName, BOOL bRedraw);
    void SetTextFormat(int nAlign, int nLineAlign, int nTrimming, BOOL bRedraw);
    // ppImage is the parent's own pointer slot, so a replaced background is seen.
    void SetParentBackground(Gdiplus::Image** ppImage, BOOL bRedraw);
    // Kept for skins that ask for it: a focused button shows its focus frame
    // once the keyboard was used, whatever this says.
    void SetDrawFocus(BOOL bDrawFocus, BOOL bRedraw);
    // FALSE only for a null path; an unreadable file leaves the button without the image.
    BOOL LoadStateImage(LPCWSTR pszPath, BOOL bRedraw);
    // The DPI the images loaded after it are drawn for: the dialog's.
    void SetImageDpi(int nDpi) { m_nImageDpi = nDpi; }
    BOOL LoadIconImage(LPCWSTR pszPath, BOOL bRedraw);
    int GetButtonKind() const { return m_nKind; }
    // The pointer is over the button.
    BOOL IsHovered() const { return m_bHover; }

    // How many times the composed cache was rendered (paints only copy it).
    UINT GetCacheBuildCount() const { return m_nCacheBuilds; }

protected:
    virtual void PreSubclassWindow();
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    // TRUE only where the look shown now has a pixel with alpha 0; builds
    // that look first when no paint came since the last input change.
    BOOL IsTransparentAt(int x, int y);
    void EndHover();

    afx_msg UINT OnGetDlgCode();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUncheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUpdateUIState(WPARAM wParam, LPARAM lParam);
    // What a click does, without the mouse: the check follows and the parent
    // hears BN_CLICKED (mnemonics, Enter, arrows in a radio group, screen readers).
    afx_msg LRESULT OnClick(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CString m_strText;
    ItemFontInfo m_textLook;
    std::unique_ptr<Gdiplus::Image> m_pStateImage;
    std::unique_ptr<Gdiplus::Image> m_pIconImage;
    Gdiplus::Image** m_ppParentBk; // not owned
    std::unique_ptr<Gdiplus::Bitmap> m_pCache;
    Gdiplus::ARGB m_clrCached;
    int m_nCachedState;
    BOOL m_bHover;
    BOOL m_bDrawFocus;
    BOOL m_bCachedFocus;
    int m_nKind;
    BOOL m_bChecked;
    BOOL m_bLButtonDown;
    UINT m_nCacheBuilds;
    int m_nImageDpi = 96;
    CKvCanvas m_cacheCopy; // what paints copy; refreshed with every build

private:
    void InputChanged(BOOL bRedraw);
    // The window's UI state hides keyboard cues: the mnemonic is not
    // underlined and the focus not framed until the keyboard is used.
    bool AcceleratorsHidden() const;
    // Applies UISF_HIDEACCEL and UISF_HIDEFOCUS as a WM_UPDATEUISTATE gives
    // them; true when a cue changed.
    bool ApplyUIState(WORD nAction, WORD nFlags);
    // Check changes and hover are announced to screen readers.
    void AnnounceState();

    bool m_bHideAccel = false; // as the last UI state the button was told
    bool m_bHideFocus = false;
    bool m_bDefault = false; // created as the default push button: Enter presses it
    // The look (frame, caption colour, focus) for the given owner-draw state;
    // a different look than the cached one discards the cache.
    void UpdateCachedLook(UINT nItemState);
    // The owner-draw state flags the system would report for the button now.
    UINT CurrentItemState();
    void PaintCache(HDC hDC);
    // Builds the composed cache when it is missing or of another size.
    bool EnsureCache();
    void ComposeCache(const CRect& rcClient);
    void DrawStateFrame(const CRect& rcClient);
    void DrawContent(Gdiplus::ARGB clrCaption);
    int MeasureCaptionWidth();
    void ApplyClickToCheck();
    void UncheckGroupSiblings();
};

// A bitmap button whose hit area follows the alpha of its composed image.
class KELVANE_API CKvBmpButtonRegin : public CKvBmpButton {
public:
    CKvBmpButtonRegin();
    virtual ~CKvBmpButtonRegin();

protected:
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
