// The runtime helpers against the real registry (a key of the test's own), a
// recording DlgNotice.dll double (the skinned dialog's suite checks the texts
// and type the box is given). (MakeTempFileName is GetTempFileNameW in
// the temporary folder and is not tested again here.)
#include "runtime/Helpers.h"
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

// A path splits after its root name and at its last backslash (the default
// value when nothing follows); pieces may hold 259 characters. A read never
// writes past the buffer, and a string without room for its zero is refused.
TEST(Registry, SplitsPathsWritesReadsAndGivesEachFailureItsCode) {
    CString strKey;
    strKey.Format(L"Software\\KelvaneHelpersTest%lu", GetCurrentProcessId());
    const CString strRoot = L"HKEY_CURRENT_USER\\" + strKey + L"\\";
    EXPECT_EQ(RegWriteString(strRoot + L"A\\B\\Name", L"hello"), 0);
    EXPECT_EQ(RegWriteString(strRoot + L"A\\", L"dflt"), 0);
    EXPECT_EQ(RegWriteString(strRoot + L"Fresh\\V", nullptr), 3);
    const DWORD dwNumber = 0x12345678;
    RegSetKeyValueW(HKEY_CURRENT_USER, strKey, L"Number", REG_DWORD, &dwNumber, 4);
    wchar_t szBuffer[5 + 3];
    DWORD nBytes = sizeof(szBuffer);
    RegGetValueW(HKEY_CURRENT_USER, strKey + L"\\A\\B", L"Name", RRF_RT_REG_SZ, nullptr, szBuffer,
                 &nBytes);
    EXPECT_STREQ(szBuffer, L"hello");
    EXPECT_EQ(RegReadString(strRoot + L"A\\", szBuffer, 5), 0);
    EXPECT_STREQ(szBuffer, L"dflt");

    wmemset(szBuffer, L'#', 8);
    const CString strLongest(L'k', kRegNameMaxLength);
    const struct {
        CString strPath;
        int nCode;
    } reads[] = {
        {L"HKLM\\Software\\X\\Y", 1},
        {L"HKEY_CURRENT_USER\\V", 1},
        {L"HKEY_USERS\\" + strLongest + L"k\\V", 1},
        {L"HKEY_USERS\\" + strLongest + L"\\" + strLongest, 2},
        {strRoot + L"A\\B\\NoSuchValue", 3},
        {strRoot + L"A\\B\\Name", 3},
        {strRoot + L"Number", 4},
    };
    for (const auto& read : reads)
        EXPECT_EQ(RegReadString(read.strPath, szBuffer, 5), read.nCode) << read.strPath.GetString();
    EXPECT_EQ(RegReadString(nullptr, szBuffer, 5), 1);
    EXPECT_EQ(std::wstring(szBuffer + 5, 3), L"###") << "written past the buffer";
    RegDeleteTreeW(HKEY_CURRENT_USER, strKey);
}

TEST(NoticeBox, ShowsThroughTheLibraryOnlyWhileLoadedFreesItAndFindsItBesideKelvane) {
    const CString strDir = GetModuleDirectory(nullptr) + L"notice_double\\";
    HMODULE hDouble = LoadLibraryW(strDir + L"DlgNotice.dll"); // keeps its record past Unload
    ASSERT_NE(hDouble, nullptr);
    reinterpret_cast<void (*)(int)>(
        reinterpret_cast<void*>(GetProcAddress(hDouble, "DNDoubleSetResult")))(IDYES);
    {
        CNoticeBox box;
        EXPECT_EQ(box.Show(L"before Load", L"Kelvane", MB_OK), -1);
        EXPECT_FALSE(box.Load(strDir, L"NoSuchNotice.dll"));
        ASSERT_TRUE(box.Load(strDir, L""));
        EXPECT_EQ(box.Show(L"Saved to disk.", L"Kelvane", MB_YESNO | 0x40), IDYES);
        box.Unload();
        EXPECT_EQ(box.Show(L"after Unload", L"Kelvane", MB_OK), -1);
        ASSERT_TRUE(box.Load(strDir, L""));
    }
    // A host calls in under its own module state: the default folder is still
    // the library's, not the current module's (here the double's sub-folder).
    AFX_MODULE_STATE hostState;
    hostState.m_hCurrentInstanceHandle = hDouble;
    hostState.m_hCurrentResourceHandle = hDouble;
    {
        AFX_MANAGE_STATE(&hostState);
        CNoticeBox box;
        ASSERT_TRUE(box.Load(L"", L""));
        wchar_t szLoaded[MAX_PATH] = {};
        GetModuleFileNameW(box.m_hModule, szLoaded, MAX_PATH);
        EXPECT_STREQ(szLoaded, GetLibraryDirectory() + L"DlgNotice.dll");
    }
    FreeLibrary(hDouble);
    EXPECT_EQ(GetModuleHandleW(strDir + L"DlgNotice.dll"), nullptr) << "the box kept the library";
}
