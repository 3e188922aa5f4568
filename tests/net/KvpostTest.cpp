// The kvpost tool, run as its own process beside the test.
#include <gtest/gtest.h>

#include <cstring>

#include "LoopbackServer.h"
#include "NetTestFiles.h"

namespace {

struct ToolRun {
    DWORD exitCode = 0;
    std::string output;
    std::string errors;
};

HANDLE CreateCapture(const std::string& path) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Runs kvpost.exe with `arguments`, its two output streams collected in files.
ToolRun RunKvpost(const std::string& arguments) {
    const std::string outputPath = FreshTempPath();
    const std::string errorsPath = FreshTempPath();
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = CreateCapture(outputPath);
    startup.hStdError = CreateCapture(errorsPath);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "kvpost.exe " + arguments;
    ToolRun run;
    run.exitCode = 99;
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    run.output = ReadWholeFile(outputPath);
    run.errors = ReadWholeFile(errorsPath);
    DeleteFileA(outputPath.c_str());
    DeleteFileA(errorsPath.c_str());
    return run;
}

// Wine's Unix name for a Windows path, or the path itself elsewhere.
std::string UnixPathOf(const std::string& windowsPath) {
    typedef char*(CDECL * UnixNameFunction)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* name = unixName != nullptr ? unixName(wide.c_str()) : nullptr;
    if (name == nullptr)
        return windowsPath;
    std::string path = name;
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

} // namespace

TEST(Kvpost, PostsFieldsSavesTheReplyAndLogsTheExchange) {
    ReplyScript script;
    script.pieces.push_back("HTTP/1.1 200 OK\r\n\r\n<?xml version=\"1.0\"?><ok/>");
    CLoopbackServer server(script);
    const std::string out = FreshTempPath();
    ToolRun run = RunKvpost(server.Url("/p") + " a=1 b=x=y --out " + UnixPathOf(out) + " --log");

    EXPECT_EQ(0u, run.exitCode) << run.errors;
    EXPECT_EQ("0\r\n", run.output);
    EXPECT_EQ("<?xml version=\"1.0\"?><ok/>", ReadWholeFile(out));
    const std::string request = server.Request();
    EXPECT_NE(std::string::npos, request.find("name=\"b\"\r\n\r\nx=y\r\n"));

    ASSERT_EQ(0u, run.errors.find("log: ")) << run.errors;
    const std::string logPath = run.errors.substr(5, run.errors.find_first_of("\r\n") - 5);
    EXPECT_NE(std::string::npos, logPath.find("\\common\\config\\Kelvane\\Kelvane.log"));
    const std::string log = ReadWholeFile(logPath);
    size_t at = 0;
    for (const char* line :
         {"Enter DownloadXML (url=http://127.0.0.1:", "DownloadXML m_httpUpload.Init",
          "DownloadXML m_httpUpload.Request", "Enter CHttpUpload::Request",
          "The header of the POST:", "The content of the POST:", "Exit CHttpUpload::Request",
          "DownloadXML m_httpUpload.RetRecvDataPt", "Enter RecvResponse",
          "RecvResponse ParseRetHeader", "ParseRetHeader", "recv content nLen == 0",
          "RecvResponse GetData end", "RecvResponse end", "RecvResponse end",
          "DownloadXML The following content GET:", "<ok/>",
          "DownloadXML m_httpUpload.RetRecvDataPt end", "DownloadXML end"}) {
        at = log.find(line, at);
        ASSERT_NE(std::string::npos, at) << line << "\n" << log;
        at += std::strlen(line);
    }
    DeleteFileA(logPath.c_str());
    DeleteFileA(out.c_str());
}

TEST(Kvpost, ExitsWithOneOnAFailedExchangeAndTwoOnAWrongCommandLine) {
    const std::string out = FreshTempPath();
    ToolRun refused = RunKvpost("http://server --out " + out);
    EXPECT_EQ(1u, refused.exitCode);
    EXPECT_EQ("-5\r\n", refused.output);
    EXPECT_EQ(2u, RunKvpost("http://server/x noequals --out " + out).exitCode);
    EXPECT_EQ(2u, RunKvpost("http://server/x a=1").exitCode);
}
