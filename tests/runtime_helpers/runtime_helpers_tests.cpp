// The runtime helpers against the real registry (a key of the test's own),
// a recording DlgNotice.dll double
// and real temporary files.
#include "runtime/Helpers.h"
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

const CString kDoubleDir = GetModuleDirectory(nullptr) + L"notice_double\\";
const CString kDoublePath = kDoubleDir + L"DlgNotice.dll";

// "result root|sub key|value name" of a split.
CString Split(LPCWSTR lpszPath) {
    HKEY hRoot = nullptr;
    CString strSubKey = L"-", strValue = L"-", strResult;
    int nResult = ParseRegPath(lpszPath, hRoot, strSubKey, strValue);
    strResult.Format(L"%d %lx|%s|%s", nResult,
                     static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(hRoot)),
                     (LPCWSTR)strSubKey, (LPCWSTR)strValue);
    return strResult;
}

TEST(RegPath, SplitsAtTheFirstAndLastBackslashAndRejectsWhatItCannotSplit) {
    EXPECT_STREQ(Split(L"HKEY_LOCAL_MACHINE\\Software\\A\\B\\Name"),
                 L"0 80000002|Software\\A\\B|Name");
    EXPECT_STREQ(Split(L"HKEY_CURRENT_USER\\S\\"), L"0 80000001|S|"); // the default value
    for (LPCWSTR path :
         {L"HKLM\\Software\\X\\Y", L"HKEY_CURRENT_USER\\V", L"", static_cast<LPCWSTR>(nullptr)})
        EXPECT_STREQ(Split(path), L"1 0|-|-");
    CString strLongest(L'k', kRegNameMaxLength);
    EXPECT_EQ(Split(L"HKEY_USERS\\" + strLongest + L"\\" + strLongest)[0], L'0');
    EXPECT_EQ(Split(L"HKEY_USERS\\" + strLongest + L"k\\V")[0], L'1');
}

TEST(Registry, WritesReadsAndGivesEachFailureItsCode) {
    CString strKey;
    strKey.Format(L"Software\\KelvaneHelpersTest%lu", GetCurrentProcessId());
    const CString strRoot = L"HKEY_CURRENT_USER\\" + strKey + L"\\";
    wchar_t szBuffer[5 + 3];
    EXPECT_EQ(RegWriteString(strRoot + L"A\\B\\Name", L"hello"), 0);
    EXPECT_EQ(RegReadString(strRoot + L"A\\B\\Name", szBuffer, 6), 0);
    EXPECT_STREQ(szBuffer, L"hello");

    wmemset(szBuffer, L'#', 8);
    EXPECT_EQ(RegReadString(L"HKLM\\Software\\X\\Y", szBuffer, 5), 1);
    EXPECT_EQ(RegReadString(strRoot + L"Missing\\Value", szBuffer, 5), 2);
    EXPECT_EQ(RegReadString(strRoot + L"A\\B\\NoSuchValue", szBuffer, 5), 3);
    EXPECT_EQ(RegReadString(strRoot + L"A\\B\\Name", szBuffer, 5), 3); // no room for the zero
    EXPECT_EQ(std::wstring(szBuffer + 5, 3), L"###") << "written past the buffer";
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, strKey, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    const DWORD dwNumber = 0x12345678;
    RegSetValueExW(hKey, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwNumber), 4);
    RegCloseKey(hKey);
    EXPECT_EQ(RegReadString(strRoot + L"Number", szBuffer, 5), 4);
    EXPECT_EQ(RegWriteString(strRoot + L"Fresh\\V", nullptr), 3);
    RegDeleteTreeW(HKEY_CURRENT_USER, strKey);
}

TEST(NoticeBox, ShowsThroughTheLibraryOnlyWhileLoadedAndFreesIt) {
    HMODULE hDouble = LoadLibraryW(kDoublePath); // keeps the double's record past Unload
    ASSERT_NE(hDouble, nullptr);
    auto pfnLastCall = reinterpret_cast<int (*)(CString*, CString*, UINT*)>(
        reinterpret_cast<void*>(GetProcAddress(hDouble, "DNDoubleLastCall")));
    reinterpret_cast<void (*)(int)>(
        reinterpret_cast<void*>(GetProcAddress(hDouble, "DNDoubleSetResult")))(IDYES);
    CString strText, strCaption;
    UINT nType = 0;
    const int nCallsBefore = pfnLastCall(&strText, &strCaption, &nType);
    {
        CNoticeBox box;
        EXPECT_EQ(box.Show(L"before Load", L"Kelvane", MB_OK), -1);
        EXPECT_FALSE(box.Load(kDoubleDir, L"NoSuchNotice.dll"));
        ASSERT_TRUE(box.Load(kDoubleDir, L""));
        EXPECT_EQ(box.Show(L"Saved to disk.", L"Kelvane", MB_YESNO | 0x40), IDYES);
        box.Unload();
        EXPECT_EQ(box.Show(L"after Unload", L"Kelvane", MB_OK), -1);
        ASSERT_TRUE(box.Load(kDoubleDir, L""));
    }
    EXPECT_EQ(pfnLastCall(&strText, &strCaption, &nType), nCallsBefore + 1);
    EXPECT_STREQ(strText, L"Saved to disk.");
    EXPECT_STREQ(strCaption, L"Kelvane");
    EXPECT_EQ(nType, static_cast<UINT>(MB_YESNO | 0x40));
    FreeLibrary(hDouble);
    EXPECT_EQ(GetModuleHandleW(kDoublePath), nullptr) << "the box kept the library";
}

TEST(TempFileName, MakesDistinctEmptyFilesOrAnEmptyName) {
    CString strFirst = MakeTempFileName(), strSecond = MakeTempFileName();
    EXPECT_NE(strFirst.CompareNoCase(strSecond), 0);
    for (const CString& strPath : {strFirst, strSecond}) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        EXPECT_TRUE(GetFileAttributesExW(strPath, GetFileExInfoStandard, &data));
        EXPECT_EQ(data.nFileSizeLow, 0u);
        EXPECT_EQ(strPath.Mid(strPath.ReverseFind(L'\\') + 1, 2).CompareNoCase(L"wf"), 0);
        DeleteFileW(strPath);
    }
    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    SetEnvironmentVariableW(L"TMP", L"C:\\kelvane_no_such_folder\\");
    CString strNone = MakeTempFileName();
    SetEnvironmentVariableW(L"TMP", szTemp);
    EXPECT_TRUE(strNone.IsEmpty()) << (LPCWSTR)strNone;
}

} // namespace
