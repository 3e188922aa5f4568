// Programs as a user runs them: a separate process whose standard output,
// standard error and exit code the test reads.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace KvProcess {

struct RunResult {
    DWORD nExitCode = 0xFFFFFFFF;
    std::string strOut;
    std::string strErr;
};

// A file beside the test program, where the build puts the tools.
std::wstring BesideProgram(const wchar_t* name);

// A program started with its standard output and error read as they come, so
// that neither pipe can fill up and stall it. A program still running when the
// object goes is terminated.
class CRunningProcess {
public:
    // Each argument is quoted as the C runtime splits a command line.
    CRunningProcess(const std::wstring& exePath, const std::vector<std::wstring>& args,
                    const wchar_t* workingDir = nullptr);
    ~CRunningProcess();
    CRunningProcess(const CRunningProcess&) = delete;
    CRunningProcess& operator=(const CRunningProcess&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    // Whether the program ended within nTimeoutMs.
    bool WaitForExit(DWORD nTimeoutMs);
    // Waits up to nTimeoutMs; a program still running then is terminated and
    // its exit code given as 0xFFFFFFFF.
    RunResult Finish(DWORD nTimeoutMs = 60000);

private:
    PROCESS_INFORMATION m_process{};
    // Set once the program has ended: the readers then take what is left in
    // the pipes instead of waiting for every writer to close them.
    std::atomic<bool> m_bEnded{false};
    std::string m_strOut, m_strErr;
    std::thread m_outReader, m_errReader;
};

// Runs the program at exePath, each argument quoted as the C runtime splits a
// command line, and waits for it (a minute at most).
RunResult Run(const std::wstring& exePath, const std::vector<std::wstring>& args,
              const wchar_t* workingDir = nullptr);
// Run for the tool beside the test program.
RunResult RunTool(const wchar_t* exeName, const std::vector<std::wstring>& args,
                  const wchar_t* workingDir = nullptr);

// The Unix path Wine maps a Windows path to; empty when not under Wine.
std::string UnixPathOf(const std::wstring& windowsPath);

} // namespace KvProcess
