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

const std::regex kPrefix(R"(\[\d{4}-\d\d-\d\d \d\d-\d\d-\d\d [^\]]* \] \| )");

std::wstring Stamp(const SYSTEMTIME& time) {
    wchar_t stamp[20];
    FormatLogTimeStamp(time, stamp, 20);
    return stamp;
}

std::wstring Compose(const std::wstring& message, size_t capacity = kLogLineCapacity) {
    std::vector<wchar_t> line(capacity + 8, L'#');
    size_t length =
        ComposeLogLine(L"2011-01-02 09-05-03", L"Kelvane", message.c_str(), line.data(), capacity);
    for (size_t i = capacity; i < line.size(); ++i)
        EXPECT_EQ(line[i], L'#') << "written beyond the buffer at " << i;
    std::wstring result(line.data());
    EXPECT_EQ(result.size(), length);
    return result;
}

const std::wstring kPrefixText = L"[2011-01-02 09-05-03 Kelvane ] | ";

TEST(LogTimeStamp, PadsEveryFieldAndSeparatesTheTimeWithHyphens) {
    SYSTEMTIME time = {};
    time.wYear = 2011;
    time.wMonth = 1;
    time.wDay = 2;
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 3;
    time.wMilliseconds = 999;
    EXPECT_EQ(Stamp(time), L"2011-01-02 09-05-03");

    wchar_t small[8 + 4];
    wmemset(small, L'#', 12);
    FormatLogTimeStamp(time, small, 8);
    EXPECT_EQ(std::wstring(small), L"2011-01");
    EXPECT_EQ(std::wstring(small + 8, 4), L"####");
}

TEST(LogLineComposition, AddsALineFeedOnlyWhenTheMessageLacksOne) {
    EXPECT_EQ(Compose(L"Enter RecvResponse"), kPrefixText + L"Enter RecvResponse\n");
    EXPECT_EQ(Compose(L"ends\n"), kPrefixText + L"ends\n");
    EXPECT_EQ(Compose(L"ends\r\n"), kPrefixText + L"ends\r\n");
    EXPECT_EQ(Compose(L"first\nsecond"), kPrefixText + L"first\nsecond\n");
    EXPECT_EQ(Compose(L""), kPrefixText + L"\n");
}

TEST(LogLineComposition, CutsALongMessageAndKeepsItsLineFeed) {
    std::wstring line = Compose(std::wstring(9000, L'x'));
    ASSERT_EQ(line.size(), kLogLineCapacity - 1);
    EXPECT_EQ(line.substr(0, kPrefixText.size()), kPrefixText);
    EXPECT_EQ(line.back(), L'\n');
    EXPECT_EQ(line[line.size() - 2], L'x');

    // A message that fits exactly with its own line feed is kept whole.
    size_t room = kLogLineCapacity - 1 - kPrefixText.size();
    std::wstring exact = std::wstring(room - 1, L'y') + L"\n";
    EXPECT_EQ(Compose(exact), kPrefixText + exact);
}

TEST(LogLineComposition, NeverCutsASurrogatePairInHalf) {
    size_t room = kLogLineCapacity - 1 - kPrefixText.size() - 1; // one kept for the line feed
    std::wstring message = std::wstring(room - 1, L'x') + L"\xD83D\xDE00" + L"tail";
    std::wstring line = Compose(message);
    EXPECT_EQ(line, kPrefixText + std::wstring(room - 1, L'x') + L"\n");
}

TEST(LogLineComposition, TinyBuffersStayTerminated) {
    EXPECT_EQ(Compose(L"message", 1), L"");
    EXPECT_EQ(Compose(L"message", 6), L"[201\n");
}

// A folder of its own below the temporary folder, emptied and removed afterwards.
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
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((m_dir + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(m_dir.c_str());
    }

    static void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        fclose(file);
    }

    static std::string ReadFileBytes(const std::wstring& path) {
        std::string bytes;
        FILE* file = _wfopen(path.c_str(), L"rb");
        if (file == nullptr)
            return bytes;
        char chunk[65536];
        size_t got;
        while ((got = fread(chunk, 1, sizeof(chunk), file)) > 0)
            bytes.append(chunk, got);
        fclose(file);
        return bytes;
    }

    static bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // The file's text with every line prefix replaced by "<P>".
    std::string ReadWithoutPrefixes() const {
        return std::regex_replace(ReadFileBytes(m_path), kPrefix, "<P>");
    }

    std::wstring m_dir;
    std::wstring m_path;
};

TEST_F(LogFileTest, WritesNothingWhileTheFileIsMissing) {
    WriteLog(L"nobody reads this %d", 1);
    EXPECT_FALSE(Exists(m_path));
}

TEST_F(LogFileTest, AppendsOneStampedCrLfLineWithoutByteOrderMark) {
    WriteFileBytes(m_path, "");
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    WriteLog(L"Enter %s %d", L"RecvResponse", 7);
    GetLocalTime(&after);

    std::string bytes = ReadFileBytes(m_path);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(
        bytes, match,
        std::regex(R"(\[(\d{4}-\d\d-\d\d \d\d-\d\d-\d\d) Kelvane \] \| Enter RecvResponse 7\r\n)")))
        << bytes;
    std::wstring stamp(match[1].first, match[1].second);
    EXPECT_LE(Stamp(before), stamp);
    EXPECT_GE(Stamp(after), stamp);
}

TEST_F(LogFileTest, LineBreaksOfTheMessageAreKeptAndNotDoubled) {
    WriteFileBytes(m_path, "");
    WriteLog(L"ends in a line feed\n");
    WriteLog(L"ends in CR LF\r\n");
    WriteLog(L"first\nsecond");
    // The runtime turns each line feed into CR LF, so a message's own CR stays before it.
    EXPECT_EQ(ReadWithoutPrefixes(), "<P>ends in a line feed\r\n"
                                     "<P>ends in CR LF\r\r\n"
                                     "<P>first\r\nsecond\r\n");
}

TEST_F(LogFileTest, FileJustBelowTheRestartSizeGrowsPastIt) {
    std::string old(kLogRestartSize - 1, 'o');
    WriteFileBytes(m_path, old);
    WriteLog(L"appended");
    std::string bytes = ReadFileBytes(m_path);
    ASSERT_GT(bytes.size(), static_cast<size_t>(kLogRestartSize));
    EXPECT_EQ(bytes.compare(0, old.size(), old), 0);
    EXPECT_TRUE(
        std::regex_match(bytes.substr(old.size()), std::regex(R"(\[.*\] \| appended\r\n)")));
}

TEST_F(LogFileTest, FileAtTheRestartSizeStartsAfreshWithTheNewLine) {
    WriteFileBytes(m_path, std::string(kLogRestartSize, 'o'));
    WriteLog(L"first of the new file");
    EXPECT_EQ(ReadWithoutPrefixes(), "<P>first of the new file\r\n");
}

TEST_F(LogFileTest, NullArgumentsOfInitLogKeepTheirSetting) {
    std::wstring other = m_dir + L"other.log";
    WriteFileBytes(m_path, "");
    WriteFileBytes(other, "");

    InitLog(nullptr, other.c_str());
    WriteLog(L"to the other file");
    InitLog(L"Changed", nullptr);
    WriteLog(L"with another tag");
    InitLog(nullptr, nullptr);
    WriteLog(L"nothing changed");

    EXPECT_EQ(ReadFileBytes(m_path), "");
    std::string text = std::regex_replace(ReadFileBytes(other), std::regex(R"(\[[-\d ]+ )"), "[");
    EXPECT_EQ(text, "[Kelvane ] | to the other file\r\n"
                    "[Changed ] | with another tag\r\n"
                    "[Changed ] | nothing changed\r\n");
}

TEST_F(LogFileTest, OverLongTagIsCutTo31Characters) {
    WriteFileBytes(m_path, "");
    InitLog(L"T123456789012345678901234567890_and_more", nullptr);
    WriteLog(L"m");
    std::string text = ReadFileBytes(m_path);
    EXPECT_NE(text.find(" T123456789012345678901234567890 ] | m\r\n"), std::string::npos) << text;
}

TEST_F(LogFileTest, OverLongPathSwitchesTheLogOffInsteadOfNamingAnotherFile) {
    // A file whose path is exactly 259 characters: the cut of a longer path to
    // the capacity would name it.
    std::wstring longest = m_dir + std::wstring(MAX_PATH - 1 - m_dir.size(), L'p');
    ASSERT_EQ(longest.size(), static_cast<size_t>(MAX_PATH - 1));
    WriteFileBytes(longest, "");
    WriteFileBytes(m_path, "");

    InitLog(nullptr, longest.c_str());
    WriteLog(L"fits");
    EXPECT_NE(ReadFileBytes(longest), "");

    WriteFileBytes(longest, "");
    InitLog(nullptr, (longest + L"qq").c_str());
    WriteLog(L"too long");
    EXPECT_EQ(ReadFileBytes(longest), "");
    EXPECT_EQ(ReadFileBytes(m_path), "");
}

TEST_F(LogFileTest, BadInputStillGivesWholeLines) {
    WriteFileBytes(m_path, "");
    WriteLog(nullptr);
    // U+4E2D has no byte in the runtime's default locale.
    WriteLog(L"name \x4E2D.png");
    WriteLog(L"%s", std::wstring(10000, L'z').c_str());
    WriteLog(L"after");

    std::string text = ReadWithoutPrefixes();
    std::string cut = "<P>" + std::string(kLogLineCapacity - 1 - kPrefixText.size() - 1, 'z');
    EXPECT_EQ(text, "<P>name ?.png\r\n" + cut + "\r\n<P>after\r\n");
}

TEST_F(LogFileTest, ConcurrentWritersLoseNoLineAndBreakNone) {
    WriteFileBytes(m_path, "");
    const int kThreads = 8;
    const int kLinesEach = 2000;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < kLinesEach; ++i)
                WriteLog(L"writer %d line %05d", t, i);
        });
    }
    for (std::thread& writer : writers)
        writer.join();

    std::string bytes = ReadFileBytes(m_path);
    EXPECT_LT(bytes.size(), static_cast<size_t>(kLogRestartSize));
    const std::regex whole(
        R"(\[\d{4}-\d\d-\d\d \d\d-\d\d-\d\d Kelvane \] \| writer (\d) line (\d{5}))");
    std::set<std::pair<int, int>> seen;
    size_t broken = 0;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::smatch match;
        std::string line = bytes.substr(start, end - start);
        if (std::regex_match(line, match, whole))
            seen.insert({std::stoi(match[1]), std::stoi(match[2])});
        else
            ++broken;
    }
    EXPECT_EQ(start, bytes.size()) << "the file does not end with a whole line";
    EXPECT_EQ(broken, 0u);
    EXPECT_EQ(seen.size(), static_cast<size_t>(kThreads * kLinesEach));
}

} // namespace
