#include "tools/kvskin/PreviewDialog.h"

#include "tools/common/Utf8.h"

bool ClosesPreview(const CString& strID) {
    return strID.CompareNoCase(L"BTN_CLOSE") == 0 || strID.CompareNoCase(L"BTN_EXIT") == 0;
}

std::unique_ptr<CKvCommonDlg> CreatePreviewDialog(const PreviewSkin& skin) {
    const PopupTemplate popup(skin.bCaption);
    std::unique_ptr<CKvCommonDlg> dlg;
    if (skin.bWindowless)
        dlg = std::make_unique<CPreviewDialog<CKvCommonWndLessDlg>>();
    else
        dlg = std::make_unique<CPreviewDialog<CKvCommonDlg>>();
    if (!dlg->CreateIndirect(&popup.dlg))
        return nullptr;
    if (skin.bWindowless)
        static_cast<CKvCommonWndLessDlg&>(*dlg).InitWndLessSkin(skin.strSkinFile, skin.strSection,
                                                                skin.strSection2, skin.strSkinName);
    else
        dlg->InitDialogSkin(skin.strSkinFile, skin.strSection, skin.strSection2, skin.strSkinName);
    return dlg;
}

std::string WindowFailureText(DWORD nError) {
    if (nError == 0)
        return "no reason given; is there a display?";
    wchar_t* pszText = nullptr;
    const DWORD nLength = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, nError, 0, reinterpret_cast<wchar_t*>(&pszText), 0, nullptr);
    std::string text = "error " + std::to_string(nError);
    if (nLength > 0) {
        std::wstring message(pszText, nLength);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
            message.pop_back();
        text += ": " + ToUtf8(message.c_str());
    }
    ::LocalFree(pszText);
    return text;
}
