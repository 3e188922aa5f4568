// The log against real files in the temporary folder.
#include "runtime/Log.h"
#include "runtime/LogLine.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/ImageKit.h"
#include "tools/common/Process.h"

using ImageKit::WriteBytes;

namespace {

const std::wstring kPrefix = L"[2011-01-02 09-05-03 Kelvane ] | ";

// (Every file test reads the padded stamp through Unstamped's pattern.)
TEST(LogLine, CutsALongMessageBeforeASurrogatePair) {
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
    void SetUp() override { InitLog(L"Kelvane", m_path.c_str()); }

    // The file's text with every time stamp taken out: "[Kelvane ] | message\r\n".
    static std::string Unstamped(const std::wstring& path) {
        return std::regex_replace(ImageKit::ReadBytes(path),
                                  std::regex(R"(\[\d{4}-\d\d-\d\d \d\d-\d\d-\d\d )"), "[");
    }

    ImageKit::TempFolder m_folder{L"kv_log"};
    const std::wstring m_path = m_folder.File(L"Kelvane.log");
};

TEST_F(LogFileTest, WritesOnlyWhileTheFileExistsAndRestartsAtOneMebibyte) {
    WriteLog(L"nobody reads this %d", 1);
    EXPECT_EQ(GetFileAttributesW(m_path.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string below(kLogRestartSize - 1, 'o');
    WriteBytes(m_path, below);
    WriteLog(L"Enter %s %d", L"RecvResponse", 7);
    EXPECT_EQ(Unstamped(m_path), below + "[Kelvane ] | Enter RecvResponse 7\r\n");
    WriteBytes(m_path, std::string(kLogRestartSize, 'o'));
    WriteLog(L"first\nsecond");
    EXPECT_EQ(Unstamped(m_path), "[Kelvane ] | first\r\nsecond\r\n");
}

// A full file is emptied in place, never deleted: a viewer that holds it,
// sharing deletion or not, neither switches the log off nor lets the file
// grow past the cap. A file that a viewer maps cannot be emptied; its lines
// are dropped until the viewer lets go.
TEST_F(LogFileTest, EmptiesAFullFileInPlaceWhileAViewerHoldsIt) {
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const struct {
        DWORD share;
        bool mapped;
    } viewers[] = {
        {shareAll, false}, {FILE_SHARE_READ | FILE_SHARE_WRITE, false}, {shareAll, true}};
    const std::string held = "[Kelvane ] | while held\r\n", after = "[Kelvane ] | after\r\n";
    for (const auto& v : viewers) {
        WriteBytes(m_path, std::string(kLogRestartSize, 'o'));
        HANDLE viewer =
            CreateFileW(m_path.c_str(), GENERIC_READ, v.share, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE mapping =
            v.mapped ? CreateFileMappingW(viewer, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
        void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        ASSERT_EQ(v.mapped, view != nullptr);
        WriteLog(L"while held");
        const size_t heldSize = ImageKit::ReadBytes(m_path).size();
        if (view)
            UnmapViewOfFile(view);
        if (mapping)
            CloseHandle(mapping);
        CloseHandle(viewer);
        WriteLog(L"after");
        EXPECT_EQ(v.mapped ? kLogRestartSize : held.size() + 20, heldSize) << v.share;
        EXPECT_EQ(v.mapped ? after : held + after, Unstamped(m_path)) << v.share;
    }
}

// A holder of the lock that never lets go (a writer stopped in a debugger, or
// any process of the user) costs the first line one time-out and the next
// lines none: they no longer wait for a lock not seen free since.
TEST_F(LogFileTest, AStuckHolderOfTheLockCostsOneTimeOut) {
    WriteBytes(m_path, "");
    HANDLE file = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION identity = {};
    ASSERT_TRUE(GetFileInformationByHandle(file, &identity));
    CloseHandle(file);
    wchar_t name[64];
    FormatLogMutexName(identity, name, 64);
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HANDLE mutex = CreateMutexW(nullptr, TRUE, name);
        SetEvent(taken);
        WaitForSingleObject(release, INFINITE);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    });
    WaitForSingleObject(taken, INFINITE);
    WriteLog(L"line %d", 0);
    const ULONGLONG start = GetTickCount64();
    for (int i = 1; i < 10; ++i)
        WriteLog(L"line %d", i);
    const ULONGLONG later = GetTickCount64() - start;
    SetEvent(release);
    holder.join();
    WriteLog(L"line %d", 10); // the lock is free again
    CloseHandle(taken);
    CloseHandle(release);
    std::string expected;
    for (int i = 0; i <= 10; ++i)
        expected += "[Kelvane ] | line " + std::to_string(i) + "\r\n";
    EXPECT_EQ(expected, Unstamped(m_path));
    EXPECT_LT(later, kLogLockWaitMs) << "nine lines waited for the stuck lock";
}

// A tag is cut at 31 characters, a formatted message to the line; a path
// that would have to be cut switches the log off.
TEST_F(LogFileTest, CutsLongTagsAndMessagesAndRefusesPathsItWouldCut) {
    const std::wstring folder = m_folder.Path();
    // Exactly 259 characters: what a longer path cut to the capacity would name.
    std::wstring longest = folder + std::wstring(MAX_PATH - 1 - folder.size(), L'p');
    WriteBytes(m_path, "");
    WriteBytes(longest, "");
    InitLog(L"T123456789012345678901234567890_cut", nullptr); // a null path keeps the file
    WriteLog(nullptr);
    WriteLog(L"name \x4E2D.png"); // no byte for it in the runtime's default locale
    WriteLog(L"%s", std::wstring(10000, L'z').c_str());
    InitLog(nullptr, (longest + L"q").c_str());
    WriteLog(L"nowhere");
    EXPECT_EQ(Unstamped(longest), "");
    const std::string tag = "[T123456789012345678901234567890 ] | ";
    EXPECT_EQ(Unstamped(m_path), tag + "name ?.png\r\n" + tag +
                                     std::string(kLogLineCapacity - 2 - tag.size() - 20, 'z') +
                                     "\r\n");
}

// Writers in separate processes share only the file, each naming it in
// another spelling (long, "\\?\" prefix, 8.3 short), and the file reaches
// the cap on the way: what is left holds whole lines only, and each writer's
// lines run without a gap to its last.
TEST_F(LogFileTest, WritersInSeveralProcessesLoseNoLineAcrossTheRestart) {
    const int kWriters = 4, kLines = 1000;
    // About half of the lines go in before the restart.
    WriteBytes(m_path, std::string(kLogRestartSize - 100000, 'o'));
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameW(m_path.c_str(), shortPath, MAX_PATH));
    ASSERT_NE(m_path, shortPath) << "the folder's name is no 8.3 name";
    const std::wstring spellings[kWriters] = {m_path, L"\\\\?\\" + m_path, shortPath, m_path};
    const std::wstring event = L"KvLogWriters" + std::to_wstring(GetCurrentProcessId());
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
    std::vector<std::unique_ptr<KvProcess::CRunningProcess>> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back(new KvProcess::CRunningProcess(
            KvProcess::BesideProgram(L"log_writer.exe"),
            {spellings[w], std::to_wstring(w), std::to_wstring(kLines), event}));
    }
    SetEvent(start);
    for (auto& writer : writers)
        EXPECT_EQ(0u, writer->Finish().nExitCode);
    CloseHandle(start);

    const std::string text = Unstamped(m_path);
    const std::regex line(R"(\[Kelvane \] \| writer (\d) line (\d{4})\r\n)");
    std::vector<std::vector<int>> numbers(kWriters);
    size_t end = 0;
    for (std::sregex_iterator it(text.begin(), text.end(), line), last; it != last; ++it) {
        ASSERT_EQ(end, static_cast<size_t>(it->position())) << "broken before " << it->str();
        end += it->length();
        numbers[std::stoi((*it)[1])].push_back(std::stoi((*it)[2]));
    }
    EXPECT_EQ(text.size(), end);
    size_t kept = 0;
    for (const std::vector<int>& written : numbers) {
        for (size_t i = 0; i < written.size(); ++i)
            ASSERT_EQ(static_cast<int>(kLines - written.size() + i), written[i]);
        kept += written.size();
    }
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, static_cast<size_t>(kWriters * kLines)) << "never restarted";
}

} // namespace
