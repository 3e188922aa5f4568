// The runtime helpers against the real registry (a key of the test's own),
// real libraries (the DlgNotice.dll double and the real companion) and real
// temporary files.
#include "runtime/Helpers.h"
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

#include <string.h>
#include <thread>

namespace {

CString NoticeDoubleDirectory() {
    return GetModuleDirectory(nullptr) + L"notice_double\\";
}
CString NoticeDoublePath() {
    return NoticeDoubleDirectory() + L"DlgNotice.dll";
}

CString SystemDirectory() {
    wchar_t szDir[MAX_PATH] = {};
    GetSystemDirectoryW(szDir, MAX_PATH);
    return CString(szDir) + L"\\";
}

bool IsLoaded(const CString& strPath) {
    return GetModuleHandleW(strPath) != nullptr;
}

struct ParsedRegPath {
    int nResult;
    HKEY hRoot;
    CString strSubKey;
    CString strValue;
};

ParsedRegPath Parse(LPCWSTR lpszPath) {
    ParsedRegPath parsed{0, nullptr, L"(untouched)", L"(untouched)"};
    parsed.nResult = ParseRegPath(lpszPath, parsed.hRoot, parsed.strSubKey, parsed.strValue);
    return parsed;
}

TEST(RegPathParsing, SplitsRootSubKeyAndValueName) {
    ParsedRegPath parsed = Parse(L"HKEY_LOCAL_MACHINE\\Software\\A\\B\\Name");
    EXPECT_EQ(parsed.nResult, 0);
    EXPECT_EQ(parsed.hRoot, HKEY_LOCAL_MACHINE);
    EXPECT_STREQ(parsed.strSubKey, L"Software\\A\\B");
    EXPECT_STREQ(parsed.strValue, L"Name");

    // Only the beginning is compared: "HKEY_USERSX" is HKEY_USERS.
    parsed = Parse(L"HKEY_USERSX\\A\\B");
    EXPECT_EQ(parsed.nResult, 0);
    EXPECT_EQ(parsed.hRoot, HKEY_USERS);
    EXPECT_STREQ(parsed.strSubKey, L"A");
    EXPECT_STREQ(parsed.strValue, L"B");

    // A trailing backslash names the key's default value.
    parsed = Parse(L"HKEY_CURRENT_CONFIG\\Software\\X\\");
    EXPECT_EQ(parsed.hRoot, HKEY_CURRENT_CONFIG);
    EXPECT_STREQ(parsed.strSubKey, L"Software\\X");
    EXPECT_STREQ(parsed.strValue, L"");

    EXPECT_EQ(Parse(L"HKEY_CLASSES_ROOT\\.txt\\V").hRoot, HKEY_CLASSES_ROOT);
    EXPECT_EQ(Parse(L"HKEY_CURRENT_USER\\S\\V").hRoot, HKEY_CURRENT_USER);
    EXPECT_EQ(Parse(L"HKEY_DYN_DATA\\S\\V").hRoot, HKEY_DYN_DATA);
}

TEST(RegPathParsing, RejectsPathsItCannotSplitAndLeavesTheOutputs) {
    const wchar_t* rejected[] = {
        L"HKLM\\Software\\X\\Y",
        L"hkey_current_user\\Software\\V",
        L"HKEY_CURRENT_USER\\Value",
        L"HKEY_CURRENT_USER",
        L"",
        nullptr,
    };
    for (const wchar_t* path : rejected) {
        ParsedRegPath parsed = Parse(path);
        EXPECT_EQ(parsed.nResult, 1) << (path ? path : L"(null)");
        EXPECT_STREQ(parsed.strSubKey, L"(untouched)");
        EXPECT_STREQ(parsed.strValue, L"(untouched)");
    }

    CString strLongest(L'k', kRegNameMaxLength);
    EXPECT_EQ(Parse(L"HKEY_CURRENT_USER\\" + strLongest + L"\\" + strLongest).nResult, 0);
    EXPECT_EQ(Parse(L"HKEY_CURRENT_USER\\" + strLongest + L"k\\V").nResult, 1);
    EXPECT_EQ(Parse(L"HKEY_CURRENT_USER\\S\\" + strLongest + L"v").nResult, 1);
}

// A key of the test's own below HKEY_CURRENT_USER\Software, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strKey.Format(L"Software\\KelvaneRuntimeHelpersTest%lu", GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey); }

    CString Path(LPCWSTR lpszTail) const {
        return L"HKEY_CURRENT_USER\\" + m_strKey + L"\\" + lpszTail;
    }

    void SetRawValue(LPCWSTR lpszValue, DWORD type, const void* pData, DWORD nBytes) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_strKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(hKey, lpszValue, 0, type, static_cast<const BYTE*>(pData), nBytes),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }

    CString m_strKey;
};

TEST_F(RegistryTest, WrittenStringsReadBackThroughNewlyCreatedKeys) {
    EXPECT_EQ(RegWriteString(Path(L"A\\B\\Name"), L"hello world"), 0);
    EXPECT_EQ(RegWriteString(Path(L"A\\"), L"default value"), 0);
    EXPECT_EQ(RegWriteString(Path(L"A\\Empty"), L""), 0);

    wchar_t szBuffer[64];
    EXPECT_EQ(RegReadString(Path(L"A\\B\\Name"), szBuffer, 64), 0);
    EXPECT_STREQ(szBuffer, L"hello world");
    EXPECT_EQ(RegReadString(Path(L"A\\"), szBuffer, 64), 0);
    EXPECT_STREQ(szBuffer, L"default value");
    EXPECT_EQ(RegReadString(Path(L"A\\Empty"), szBuffer, 64), 0);
    EXPECT_STREQ(szBuffer, L"");

    // Exactly the text and its terminator are stored.
    DWORD type = 0, nBytes = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, m_strKey + L"\\A\\B", L"Name", RRF_RT_ANY, &type,
                           nullptr, &nBytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(nBytes, 12u * sizeof(wchar_t));
}

TEST_F(RegistryTest, EveryReadFailureHasItsCode) {
    wchar_t szBuffer[16];
    EXPECT_EQ(RegReadString(L"HKLM\\Software\\X\\Y", szBuffer, 16), 1);
    EXPECT_EQ(RegReadString(L"HKEY_CURRENT_USER\\Value", szBuffer, 16), 1);
    EXPECT_EQ(RegReadString(Path(L"Missing\\Value"), szBuffer, 16), 2);

    ASSERT_EQ(RegWriteString(Path(L"Text"), L"0123456789"), 0);
    EXPECT_EQ(RegReadString(Path(L"NoSuchValue"), szBuffer, 16), 3);
    EXPECT_EQ(RegReadString(Path(L"Text"), nullptr, 16), 3);
    EXPECT_EQ(RegReadString(Path(L"Text"), szBuffer, 0), 3);

    wchar_t szSmall[5 + 3];
    wmemset(szSmall, L'#', 8);
    EXPECT_EQ(RegReadString(Path(L"Text"), szSmall, 5), 3);
    EXPECT_EQ(std::wstring(szSmall + 5, 3), L"###") << "read beyond the buffer";

    const DWORD dwValue = 0x12345678;
    SetRawValue(L"Number", REG_DWORD, &dwValue, sizeof(dwValue));
    EXPECT_EQ(RegReadString(Path(L"Number"), szBuffer, 16), 4);
    DWORD dwRead = 0;
    memcpy(&dwRead, szBuffer, sizeof(dwRead));
    EXPECT_EQ(dwRead, dwValue);
}

TEST_F(RegistryTest, StringStoredWithoutTerminatorIsTerminatedOrDoesNotFit) {
    SetRawValue(L"Bare", REG_SZ, L"abc", 3 * sizeof(wchar_t));

    wchar_t szRoomy[8];
    wmemset(szRoomy, L'x', 8);
    EXPECT_EQ(RegReadString(Path(L"Bare"), szRoomy, 8), 0);
    EXPECT_STREQ(szRoomy, L"abc");

    wchar_t szTight[3 + 1];
    wmemset(szTight, L'#', 4);
    EXPECT_EQ(RegReadString(Path(L"Bare"), szTight, 3), 3);
    EXPECT_EQ(szTight[3], L'#') << "written beyond the buffer";
}

TEST_F(RegistryTest, EveryWriteFailureHasItsCode) {
    EXPECT_EQ(RegWriteString(L"HKLM\\Software\\X\\Y", L"t"), 1);
    EXPECT_EQ(RegWriteString(L"HKEY_CURRENT_USER\\Value", L"t"), 1);
    EXPECT_EQ(RegWriteString(L"HKEY_CURRENT_USER", L"t"), 1);

    // A lasting key cannot be made below one that lives only until restart.
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_strKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_strKey + L"\\Volatile", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(hKey);
    EXPECT_EQ(RegWriteString(Path(L"Volatile\\Lasting\\V"), L"t"), 2);

    EXPECT_EQ(RegWriteString(Path(L"Fresh\\V"), nullptr), 3);
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, m_strKey + L"\\Fresh", 0, KEY_READ, &hKey),
              ERROR_SUCCESS)
        << "a refused write created its key";
}

TEST(SafeLibrary, LaterLookUpsGoToTheFirstLibraryWhateverPathTheyName) {
    CString strKernel = SystemDirectory() + L"kernel32.dll";
    {
        CSafeLibrary library;
        EXPECT_EQ(library.GetProc(L"C:\\no\\such\\library.dll", "DNMessageBox"), nullptr);
        EXPECT_EQ(library.m_hModule, nullptr);

        FARPROC pfnFirst = library.GetProc(NoticeDoublePath(), "DNMessageBox");
        ASSERT_NE(pfnFirst, nullptr);
        EXPECT_EQ(library.m_pfnProc, pfnFirst);
        EXPECT_EQ(library.GetProc(strKernel, "DNMessageBox"), pfnFirst);
        EXPECT_EQ(library.GetProc(strKernel, "GetTickCount"), nullptr);
        EXPECT_EQ(library.m_pfnProc, nullptr);
        EXPECT_TRUE(IsLoaded(NoticeDoublePath()));
    }
    EXPECT_FALSE(IsLoaded(NoticeDoublePath())) << "the destructor kept the library";
}

// Holds a reference of its own to the double, so that what it recorded
// survives the notice box's Unload.
class NoticeBoxTest : public ::testing::Test {
protected:
    using SetResultFn = void (*)(int);
    using LastCallFn = int (*)(CString*, CString*, UINT*);

    void SetUp() override {
        m_hDouble = LoadLibraryW(NoticeDoublePath());
        ASSERT_NE(m_hDouble, nullptr);
        m_pfnSetResult = reinterpret_cast<SetResultFn>(
            reinterpret_cast<void*>(GetProcAddress(m_hDouble, "DNDoubleSetResult")));
        m_pfnLastCall = reinterpret_cast<LastCallFn>(
            reinterpret_cast<void*>(GetProcAddress(m_hDouble, "DNDoubleLastCall")));
        ASSERT_TRUE(m_pfnSetResult && m_pfnLastCall);
        m_nCallsBefore = m_pfnLastCall(&m_strText, &m_strCaption, &m_nType);
    }
    void TearDown() override {
        if (m_hDouble != nullptr)
            FreeLibrary(m_hDouble);
    }

    int CallsSinceSetUp() {
        return m_pfnLastCall(&m_strText, &m_strCaption, &m_nType) - m_nCallsBefore;
    }

    HMODULE m_hDouble = nullptr;
    SetResultFn m_pfnSetResult = nullptr;
    LastCallFn m_pfnLastCall = nullptr;
    int m_nCallsBefore = 0;
    CString m_strText, m_strCaption;
    UINT m_nType = 0;
};

TEST_F(NoticeBoxTest, ShowBeforeLoadShowsNothing) {
    CNoticeBox box;
    EXPECT_EQ(box.Show(L"text", L"caption", MB_OK), -1);
    EXPECT_EQ(CallsSinceSetUp(), 0);
}

TEST_F(NoticeBoxTest, ShowHandsOverTextCaptionAndStyleAndReturnsTheResult) {
    m_pfnSetResult(IDYES);
    CNoticeBox box;
    ASSERT_TRUE(box.Load(NoticeDoubleDirectory(), L""));
    EXPECT_EQ(box.m_pfnProc, GetProcAddress(m_hDouble, "DNMessageBox"));
    EXPECT_EQ(box.Show(L"Saved to disk.", L"Kelvane", MB_YESNO | 0x40), IDYES);
    EXPECT_EQ(CallsSinceSetUp(), 1);
    EXPECT_STREQ(m_strText, L"Saved to disk.");
    EXPECT_STREQ(m_strCaption, L"Kelvane");
    EXPECT_EQ(m_nType, static_cast<UINT>(MB_YESNO | 0x40));

    box.Unload();
    EXPECT_EQ(box.m_hModule, nullptr);
    EXPECT_EQ(box.Show(L"after unload", L"Kelvane", MB_OK), -1);
    EXPECT_EQ(CallsSinceSetUp(), 1);
}

TEST_F(NoticeBoxTest, MissingLibraryOrExportLeavesNothingToShow) {
    CNoticeBox box;
    EXPECT_FALSE(box.Load(NoticeDoubleDirectory(), L"NoSuchNotice.dll"));
    EXPECT_EQ(box.m_hModule, nullptr);
    EXPECT_EQ(box.Show(L"text", L"caption", MB_OK), -1);

    EXPECT_FALSE(box.Load(SystemDirectory(), L"kernel32.dll"));
    EXPECT_NE(box.m_hModule, nullptr);
    EXPECT_EQ(box.Show(L"text", L"caption", MB_OK), -1);
    EXPECT_EQ(CallsSinceSetUp(), 0);
}

TEST(NoticeBox, LoadsTheLibraryOnceAndFreesItOnUnloadOrDestruction) {
    {
        CNoticeBox box;
        ASSERT_TRUE(box.Load(NoticeDoubleDirectory(), L"DlgNotice.dll"));
        ASSERT_TRUE(box.Load(NoticeDoubleDirectory(), L""));
        box.Unload();
        EXPECT_FALSE(IsLoaded(NoticeDoublePath())) << "a second Load loaded it again";
        ASSERT_TRUE(box.Load(NoticeDoubleDirectory(), L""));
    }
    EXPECT_FALSE(IsLoaded(NoticeDoublePath())) << "the destructor kept the library";
}

TEST(NoticeBox, EmptyDirectoryIsTheCurrentModulesOwn) {
    CNoticeBox box;
    ASSERT_TRUE(box.Load(L"", L""));
    wchar_t szLoaded[MAX_PATH] = {};
    GetModuleFileNameW(box.m_hModule, szLoaded, MAX_PATH);
    EXPECT_EQ(CString(szLoaded).CompareNoCase(GetModuleDirectory(AfxGetInstanceHandle()) +
                                              L"DlgNotice.dll"),
              0)
        << szLoaded;
}

// Answers the first dialog box that the given thread shows by pressing a
// button, and keeps the message text it displayed.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer(DWORD threadId, int nButton)
        : m_worker([this, threadId, nButton] { Answer(threadId, nButton); }) {}
    ~MessageBoxAnswerer() { Wait(); }

    void Wait() {
        if (m_worker.joinable())
            m_worker.join();
    }

    CString m_strCaption;
    CString m_strText;

private:
    static BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam) {
        wchar_t szClass[16] = {};
        GetClassNameW(hWnd, szClass, 16);
        if (wcscmp(szClass, L"#32770") != 0 || !IsWindowVisible(hWnd))
            return TRUE;
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }

    void Answer(DWORD threadId, int nButton) {
        for (int attempt = 0; attempt < 500; ++attempt) {
            HWND hBox = nullptr;
            EnumThreadWindows(threadId, FindDialog, reinterpret_cast<LPARAM>(&hBox));
            if (hBox != nullptr) {
                wchar_t szText[256] = {};
                GetWindowTextW(hBox, szText, 256);
                m_strCaption = szText;
                GetDlgItemTextW(hBox, 0xFFFF, szText, 256);
                m_strText = szText;
                PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
                return;
            }
            Sleep(20);
        }
    }

    std::thread m_worker;
};

TEST(DlgNoticeCompanion, ShowsARealModalMessageBoxAndReturnsTheButtonPressed) {
    CNoticeBox box;
    ASSERT_TRUE(box.Load(GetModuleDirectory(nullptr), L""));
    MessageBoxAnswerer answerer(GetCurrentThreadId(), IDNO);
    int nResult = box.Show(L"Replace the file?", L"Kelvane notice", MB_YESNO | MB_ICONQUESTION);
    answerer.Wait();
    EXPECT_EQ(nResult, IDNO);
    EXPECT_STREQ(answerer.m_strCaption, L"Kelvane notice");
    EXPECT_STREQ(answerer.m_strText, L"Replace the file?");
}

TEST(TempFileName, MakesDistinctEmptyFilesInTheTemporaryFolder) {
    CString strFirst = MakeTempFileName();
    CString strSecond = MakeTempFileName();
    ASSERT_FALSE(strFirst.IsEmpty());
    ASSERT_FALSE(strSecond.IsEmpty());
    EXPECT_NE(strFirst.CompareNoCase(strSecond), 0);

    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    for (const CString& strPath : {strFirst, strSecond}) {
        EXPECT_EQ(strPath.Left(lstrlenW(szTemp)).CompareNoCase(szTemp), 0) << (LPCWSTR)strPath;
        EXPECT_EQ(strPath.Mid(lstrlenW(szTemp), 2).CompareNoCase(L"wf"), 0) << (LPCWSTR)strPath;
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ASSERT_TRUE(GetFileAttributesExW(strPath, GetFileExInfoStandard, &data));
        EXPECT_EQ(data.nFileSizeLow, 0u);
        DeleteFileW(strPath);
    }
}

TEST(TempFileName, GivesAnEmptyStringWhenNoFileCanBeMade) {
    wchar_t szTmp[MAX_PATH] = {}, szTemp[MAX_PATH] = {};
    DWORD nTmp = GetEnvironmentVariableW(L"TMP", szTmp, MAX_PATH);
    DWORD nTemp = GetEnvironmentVariableW(L"TEMP", szTemp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", L"C:\\kelvane_no_such_folder\\");
    SetEnvironmentVariableW(L"TEMP", L"C:\\kelvane_no_such_folder\\");
    CString strPath = MakeTempFileName();
    SetEnvironmentVariableW(L"TMP", nTmp ? szTmp : nullptr);
    SetEnvironmentVariableW(L"TEMP", nTemp ? szTemp : nullptr);
    EXPECT_TRUE(strPath.IsEmpty()) << (LPCWSTR)strPath;
}

} // namespace
