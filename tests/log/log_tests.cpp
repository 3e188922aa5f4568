// The log against real files in the temporary folder.
#include "runtime/Log.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <regex>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::wstring kPrefix = L"[2011-01-02 09-05-03 Kelvane ] | ";

TEST(LogLine, PadsTheStampAndCutsALongMessageBeforeASurrogatePair) {
    SYSTEMTIME time = {2011, 1, 0, 2, 9, 5, 3, 999};
    wchar_t stamp[20];
    FormatLogTimeStamp(time, stamp, 20);
    EXPECT_EQ(std::wstring(stamp), L"2011-01-02 09-05-03");

    const size_t room = kLogLineCapacity - 1 - kPrefix.size() - 1; // one kept for the line feed
    std::wstring message = std::wstring(room - 1, L'x') + L"\xD83D\xDE00" + L"tail";
    std::vector<wchar_t> line(kLogLineCapacity + 8, L'#');
    size_t length =
        ComposeLogLine(stamp, L"Kelvane", message.c_str(), line.data(), kLogLineCapacity);
    EXPECT_EQ(std::wstring(line.data()), kPrefix + std::wstring(room - 1, L'x') + L"\n");
    EXPECT_EQ(length, kPrefix.size() + room);
    EXPECT_EQ(std::wstring(line.end() - 8, line.end()), L"########") << "written past the line";
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"kv_log_test.log";
        DeleteFileW(m_path.c_str());
        InitLog(L"Kelvane", m_path.c_str());
    }
    void TearDown() override { DeleteFileW(m_path.c_str()); }

    static void Put(const std::wstring& path, const std::string& bytes) {
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }

    // The text with every time stamp taken out: "[Kelvane ] | message\r\n".
    static std::string Unstamped(const std::wstring& path) {
        std::string bytes;
        FILE* file = _wfopen(path.c_str(), L"rb");
        char chunk[65536];
        for (size_t got; file && (got = fread(chunk, 1, sizeof(chunk), file)) > 0;)
            bytes.append(chunk, got);
        if (file)
            fclose(file);
        return std::regex_replace(bytes, std::regex(R"(\[\d{4}-\d\d-\d\d \d\d-\d\d-\d\d )"), "[");
    }

    std::wstring m_path;
};

TEST_F(LogFileTest, WritesOnlyWhileTheFileExistsAndDoublesTheCrOfAMessagesCrLf) {
    WriteLog(L"nobody reads this %d", 1);
    EXPECT_EQ(GetFileAttributesW(m_path.c_str()), INVALID_FILE_ATTRIBUTES);
    Put(m_path, "");
    WriteLog(L"Enter %s %d", L"RecvResponse", 7);
    WriteLog(L"ends in CR LF\r\n");
    WriteLog(L"first\nsecond");
    // A message's own CR stays in front of the CR LF: the CR comes out doubled.
    EXPECT_EQ(Unstamped(m_path), "[Kelvane ] | Enter RecvResponse 7\r\n"
                                 "[Kelvane ] | ends in CR LF\r\r\n"
                                 "[Kelvane ] | first\r\nsecond\r\n");
}

TEST_F(LogFileTest, RestartsAtOneMebibyteExactly) {
    std::string below(kLogRestartSize - 1, 'o');
    Put(m_path, below);
    WriteLog(L"appended");
    EXPECT_EQ(Unstamped(m_path), below + "[Kelvane ] | appended\r\n");
    Put(m_path, std::string(kLogRestartSize, 'o'));
    WriteLog(L"first of the new file");
    EXPECT_EQ(Unstamped(m_path), "[Kelvane ] | first of the new file\r\n");
}

TEST_F(LogFileTest, CutsLongTagsAndMessagesAndRefusesPathsItWouldCut) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // Exactly 259 characters: what a longer path cut to the capacity would name.
    std::wstring longest = temp + std::wstring(MAX_PATH - 1 - wcslen(temp), L'p');
    Put(m_path, "");
    Put(longest, "");
    InitLog(L"T123456789012345678901234567890_cut", nullptr); // a null path keeps the file
    WriteLog(nullptr);
    WriteLog(L"name \x4E2D.png"); // no byte for it in the runtime's default locale
    WriteLog(L"%s", std::wstring(10000, L'z').c_str());
    InitLog(nullptr, (longest + L"q").c_str());
    WriteLog(L"nowhere");
    EXPECT_EQ(Unstamped(longest), "");
    DeleteFileW(longest.c_str());
    const std::string tag = "[T123456789012345678901234567890 ] | ";
    EXPECT_EQ(Unstamped(m_path), tag + "name ?.png\r\n" + tag +
                                     std::string(kLogLineCapacity - 2 - tag.size() - 20, 'z') +
                                     "\r\n");
}

TEST_F(LogFileTest, ConcurrentWritersLoseNoLineAndBreakNone) {
    Put(m_path, "");
    std::vector<std::thread> writers;
    for (int t = 0; t < 8; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < 1000; ++i)
                WriteLog(L"writer %d line %04d", t, i);
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    const std::string text = Unstamped(m_path);
    const std::regex line(R"(\[Kelvane \] \| writer \d line \d{4}\r\n)");
    EXPECT_EQ(
        std::distance(std::sregex_iterator(text.begin(), text.end(), line), std::sregex_iterator()),
        8000);
    EXPECT_EQ(std::regex_replace(text, line, ""), "");
}

} // namespace
