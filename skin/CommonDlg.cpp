#include "skin/CommonDlg.h"

#include "runtime/Helpers.h"
#include "skin/AccessModel.h"
#include "skin/BmpButton.h"
#include "skin/ControlLayout.h"
#include "skin/DrawUtil.h"
#include "skin/Canvas.h"
#include "skin/ImageLimits.h"
#include "skin/Label.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <memory>

namespace {

// The framework's view of a canvas's DC, for DrawSheet; the canvas owns the DC.
class CCanvasDC : public CDC {
public:
    explicit CCanvasDC(const CKvCanvas& canvas) { Attach(canvas.DC()); }
    ~CCanvasDC() { Detach(); }
};

// Whole image at its own size at the origin of pDC; the part of the sheet
// the image does not cover is the opaque button face, never what the
// surface held before.
void DrawImageAtOrigin(CDC* pDC, Gdiplus::Image* pImage, SIZE sheet) {
    Gdiplus::Graphics graphics(pDC->m_hDC);
    const Gdiplus::Rect image(0, 0, static_cast<INT>(pImage->GetWidth()),
                              static_cast<INT>(pImage->GetHeight()));
    graphics.DrawImage(pImage, image);
    if (image.Width >= sheet.cx && image.Height >= sheet.cy)
        return;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    Gdiplus::SolidBrush brush(
        Gdiplus::Color(0xFF, GetRValue(face), GetGValue(face), GetBValue(face)));
    graphics.SetClip(image, Gdiplus::CombineModeExclude);
    graphics.FillRectangle(&brush, 0, 0, sheet.cx, sheet.cy);
}

// Keys that move the focus or reach for a mnemonic: from them on the
// keyboard is in use, and its cues show, as in the system's dialogs.
bool IsCueKey(const MSG& msg) {
    if (msg.message == WM_SYSKEYDOWN)
        return true;
    if (msg.message != WM_KEYDOWN)
        return false;
    switch (msg.wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

// The keyboard focus comes from the keyboard neighbour; wParam is 1 for
// Shift+Tab. Registered, so that no message of a derived dialog is taken for it.
UINT ArriveFocusMessage() {
    static const UINT nMessage = ::RegisterWindowMessageW(L"Kelvane.ArriveFocus");
    return nMessage;
}

// The place of hChild among its siblings, first 0; -1 for none.
int ChildOrder(HWND hChild) {
    int nOrder = 0;
    for (HWND h = ::GetWindow(hChild, GW_HWNDFIRST); h; h = ::GetWindow(h, GW_HWNDNEXT), ++nOrder)
        if (h == hChild)
            return nOrder;
    return -1;
}

// Asks a layered dialog to show its picture again; registered, so that no
// message of a derived dialog is taken for it.
UINT RefreshLayeredMessage() {
    static const UINT nMessage = ::RegisterWindowMessageW(L"Kelvane.RefreshLayered");
    return nMessage;
}

// What a child control paints itself with into hDC, at the DC's origin. The
// skinned controls paint their whole look on an erase; others print.
void PrintControl(CWnd* pControl, HDC hDC) {
    if (DYNAMIC_DOWNCAST(CLabel, pControl) || DYNAMIC_DOWNCAST(CKvBmpButton, pControl))
        pControl->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC));
    else
        pControl->SendMessage(WM_PRINT, reinterpret_cast<WPARAM>(hDC),
                              PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
}

// An item gets a new control when it has none, or when the window of its
// control is gone (the dialog object runs again after its window ended). An
// object that is no window belongs to a derived dialog and stays.
bool NeedsNewControl(const _XmlDynamicItem& item) {
    if (item.pControl.empty())
        return true;
    CWnd* pControl = item.pControl.get<CWnd>();
    return pControl && !pControl->m_hWnd;
}

// The item's control as a Kind, first made as a Made by create when the item
// needs one; null when creation fails or the item holds a control of another
// class (a reload changed its type: that control stays as it is).
template <class Made, class Kind = Made, class Create>
Kind* ItemControl(_XmlDynamicItem& item, Create create) {
    if (NeedsNewControl(item)) {
        auto pNew = std::make_unique<Made>();
        if (!create(*pNew))
            return nullptr;
        item.pControl.reset<CWnd>(pNew.release());
    }
    return DYNAMIC_DOWNCAST(Kind, item.pControl.get<CWnd>());
}

} // namespace

IMPLEMENT_DYNAMIC(CKvCommonDlg, CDialog)

BEGIN_MESSAGE_MAP(CKvCommonDlg, CDialog)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_DRAWITEM()
ON_MESSAGE(RefreshLayeredMessage(), OnRefreshLayered)
ON_MESSAGE(WM_PARENTNOTIFY, OnParentNotify)
ON_WM_DESTROY()
ON_MESSAGE(WM_GETOBJECT, OnGetObject)
ON_MESSAGE(KvItemObjectMessage(), OnItemObject)
ON_MESSAGE(WM_QUERYUISTATE, OnQueryUIState)
ON_MESSAGE(WM_CHANGEUISTATE, OnChangeUIState)
ON_MESSAGE(WM_UPDATEUISTATE, OnChangeUIState)
ON_MESSAGE(ArriveFocusMessage(), OnArriveFocus)
ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CKvCommonDlg::CKvCommonDlg(UINT nIDTemplate, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_pBackImage(nullptr), m_hIcon(nullptr), m_nAlpha(100),
      m_pControlBackImage(nullptr), m_bBackFromFile(false), m_nShownAlpha(100),
      m_bLayeredStale(false), m_bComposing(false), m_bRefreshPosted(false) {}

CKvCommonDlg::~CKvCommonDlg() {
    // The window and its controls go first, so nothing paints or shows the
    // icon and font while they are released.
    if (m_hWnd)
        DestroyWindow();
    m_pAccess.reset();
    SetBackImage(nullptr);
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
    m_hIcon = nullptr;
}

BOOL CKvCommonDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

// ---------------------------------------------------------------------------
// Building from the description

void CKvCommonDlg::InitDialogSkin(CString strSkinFile, CString strSection, CString strSection2,
                                  CString strSkinName) {
    LoadScaledSkin(strSkinFile, strSection, strSection2, strSkinName);
    if (SetUpToolTip(0))
        m_toolTip.Activate(TRUE);
    CreateSkinItems();
    // The layered picture was made with the background alone: the controls
    // came after it.
    if (GetExStyle() & WS_EX_LAYERED)
        UpdateLayered(m_nShownAlpha);
}

void CKvCommonDlg::LoadScaledSkin(const CString& strSkinFile, const CString& strSection,
                                  const CString& strSection2, const CString& strSkinName) {
    // A reload gives only some lengths anew: the others go back to the
    // skin's own first, or they would be scaled twice.
    ApplySkinLengths(*this, m_skinLengths, KvScale::kBaseDpi);
    LoadSkin(strSkinFile, strSection, strSection2, strSkinName);
    m_window = ReadWindowModel(*this, WindowDpi(m_hWnd));
    m_skinLengths = KvSkinLengths();
    AdoptSkinLengths(*this, m_skinLengths, m_window.nDpi);
}

void CKvCommonDlg::AdoptAddedLengths() {
    AdoptSkinLengths(*this, m_skinLengths, m_window.nDpi);
}

BOOL CKvCommonDlg::SetUpToolTip(DWORD dwStyle) {
    if (!m_window.bShowToolTip) {
        // A reload that turns tips off ends the ones an earlier load made.
        if (m_toolTip.m_hWnd)
            m_toolTip.DestroyWindow();
        return FALSE;
    }
    // A reload keeps the tooltip it has: a second one would orphan the first.
    const BOOL bMade = !m_toolTip.m_hWnd && m_toolTip.Create(this, dwStyle);
    if (m_toolTip.m_hWnd && m_window.nToolTipWidth != 0)
        m_toolTip.SetMaxTipWidth(m_window.nToolTipWidth);
    return bMade;
}

void CKvCommonDlg::CreateSkinItems() {
    ApplyWindowAttributes();
    // By index: a hook may load more items, which moves the array.
    for (size_t i = 0; i < m_arrDynamicItems.size(); ++i) {
        AdoptAddedLengths();
        const UINT nID = kFirstItemID + static_cast<UINT>(i);
        switch (m_arrDynamicItems[i].nControlType) {
        case 1:
            CreateLabelItem(m_arrDynamicItems[i], nID);
            break;
        case 2:
        case 4:
            CreateButtonItem(m_arrDynamicItems[i], nID);
            break;
        default:
            break;
        }
    }
}

void CKvCommonDlg::ApplyWindowAttributes() {
    CreateDialogFont();
    ApplyDialogFont(this);
    SetWindowText(m_window.strTitle);
    ApplyIcon();
    ApplySheetSize();
    InitWindowSkin();
}

void CKvCommonDlg::ApplyIcon() {
    const CString& strPath = m_window.strIconPath;
    HICON hNew = nullptr;
    if (!strPath.IsEmpty() && KvImageLimits::ImageFileFits(strPath))
        hNew =
            static_cast<HICON>(::LoadImageW(nullptr, strPath, IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    HICON hOld = m_hIcon;
    m_hIcon = hNew;
    // Without a new icon the window must still forget the old one, which is
    // destroyed next.
    if (hNew || hOld) {
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hNew));
        SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hNew));
    }
    if (hOld)
        ::DestroyIcon(hOld);
}

void CKvCommonDlg::ApplySheetSize() {
    // A skin applied anew: the next layered picture is composed whole.
    m_bPictureShown = false;
    const SIZE sheet = GetSheetSize();
    // A sheet that is refused keeps the window as it is, rather than a
    // window of a size nothing can be drawn for.
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        return;
    const FrameMetrics metrics = {::GetSystemMetrics(SM_CXDLGFRAME),
                                  ::GetSystemMetrics(SM_CYDLGFRAME),
                                  ::GetSystemMetrics(SM_CYCAPTION)};
    const SIZE outer = OuterWindowSize(sheet.cx, sheet.cy, GetStyle(), metrics);
    // The system's rectangle for a new DPI is taken as it is, once.
    if (m_bKeepWindowRect)
        return;
    // Only the size changes: a skin applied while another window is active
    // must not take the activation from it.
    SetWindowPos(nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE CKvCommonDlg::GetSheetSize() {
    return m_window.szSheet;
}

void CKvCommonDlg::CreateDialogFont() {
    if (m_font.GetSafeHandle())
        m_font.DeleteObject();
    const KvDialogFont& font = m_window.font;
    // A character height in pixels; the one size without a negation is capped.
    const int nHeight = font.nSize == INT_MIN ? INT_MAX : -font.nSize;
    m_font.CreateFont(nHeight, 0, 0, 0, font.nWeight, FALSE, FALSE, FALSE,
                      static_cast<BYTE>(font.nCharSet & 0xFF), OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, font.strFaceName);
}

void CKvCommonDlg::ApplyDialogFont(CWnd* pWnd) {
    if (!pWnd || !pWnd->m_hWnd)
        return;
    const WPARAM hFont = reinterpret_cast<WPARAM>(m_font.GetSafeHandle());
    pWnd->SendMessage(WM_SETFONT, hFont, TRUE);
    for (HWND hChild = ::GetWindow(pWnd->m_hWnd, GW_CHILD); hChild;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        ::SendMessageW(hChild, WM_SETFONT, hFont, TRUE);
}

// ---------------------------------------------------------------------------
// Background

BOOL CKvCommonDlg::InitWindowSkin() {
    SetBackImage(LoadSheetBackground(m_window, &m_bBackFromFile).release());
    if (m_window.bLayered)
        UpdateLayered(m_window.nAlphaPercent);
    return TRUE;
}

void CKvCommonDlg::SetBackImage(Gdiplus::Bitmap* pImage) {
    Gdiplus::Bitmap* pOld = m_pBackImage;
    m_pBackImage = pImage;
    m_pControlBackImage = pImage;
    m_backSheet.Release();
    m_bPictureShown = false;
    // Labels keep the image itself: each gets the new one before the old one
    // is deleted. Buttons read the slot, but their caches hold the old look.
    for (auto& item : m_arrDynamicItems) {
        CWnd* pControl = item.pControl.get<CWnd>();
        if (CLabel* pLabel = DYNAMIC_DOWNCAST(CLabel, pControl))
            pLabel->SetParentBackground(pImage);
        else if (CKvBmpButton* pButton = DYNAMIC_DOWNCAST(CKvBmpButton, pControl))
            pButton->SetParentBackground(&m_pControlBackImage, TRUE);
    }
    OnBackImageReplaced();
    delete pOld;
}

void CKvCommonDlg::OnBackImageReplaced() {}

void CKvCommonDlg::CreateSolidBackground(Gdiplus::Bitmap*& pImage, int cx, int cy) {
    pImage = CreateButtonFaceSheet(SIZE{cx, cy}).release();
}

// ---------------------------------------------------------------------------
// Item controls

void CKvCommonDlg::GetItemFontInfo(const _XmlDynamicItem& item, ItemFontInfo& info) {
    info = ItemTextLook(item, m_window);
}

void CKvCommonDlg::CreateLabelItem(_XmlDynamicItem& item, UINT nID) {
    CLabel* pLabel = ItemControl<CLabel>(item, [&](CLabel& label) {
        return label.Create(L"", item.nControlStyle | WS_VISIBLE | SS_NOTIFY, item.rcPos, this,
                            nID);
    });
    if (!pLabel)
        return;
    ItemFontInfo info;
    GetItemFontInfo(item, info);
    pLabel->SetParentBackground(m_pBackImage);
    pLabel->SetImageDpi(m_window.nDpi);
    pLabel->SetImageFile(item.strBkImg);
    pLabel->SetFontName(info.strFontName);
    pLabel->SetFontSize(info.nFontSize);
    pLabel->SetFontStyle(info.nFontStyle);
    pLabel->SetTextFormat(info.nAlign, info.nLineAlign, info.nTrimming);
    pLabel->SetTextColors(info.clrNormal, info.clrDisabled);
    pLabel->SetText(item.strName);
    if (!item.strCursor.IsEmpty())
        pLabel->SetLabelCursor(static_cast<HCURSOR>(
            ::LoadImageW(nullptr, item.strCursor, IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)));
    AddItemTool(pLabel, item.strToolTip);
    OnItemCreated(item);
}

void CKvCommonDlg::CreateButtonItem(_XmlDynamicItem& item, UINT nID) {
    auto create = [&](CKvBmpButton& button) {
        return button.Create(L"", item.nControlStyle | WS_VISIBLE, item.rcPos, this, nID);
    };
    CKvBmpButton* pButton = item.nControlType == 2
                                ? ItemControl<CKvBmpButton>(item, create)
                                : ItemControl<CKvBmpButtonRegin, CKvBmpButton>(item, create);
    if (!pButton)
        return;
    ItemFontInfo info;
    GetItemFontInfo(item, info);
    pButton->SetParentBackground(&m_pControlBackImage, FALSE);
    pButton->SetImageDpi(m_window.nDpi);
    pButton->LoadStateImage(item.strBkImg, FALSE);
    pButton->LoadIconImage(item.strIcon, FALSE);
    pButton->SetFontName(info.strFontName, FALSE);
    pButton->SetFontSize(info.nFontSize, FALSE);
    pButton->SetFontStyle(info.nFontStyle, FALSE);
    pButton->SetTextFormat(info.nAlign, info.nLineAlign, info.nTrimming, FALSE);
    pButton->SetTextColors(info.clrNormal, info.clrDisabled, FALSE);
    pButton->SetText(item.strName, FALSE);
    pButton->SetDrawFocus(item.nDrawFocus, FALSE);
    // The skin's default push button is the dialog's: Enter presses it
    // wherever the focus is, unless that is on another push button.
    if (pButton->SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON)
        SetDefID(nID);
    AddItemTool(pButton, item.strToolTip);
    OnItemCreated(item);
}

void CKvCommonDlg::AddItemTool(CWnd* pControl, const CString& strToolTip) {
    if (strToolTip.IsEmpty() || !m_toolTip.m_hWnd)
        return;
    // A reload registers the control again: one tool per control, with the newest text.
    m_toolTip.DelTool(pControl);
    m_toolTip.AddTool(pControl, strToolTip);
}

BOOL CKvCommonDlg::OnItemCreated(_XmlDynamicItem&) {
    return TRUE;
}

// ---------------------------------------------------------------------------
// Commands

BOOL CKvCommonDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int nIndex = ItemIndexFromCommand(wParam, m_arrDynamicItems.size());
    if (nIndex < 0) {
        const BOOL bHandled = CDialog::OnCommand(wParam, lParam);
        // A label greyed out or back draws anew; the layered picture shows it.
        const WORD nCode = HIWORD(wParam);
        if (lParam && (nCode == STN_ENABLE || nCode == STN_DISABLE))
            ControlChanged(reinterpret_cast<HWND>(lParam));
        return bHandled;
    }
    if (!OnItemCommand(m_arrDynamicItems[static_cast<size_t>(nIndex)]))
        return TRUE;
    // The hook may have reloaded the description: look the item up again.
    if (static_cast<size_t>(nIndex) < m_arrDynamicItems.size())
        ApplyItemRole(ItemRoleFromID(m_arrDynamicItems[static_cast<size_t>(nIndex)].strID));
    return TRUE;
}

BOOL CKvCommonDlg::OnItemCommand(_XmlDynamicItem&) {
    return TRUE;
}

void CKvCommonDlg::ApplyItemRole(ItemRole role) {
    switch (role) {
    case ItemRole::Cancel:
        OnCancel();
        break;
    case ItemRole::Ok:
        OnOK();
        break;
    case ItemRole::Yes:
        EndDialog(IDYES);
        break;
    case ItemRole::No:
        EndDialog(IDNO);
        break;
    case ItemRole::Minimize:
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
        break;
    case ItemRole::None:
        break;
    }
}

// ---------------------------------------------------------------------------
// Layered update and painting

BOOL CKvCommonDlg::CreateBitmap32(HBITMAP* phBitmap, int cx, int cy) {
    if (!phBitmap)
        return FALSE;
    *phBitmap = nullptr;
    if (!SheetFitsSection(cx, cy))
        return FALSE;
    void* pBits = nullptr;
    *phBitmap = CreateDibSection32(cx, cy, false, &pBits);
    return *phBitmap != nullptr;
}

BOOL CKvCommonDlg::UpdateLayered(int nAlphaPercent) {
    const bool bPartAsked = m_bPartAsked;
    m_bPartAsked = false;
    if (!m_hWnd)
        return FALSE;
    m_nShownAlpha = nAlphaPercent;
    // Nothing of a minimised window is shown: the picture waits for the
    // restore, which composes it whole.
    m_bLayeredStale = IsIconic() != FALSE;
    if (m_bLayeredStale)
        return FALSE;
    const SIZE sheet = GetSheetSize();
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        return FALSE;
    if (bPartAsked && CanUpdatePart(sheet, nAlphaPercent)) {
        if (m_dirty.empty())
            return TRUE; // the window shows every change already
        ComposeMarkedParts();
        const RECT rcDirty = DirtyBounds(m_dirty);
        m_dirty.clear();
        // Refused as a part (the window's size changed meanwhile, say), the
        // picture is whole all the same.
        m_bPictureShown =
            PushPicture(&rcDirty, nAlphaPercent) || PushPicture(nullptr, nAlphaPercent);
        return m_bPictureShown ? TRUE : FALSE;
    }
    m_dirty.clear();
    m_bPictureShown = false;
    if (!ComposeWhole(sheet))
        return FALSE;
    if (!(GetExStyle() & WS_EX_LAYERED))
        ModifyStyleEx(0, WS_EX_LAYERED);
    m_bPictureShown = PushPicture(nullptr, nAlphaPercent) != FALSE;
    return m_bPictureShown ? TRUE : FALSE;
}

BOOL CKvCommonDlg::UpdateLayeredPart(int nAlphaPercent) {
    m_bPartAsked = true;
    return UpdateLayered(nAlphaPercent);
}

void CKvCommonDlg::InvalidateSheet(const RECT& rc) {
    AddDirtyRect(m_dirty, rc, GetSheetSize());
}

bool CKvCommonDlg::CanUpdatePart(SIZE sheet, int nAlphaPercent) const {
    return m_bPictureShown && m_picture.Width() == sheet.cx && m_picture.Height() == sheet.cy &&
           m_nPushedAlpha == nAlphaPercent && (GetExStyle() & WS_EX_LAYERED);
}

bool CKvCommonDlg::ComposeWhole(SIZE sheet) {
    if (m_picture.Width() == sheet.cx && m_picture.Height() == sheet.cy)
        m_picture.Clear(RECT{0, 0, sheet.cx, sheet.cy});
    else
        m_picture.Create(sheet.cx, sheet.cy);
    if (!m_picture.IsReady())
        return false;
    // The whole picture asks for the children as they are now.
    m_bChildOrderKnown = false;
    CCanvasDC canvasDC(m_picture);
    DrawSheet(&canvasDC);
    return true;
}

void CKvCommonDlg::ComposeMarkedParts() {
    // Each part starts transparent, as a whole picture does, and DrawSheet
    // draws only inside the parts.
    for (const RECT& rc : m_dirty)
        m_picture.Clear(rc);
    CCanvasDC canvasDC(m_picture);
    const int nSaved = canvasDC.SaveDC();
    ClipToParts(canvasDC.m_hDC, m_dirty);
    DrawSheet(&canvasDC);
    canvasDC.RestoreDC(nSaved);
}

BOOL CKvCommonDlg::PushPicture(const RECT* prcDirty, int nAlphaPercent) {
    SIZE size = m_picture.Size();
    POINT ptSource = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, ConstantAlphaFromPercent(nAlphaPercent), AC_SRC_ALPHA};
    // No destination: the window keeps its place.
    UPDATELAYEREDWINDOWINFO info = {sizeof(info), nullptr, nullptr, &size,     m_picture.DC(),
                                    &ptSource,    0,       &blend,  ULW_ALPHA, prcDirty};
    m_nPushedAlpha = nAlphaPercent;
    return ::UpdateLayeredWindowIndirect(m_hWnd, &info);
}

void CKvCommonDlg::PaintSheet(CDC* pDC) {
    const SIZE sheet = GetSheetSize();
    if (!m_window.bLayered) {
        if (m_pBackImage)
            DrawImageAtOrigin(pDC, m_pBackImage, sheet);
        return;
    }
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        return;
    CKvCanvas canvas(sheet.cx, sheet.cy);
    if (!canvas.IsReady())
        return;
    CCanvasDC canvasDC(canvas);
    DrawSheet(&canvasDC);
    pDC->BitBlt(0, 0, sheet.cx, sheet.cy, &canvasDC, 0, 0, SRCCOPY);
}

BOOL CKvCommonDlg::DrawSheet(CDC* pDC) {
    // The background decoded once per load; without its file the sheet still
    // shows the plain background, so a layered window never turns invisible.
    // The result tells whether the file was read.
    RECT rcClip = {0, 0, 0, 0};
    const bool bVisible = pDC->GetClipBox(&rcClip) != NULLREGION;
    if (CKvCanvas* pBack = SheetBackground()) {
        if (bVisible)
            pBack->BlendPartOnto(pDC->m_hDC, rcClip);
    } else if (m_pBackImage) {
        DrawImageAtOrigin(pDC, m_pBackImage, GetSheetSize());
    }
    ComposeControls(pDC);
    return m_bBackFromFile && m_pBackImage ? TRUE : FALSE;
}

CKvCanvas* CKvCommonDlg::SheetBackground() {
    const SIZE sheet = GetSheetSize();
    if (!m_pBackImage || !SheetFitsSection(sheet.cx, sheet.cy))
        return nullptr;
    if (m_backSheet.Width() == sheet.cx && m_backSheet.Height() == sheet.cy)
        return &m_backSheet;
    if (!m_backSheet.Create(sheet.cx, sheet.cy))
        return nullptr;
    CCanvasDC canvasDC(m_backSheet);
    DrawImageAtOrigin(&canvasDC, m_pBackImage, sheet);
    return &m_backSheet;
}

void CKvCommonDlg::ComposeControls(CDC* pDC) {
    const std::vector<HWND> controls = ControlsToCompose(pDC->m_hDC);
    m_bComposing = true;
    for (HWND hChild : controls) {
        const RECT rc = GetRectInParentClient(hChild);
        const int nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(rc.left, rc.top, rc.right, rc.bottom);
        pDC->SetViewportOrg(rc.left, rc.top);
        PrintControl(CWnd::FromHandle(hChild), pDC->m_hDC);
        pDC->RestoreDC(nSaved);
    }
    m_bComposing = false;
}

namespace {

// The direct children of hParent, bottom first. Each step asks the system
// anew (under Wine, the server), so the dialog keeps what this finds.
std::vector<HWND> ChildrenBottomFirst(HWND hParent) {
    std::vector<HWND> children;
    HWND hFirst = ::GetWindow(hParent, GW_CHILD);
    for (HWND hChild = hFirst ? ::GetWindow(hFirst, GW_HWNDLAST) : nullptr; hChild;
         hChild = ::GetWindow(hChild, GW_HWNDPREV))
        children.push_back(hChild);
    return children;
}

// Those of the children that show something inside hDC's clip.
std::vector<HWND> ShownInside(HDC hDC, const std::vector<HWND>& children) {
    std::vector<HWND> shown;
    for (HWND hChild : children) {
        // By its own style: the picture is made before the dialog is shown.
        if (!::IsWindow(hChild) || !(::GetWindowLongW(hChild, GWL_STYLE) & WS_VISIBLE))
            continue;
        const RECT rc = GetRectInParentClient(hChild);
        if (::RectVisible(hDC, &rc))
            shown.push_back(hChild);
    }
    return shown;
}

} // namespace

std::vector<HWND> CKvCommonDlg::ControlsToCompose(HDC hDC) {
    std::vector<HWND> shown = ShownInside(hDC, m_childOrder);
    // One control alone needs no order; several are drawn in the system's
    // order of the moment.
    if (!m_bChildOrderKnown || shown.size() > 1) {
        m_childOrder = ChildrenBottomFirst(m_hWnd);
        m_bChildOrderKnown = true;
        shown = ShownInside(hDC, m_childOrder);
    }
    return shown;
}

LRESULT CKvCommonDlg::OnParentNotify(WPARAM wParam, LPARAM lParam) {
    // A control came or went: the next picture asks for the children again.
    if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
        m_bChildOrderKnown = false;
    return DefWindowProc(WM_PARENTNOTIFY, wParam, lParam);
}

void CKvCommonDlg::ControlChanged(HWND hControl) {
    // Drawn while the picture is composed, it is in the picture already.
    if (m_bComposing || !(GetExStyle() & WS_EX_LAYERED))
        return;
    if (std::find(m_childOrder.begin(), m_childOrder.end(), hControl) == m_childOrder.end())
        m_bChildOrderKnown = false; // one made without telling its parent
    InvalidateSheet(GetRectInParentClient(hControl));
    RefreshLayered();
}

void CKvCommonDlg::RefreshLayered() {
    // Posted once for any number of changes: every button of a page draws
    // when it is shown, and one update shows them all. A minimised window
    // shows nothing: its restore composes the whole picture.
    if (!m_bComposing && !m_bRefreshPosted && (GetExStyle() & WS_EX_LAYERED) && !IsIconic())
        m_bRefreshPosted = PostMessage(RefreshLayeredMessage()) != FALSE;
}

LRESULT CKvCommonDlg::OnRefreshLayered(WPARAM, LPARAM) {
    m_bRefreshPosted = false;
    UpdateLayeredPart(m_nShownAlpha);
    return 0;
}

void CKvCommonDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
    // A button draws each change of its look: on a layered window only the
    // picture pushed to the screen shows it.
    if (lpDrawItemStruct && lpDrawItemStruct->CtlType != ODT_MENU)
        ControlChanged(lpDrawItemStruct->hwndItem);
}

void CKvCommonDlg::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED && m_bLayeredStale)
        UpdateLayered(m_nShownAlpha);
}

void CKvCommonDlg::OnPaint() {
    CPaintDC dc(this);
    PaintSheet(&dc);
}

BOOL CKvCommonDlg::OnEraseBkgnd(CDC* pDC) {
    // Without a sheet (no skin loaded, or none that could be made) the
    // dialog erases as a plain one, instead of showing whatever the screen
    // held there.
    if (!m_pBackImage)
        return CDialog::OnEraseBkgnd(pDC);
    PaintSheet(pDC);
    return TRUE;
}

// ---------------------------------------------------------------------------
// A change of DPI

namespace {

// DPI_AWARENESS_UNAWARE and DPI_AWARENESS_SYSTEM_AWARE: the system scales
// such a window's picture itself.
constexpr int kPerMonitorAware = 2;

// Whether hWnd draws at its monitor's DPI itself. Looked up at run time:
// systems without per-window awareness send WM_DPICHANGED only to
// per-monitor aware processes.
bool DrawsAtMonitorDpi(HWND hWnd) {
    using ContextOfWindow = HANDLE(WINAPI*)(HWND);
    using AwarenessOfContext = int(WINAPI*)(HANDLE);
    static const HMODULE hUser = ::GetModuleHandleW(L"user32.dll");
    static const auto pfnContext = reinterpret_cast<ContextOfWindow>(
        reinterpret_cast<void*>(::GetProcAddress(hUser, "GetWindowDpiAwarenessContext")));
    static const auto pfnAwareness = reinterpret_cast<AwarenessOfContext>(
        reinterpret_cast<void*>(::GetProcAddress(hUser, "GetAwarenessFromDpiAwarenessContext")));
    if (!pfnContext || !pfnAwareness)
        return true;
    return pfnAwareness(pfnContext(hWnd)) == kPerMonitorAware;
}

} // namespace

LRESULT CKvCommonDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const int nDpi = LOWORD(wParam);
    const RECT* pSuggested = reinterpret_cast<const RECT*>(lParam);
    // A window the system scales keeps today's behaviour; so does a message
    // without a DPI or a rectangle to take.
    if (nDpi <= 0 || !pSuggested || !DrawsAtMonitorDpi(m_hWnd))
        return Default();
    const RECT rc = *pSuggested;
    // The one resize: the rectangle the system chose for the new monitor.
    // Whatever the rebuild below sizes keeps it.
    SetWindowPos(nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // A dialog that shows no skin has nothing to draw anew.
    const bool bSkinShown = !m_mapWindowInfo.empty() || !m_arrDynamicItems.empty();
    if (bSkinShown && nDpi != m_window.nDpi) {
        m_bKeepWindowRect = true;
        ApplyDpi(nDpi);
        m_bKeepWindowRect = false;
    }
    return 0;
}

void CKvCommonDlg::ApplyDpi(int nDpi) {
    m_window = ReadWindowModel(*this, nDpi);
    ApplySkinLengths(*this, m_skinLengths, nDpi);
    SetUpToolTip(0);
    // Font, icon, background, the layered picture and every control's look
    // at the new DPI, as a reload makes them.
    CreateSkinItems();
    for (const _XmlDynamicItem& item : m_arrDynamicItems)
        if (CWnd* pControl = item.pControl.get<CWnd>(); pControl && pControl->m_hWnd)
            pControl->SetWindowPos(
                nullptr, item.rcPos.left, item.rcPos.top, item.rcPos.right - item.rcPos.left,
                item.rcPos.bottom - item.rcPos.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetExStyle() & WS_EX_LAYERED)
        UpdateLayered(m_nShownAlpha);
    else
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---------------------------------------------------------------------------
// Caption drag, tooltip relay, message box

void CKvCommonDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    if (StartsCaptionDrag(GetStyle(), m_window.bDrag, m_window.nCaptionHeight, point.y))
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    CDialog::OnLButtonDown(nFlags, point);
}

BOOL CKvCommonDlg::PreTranslateMessage(MSG* pMsg) {
    if (m_toolTip.m_hWnd)
        m_toolTip.RelayEvent(pMsg);
    const bool bKey = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    if (bKey && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) {
        if (IsCueKey(*pMsg))
            ShowKeyboardCues();
        if (HandleDialogKey(*pMsg))
            return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

int CKvCommonDlg::ShowMessageBox(CString strText, CString strCaption, UINT nType, BOOL bFromSkin,
                                 CString strLibraryDir) {
    if (bFromSkin) {
        GetWindowInfo(CString(strText), strText, FALSE);
        GetWindowInfo(CString(strCaption), strCaption, FALSE);
    }
    CNoticeBox box;
    box.Load(strLibraryDir, L"");
    const int nResult = box.Show(strText, strCaption, nType);
    box.Unload();
    return nResult;
}

// ---------------------------------------------------------------------------
// Keyboard

void CKvCommonDlg::ShowKeyboardCues() {
    if (m_bKeyboardCues)
        return;
    m_bKeyboardCues = true;
    const WPARAM wShow = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL);
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        ::SendMessageW(hChild, WM_UPDATEUISTATE, wShow, 0);
    OnKeyboardCuesShown();
}

void CKvCommonDlg::OnKeyboardCuesShown() {}

LRESULT CKvCommonDlg::OnQueryUIState(WPARAM, LPARAM) {
    return m_bKeyboardCues ? 0 : UISF_HIDEFOCUS | UISF_HIDEACCEL;
}

LRESULT CKvCommonDlg::OnChangeUIState(WPARAM wParam, LPARAM) {
    // Shown once, as the system shows them for the rest of a dialog's life;
    // the controls hear it from ShowKeyboardCues.
    if (LOWORD(wParam) == UIS_CLEAR && (HIWORD(wParam) & (UISF_HIDEFOCUS | UISF_HIDEACCEL)))
        ShowKeyboardCues();
    return 0;
}

CKvBmpButton* CKvCommonDlg::FocusedButton() const {
    HWND hFocus = ::GetFocus();
    CKvBmpButton* pButton = DYNAMIC_DOWNCAST(CKvBmpButton, CWnd::FromHandlePermanent(hFocus));
    return pButton && ::GetParent(hFocus) == m_hWnd ? pButton : nullptr;
}

BOOL CKvCommonDlg::HandleDialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return FALSE;
    // Tab past either end goes on to the neighbour instead of round.
    if (msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) >= 0 && KeyboardNeighbour()) {
        const bool bBack = ::GetKeyState(VK_SHIFT) < 0;
        if (TabLeavesDialog(bBack))
            return PassFocus(bBack);
    }
    CKvBmpButton* pButton = FocusedButton();
    if (!pButton)
        return FALSE;
    if (msg.wParam == VK_RETURN && pButton->GetButtonKind() == KvLayout::kKindPush) {
        pButton->SendMessage(BM_CLICK);
        return TRUE;
    }
    const bool bArrow = msg.wParam == VK_LEFT || msg.wParam == VK_RIGHT || msg.wParam == VK_UP ||
                        msg.wParam == VK_DOWN;
    return bArrow && pButton->GetButtonKind() == KvLayout::kKindRadio &&
           MoveInRadioGroup(static_cast<UINT>(msg.wParam));
}

BOOL CKvCommonDlg::MoveInRadioGroup(UINT nKey) {
    HWND hFocus = ::GetFocus();
    HWND hNext = ::GetNextDlgGroupItem(m_hWnd, hFocus, nKey == VK_LEFT || nKey == VK_UP);
    if (!hNext || hNext == hFocus)
        return TRUE;
    GotoDlgCtrl(CWnd::FromHandle(hNext));
    // The system's radio groups select as the arrows move.
    CKvBmpButton* pNext = FocusedButton();
    if (pNext && pNext->m_hWnd == hNext && pNext->GetButtonKind() == KvLayout::kKindRadio &&
        pNext->SendMessage(BM_GETCHECK) != BST_CHECKED)
        pNext->SendMessage(BM_CLICK);
    return TRUE;
}

bool CKvCommonDlg::TabLeavesDialog(bool bBack) const {
    // The dialog's own control that holds the focus, if any.
    HWND hFocus = ::GetFocus();
    while (hFocus && ::GetParent(hFocus) != m_hWnd)
        hFocus = ::IsChild(m_hWnd, hFocus) ? ::GetParent(hFocus) : nullptr;
    HWND hNext = ::GetNextDlgTabItem(m_hWnd, hFocus, bBack ? TRUE : FALSE);
    if (!hFocus || !hNext || hNext == hFocus)
        return true;
    const int nFrom = ChildOrder(hFocus), nTo = ChildOrder(hNext);
    return bBack ? nTo > nFrom : nTo < nFrom;
}

HWND CKvCommonDlg::KeyboardNeighbour() const {
    HWND hNeighbour = m_hKeyNeighbour;
    return hNeighbour && ::IsWindow(hNeighbour) && ::IsWindowVisible(hNeighbour) &&
                   ::IsWindowEnabled(hNeighbour)
               ? hNeighbour
               : nullptr;
}

BOOL CKvCommonDlg::PassFocus(bool bBack) {
    HWND hNeighbour = KeyboardNeighbour();
    return hNeighbour && ::PostMessageW(hNeighbour, ArriveFocusMessage(), bBack ? 1 : 0, 0);
}

LRESULT CKvCommonDlg::OnArriveFocus(WPARAM wParam, LPARAM) {
    if (IsWindowVisible() && IsWindowEnabled())
        ArriveFocus(wParam != 0);
    return 0;
}

void CKvCommonDlg::ArriveFocus(bool bBack) {
    ::SetForegroundWindow(m_hWnd);
    SetActiveWindow();
    // The first stop; the one before it is the last.
    HWND hStop = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    if (hStop && bBack)
        hStop = ::GetNextDlgTabItem(m_hWnd, hStop, TRUE);
    if (hStop)
        GotoDlgCtrl(CWnd::FromHandle(hStop));
    ShowKeyboardCues();
}

// ---------------------------------------------------------------------------
// Screen readers

namespace {

KvAccess::ItemFacts ControlFacts(CWnd* pControl) {
    KvAccess::ItemFacts facts;
    facts.bFocused = ::GetFocus() == pControl->m_hWnd;
    facts.bDisabled = !pControl->IsWindowEnabled();
    facts.bInvisible = !pControl->IsWindowVisible();
    if (CKvBmpButton* pButton = DYNAMIC_DOWNCAST(CKvBmpButton, pControl)) {
        facts.bHot = pButton->IsHovered() != FALSE;
        facts.bPressed = (pButton->SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
        facts.bChecked = pButton->GetButtonKind() != KvLayout::kKindPush &&
                         pButton->SendMessage(BM_GETCHECK) == BST_CHECKED;
        facts.bDefault = (pButton->SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON) != 0;
    }
    return facts;
}

ItemKind ControlKind(CWnd* pControl) {
    if (CKvBmpButton* pButton = DYNAMIC_DOWNCAST(CKvBmpButton, pControl))
        return pButton->GetButtonKind() == KvLayout::kKindCheck   ? ItemKind::CheckBox
               : pButton->GetButtonKind() == KvLayout::kKindRadio ? ItemKind::RadioButton
                                                                  : ItemKind::PushButton;
    return DYNAMIC_DOWNCAST(CLabel, pControl) ? ItemKind::Label : ItemKind::None;
}

// What a control shows: a label its own text (it has no window text), a
// button its caption.
CString ControlText(CWnd* pControl) {
    if (CLabel* pLabel = DYNAMIC_DOWNCAST(CLabel, pControl))
        return pLabel->GetText();
    CString strText;
    pControl->GetWindowText(strText);
    return strText;
}

} // namespace

CKvAccessObjects& CKvCommonDlg::AccessObjects() {
    if (!m_pAccess)
        m_pAccess = std::make_unique<CKvAccessObjects>(static_cast<IKvAccessSource&>(*this));
    return *m_pAccess;
}

void CKvCommonDlg::OnDestroy() {
    // Clients may hold the objects past the window: from now on they answer
    // that they are not connected, and never reach this dialog again.
    if (m_pAccess)
        m_pAccess->Disconnect();
    m_pAccess.reset();
    // A dialog object that runs again starts without cues, as a new one does.
    m_bKeyboardCues = false;
    CDialog::OnDestroy();
}

LRESULT CKvCommonDlg::OnGetObject(WPARAM wParam, LPARAM lParam) {
    if (static_cast<LONG>(lParam) == OBJID_CLIENT)
        if (const LRESULT lResult = AccessObjects().Answer(m_hWnd, false, wParam))
            return lResult;
    return Default();
}

LRESULT CKvCommonDlg::OnItemObject(WPARAM wParam, LPARAM lParam) {
    HWND hItem = reinterpret_cast<HWND>(wParam);
    return AccessChildOfWindow(hItem)
               ? AccessObjects().Answer(hItem, true, static_cast<WPARAM>(lParam))
               : 0;
}

bool CKvCommonDlg::IsAccessibleItem(const _XmlDynamicItem& item) const {
    const CWnd* pControl = item.pControl.get<CWnd>();
    return pControl && pControl->m_hWnd &&
           ControlKind(const_cast<CWnd*>(pControl)) != ItemKind::None;
}

int CKvCommonDlg::ItemOfChild(int nChild) const {
    for (size_t i = 0; i < m_arrDynamicItems.size(); ++i)
        if (IsAccessibleItem(m_arrDynamicItems[i]) && --nChild == 0)
            return static_cast<int>(i);
    return -1;
}

int CKvCommonDlg::ChildOfItem(int nIndex) const {
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= m_arrDynamicItems.size() ||
        !IsAccessibleItem(m_arrDynamicItems[static_cast<size_t>(nIndex)]))
        return 0;
    int nChild = 0;
    for (int i = 0; i <= nIndex; ++i)
        nChild += IsAccessibleItem(m_arrDynamicItems[static_cast<size_t>(i)]) ? 1 : 0;
    return nChild;
}

int CKvCommonDlg::AccessChildCount() {
    return static_cast<int>(
        std::count_if(m_arrDynamicItems.begin(), m_arrDynamicItems.end(),
                      [this](const _XmlDynamicItem& item) { return IsAccessibleItem(item); }));
}

bool CKvCommonDlg::DescribeChild(int nChild, KvAccessItem& out) {
    const int nIndex = ItemOfChild(nChild);
    if (nIndex < 0)
        return false;
    const _XmlDynamicItem& item = m_arrDynamicItems[static_cast<size_t>(nIndex)];
    CWnd* pControl = item.pControl.get<CWnd>();
    const ItemKind kind = ControlKind(pControl);
    const KvAccess::ItemFacts facts = ControlFacts(pControl);
    const KvAccess::ItemSpeech speech =
        KvAccess::SpeechOf(ControlText(pControl), item.strToolTip, kind != ItemKind::Label);
    out.strName = speech.strName;
    out.strDescription = speech.strDescription;
    out.strShortcut = speech.strShortcut;
    out.strDefaultAction = KvAccess::DefaultActionOf(kind, facts.bChecked);
    out.nRole = KvAccess::RoleOf(kind);
    out.nState = KvAccess::StateOf(kind, facts);
    pControl->GetWindowRect(&out.rcScreen);
    out.hWnd = pControl->m_hWnd;
    return true;
}

int CKvCommonDlg::AccessChildAt(POINT ptScreen) {
    KvAccessItem item;
    for (int nChild = 1; DescribeChild(nChild, item); ++nChild)
        if (!(item.nState & STATE_SYSTEM_INVISIBLE) && ::PtInRect(&item.rcScreen, ptScreen))
            return nChild;
    return 0;
}

int CKvCommonDlg::AccessChildOfWindow(HWND hWnd) {
    for (size_t i = 0; i < m_arrDynamicItems.size(); ++i) {
        const CWnd* pControl = m_arrDynamicItems[i].pControl.get<CWnd>();
        if (hWnd && pControl && pControl->m_hWnd == hWnd)
            return ChildOfItem(static_cast<int>(i));
    }
    return 0;
}

int CKvCommonDlg::AccessFocusChild() {
    return AccessChildOfWindow(::GetFocus());
}

bool CKvCommonDlg::RunChild(int nChild) {
    const int nIndex = ItemOfChild(nChild);
    if (nIndex < 0)
        return false;
    CWnd* pControl = m_arrDynamicItems[static_cast<size_t>(nIndex)].pControl.get<CWnd>();
    if (!DYNAMIC_DOWNCAST(CKvBmpButton, pControl) || !pControl->IsWindowEnabled())
        return false;
    // Posted: the client's call returns before the click runs what it runs.
    return pControl->PostMessage(BM_CLICK) != FALSE;
}

bool CKvCommonDlg::FocusChild(int nChild) {
    const int nIndex = ItemOfChild(nChild);
    if (nIndex < 0)
        return false;
    CWnd* pControl = m_arrDynamicItems[static_cast<size_t>(nIndex)].pControl.get<CWnd>();
    if (!KvAccess::Acts(ControlKind(pControl)) || !pControl->IsWindowEnabled())
        return false;
    GotoDlgCtrl(pControl);
    return true;
}
