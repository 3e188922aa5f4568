#include "skin/ContainerDlg.h"

#include "companions/HubExchange/HubExchange.h"
#include "res/resource.h"
#include "runtime/Log.h"
#include "runtime/ModuleApp.h"
#include "runtime/StringHelpers.h"
#include "skin/DialogLayout.h"

#include <algorithm>

namespace {

const wchar_t kContainerSection[] = L"CommonWindow\\MainDlgInfo";
const wchar_t kContainerSkinName[] = L"default";

Gdiplus::Color SystemColour(int nIndex) {
    const COLORREF colour = ::GetSysColor(nIndex);
    return Gdiplus::Color(0xFF, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// The fallback sheet: the button face, the caption band in the caption
// colour, a frame around it all.
Gdiplus::Bitmap* CreateFallbackSheet(const ContainerFallbackLayout& layout) {
    Gdiplus::Bitmap* pSheet = CreateButtonFaceSheet(layout.szSheet).release();
    if (!pSheet)
        return nullptr;
    Gdiplus::Graphics graphics(pSheet);
    Gdiplus::SolidBrush band(SystemColour(COLOR_ACTIVECAPTION));
    graphics.FillRectangle(&band, 0, 0, layout.szSheet.cx, layout.nCaptionHeight);
    Gdiplus::Pen frame(SystemColour(COLOR_WINDOWFRAME));
    graphics.DrawRectangle(&frame, 0, 0, layout.szSheet.cx - 1, layout.szSheet.cy - 1);
    return pSheet;
}

// A close item's strip drawn without any file: a cross, then the cross on a
// red square when hot and a darker one when pressed; the fourth frame is
// never shown. Each frame is n x n; the cross is drawn for a frame of 20 and
// grows with it, as the frame grows with the DPI.
std::shared_ptr<Gdiplus::Image> CreateFallbackCloseStrip(int n) {
    const Gdiplus::REAL scale = static_cast<Gdiplus::REAL>(n) / 20.0f;
    auto pStrip = std::make_shared<Gdiplus::Bitmap>(4 * n, n, PixelFormat32bppARGB);
    if (pStrip->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    Gdiplus::Graphics graphics(pStrip.get());
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const Gdiplus::ARGB faces[] = {0, 0xFFE81123, 0xFF9B0D1A};
    const Gdiplus::ARGB crosses[] = {0xFF202020, 0xFFFFFFFF, 0xFFFFFFFF};
    for (int frame = 0; frame < 3; ++frame) {
        const Gdiplus::REAL left = static_cast<Gdiplus::REAL>(frame * n);
        Gdiplus::SolidBrush face{Gdiplus::Color(faces[frame])};
        graphics.FillRectangle(&face, left, 0.0f, static_cast<Gdiplus::REAL>(n),
                               static_cast<Gdiplus::REAL>(n));
        Gdiplus::Pen cross(Gdiplus::Color(crosses[frame]), 2.0f * scale);
        const Gdiplus::REAL a = 6.0f * scale, b = static_cast<Gdiplus::REAL>(n) - a;
        graphics.DrawLine(&cross, left + a, a, left + b, b);
        graphics.DrawLine(&cross, left + a, b, left + b, a);
    }
    return pStrip;
}

SIZE WindowSize(const CWnd& wnd) {
    CRect rc;
    wnd.GetWindowRect(&rc);
    return rc.Size();
}

} // namespace

// ---------------------------------------------------------------------------
// The page

IMPLEMENT_DYNAMIC(CContainerPage, CKvCommonDlg)

BEGIN_MESSAGE_MAP(CContainerPage, CKvCommonDlg)
ON_WM_CLOSE()
END_MESSAGE_MAP()

CContainerPage::CContainerPage(UINT nIDTemplate, CWnd* pParent)
    : CKvCommonDlg(nIDTemplate, pParent), m_hContainer(nullptr), m_nCloseMessage(0) {}

void CContainerPage::SetContainer(HWND hContainer, UINT nCloseMessage) {
    m_hContainer = hContainer;
    m_nCloseMessage = nCloseMessage;
}

void CContainerPage::OnOK() {}

void CContainerPage::OnCancel() {}

void CContainerPage::OnClose() {
    RequestClose();
}

BOOL CContainerPage::RequestClose() {
    // Posted: the container destroys this page, which must first finish the
    // message that asked.
    return m_hContainer && ::PostMessageW(m_hContainer, m_nCloseMessage, 0, 0);
}

// ---------------------------------------------------------------------------
// The container

IMPLEMENT_DYNAMIC(CContainerDlg, CKvCommonDlg)

BEGIN_MESSAGE_MAP(CContainerDlg, CKvCommonWndLessDlg)
ON_COMMAND(IDOK, OnIgnoredCommand)
ON_COMMAND(IDCANCEL, OnIgnoredCommand)
ON_MESSAGE(WM_CLOSE_CONTAINER, OnCloseRequest)
ON_WM_CLOSE()
ON_WM_MOVE()
ON_WM_WINDOWPOSCHANGED()
ON_WM_ACTIVATE()
ON_WM_NCLBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CContainerDlg::CContainerDlg(CWnd* pParent)
    : CKvCommonWndLessDlg(IDD_CONTAINER, pParent), m_strSkinFileName(L"Kelvane.xml") {}

CContainerDlg::~CContainerDlg() {
    // Ended here, while this class's handlers still answer: its WM_DESTROY
    // ends the subscription and the page.
    if (m_hWnd)
        DestroyWindow();
}

void CContainerDlg::SetPageFactory(std::function<CContainerPage*()> make) {
    m_makePage = std::move(make);
}

void CContainerDlg::SetSkinFileName(const CString& strName) {
    m_strSkinFileName = strName;
}

BOOL CContainerDlg::OnInitDialog() {
    CKvCommonDlg::OnInitDialog();
    // The template's OK and Cancel are never drawn (a layered window shows
    // its picture alone), yet the dialog manager would give them the
    // keyboard focus, even hidden: gone, they hold neither the focus nor a
    // click, and the keys reach the drawn items. Enter and Escape still come
    // as OK and Cancel.
    for (const int nID : {IDOK, IDCANCEL})
        if (CWnd* pButton = GetDlgItem(nID))
            pButton->DestroyWindow();
    const SIZE szTemplate = WindowSize(*this);
    RegisterNotify(TRUE);
    m_strConfigDir = GetConfigDirectory();
    InitWndLessSkin(ContainerSkinPath(m_strConfigDir, m_strSkinFileName), kContainerSection, L"",
                    kContainerSkinName);
    CreateChildPage();
    const SIZE sheet = GetSheetSize();
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        ApplyFallbackLook(szTemplate, m_window.nDpi);
    // The page's first place. It is shown with the container, not before: a
    // page shown now would flash where the container is not yet, and under a
    // window manager it would be mapped before its owner and stacked below it.
    PositionChildPage();
    return TRUE;
}

void CContainerDlg::CreateChildPage() {
    if (!m_makePage)
        return;
    std::unique_ptr<CContainerPage> pPage(m_makePage());
    if (!pPage)
        return;
    pPage->SetContainer(m_hWnd, WM_CLOSE_CONTAINER);
    // A page whose window cannot be made is dropped whole rather than kept
    // half-made: nothing would show or close it.
    if (!pPage->Create(pPage->m_lpszTemplateName, this))
        return;
    // Tab goes from the container's items to the page's controls and back.
    SetKeyboardNeighbour(pPage->m_hWnd);
    pPage->SetKeyboardNeighbour(m_hWnd);
    m_pChildPage = std::move(pPage);
}

void CContainerDlg::ApplyFallbackLook(SIZE szTemplate, int nDpi) {
    m_bFallbackLook = true;
    m_szFallbackTemplate = szTemplate;
    const SIZE szPage =
        m_pChildPage && m_pChildPage->m_hWnd ? WindowSize(*m_pChildPage) : SIZE{0, 0};
    const ContainerFallbackLayout layout = FallbackContainerLayout(szTemplate, szPage, nDpi);
    // Whatever part of the skin was read is dropped: the fallback is one look.
    m_mapWindowInfo.clear();
    m_mapPosInfo.clear();
    m_arrDynamicItems.clear();
    m_window = KvWindowModel();
    m_window.nDpi = nDpi;
    m_window.szSheet = layout.szSheet;
    m_window.ptChildPos = layout.ptChildPos;
    m_window.bDrag = true;
    m_window.nCaptionHeight = layout.nCaptionHeight;
    _XmlDynamicItem close;
    close.strID = L"BTN_CLOSE";
    close.nControlType = 2;
    close.rcPos = layout.rcClose;
    m_arrDynamicItems.push_back(std::move(close));
    // Laid out at nDpi already: its lengths are taken as they are, never
    // scaled again (a change of DPI lays the fallback out anew).
    m_skinLengths = KvSkinLengths();
    m_skinLengths.items.push_back({layout.rcClose, 0});

    CreateWndLessItems();
    if (CWndLessItem* pItem = WndLessItem(0))
        pItem->SetStateImage(CreateFallbackCloseStrip(layout.rcClose.right - layout.rcClose.left));
    if (Gdiplus::Bitmap* pSheet = CreateFallbackSheet(layout))
        SetBackImage(pSheet);
    UpdateLayered(m_nAlpha);
}

BOOL CContainerDlg::OnItemCommand(_XmlDynamicItem& item) {
    if (item.strID.CompareNoCase(L"BTN_CLOSE") == 0)
        OnCancel();
    return TRUE;
}

BOOL CContainerDlg::RegisterNotify(BOOL bRegister) {
    const CString strPath = GetLibraryDirectory() + L"HubExchange.dll";
    HMODULE hHub = ::LoadLibraryW(strPath);
    if (!hHub)
        return TRUE;
    using NotifyFunction = decltype(&HXRegComNotifyMessage);
    const FARPROC pExport =
        GetExportAddress(hHub, bRegister ? L"HXRegComNotifyMessage" : L"HXUnRegComNotifyMessage");
    // Through void*: the export's real type is known only here.
    auto pNotify = reinterpret_cast<NotifyFunction>(reinterpret_cast<void*>(pExport));
    const int nResult = pNotify ? pNotify(kContainerNotify, m_hWnd, WM_CLOSE_CONTAINER, 0) : 0;
    // Unsubscribed, no broadcast can close this container: whoever wonders why must find out.
    if (bRegister && nResult < 0)
        WriteLog(L"container: cannot subscribe to notification %d (%s, %d): it runs "
                 L"unsubscribed, broadcasts do not reach it",
                 kContainerNotify,
                 nResult == HX_TABLE_FULL ? L"the notification table is full"
                                          : L"the notification centre refused",
                 nResult);
    // The centre keeps the subscription after this: it pins itself.
    ::FreeLibrary(hHub);
    return TRUE;
}

void CContainerDlg::PositionChildPage() {
    if (!m_pChildPage || !m_pChildPage->m_hWnd)
        return;
    const POINT ptOffset = m_window.ptChildPos;
    CRect rc;
    GetWindowRect(&rc);
    // Shown (and activated, so that the keyboard reaches its controls) the
    // first time the container is visible; later only moved and kept on top.
    const bool bShow = IsWindowVisible() && !m_pChildPage->IsWindowVisible();
    const UINT nFlags = SWP_NOSIZE | (bShow ? SWP_SHOWWINDOW : SWP_NOACTIVATE);
    m_pChildPage->SetWindowPos(&wndTop, rc.left + ptOffset.x, rc.top + ptOffset.y, 0, 0, nFlags);
}

void CContainerDlg::ApplyDpi(int nDpi) {
    if (!m_bFallbackLook) {
        CKvCommonWndLessDlg::ApplyDpi(nDpi);
    } else {
        // The template's size was the window's, in pixels of the DPI before.
        const int nOldDpi = m_window.nDpi;
        const SIZE szTemplate = {KvScale::MulDivRound(m_szFallbackTemplate.cx, nDpi, nOldDpi),
                                 KvScale::MulDivRound(m_szFallbackTemplate.cy, nDpi, nOldDpi)};
        ApplyFallbackLook(szTemplate, nDpi);
    }
    PositionChildPage();
}

void CContainerDlg::RaiseChildPage() {
    if (m_pChildPage && m_pChildPage->m_hWnd && m_pChildPage->IsWindowVisible())
        m_pChildPage->SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CContainerDlg::OnIgnoredCommand() {}

LRESULT CContainerDlg::OnCloseRequest(WPARAM, LPARAM) {
    OnCancel();
    return 1;
}

void CContainerDlg::OnClose() {
    OnCancel();
}

void CContainerDlg::OnMove(int x, int y) {
    CKvCommonWndLessDlg::OnMove(x, y);
    PositionChildPage();
}

void CContainerDlg::OnWindowPosChanged(WINDOWPOS* pPos) {
    CKvCommonWndLessDlg::OnWindowPosChanged(pPos);
    if (pPos->flags & SWP_SHOWWINDOW)
        PositionChildPage();
}

void CContainerDlg::OnActivate(UINT nState, CWnd* pOther, BOOL bMinimized) {
    CKvCommonWndLessDlg::OnActivate(nState, pOther, bMinimized);
    // A window manager raises the container when it is clicked or switched
    // to; the page is an owned window and belongs above it.
    if (nState != WA_INACTIVE && !bMinimized)
        RaiseChildPage();
}

// The caption band's press arrives here as a caption hit. The system would
// hand it to its move loop, which under a window manager moves the container
// alone and reports the move only when the button is released: the page
// would stay behind for the whole drag. The container moves itself instead,
// and the page follows each step.
void CContainerDlg::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    if (nHitTest != HTCAPTION || ::GetKeyState(VK_LBUTTON) >= 0) {
        CKvCommonWndLessDlg::OnNcLButtonDown(nHitTest, point);
        return;
    }
    CRect rc;
    GetWindowRect(&rc);
    ::GetCursorPos(&m_ptDragCursor);
    m_ptDragWindow = rc.TopLeft();
    m_bDragging = true;
    SetCapture();
}

void CContainerDlg::OnMouseMove(UINT nFlags, CPoint point) {
    if (!m_bDragging) {
        CKvCommonWndLessDlg::OnMouseMove(nFlags, point);
        return;
    }
    // A release the window never saw (another window took it) ends the drag.
    if (!(nFlags & MK_LBUTTON)) {
        EndDrag();
        return;
    }
    POINT cursor = {0, 0};
    ::GetCursorPos(&cursor);
    SetWindowPos(nullptr, m_ptDragWindow.x + cursor.x - m_ptDragCursor.x,
                 m_ptDragWindow.y + cursor.y - m_ptDragCursor.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CContainerDlg::OnLButtonUp(UINT nFlags, CPoint point) {
    if (m_bDragging)
        EndDrag();
    CKvCommonWndLessDlg::OnLButtonUp(nFlags, point);
}

void CContainerDlg::OnCaptureChanged(CWnd* pWnd) {
    m_bDragging = false;
    CKvCommonWndLessDlg::OnCaptureChanged(pWnd);
}

void CContainerDlg::EndDrag() {
    m_bDragging = false;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CContainerDlg::OnDestroy() {
    CKvCommonWndLessDlg::OnDestroy();
    RegisterNotify(FALSE);
    if (m_pChildPage) {
        if (m_pChildPage->m_hWnd)
            m_pChildPage->DestroyWindow();
        m_pChildPage.reset();
    }
}
