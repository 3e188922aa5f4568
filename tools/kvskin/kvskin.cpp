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

int RunVerb(int argc, wchar_t** argv, ToolOutput& output) {
    if (argc < 2)
        return kExitUsage;
    for (const KvSkinCommand* command : kCommands) {
        if (wcscmp(argv[1], command->pszVerb) != 0)
            continue;
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
    int exitCode = RunVerb(argc, argv, output);
    if (exitCode == kExitUsage)
        output.strErr += UsageText();
    WriteBytes(stdout, output.strOut);
    WriteBytes(stderr, output.strErr);
    return exitCode;
}
