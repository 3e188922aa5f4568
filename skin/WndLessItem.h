// One item that the windowless dialog draws itself instead of making a
// child window: its rectangle, state strip, icon, text look, cursor and state,
// with the named drawing operations that compose it, and the build that gives
// every push-button item of a description its drawn item.
#pragma once

#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/KelvaneApi.h"
#include "skin/DialogModel.h"
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
    // The DPI the item is drawn at: its content gap, and the images a host
    // loads below.
    void SetDpi(int nDpi) {
        m_nDpi = nDpi;
        InputChanged();
    }
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
    // Strip frame, icon and text, in this order, through the look of the
    // current state composed once. Returns the part of pTarget that was drawn
    // on (empty when nothing was, also when the look cannot be made).
    RECT Draw(Gdiplus::Bitmap* pTarget);
    // The part of a sheet of the size sheet that the item draws on, in every
    // state alike; pMeasureOn measures the text when the layout is not known.
    RECT DrawnRect(SIZE sheet, Gdiplus::Bitmap* pMeasureOn);
    // The look of the current state, laid out by DrawnRect, drawn onto a
    // surface whose (0, 0) is the sheet point ptOrigin; FALSE when the state
    // has no look or it cannot be made.
    BOOL DrawLook(Gdiplus::Graphics& graphics, POINT ptOrigin);

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
    // The three parts, as the named operations draw them.
    void DrawPartsOn(Gdiplus::Graphics& graphics, POINT ptOrigin);
    // Measures the text once on pMeasureOn and places icon, text and the
    // look's bounds, cut to the sheet.
    void LayOut(SIZE sheet, Gdiplus::Bitmap* pMeasureOn);
    // The look of the current state, composed when first needed; null for a
    // state that has none or when it cannot be made.
    Gdiplus::Bitmap* Look();

    CString m_strText;
    ItemFontInfo m_textLook; // drawn in its normal colour: the item has no disabled state
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
    SIZE m_szLaidOutFor; // the sheet size the layout was cut to
    RECT m_rcIconDrawn;
    RECT m_rcTextDrawn;
    RECT m_rcLook;
    int m_nDpi = KvScale::kBaseDpi;
};

class CImageVariantIndex;

// Image files decoded once each for all the items of one build, at the
// dialog's DPI, their folders listed once each for variants.
class KELVANE_API CWndLessImageCache {
public:
    explicit CWndLessImageCache(int nDpi = KvScale::kBaseDpi) : m_nDpi(nDpi) {}
    // Null when the file cannot be read as an image. nFrames: the equal
    // frames the image holds side by side, each scaled on its own.
    std::shared_ptr<Gdiplus::Image> Decoded(const CString& strPath, int nFrames);
    void Clear() {
        m_images.clear();
        m_pVariants.reset();
    }

private:
    int m_nDpi;
    std::map<std::pair<CString, int>, std::shared_ptr<Gdiplus::Image>> m_images;
    std::shared_ptr<CImageVariantIndex> m_pVariants; // made when first needed
};

// Where the items of a build get their decoded images from.
using WndLessImageSource =
    std::function<std::shared_ptr<Gdiplus::Image>(const CString& strPath, int nFrames)>;

// Gives a type-2 item its drawn item (in its control slot), made from the
// item and its resolved text look, and returns it.
KELVANE_API CWndLessItem* MakeWndLessItem(_XmlDynamicItem& item, const ItemFontInfo& info,
                                          const WndLessImageSource& decode);

// The build of the windowless dialog and of kvskin render: every type-2
// item gets its drawn item, with the window's text defaults and each image
// file decoded once for all; afterItem(i), when given, runs after item i of
// any type (it may add items: the array is walked by index).
KELVANE_API void BuildWndLessItems(std::vector<_XmlDynamicItem>& items, const KvWindowModel& window,
                                   const std::function<void(size_t)>& afterItem);
