// The resources a host reads from Kelvane.dll, read back from the built file:
// the container's dialog template as the dialog manager takes it, and the
// version record of the project version. (What else they hold is written out
// in res/Kelvane.rc and not repeated here.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/common/ProcessKit.h"

namespace {

const std::wstring kPath = ProcessKit::BesideProgram(L"Kelvane.dll");

// The built file, opened for its resources only.
struct ResourceFile {
    HMODULE module = LoadLibraryExW(kPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ~ResourceFile() { FreeLibrary(module); }
};

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

} // namespace

TEST(Resources, ContainerTemplateGivesTheDialogManagerOkAndCancel) {
    ResourceFile file;
    HWND dialog = CreateDialogParamW(file.module, MAKEINTRESOURCEW(28012), nullptr, NoHandling, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), SendMessageW(dialog, DM_GETDEFID, 0, 0));
    EXPECT_NE(GetDlgItem(dialog, IDCANCEL), nullptr);
    DestroyWindow(dialog);
}

TEST(Resources, VersionRecordCarriesTheProjectVersion) {
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
    unsigned major = 0, minor = 0, patch = 0, tweak = 0;
    ASSERT_GE(std::sscanf(KV_PROJECT_VERSION, "%u.%u.%u.%u", &major, &minor, &patch, &tweak), 2);
    EXPECT_EQ(MAKELONG(minor, major), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(tweak, patch), fixed->dwFileVersionLS);
    const std::wstring dotted = std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
                                std::to_wstring(patch) + L"." + std::to_wstring(tweak);
    const void* text = query(L"\\StringFileInfo\\040904b0\\FileVersion");
    EXPECT_EQ(dotted, text ? static_cast<const wchar_t*>(text) : L"<missing>");
}
