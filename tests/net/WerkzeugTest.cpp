// The client and kvpost against a server written with a common web framework:
// Debian's python3-werkzeug on its own HTTP/1.1 server, started by the test
// on 127.0.0.1 (tests/net/werkzeug_app.py echoes the form it parsed).
#include <gtest/gtest.h>

#include <cstring>

#include "NetTestKit.h"
#include "net/InfoUpDown.h"

namespace {

std::string UnixPathOf(const std::string& windowsPath) {
    typedef char*(CDECL * UnixNameFunction)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName(std::wstring(windowsPath.begin(), windowsPath.end()).c_str());
    const std::string path = name != nullptr ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes)
        hex += std::string(1, digits[byte >> 4]) + digits[byte & 15];
    return hex;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// Runs kvpost.exe and gives its exit code.
DWORD RunKvpost(const std::string& arguments) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "kvpost.exe " + arguments;
    DWORD exitCode = 99;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return exitCode;
}

class Werkzeug : public testing::Test {
protected:
    static void SetUpTestSuite() {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        const std::string app = std::string(exe, std::strrchr(exe, '\\') + 1) + "werkzeug_app.py";
        const std::string portFile = FreshTempPath();
        // Wine runs a Unix program named by its Windows path. It is no Windows
        // process to wait for or end: the server ends itself on /quit.
        std::string command =
            "Z:\\usr\\bin\\python3 " + UnixPathOf(app) + " " + UnixPathOf(portFile);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return;
        for (int wait = 0; wait < 300 && s_port == 0; ++wait, Sleep(100))
            s_port = std::atoi(ReadWholeFile(portFile).c_str());
        DeleteFileA(portFile.c_str());
    }

    static void TearDownTestSuite() {
        CHttpUpload quit;
        const std::string url = Url("/quit");
        if (s_port != 0 && quit.Init(url.c_str(), static_cast<int>(url.size())) == 0 &&
            quit.Request())
            quit.RetRecvDataPt();
    }

    void SetUp() override {
        ASSERT_NE(0, s_port) << "no server: is python3-werkzeug installed (install-deps.sh)?";
    }

    static std::string Url(const char* path) {
        return "http://127.0.0.1:" + std::to_string(s_port) + path;
    }

    static int s_port;
};

int Werkzeug::s_port = 0;

} // namespace

TEST_F(Werkzeug, SeesEveryFieldAndTheFileAsSentAndTheReplyEndsAtItsLastChunk) {
    // Names travel in a part header, where the framework takes only ASCII.
    const CString fields[] = {
        L"text with spaces", L" one  two ", L"q",
        L"x=y==z",           L"dessert",    L"cr\u00e8me br\u00fbl\u00e9e \u00bd"};
    std::string expected = "<?xml version=\"1.0\"?>\n<form>\n";
    CStringArray array;
    for (size_t i = 0; i < 6; i += 2) {
        array.Add(fields[i]);
        array.Add(fields[i + 1]);
        expected += "<field name=\"" + Hex(CStringA(fields[i]).GetString()) + "\" value=\"" +
                    Hex(CStringA(fields[i + 1]).GetString()) + "\"/>\n";
    }
    std::string fileBytes; // every byte value, NUL, CR and LF among them
    for (int i = 0; i < 512; ++i)
        fileBytes += static_cast<char>(i);
    const std::string param = FreshTempPath(), out = FreshTempPath();
    WriteWholeFile(param, fileBytes);
    expected += "<file name=\"" + Hex("ParameterFile") + "\" filename=\"" +
                Hex(param.substr(param.rfind('\\') + 1)) + "\" value=\"" + Hex(fileBytes) +
                "\"/>\n<pad>" + std::string(10 * 4096, 'x') + "</pad>\n</form>\n";

    const ULONGLONG start = GetTickCount64();
    CInfoUpDown exchange;
    EXPECT_EQ(0, exchange.DownloadXML(Wide(Url("/echo")).c_str(), array, Wide(param).c_str(),
                                      Wide(out).c_str()));
    const ULONGLONG elapsed = GetTickCount64() - start;
    const std::string saved = ReadWholeFile(out);
    EXPECT_EQ(expected.substr(0, expected.find("<pad>")), saved.substr(0, saved.find("<pad>")));
    EXPECT_TRUE(saved == expected) << saved.size() << " bytes saved of " << expected.size();
    // The server keeps the connection 20 s after the last chunk.
    EXPECT_LT(elapsed, 10000u);
    std::printf("werkzeug exchange: %llu ms\n", elapsed);
    DeleteFileA(param.c_str());
    DeleteFileA(out.c_str());
}

TEST_F(Werkzeug, KvpostPostsItsFieldsAndLogsTheExchange) {
    const std::string out = FreshTempPath();
    CCapturedLog log; // the module's log file, which --log would make
    EXPECT_EQ(0u, RunKvpost(Url("/echo") + " a=1 q=x=y --out " + UnixPathOf(out) + " --log"));
    EXPECT_NE(std::string::npos, ReadWholeFile(out).find("<field name=\"71\" value=\"783d79\"/>"));
    EXPECT_NE(std::string::npos, log.Text().find("recv content last chunk")) << log.Text();
    DeleteFileA(out.c_str());
    EXPECT_EQ(1u, RunKvpost("http://server --out " + out));
    EXPECT_EQ(2u, RunKvpost("http://server/x noequals --out " + out));
    EXPECT_EQ(2u, RunKvpost("http://server/x a=1"));
}
