// The resources a host reads from Kelvane.dll, read back from the built file:
// the container's dialog template as the dialog manager takes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tools/common/Process.h"

namespace {

const std::wstring kPath = KvProcess::BesideProgram(L"Kelvane.dll");

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

} // namespace

TEST(Resources, ContainerTemplateGivesTheDialogManagerOkAndCancel) {
    HMODULE file = LoadLibraryExW(kPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND dialog = CreateDialogParamW(file, MAKEINTRESOURCEW(28012), nullptr, NoHandling, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), SendMessageW(dialog, DM_GETDEFID, 0, 0));
    EXPECT_NE(GetDlgItem(dialog, IDCANCEL), nullptr);
    DestroyWindow(dialog);
    FreeLibrary(file);
}
