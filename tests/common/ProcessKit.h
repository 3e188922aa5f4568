// Programs as a user runs them: a separate process whose standard output,
// standard error and exit code the test reads.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ProcessKit {

struct RunResult {
    DWORD nExitCode = 0xFFFFFFFF;
    std::string strOut;
    std::string strErr;
};

// A file beside the test program, where the build puts the tools.
std::wstring BesideProgram(const wchar_t* name);

// Runs the program at exePath, each argument quoted as the C runtime splits a
// command line, and waits for it (a minute at most).
RunResult Run(const std::wstring& exePath, const std::vector<std::wstring>& args,
              const wchar_t* workingDir = nullptr);
// Run for the tool beside the test program.
RunResult RunTool(const wchar_t* exeName, const std::vector<std::wstring>& args,
                  const wchar_t* workingDir = nullptr);

// The Unix path Wine maps a Windows path to; empty when not under Wine.
std::string UnixPathOf(const std::wstring& windowsPath);

} // namespace ProcessKit
