// kvskin VERB ...: tools for skin authors. Each verb lives in its own file
// (DescribeCommand.cpp, LintCommand.cpp, ShowCommand.cpp, RenderCommand.cpp)
// and is listed here.
#include "tools/kvskin/Commands.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const KvSkinCommand* const kCommands[] = {&kDescribeCommand, &kLintCommand, &kShowCommand,
                                          &kRenderCommand};

const char kUsageTail[] = "  SKINFILE may be a Unix or a Windows path.\n"
                          "  Exit codes: 0 done, 1 lint found an error or show/render could not\n"
                          "  do what was asked, 2 the skin file cannot be read or loaded, 64\n"
                          "  wrong usage.\n";

std::string UsageText() {
    std::string text;
    for (const KvSkinCommand* command : kCommands)
        text += command->pszUsage;
    return text + kUsageTail;
}

void WriteBytes(FILE* stream, const std::string& bytes) {
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

bool IsHelp(const wchar_t* pszArgument) {
    return wcscmp(pszArgument, L"--help") == 0 || wcscmp(pszArgument, L"-h") == 0;
}

// "kvskin --help" shows every verb's usage, "kvskin VERB --help" that verb's,
// on standard output: asked for, it is no usage error.
bool ShowHelp(int argc, wchar_t** argv, ToolOutput& output) {
    if (argc == 2 && IsHelp(argv[1])) {
        output.strOut = UsageText();
        return true;
    }
    if (argc != 3 || !IsHelp(argv[2]))
        return false;
    for (const KvSkinCommand* command : kCommands)
        if (wcscmp(argv[1], command->pszVerb) == 0) {
            output.strOut = command->pszUsage;
            return true;
        }
    return false;
}

// *ppCommand is the verb's command, null when the verb is unknown.
int RunVerb(int argc, wchar_t** argv, ToolOutput& output, const KvSkinCommand** ppCommand) {
    *ppCommand = nullptr;
    if (argc < 2)
        return kExitUsage;
    for (const KvSkinCommand* command : kCommands) {
        if (wcscmp(argv[1], command->pszVerb) != 0)
            continue;
        *ppCommand = command;
        std::optional<CParsedCommand> parsed =
            ParseCommand(command->syntax, std::vector<std::wstring>(argv + 2, argv + argc));
        return parsed ? command->pfnRun(*parsed, output) : kExitUsage;
    }
    return kExitUsage;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // UTF-8 bytes exactly as produced: no line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    ToolOutput output;
    if (ShowHelp(argc, argv, output)) {
        WriteBytes(stdout, output.strOut);
        return 0;
    }
    const KvSkinCommand* command = nullptr;
    int exitCode = RunVerb(argc, argv, output, &command);
    // A verb that named what is wrong shows its own usage only.
    if (exitCode == kExitUsage)
        output.strErr += command && !output.strErr.empty() ? command->pszUsage : UsageText();
    WriteBytes(stdout, output.strOut);
    WriteBytes(stderr, output.strErr);
    return exitCode;
}
