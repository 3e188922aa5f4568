// The verbs of kvskin. Each runs on a parsed command line, writes into a
// ToolOutput that the caller prints, and returns the process exit code.
#pragma once

#include "tools/common/CommandLine.h"

#include <string>

constexpr int kExitOk = 0;
constexpr int kExitLintErrors = 1;
constexpr int kExitNotDone = 1; // show or render could not do what was asked
constexpr int kExitLoadFailed = 2;
constexpr int kExitUsage = 64; // the caller prints the usage text

struct ToolOutput {
    std::string strOut; // UTF-8, written as is
    std::string strErr;
};

struct KvSkinCommand {
    const wchar_t* pszVerb;
    const char* pszUsage; // its lines of the usage text
    CommandSyntax syntax;
    int (*pfnRun)(const CParsedCommand& command, ToolOutput& output);
};

// "--scale PERCENT": the display scale to lint or draw for, 100 when not
// given. False (and the message in output) for anything but a whole number
// from 25 to 800.
bool ReadScaleOption(const CParsedCommand& command, int& nPercent, ToolOutput& output);

int RunDescribe(const CParsedCommand& command, ToolOutput& output);
int RunLint(const CParsedCommand& command, ToolOutput& output);
int RunShow(const CParsedCommand& command, ToolOutput& output);
int RunRender(const CParsedCommand& command, ToolOutput& output);

extern const KvSkinCommand kDescribeCommand;
extern const KvSkinCommand kLintCommand;
extern const KvSkinCommand kShowCommand;
extern const KvSkinCommand kRenderCommand;
