#include "tools/common/Process.h"

#include <algorithm>

namespace KvProcess {

namespace {

// Backslashes double only before a quote, which is escaped itself.
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

// Reads the pipe until every writer has closed it or, once the program has
// ended, until it is empty. Processes the program started may hold the write
// end for as long as they live (Wine starts some of its own helpers with
// handle inheritance); what the program wrote is in the pipe when it ends.
std::string ReadUntilDone(HANDLE pipe, const std::atomic<bool>& bEnded) {
    std::string bytes;
    char buffer[4096];
    for (;;) {
        // Read before the look into the pipe, so that an end seen here means
        // that the look saw everything the program wrote.
        const bool bProgramEnded = bEnded.load();
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
            break; // every writer closed it
        if (available == 0) {
            if (bProgramEnded)
                break;
            Sleep(5);
            continue;
        }
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, (std::min<DWORD>)(sizeof buffer, available), &read, nullptr) ||
            read == 0)
            break;
        bytes.append(buffer, read);
    }
    return bytes;
}

} // namespace

std::wstring BesideProgram(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

RunResult RunTool(const wchar_t* exeName, const std::vector<std::wstring>& args,
                  const wchar_t* workingDir) {
    return Run(BesideProgram(exeName), args, workingDir);
}

CRunningProcess::CRunningProcess(const std::wstring& exePath, const std::vector<std::wstring>& args,
                                 const wchar_t* workingDir) {
    std::wstring commandLine = QuoteArgument(exePath);
    for (const std::wstring& arg : args)
        commandLine += L" " + QuoteArgument(arg);
    // Only the write ends are inherited; each read end is drained by a thread
    // of its own, which closes it.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0))
        return;
    if (!CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        CloseHandle(outRead);
        CloseHandle(outWrite);
        return;
    }
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, workingDir,
                        &startup, &m_process))
        m_process = PROCESS_INFORMATION{};
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    m_outReader = std::thread([this, outRead] {
        m_strOut = ReadUntilDone(outRead, m_bEnded);
        CloseHandle(outRead);
    });
    m_errReader = std::thread([this, errRead] {
        m_strErr = ReadUntilDone(errRead, m_bEnded);
        CloseHandle(errRead);
    });
}

CRunningProcess::~CRunningProcess() {
    Finish(0);
}

bool CRunningProcess::WaitForExit(DWORD nTimeoutMs) {
    return Started() && WaitForSingleObject(m_process.hProcess, nTimeoutMs) == WAIT_OBJECT_0;
}

RunResult CRunningProcess::Finish(DWORD nTimeoutMs) {
    RunResult result;
    if (Started()) {
        if (WaitForExit(nTimeoutMs))
            GetExitCodeProcess(m_process.hProcess, &result.nExitCode);
        else if (TerminateProcess(m_process.hProcess, 99))
            WaitForSingleObject(m_process.hProcess, 5000); // the end is asynchronous
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
        m_process = PROCESS_INFORMATION{};
    }
    m_bEnded = true;
    if (m_outReader.joinable())
        m_outReader.join();
    if (m_errReader.joinable())
        m_errReader.join();
    result.strOut = m_strOut;
    result.strErr = m_strErr;
    return result;
}

RunResult Run(const std::wstring& exePath, const std::vector<std::wstring>& args,
              const wchar_t* workingDir) {
    return CRunningProcess(exePath, args, workingDir).Finish();
}

std::string UnixPathOf(const std::wstring& windowsPath) {
    typedef char*(CDECL * UnixNameFunction)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName != nullptr ? unixName(windowsPath.c_str()) : nullptr;
    const std::string path = name != nullptr ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return path;
}

} // namespace KvProcess
