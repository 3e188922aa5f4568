// A skinned dialog whose push-button items are no child windows: it draws
// them itself, with the background, into one layered picture, tracks hover,
// press and release over them, shows each item's cursor and tooltip text, and
// turns a release over an item into that item's command.
#pragma once

#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/CommonDlg.h"
#include "skin/DrawUtil.h"
#include "skin/WndLessLayout.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

// What one drawn item needs: its rectangle, state strip, icon, text look and
// cursor. Deliberately no base class and no virtual operations; its dialog
// owns it and deletes it as what it is.
class KELVANE_API CWndLessItem {
public:
    CWndLessItem();
    ~CWndLessItem();
    CWndLessItem(const CWndLessItem&) = delete;
    CWndLessItem& operator=(const CWndLessItem&) = delete;

    void SetItemRect(int nLeft, int nTop, int nRight, int nBottom);
    void SetFontName(const CString& strFontName);
    void SetFontSize(int nFontSize);
    void SetFontStyle(int nFontStyle);
    void SetTextFormat(int nAlign, int nLineAlign, int nTrimming);
    // The drawn item has one text colour; the second is accepted and unused.
    void SetTextColors(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrSecond);
    void SetText(const CString& strText);
    // FALSE when the file cannot be read as an image: the item then has none.
    BOOL LoadStateImage(LPCWSTR pszPath);
    BOOL LoadIconImage(LPCWSTR pszPath);
    // The same with an image decoded once for several items; null for none.
    void SetStateImage(std::shared_ptr<Gdiplus::Image> pImage);
    void SetIconImage(std::shared_ptr<Gdiplus::Image> pImage);
    // Takes ownership of hCursor; the cursor held before is destroyed.
    void SetItemCursor(HCURSOR hCursor);
    HCURSOR GetItemCursor() const { return m_hCursor; }
    void SetState(int nState) { m_nState = nState; }
    int GetState() const { return m_nState; }

    // The rectangles icon and text are drawn into on pTarget, whose Graphics
    // measures the text.
    void GetIconRect(RECT& rc, Gdiplus::Bitmap* pTarget);
    void GetTextRect(RECT& rc, Gdiplus::Bitmap* pTarget);
    void DrawStateImage(Gdiplus::Bitmap* pTarget);
    void DrawIcon(Gdiplus::Bitmap* pTarget);
    void DrawText(Gdiplus::Bitmap* pTarget);
    // Strip frame, icon and text, in this order. Returns the part of pTarget
    // that was drawn on (empty when nothing was).
    RECT Draw(Gdiplus::Bitmap* pTarget);

private:
    void InputChanged();
    bool HasArea() const;
    const Gdiplus::Font& Font();
    int TextWidthFor(Gdiplus::Bitmap* pTarget);
    RECT IconRectFor(int nTextWidth) const;
    RECT TextRectFor(int nTextWidth) const;
    // Each draws on a surface whose (0, 0) is the client point ptOrigin.
    void DrawStateImageOn(Gdiplus::Graphics& graphics, POINT ptOrigin);
    void DrawIconOn(Gdiplus::Graphics& graphics, POINT ptOrigin, const RECT& rc);
    void DrawTextOn(Gdiplus::Graphics& graphics, POINT ptOrigin, const RECT& rc);
    // Measures the text once and places icon, text and the look's bounds,
    // cut to pTarget's size.
    void LayOut(Gdiplus::Bitmap* pTarget);
    // The look of the current state, composed when first needed; null for a
    // state that has none or when it cannot be made.
    Gdiplus::Bitmap* Look();

    CString m_strText;
    CString m_strFontName;
    Gdiplus::ARGB m_clrNormal;
    int m_nFontSize;
    int m_nFontStyle;
    int m_nAlign;
    int m_nLineAlign;
    int m_nTrimming;
    // Shared with the items of the same dialog that show the same file.
    std::shared_ptr<Gdiplus::Image> m_pStateImage;
    std::shared_ptr<Gdiplus::Image> m_pIconImage;
    HCURSOR m_hCursor; // owned
    RECT m_rcItem;
    int m_nState;
    // Made from name, size and style when first needed; any of them changing drops it.
    std::unique_ptr<Gdiplus::Font> m_pFont;
    // The composed look of each shown state over m_rcLook, so that a redraw
    // copies one image per item instead of drawing strip, icon and text
    // again. Any input but the state drops them.
    std::unique_ptr<Gdiplus::Bitmap> m_pLooks[KvWndLess::kStatePressed + 1];
    bool m_bLaidOut;
    SIZE m_szLaidOutFor; // the target size the layout was cut to
    RECT m_rcIconDrawn;
    RECT m_rcTextDrawn;
    RECT m_rcLook;
};

// Image files decoded once each for all the items of one build.
class KELVANE_API CWndLessImageCache {
public:
    // Null when the file cannot be read as an image.
    std::shared_ptr<Gdiplus::Image> Decoded(const CString& strPath);
    void Clear() { m_images.clear(); }

private:
    std::map<CString, std::shared_ptr<Gdiplus::Image>> m_images;
};

// Where the items of a build get their decoded images from.
using WndLessImageSource = std::function<std::shared_ptr<Gdiplus::Image>(const CString& strPath)>;

// Gives a type-2 item its drawn item (in its control slot), made from the
// item and its resolved text look, and returns it.
KELVANE_API CWndLessItem* MakeWndLessItem(_XmlDynamicItem& item, const ItemFontInfo& info,
                                          const WndLessImageSource& decode);

// The windowless picture apart from any window: the background stretched to
// the sheet, then every drawn item on a transparent layer over it,
// premultiplied as UpdateLayeredWindow takes it. The dialog composes through
// one; kvskin render draws a section offscreen with another.
class KELVANE_API CWndLessSheet {
public:
    CWndLessSheet() = default;
    CWndLessSheet(const CWndLessSheet&) = delete;
    CWndLessSheet& operator=(const CWndLessSheet&) = delete;

    // Composes onto hDC, which holds a 32-bit bitmap at least of the sheet's
    // size; the items with a drawn item are drawn in array order. FALSE for
    // a sheet that fits no section or when the layer cannot be made.
    BOOL Compose(HDC hDC, SIZE sheet, Gdiplus::Bitmap* pBackImage,
                 std::vector<_XmlDynamicItem>& items);
    // The background is about to be replaced: its stretched copy must not
    // outlive it (a new image may come at the same address).
    void ForgetBackground();

private:
    // The background stretched to the sheet and premultiplied, made again
    // when the background or the sheet size changes.
    CKvCacheSurface* Background(Gdiplus::Bitmap* pBackImage, SIZE sheet);

    CKvCacheSurface m_backSurface;
    Gdiplus::Bitmap* m_pBackSource = nullptr; // the image m_backSurface was made from; not owned
    SIZE m_szBackSurface = {0, 0};
};

class KELVANE_API CKvCommonWndLessDlg : public CKvCommonDlg {
public:
    CKvCommonWndLessDlg(UINT nIDTemplate, CWnd* pParent);
    virtual ~CKvCommonWndLessDlg();

    // Loads the description, builds the items and shows the first full
    // picture; the result is that update's. Call after the window exists; a
    // second call reloads and rebuilds the items, keeping the tooltip.
    BOOL InitWndLessSkin(CString strSkinFile, CString strSection, CString strSection2,
                         CString strSkinName);
    void CreateWndLessItems();
    void CreateWndLessItem(_XmlDynamicItem& item);
    // The first item, in array order, with a drawn item whose "Pos" holds pt.
    int HitTestItem(POINT pt);
    // Background stretched to the sheet, then every item on a transparent layer.
    BOOL DrawItems(Gdiplus::Graphics& graphics);

    BOOL OnItemCommand(_XmlDynamicItem& item) override;
    BOOL DrawSheet(CDC* pDC) override;
    BOOL InitWindowSkin() override;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    DECLARE_MESSAGE_MAP()

    void OnBackImageReplaced() override;

    // The drawn item of item nIndex, or null.
    CWndLessItem* WndLessItem(int nIndex) const;

    BOOL m_bLButtonDown; // a press on an item holds the capture
    BOOL m_bTracking;    // a mouse-leave notification is pending
    int m_nHotItem;      // the item under the pointer, -1 for none

private:
    void CreateItemToolTip();
    KvWndLess::MouseState CurrentMouseState() const;
    // Runs the mouse message through the state machine and applies the step;
    // the step is returned for what only the handler can do.
    KvWndLess::MouseStep RunMouseStep(KvWndLess::MouseEvent event, int nHit,
                                      bool bInCaptionBand = false);
    void ApplyTipAction(KvWndLess::TipAction action, int nHit);
    void DeleteWndLessItems();
    // The image file decoded, once per build for all items that name it;
    // null when it cannot be read.
    std::shared_ptr<Gdiplus::Image> DecodedImage(const CString& strPath);

    // Images decoded while CreateWndLessItems runs, by path; emptied after
    // it, so that a later build reads the files again.
    CWndLessImageCache m_buildImages;
    bool m_bBuilding;
    bool m_bSheetPress = false; // the button went down on the empty sheet
    CWndLessSheet m_sheet;
};
