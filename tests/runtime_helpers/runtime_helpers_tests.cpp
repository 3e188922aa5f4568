// The runtime helpers against the real registry (a key of the test's own),
// real libraries (a recording DlgNotice.dll double and the real companion)
// and real temporary files.
#include "runtime/Helpers.h"
#include "runtime/ModuleApp.h"

#include <gtest/gtest.h>

#include <string.h>
#include <thread>

namespace {

const CString kDoubleDir = GetModuleDirectory(nullptr) + L"notice_double\\";
const CString kDoublePath = kDoubleDir + L"DlgNotice.dll";

CString SystemDirectory() {
    wchar_t szDir[MAX_PATH] = {};
    GetSystemDirectoryW(szDir, MAX_PATH);
    return CString(szDir) + L"\\";
}

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
    EXPECT_STREQ(Split(L"HKEY_USERSX\\A\\B"), L"0 80000003|A|B"); // only the start is compared
    EXPECT_STREQ(Split(L"HKEY_CURRENT_CONFIG\\S\\"), L"0 80000005|S|"); // the default value
    EXPECT_STREQ(Split(L"HKEY_CLASSES_ROOT\\S\\V"), L"0 80000000|S|V");
    EXPECT_STREQ(Split(L"HKEY_CURRENT_USER\\S\\V"), L"0 80000001|S|V");
    EXPECT_STREQ(Split(L"HKEY_DYN_DATA\\S\\V"), L"0 80000006|S|V");

    for (LPCWSTR path : {L"HKLM\\Software\\X\\Y", L"hkey_users\\S\\V", L"HKEY_CURRENT_USER\\V",
                         L"HKEY_CURRENT_USER", L"", static_cast<LPCWSTR>(nullptr)})
        EXPECT_STREQ(Split(path), L"1 0|-|-");

    CString strLongest(L'k', kRegNameMaxLength);
    EXPECT_EQ(Split(L"HKEY_USERS\\" + strLongest + L"\\" + strLongest)[0], L'0');
    EXPECT_EQ(Split(L"HKEY_USERS\\" + strLongest + L"k\\V")[0], L'1');
    EXPECT_EQ(Split(L"HKEY_USERS\\S\\" + strLongest + L"v")[0], L'1');
}

// A key of the test's own below HKEY_CURRENT_USER\Software, removed afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_strKey.Format(L"Software\\KelvaneHelpersTest%lu", GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, m_strKey); }

    CString Path(LPCWSTR lpszTail) const {
        return L"HKEY_CURRENT_USER\\" + m_strKey + L"\\" + lpszTail;
    }

    void CreateKey(LPCWSTR lpszTail, DWORD dwOptions) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, m_strKey + lpszTail, 0, nullptr, dwOptions,
                                  KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }

    CString m_strKey;
};

TEST_F(RegistryTest, WrittenStringsReadBackThroughNewlyCreatedKeys) {
    wchar_t szBuffer[64];
    EXPECT_EQ(RegWriteString(Path(L"A\\B\\Name"), L"hello world"), 0);
    EXPECT_EQ(RegReadString(Path(L"A\\B\\Name"), szBuffer, 64), 0);
    EXPECT_STREQ(szBuffer, L"hello world");
    EXPECT_EQ(RegWriteString(Path(L"A\\"), L""), 0);
    EXPECT_EQ(RegReadString(Path(L"A\\"), szBuffer, 64), 0);
    EXPECT_STREQ(szBuffer, L"");

    DWORD nBytes = 0; // the text and its terminator, nothing more
    RegGetValueW(HKEY_CURRENT_USER, m_strKey + L"\\A\\B", L"Name", RRF_RT_REG_SZ, nullptr, nullptr,
                 &nBytes);
    EXPECT_EQ(nBytes, 12u * sizeof(wchar_t));
}

TEST_F(RegistryTest, EveryReadFailureHasItsCode) {
    wchar_t szBuffer[5 + 3];
    wmemset(szBuffer, L'#', 8);
    EXPECT_EQ(RegReadString(L"HKLM\\Software\\X\\Y", szBuffer, 5), 1);
    EXPECT_EQ(RegReadString(L"HKEY_CURRENT_USER\\Value", szBuffer, 5), 1);
    EXPECT_EQ(RegReadString(Path(L"Missing\\Value"), szBuffer, 5), 2);

    ASSERT_EQ(RegWriteString(Path(L"Text"), L"0123456789"), 0);
    EXPECT_EQ(RegReadString(Path(L"NoSuchValue"), szBuffer, 5), 3);
    EXPECT_EQ(RegReadString(Path(L"Text"), nullptr, 5), 3);
    EXPECT_EQ(RegReadString(Path(L"Text"), szBuffer, 5), 3);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, m_strKey, 0, KEY_SET_VALUE, &hKey), ERROR_SUCCESS);
    const DWORD dwNumber = 0x12345678;
    RegSetValueExW(hKey, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwNumber), 4);
    RegSetValueExW(hKey, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"abc"), 6);
    RegCloseKey(hKey);
    EXPECT_EQ(RegReadString(Path(L"Bare"), szBuffer, 3), 3);
    EXPECT_EQ(std::wstring(szBuffer + 5, 3), L"###") << "written past the buffer";

    EXPECT_EQ(RegReadString(Path(L"Number"), szBuffer, 5), 4);
    EXPECT_EQ(memcmp(szBuffer, &dwNumber, 4), 0);
    // A string stored without its zero is terminated when there is room.
    EXPECT_EQ(RegReadString(Path(L"Bare"), szBuffer, 5), 0);
    EXPECT_STREQ(szBuffer, L"abc");
}

TEST_F(RegistryTest, EveryWriteFailureHasItsCode) {
    EXPECT_EQ(RegWriteString(L"HKLM\\Software\\X\\Y", L"t"), 1);
    EXPECT_EQ(RegWriteString(L"HKEY_CURRENT_USER\\Value", L"t"), 1);
    // A lasting key cannot be made below one that lives only until restart.
    CreateKey(L"", REG_OPTION_NON_VOLATILE);
    CreateKey(L"\\Volatile", REG_OPTION_VOLATILE);
    EXPECT_EQ(RegWriteString(Path(L"Volatile\\Lasting\\V"), L"t"), 2);
    EXPECT_EQ(RegWriteString(Path(L"Fresh\\V"), nullptr), 3);
    HKEY hKey = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, m_strKey + L"\\Fresh", 0, KEY_READ, &hKey),
              ERROR_SUCCESS)
        << "a refused write created its key";
}

TEST(SafeLibrary, LaterLookUpsGoToTheFirstLibraryWhateverPathTheyName) {
    CString strKernel = SystemDirectory() + L"kernel32.dll";
    {
        CSafeLibrary library;
        EXPECT_EQ(library.GetProc(L"C:\\no\\such\\library.dll", "DNMessageBox"), nullptr);
        FARPROC pfnFirst = library.GetProc(kDoublePath, "DNMessageBox");
        ASSERT_NE(pfnFirst, nullptr);
        EXPECT_EQ(library.GetProc(strKernel, "DNMessageBox"), pfnFirst);
        EXPECT_EQ(library.GetProc(strKernel, "GetTickCount"), nullptr);
        EXPECT_EQ(library.m_pfnProc, nullptr);
    }
    EXPECT_EQ(GetModuleHandleW(kDoublePath), nullptr) << "the destructor kept the library";
}

// Holds its own reference to the double, so that its record outlives Unload.
class NoticeBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_hDouble = LoadLibraryW(kDoublePath);
        ASSERT_NE(m_hDouble, nullptr);
        m_pfnSetResult = reinterpret_cast<void (*)(int)>(
            reinterpret_cast<void*>(GetProcAddress(m_hDouble, "DNDoubleSetResult")));
        m_pfnLastCall = reinterpret_cast<int (*)(CString*, CString*, UINT*)>(
            reinterpret_cast<void*>(GetProcAddress(m_hDouble, "DNDoubleLastCall")));
        ASSERT_TRUE(m_pfnSetResult && m_pfnLastCall);
        m_nCallsBefore = CallCount();
    }
    void TearDown() override { FreeLibrary(m_hDouble); }

    int CallCount() { return m_pfnLastCall(&m_strText, &m_strCaption, &m_nType) - m_nCallsBefore; }

    HMODULE m_hDouble = nullptr;
    void (*m_pfnSetResult)(int) = nullptr;
    int (*m_pfnLastCall)(CString*, CString*, UINT*) = nullptr;
    int m_nCallsBefore = 0;
    CString m_strText, m_strCaption;
    UINT m_nType = 0;
};

TEST_F(NoticeBoxTest, ShowHandsOverTextCaptionAndStyleOnlyWhileLoaded) {
    m_pfnSetResult(IDYES);
    CNoticeBox box;
    EXPECT_EQ(box.Show(L"before Load", L"Kelvane", MB_OK), -1);
    ASSERT_TRUE(box.Load(kDoubleDir, L""));
    EXPECT_EQ(box.Show(L"Saved to disk.", L"Kelvane", MB_YESNO | 0x40), IDYES);
    EXPECT_EQ(CallCount(), 1);
    EXPECT_STREQ(m_strText, L"Saved to disk.");
    EXPECT_STREQ(m_strCaption, L"Kelvane");
    EXPECT_EQ(m_nType, static_cast<UINT>(MB_YESNO | 0x40));
    box.Unload();
    EXPECT_EQ(box.Show(L"after Unload", L"Kelvane", MB_OK), -1);
    EXPECT_EQ(CallCount(), 1);
}

TEST_F(NoticeBoxTest, MissingLibraryOrExportLeavesNothingToShow) {
    CNoticeBox box;
    EXPECT_FALSE(box.Load(kDoubleDir, L"NoSuchNotice.dll"));
    EXPECT_EQ(box.Show(L"text", L"caption", MB_OK), -1);
    EXPECT_FALSE(box.Load(SystemDirectory(), L"kernel32.dll"));
    EXPECT_EQ(box.Show(L"text", L"caption", MB_OK), -1);
    EXPECT_EQ(CallCount(), 0);
}

TEST(NoticeBox, LoadsTheLibraryOnceAndFreesItOnUnloadOrDestruction) {
    {
        CNoticeBox box;
        ASSERT_TRUE(box.Load(kDoubleDir, L"DlgNotice.dll"));
        ASSERT_TRUE(box.Load(kDoubleDir, L""));
        box.Unload();
        EXPECT_EQ(GetModuleHandleW(kDoublePath), nullptr) << "a second Load loaded it again";
        ASSERT_TRUE(box.Load(kDoubleDir, L""));
    }
    EXPECT_EQ(GetModuleHandleW(kDoublePath), nullptr) << "the destructor kept the library";
}

// Presses a button of the first dialog box that the given thread shows, and
// keeps its caption and text.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer(DWORD threadId, int nButton)
        : m_worker([this, threadId, nButton] { Answer(threadId, nButton); }) {}
    ~MessageBoxAnswerer() { Wait(); }

    void Wait() {
        if (m_worker.joinable())
            m_worker.join();
    }

    CString m_strCaption, m_strText;

private:
    static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam) {
        wchar_t szClass[16] = {};
        GetClassNameW(hWnd, szClass, 16);
        if (wcscmp(szClass, L"#32770") == 0 && IsWindowVisible(hWnd))
            *reinterpret_cast<HWND*>(lParam) = hWnd;
        return TRUE;
    }

    void Answer(DWORD threadId, int nButton) {
        HWND hBox = nullptr;
        for (int attempt = 0; attempt < 500 && hBox == nullptr; ++attempt, Sleep(20))
            EnumThreadWindows(threadId, FindBox, reinterpret_cast<LPARAM>(&hBox));
        if (hBox == nullptr)
            return;
        wchar_t szText[256] = {};
        GetWindowTextW(hBox, szText, 256);
        m_strCaption = szText;
        GetDlgItemTextW(hBox, 0xFFFF, szText, 256);
        m_strText = szText;
        PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
    }

    std::thread m_worker;
};

TEST(DlgNoticeCompanion, ShowsARealModalMessageBoxFromTheModulesOwnFolder) {
    CNoticeBox box;
    // The test program's module state: the folder of the program and of the real companion.
    ASSERT_TRUE(box.Load(L"", L""));
    MessageBoxAnswerer answerer(GetCurrentThreadId(), IDNO);
    int nResult = box.Show(L"Replace the file?", L"Kelvane notice", MB_YESNO | MB_ICONQUESTION);
    answerer.Wait();
    EXPECT_EQ(nResult, IDNO);
    EXPECT_STREQ(answerer.m_strCaption, L"Kelvane notice");
    EXPECT_STREQ(answerer.m_strText, L"Replace the file?");
}

TEST(TempFileName, MakesDistinctEmptyFilesOrAnEmptyName) {
    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    CString strFirst = MakeTempFileName(), strSecond = MakeTempFileName();
    for (const CString& strPath : {strFirst, strSecond}) {
        EXPECT_EQ(strPath.Left(lstrlenW(szTemp) + 2).CompareNoCase(CString(szTemp) + L"wf"), 0)
            << (LPCWSTR)strPath;
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        EXPECT_TRUE(GetFileAttributesExW(strPath, GetFileExInfoStandard, &data));
        EXPECT_EQ(data.nFileSizeLow, 0u);
        DeleteFileW(strPath);
    }
    EXPECT_NE(strFirst.CompareNoCase(strSecond), 0);

    SetEnvironmentVariableW(L"TMP", L"C:\\kelvane_no_such_folder\\");
    CString strNone = MakeTempFileName();
    SetEnvironmentVariableW(L"TMP", szTemp);
    EXPECT_TRUE(strNone.IsEmpty()) << (LPCWSTR)strNone;
}

} // namespace
