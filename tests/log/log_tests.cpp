// The log against real files in a temporary folder of the test's own.
#include "runtime/Log.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::wstring kPrefix = L"[2011-01-02 09-05-03 Kelvane ] | ";

std::wstring Stamp(const SYSTEMTIME& time) {
    wchar_t stamp[20];
    FormatLogTimeStamp(time, stamp, 20);
    return stamp;
}

TEST(LogLine, TimeStampPadsEveryFieldAndHyphensTheTime) {
    SYSTEMTIME time = {2011, 1, 0, 2, 9, 5, 3, 999};
    EXPECT_EQ(Stamp(time), L"2011-01-02 09-05-03");
}

TEST(LogLine, LongMessageIsCutWithoutSplittingASurrogatePairAndKeepsItsLineFeed) {
    const size_t room = kLogLineCapacity - 1 - kPrefix.size() - 1; // one kept for the line feed
    std::wstring message = std::wstring(room - 1, L'x') + L"\xD83D\xDE00" + L"tail";
    std::vector<wchar_t> line(kLogLineCapacity + 8, L'#');
    size_t length = ComposeLogLine(L"2011-01-02 09-05-03", L"Kelvane", message.c_str(), line.data(),
                                   kLogLineCapacity);
    EXPECT_EQ(std::wstring(line.data()), kPrefix + std::wstring(room - 1, L'x') + L"\n");
    EXPECT_EQ(length, kPrefix.size() + room);
    EXPECT_EQ(std::wstring(line.end() - 8, line.end()), L"########") << "written past the line";
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        static int counter = 0;
        m_dir = std::wstring(temp) + L"kv_log_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(m_dir.c_str(), nullptr));
        m_path = m_dir + L"Kelvane.log";
        InitLog(L"Kelvane", m_path.c_str());
    }

    void TearDown() override {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((m_dir + L"*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            DeleteFileW((m_dir + found.cFileName).c_str());
            if (!FindNextFileW(search, &found))
                break;
        }
        FindClose(search);
        RemoveDirectoryW(m_dir.c_str());
    }

    static void Put(const std::wstring& path, const std::string& bytes) {
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }

    static std::string Get(const std::wstring& path) {
        std::string bytes;
        FILE* file = _wfopen(path.c_str(), L"rb");
        char chunk[65536];
        for (size_t got; file && (got = fread(chunk, 1, sizeof(chunk), file)) > 0;)
            bytes.append(chunk, got);
        if (file)
            fclose(file);
        return bytes;
    }

    // The text with every time stamp taken out: "[Kelvane ] | message\r\n".
    static std::string Unstamped(const std::wstring& path) {
        return std::regex_replace(Get(path), std::regex(R"(\[\d{4}-\d\d-\d\d \d\d-\d\d-\d\d )"),
                                  "[");
    }

    std::wstring m_dir;
    std::wstring m_path;
};

TEST_F(LogFileTest, WritesNothingWhileTheFileIsMissing) {
    WriteLog(L"nobody reads this %d", 1);
    EXPECT_EQ(GetFileAttributesW(m_path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(LogFileTest, AppendsOneStampedCrLfLineWithoutByteOrderMark) {
    Put(m_path, "");
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    WriteLog(L"Enter %s %d", L"RecvResponse", 7);
    GetLocalTime(&after);

    std::string bytes = Get(m_path);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(bytes, match,
                                 std::regex(R"(\[([-\d ]{19}) Kelvane \] \| )"
                                            R"(Enter RecvResponse 7\r\n)")))
        << bytes;
    std::wstring stamp(match[1].first, match[1].second);
    EXPECT_LE(Stamp(before), stamp);
    EXPECT_GE(Stamp(after), stamp);
}

TEST_F(LogFileTest, LineBreaksOfTheMessageAreKeptAndNeverDoubled) {
    Put(m_path, "");
    WriteLog(L"ends in a line feed\n");
    WriteLog(L"ends in CR LF\r\n");
    WriteLog(L"first\nsecond");
    // The runtime turns each line feed into CR LF, so a message's own CR stays before it.
    EXPECT_EQ(Unstamped(m_path), "[Kelvane ] | ends in a line feed\r\n"
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

TEST_F(LogFileTest, InitLogKeepsWhatIsNullCutsLongTagsAndRefusesLongPaths) {
    std::wstring other = m_dir + L"other.log";
    // Exactly 259 characters: what a longer path cut to the capacity would name.
    std::wstring longest = m_dir + std::wstring(MAX_PATH - 1 - m_dir.size(), L'p');
    Put(m_path, "");
    Put(other, "");
    Put(longest, "");

    InitLog(nullptr, other.c_str());
    WriteLog(L"to the other file");
    InitLog(L"T123456789012345678901234567890_cut", nullptr);
    WriteLog(L"with a cut tag");
    InitLog(nullptr, nullptr);
    InitLog(nullptr, (longest + L"q").c_str());
    WriteLog(L"nowhere");

    EXPECT_EQ(Get(m_path), "");
    EXPECT_EQ(Get(longest), "");
    EXPECT_EQ(Unstamped(other), "[Kelvane ] | to the other file\r\n"
                                "[T123456789012345678901234567890 ] | with a cut tag\r\n");
}

TEST_F(LogFileTest, BadInputStillGivesWholeLines) {
    Put(m_path, "");
    WriteLog(nullptr);
    WriteLog(L"name \x4E2D.png"); // no byte for it in the runtime's default locale
    WriteLog(L"%s", std::wstring(10000, L'z').c_str());
    WriteLog(L"after");
    std::string longest(kLogLineCapacity - 1 - kPrefix.size() - 1, 'z');
    EXPECT_EQ(Unstamped(m_path), "[Kelvane ] | name ?.png\r\n"
                                 "[Kelvane ] | " +
                                     longest + "\r\n[Kelvane ] | after\r\n");
}

TEST_F(LogFileTest, ConcurrentWritersLoseNoLineAndBreakNone) {
    Put(m_path, "");
    const int kThreads = 8, kLinesEach = 2000;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < kLinesEach; ++i)
                WriteLog(L"writer %d line %05d", t, i);
        });
    }
    for (std::thread& writer : writers)
        writer.join();

    std::string text = Unstamped(m_path);
    EXPECT_LT(Get(m_path).size(), static_cast<size_t>(kLogRestartSize));
    const std::regex whole(R"(\[Kelvane \] \| writer (\d) line (\d{5}))");
    std::set<std::pair<int, int>> seen;
    size_t start = 0, broken = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::smatch match;
        std::string line = text.substr(start, end - start);
        if (std::regex_match(line, match, whole))
            seen.insert({std::stoi(match[1]), std::stoi(match[2])});
        else
            ++broken;
    }
    EXPECT_EQ(start, text.size()) << "the file does not end with a whole line";
    EXPECT_EQ(broken, 0u);
    EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLinesEach));
}

} // namespace
