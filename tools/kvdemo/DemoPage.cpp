#include "tools/kvdemo/DemoPage.h"

#include "tools/kvdemo/DemoReport.h"
#include "tools/kvdemo/DemoResource.h"

#include "skin/BmpButton.h"
#include "tools/common/Utf8.h"

namespace {

const wchar_t kPageSection[] = L"CommonWindow\\DemoPage";
const wchar_t kSwatchPrefix[] = L"Swatch_";
const UINT kNoticeID = 1000;

} // namespace

CDemoPage::CDemoPage(const CString& strSkinFile)
    : CContainerPage(IDD_DEMO_PAGE), m_strSkinFile(strSkinFile) {}

BOOL CDemoPage::OnInitDialog() {
    CContainerPage::OnInitDialog();
    InitDialogSkin(m_strSkinFile, kPageSection, L"", L"default");
    const SIZE sheet = GetSheetSize();
    if (!SheetFitsSection(sheet.cx, sheet.cy)) {
        ShowNoSkinNotice();
        return TRUE;
    }
    ShowDetails();
    // The first radio with a swatch starts checked, so that the picture and
    // the group agree from the start.
    for (const _XmlDynamicItem& item : m_arrDynamicItems) {
        CString strPath;
        GetWindowInfo(kSwatchPrefix + item.strID, strPath, FALSE);
        if (strPath.IsEmpty() || CheckOf(item.strID) < 0)
            continue;
        ItemWindow(item.strID)->SendMessage(BM_SETCHECK, BST_CHECKED);
        ShowSwatch(item.strID);
        break;
    }
    return TRUE;
}

BOOL CDemoPage::OnItemCommand(_XmlDynamicItem& item) {
    CString strSwatch;
    GetWindowInfo(kSwatchPrefix + item.strID, strSwatch, FALSE);
    if (item.strID.CompareNoCase(L"CHK_DETAILS") == 0)
        ShowDetails();
    else if (!strSwatch.IsEmpty())
        ShowSwatch(item.strID);
    else if (item.strID.CompareNoCase(L"BTN_MESSAGE") == 0)
        ShowSkinMessage(L"MessageText", L"MessageCaption");
    else if (item.strID.CompareNoCase(L"BTN_ABOUT") == 0)
        ShowSkinMessage(L"AboutText", L"AboutCaption");
    else if (item.strID.CompareNoCase(L"BTN_EXIT") == 0)
        RequestClose();
    else
        return CContainerPage::OnItemCommand(item);
    return FALSE;
}

void CDemoPage::ShowDetails() {
    if (CLabel* pLabel = ItemLabel(L"LBL_DETAILS"))
        pLabel->SetText(
            Entry(CheckOf(L"CHK_DETAILS") == BST_CHECKED ? L"DetailsShown" : L"DetailsHidden"));
}

void CDemoPage::ShowSwatch(const CString& strRadioID) {
    CLabel* pLabel = ItemLabel(L"LBL_SWATCH");
    if (!pLabel)
        return;
    CString strPath;
    GetWindowInfo(kSwatchPrefix + strRadioID, strPath, TRUE);
    pLabel->SetImageFile(strPath);
    m_strSwatch = strRadioID;
    if (!pLabel->HasImage())
        ReportProblem(
            ToUtf8(L"the swatch picture of " + strRadioID + L" cannot be read: " + strPath));
}

void CDemoPage::ShowSkinMessage(LPCWSTR pszTextKey, LPCWSTR pszCaptionKey) {
    // An empty folder: DlgNotice.dll beside Kelvane.dll.
    m_nLastMessage =
        ShowMessageBox(pszTextKey, pszCaptionKey, MB_OK | MB_ICONINFORMATION, TRUE, L"");
    if (m_nLastMessage == -1)
        ReportProblem("no message box: DlgNotice.dll beside Kelvane.dll cannot be loaded");
}

void CDemoPage::ShowNoSkinNotice() {
    CRect rc;
    GetClientRect(&rc);
    rc.DeflateRect(16, 16);
    const CString strText = L"This page has no skin: the section " + CString(kPageSection) +
                            L" of\n" + m_strSkinFile +
                            L"\ncannot be read. The window still works: drag it by its band "
                            L"and close it with the cross.";
    if (m_notice.Create(strText, WS_CHILD | WS_VISIBLE | SS_LEFT, rc, this, kNoticeID))
        ApplyDialogFont(this);
}

CWnd* CDemoPage::ItemWindow(LPCWSTR pszID) const {
    for (const _XmlDynamicItem& item : m_arrDynamicItems)
        if (item.strID.CompareNoCase(pszID) == 0) {
            CWnd* pWnd = item.pControl.get<CWnd>();
            return pWnd && pWnd->m_hWnd ? pWnd : nullptr;
        }
    return nullptr;
}

CLabel* CDemoPage::ItemLabel(LPCWSTR pszID) const {
    return DYNAMIC_DOWNCAST(CLabel, ItemWindow(pszID));
}

int CDemoPage::CheckOf(LPCWSTR pszID) const {
    CKvBmpButton* pButton = DYNAMIC_DOWNCAST(CKvBmpButton, ItemWindow(pszID));
    return pButton ? static_cast<int>(pButton->SendMessage(BM_GETCHECK)) : -1;
}

CString CDemoPage::LabelText(LPCWSTR pszID) const {
    const CLabel* pLabel = ItemLabel(pszID);
    return pLabel ? pLabel->GetText() : CString();
}

CString CDemoPage::Entry(LPCWSTR pszKey) {
    CString strValue;
    GetWindowInfo(pszKey, strValue, FALSE);
    return strValue;
}
