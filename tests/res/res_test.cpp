// The resources a host reads from Kelvane.dll, read back from the built file:
// the container's dialog template as the dialog manager takes it, and the
// version record written from the generated version header.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/Version.h"
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

TEST(Resources, VersionRecordCarriesTheGeneratedVersion) {
    std::vector<BYTE> record(GetFileVersionInfoSizeW(kPath.c_str(), nullptr));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoW(kPath.c_str(), 0, DWORD(record.size()), record.data()));
    auto query = [&](const wchar_t* name) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueW(record.data(), name, &value, &length) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(MAKELONG(KV_VERSION_MINOR, KV_VERSION_MAJOR), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(KV_VERSION_TWEAK, KV_VERSION_PATCH), fixed->dwFileVersionLS);
    const void* text = query(L"\\StringFileInfo\\040904b0\\FileVersion");
    EXPECT_STREQ(L"" KV_VERSION_STRING, text ? static_cast<const wchar_t*>(text) : L"<missing>");
}
