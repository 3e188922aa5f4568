// The resources a host reads from Kelvane.dll: the container dialog's
// template and the version record, read back from the built file.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The built file beside this program, opened for its resources only.
std::wstring KelvanePath() {
    wchar_t self[MAX_PATH];
    std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    return path.substr(0, path.rfind(L'\\') + 1) + L"Kelvane.dll";
}

struct ResourceFile {
    HMODULE module = LoadLibraryExW(KelvanePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ~ResourceFile() { FreeLibrary(module); }
};

// Reads a dialog template front to back, as the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : m_base(static_cast<const BYTE*>(data)) {}
    template <typename T = WORD> T Next() {
        T value;
        std::memcpy(&value, m_base + m_offset, sizeof value);
        m_offset += sizeof value;
        return value;
    }
    std::wstring Text() {
        std::wstring text;
        for (WORD c; (c = Next()) != 0;)
            text += static_cast<wchar_t>(c);
        return text;
    }
    std::array<short, 4> Box() {
        return {Next<short>(), Next<short>(), Next<short>(), Next<short>()};
    }
    void AlignToDword() { m_offset = (m_offset + 3) & ~size_t(3); }

private:
    const BYTE* m_base;
    size_t m_offset = 0;
};

struct ExpectedButton {
    DWORD style;
    std::array<short, 4> box;
    DWORD id;
    const wchar_t* title;
};

} // namespace

TEST(Resources, ContainerTemplateIsTheFixedOne) {
    ResourceFile file;
    HRSRC found = FindResourceW(file.module, MAKEINTRESOURCEW(28012), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    TemplateReader dialog(LockResource(LoadResource(file.module, found)));
    EXPECT_EQ(1, dialog.Next()); // DLGTEMPLATEEX
    EXPECT_EQ(0xFFFF, dialog.Next());
    dialog.Next<DWORD>(); // help ID
    EXPECT_EQ(0u, dialog.Next<DWORD>());
    EXPECT_EQ(DWORD(WS_POPUP | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS), dialog.Next<DWORD>());
    ASSERT_EQ(2, dialog.Next());
    EXPECT_EQ((std::array<short, 4>{0, 0, 216, 135}), dialog.Box());
    for (const wchar_t* none : {L"menu", L"class", L"caption"})
        EXPECT_EQ(L"", dialog.Text()) << none;
    EXPECT_EQ(8, dialog.Next());  // points
    dialog.Next(), dialog.Next(); // weight, italic and character set
    EXPECT_EQ(L"MS Shell Dlg", dialog.Text());

    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    for (const ExpectedButton& expected :
         {ExpectedButton{button | BS_DEFPUSHBUTTON, {39, 114, 50, 14}, IDOK, L"OK"},
          ExpectedButton{button | BS_PUSHBUTTON, {102, 114, 50, 14}, IDCANCEL, L"Cancel"}}) {
        SCOPED_TRACE(expected.id);
        dialog.AlignToDword();
        dialog.Next<DWORD>(), dialog.Next<DWORD>(); // help ID, extended style
        EXPECT_EQ(expected.style, dialog.Next<DWORD>());
        EXPECT_EQ(expected.box, dialog.Box());
        EXPECT_EQ(expected.id, dialog.Next<DWORD>());
        EXPECT_EQ(0xFFFF, dialog.Next()); // the predefined BUTTON class
        EXPECT_EQ(0x0080, dialog.Next());
        EXPECT_EQ(expected.title, dialog.Text());
        EXPECT_EQ(0, dialog.Next()); // no creation data
    }
}

TEST(Resources, VersionRecordCarriesTheProjectVersion) {
    const std::wstring path = KelvanePath();
    std::vector<BYTE> record(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, DWORD(record.size()), record.data()));
    auto query = [&](const std::wstring& name) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueW(record.data(), name.c_str(), &value, &length) ? value : nullptr;
    };

    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    ASSERT_NE(fixed, nullptr);
    unsigned major = 0, minor = 0, patch = 0, tweak = 0;
    ASSERT_GE(std::sscanf(KV_PROJECT_VERSION, "%u.%u.%u.%u", &major, &minor, &patch, &tweak), 2);
    EXPECT_EQ(DWORD(VFT_DLL), fixed->dwFileType);
    EXPECT_EQ(MAKELONG(minor, major), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(tweak, patch), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

    const std::wstring dotted = std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." +
                                std::to_wstring(patch) + L"." + std::to_wstring(tweak);
    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"FileVersion", dotted},
        {L"ProductVersion", dotted},
        {L"CompanyName", L"Kelvane"},
        {L"ProductName", L"Kelvane"},
        {L"OriginalFilename", L"Kelvane.dll"}};
    for (const auto& [name, value] : strings) {
        const void* text = query(std::wstring(L"\\StringFileInfo\\040904b0\\") + name);
        EXPECT_EQ(value, text ? static_cast<const wchar_t*>(text) : L"<missing>") << name;
    }
}
