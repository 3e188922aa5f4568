// Dialogs from templates found through the module's resource chain, run
// modally with the framework's message loop or created modeless.
#include "AfxState.h"

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return 0;
    CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    return pDlg != nullptr ? pDlg->OnInitDialog() : TRUE;
}

namespace {

LPCDLGTEMPLATEW LoadDialogTemplate(LPCWSTR lpszTemplateName, HINSTANCE& hInst) {
    hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
    HRSRC hResource = ::FindResourceW(hInst, lpszTemplateName, RT_DIALOG);
    if (hResource == nullptr)
        return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    return hTemplate != nullptr ? static_cast<LPCDLGTEMPLATEW>(::LockResource(hTemplate)) : nullptr;
}

// Creates the dialog window with the dialog object receiving its HWND first.
HWND CreateDialogFor(CDialog* pDlg, HINSTANCE hInst, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent) {
    AfxCreateWindowScope scope(pDlg);
    return ::CreateDialogIndirectParamW(hInst, lpTemplate, hWndParent, AfxDlgProc, 0);
}

} // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CDialog::CDialog()
    : m_lpszTemplateName(nullptr), m_nIDHelp(0), m_lpDialogTemplate(nullptr),
      m_pParentWnd(nullptr) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)), m_nIDHelp(nIDTemplate),
      m_lpDialogTemplate(nullptr), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCWSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_nIDHelp(0), m_lpDialogTemplate(nullptr),
      m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCWSTR lpszTemplateName, CWnd* pParentWnd) {
    m_lpszTemplateName = lpszTemplateName;
    if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
    HINSTANCE hInst = nullptr;
    LPCDLGTEMPLATEW lpTemplate = LoadDialogTemplate(lpszTemplateName, hInst);
    return lpTemplate != nullptr && CreateIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
    if (lpDialogTemplate == nullptr || m_hWnd != nullptr)
        return FALSE;
    if (pParentWnd != nullptr)
        m_pParentWnd = pParentWnd;
    if (hInst == nullptr)
        hInst = AfxGetResourceHandle();
    HWND hWnd = CreateDialogFor(this, hInst, lpDialogTemplate,
                                m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr);
    return hWnd != nullptr;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATEW lpDialogTemplate, CWnd* pParentWnd) {
    m_lpDialogTemplate = lpDialogTemplate;
    m_lpszTemplateName = nullptr;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

// The owner of a modal dialog: the given parent's top-level window, or the
// application's main window, or none.
HWND CDialog::PreModal() {
    HWND hWnd = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    if (hWnd == nullptr) {
        CWnd* pMain = AfxGetMainWnd();
        hWnd = pMain != nullptr ? pMain->m_hWnd : nullptr;
    }
    while (hWnd != nullptr && (GetWindowLongW(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return hWnd;
}

INT_PTR CDialog::DoModal() {
    HINSTANCE hInst = AfxGetResourceHandle();
    LPCDLGTEMPLATEW lpTemplate = m_lpDialogTemplate;
    if (m_lpszTemplateName != nullptr)
        lpTemplate = LoadDialogTemplate(m_lpszTemplateName, hInst);
    if (lpTemplate == nullptr || m_hWnd != nullptr)
        return -1;

    HWND hWndOwner = PreModal();
    bool ownerDisabled = false;
    if (hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner)) {
        ::EnableWindow(hWndOwner, FALSE);
        ownerDisabled = true;
    }
    m_nModalResult = -1;
    m_nFlags |= WF_CONTINUEMODAL; // EndDialog in OnInitDialog skips the loop
    HWND hWnd = CreateDialogFor(this, hInst, lpTemplate, hWndOwner);
    if (hWnd != nullptr && (m_nFlags & WF_CONTINUEMODAL))
        RunModalLoop(MLF_SHOWONIDLE);
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    if (m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (ownerDisabled)
        ::EnableWindow(hWndOwner, TRUE);
    if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndOwner);
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nResult);
    ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    PreInitDialog();
    return Default(); // the dialog manager calls OnInitDialog through AfxDlgProc
}

void CDialog::PreInitDialog() {}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL) {
    return TRUE;
}

// Keyboard and mouse input first goes through the dialog manager's navigation.
BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    bool keyboard = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
    bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse)
        return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

void CDialog::NextDlgCtrl() const {
    SendMessage(WM_NEXTDLGCTL, 0, 0);
}
void CDialog::PrevDlgCtrl() const {
    SendMessage(WM_NEXTDLGCTL, 1, 0);
}
void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (pWndCtrl != nullptr)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
}
void CDialog::SetDefID(UINT nID) {
    SendMessage(DM_SETDEFID, nID);
}
DWORD CDialog::GetDefID() const {
    return static_cast<DWORD>(SendMessage(DM_GETDEFID));
}
