// The kvskin tool as a user runs it: a separate process whose standard
// output, standard error and exit code are checked.
#include "tests/skin_reader/SkinTestFiles.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <thread>
#include <vector>

using nlohmann::json;

namespace {

struct RunResult {
    DWORD nExitCode = 0xFFFFFFFF;
    std::string strOut;
    std::string strErr;
};

// Quotes one argument by the rules the C runtime uses to split a command line.
std::wstring QuoteArgument(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

CString ToolPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    CString path(self);
    return path.Left(path.ReverseFind(L'\\') + 1) + L"kvskin.exe";
}

RunResult RunKvSkin(const std::vector<std::wstring>& args, const wchar_t* workingDir = nullptr) {
    RunResult result;
    std::wstring commandLine = QuoteArgument(ToolPath().GetString());
    for (const std::wstring& arg : args)
        commandLine += L" " + QuoteArgument(arg);

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) ||
        !CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        ADD_FAILURE() << "CreatePipe failed";
        return result;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  workingDir, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        std::thread errReader([&] { result.strErr = ReadAll(errRead); });
        result.strOut = ReadAll(outRead);
        errReader.join();
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &result.nExitCode);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start kvskin.exe";
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return result;
}

std::string Utf8(const CString& text) {
    int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), out.data(), bytes, nullptr, nullptr);
    return out;
}

const char kSkin[] = u8R"(<?xml version="1.0" encoding="UTF-8"?>
<Skin><Main>
  <WindowInfo>
    <I ItemID="Title" Data="Grüße &quot;q&quot; \ 中"/>
    <I ItemID="SheetSize" Data="400,300"/>
  </WindowInfo>
  <PosInfo><P ItemID="frame" Color="0xFFFF0000" Pos="1,2,3,4"/><P ItemID="none"/></PosInfo>
  <DynamicInfo>
    <I ID="BTN_CLOSE" Name="Close&#9;now" ToolTip="Close" FontName="DejaVu Sans" FontSize="0x10"
       FontColor="0xFF000000;" FontFormat="1;0" BkImg="btn\close.png" Cursor="hand.cur"
       Icon="x.ico" Pos="-10,-20,30,40" ControlType="4" ControlStyle="0xFFFFFFFF" DrawFocus="-1"/>
    <I ID="LBL"/>
  </DynamicInfo>
</Main>
<Extra><DynamicInfo><I ID="btn_close" Name="Again"/><I ID="NEW"/></DynamicInfo></Extra>
</Skin>
)";

class KvSkinTest : public testing::Test {
protected:
    KvSkinTest() : m_folder(L"kv_kvskin") { m_strSkin = m_folder.Write(L"main.xml", kSkin); }

    json Describe(const std::vector<std::wstring>& args, const wchar_t* workingDir = nullptr) {
        RunResult run = RunKvSkin(args, workingDir);
        EXPECT_EQ(run.nExitCode, 0u) << run.strErr;
        EXPECT_TRUE(run.strErr.empty()) << run.strErr;
        return json::parse(run.strOut, nullptr, false);
    }
    std::string Image(const char* skinName, const char* file) const {
        return Utf8(m_folder.Directory()) + skinName + "\\" + file;
    }

    CSkinTestFolder m_folder;
    CString m_strSkin;
};

} // namespace

TEST_F(KvSkinTest, DescribesEveryTableExactly) {
    json skin = Describe({L"describe", m_strSkin.GetString(), L"Main"});
    ASSERT_FALSE(skin.is_discarded());
    EXPECT_EQ(skin["skinDir"], Utf8(m_folder.Directory()));
    EXPECT_EQ(skin["skinName"], "default");
    EXPECT_EQ(skin["windowInfo"],
              json({{"Title", u8"Grüße \"q\" \\ 中"}, {"SheetSize", "400,300"}}));
    EXPECT_EQ(skin["posInfo"]["frame"], json({{"rect", {1, 2, 4, 6}}, {"color", 4294901760u}}));
    EXPECT_EQ(skin["posInfo"]["none"], json({{"rect", {0, 0, 0, 0}}, {"color", 4294967295u}}));

    ASSERT_EQ(skin["items"].size(), 2u);
    json expected = {{"id", "BTN_CLOSE"},
                     {"name", "Close\tnow"},
                     {"toolTip", "Close"},
                     {"fontName", "DejaVu Sans"},
                     {"fontSize", 16},
                     {"fontColor", "0xFF000000;"},
                     {"fontFormat", "1;0"},
                     {"bkImg", Image("default", "btn\\close.png")},
                     {"cursor", Image("default", "hand.cur")},
                     {"icon", Image("default", "x.ico")},
                     {"rect", {-10, -20, 20, 20}},
                     {"controlType", 4},
                     {"controlStyle", 4294967295u},
                     {"drawFocus", -1}};
    EXPECT_EQ(skin["items"][0], expected);
    EXPECT_EQ(skin["items"][1]["id"], "LBL");
    EXPECT_EQ(skin["items"][1]["bkImg"], "");
    EXPECT_EQ(skin["items"][1]["rect"], json({0, 0, 0, 0}));
}

TEST_F(KvSkinTest, SecondSectionAndSkinNameInAnyOrder) {
    json skin = Describe({L"describe", L"--skin-name", L"night", m_strSkin.GetString(), L"Main",
                          L"--section2", L"Extra"});
    ASSERT_FALSE(skin.is_discarded());
    ASSERT_EQ(skin["items"].size(), 3u);
    EXPECT_EQ(skin["items"][0]["name"], "Again");
    EXPECT_EQ(skin["items"][0]["icon"], Image("night", "x.ico"));
}

TEST_F(KvSkinTest, RelativeAndUnixPathsBecomeFullWindowsPaths) {
    json relative = Describe({L"describe", L"main.xml", L"Main"}, m_folder.Directory());
    ASSERT_FALSE(relative.is_discarded());
    EXPECT_EQ(relative["skinDir"], Utf8(m_folder.Directory()));

    using UnixName = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        GTEST_SKIP() << "not running under Wine";
    char* unixPath = toUnix(m_strSkin);
    ASSERT_NE(unixPath, nullptr);
    std::string path(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    ASSERT_EQ(path[0], '/');
    // From a working directory on another drive, too.
    json fromUnix =
        Describe({L"describe", std::wstring(path.begin(), path.end()), L"Main"}, L"C:\\");
    ASSERT_FALSE(fromUnix.is_discarded());
    EXPECT_EQ(fromUnix["skinDir"], Utf8(m_folder.Directory()));
    EXPECT_EQ(fromUnix["items"], relative["items"]);
}

TEST_F(KvSkinTest, UnloadableFilesExitWith2) {
    CString broken = m_folder.Write(L"broken.xml", "<Skin><Main>");
    for (const CString& file :
         {broken, m_folder.Directory() + L"missing.xml", m_folder.Directory()}) {
        RunResult run = RunKvSkin({L"describe", file.GetString(), L"Main"});
        EXPECT_EQ(run.nExitCode, 2u);
        EXPECT_TRUE(run.strOut.empty());
        EXPECT_NE(run.strErr.find("cannot load skin file"), std::string::npos) << run.strErr;
    }
}

TEST_F(KvSkinTest, WrongUsageExitsWith64) {
    const std::wstring skin = m_strSkin.GetString();
    const std::vector<std::vector<std::wstring>> wrong = {
        {},
        {L"describe", skin},
        {L"show", skin},
        {L"describe", skin, L"Main", L"Third"},
        {L"describe", skin, L"Main", L"--section2"},
        {L"describe", skin, L"Main", L"--colour", L"red"},
        {L"describe", L"", L"Main"},
    };
    for (const auto& args : wrong) {
        RunResult run = RunKvSkin(args);
        EXPECT_EQ(run.nExitCode, 64u) << args.size() << " arguments";
        EXPECT_EQ(run.strErr.rfind("usage: kvskin describe", 0), 0u) << run.strErr;
        EXPECT_TRUE(run.strOut.empty());
    }
}
