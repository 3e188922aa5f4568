// kvskin describe: loads a skin description exactly as a dialog does and
// prints it as JSON.
#include "tools/kvskin/Commands.h"
#include "tools/kvskin/SkinJson.h"
#include "tools/common/SkinPaths.h"

const KvSkinCommand kDescribeCommand = {
    L"describe",
    "usage: kvskin describe SKINFILE SECTION [--section2 SECTION] [--skin-name NAME]\n"
    "                       [--windowless]\n"
    "  Loads SECTION (and SECTION2) of SKINFILE with the skin name NAME (default\n"
    "  \"default\") and prints the description as one JSON object on standard output;\n"
    "  exit 1 when a section is not in the file. Each item's \"screenReader\" says\n"
    "  what a screen reader reads of it: role, name, description, shortcut and\n"
    "  action (null: it makes nothing). --windowless reads it as the windowless\n"
    "  dialog shows it (the container): its ControlType 2 items are drawn push\n"
    "  buttons, nothing else is made.\n",
    {{L"--section2", L"--skin-name"}, {L"--windowless"}, 2, 2},
    RunDescribe,
};

int RunDescribe(const CParsedCommand& command, ToolOutput& output) {
    if (command.positional[0].IsEmpty())
        return kExitUsage;
    CString skinFile = ToFullWindowsPath(command.positional[0]);
    const std::string problem = SkinFileUnloadable(command.positional[0], skinFile);
    if (!problem.empty()) {
        output.strErr = "kvskin: " + problem;
        return kExitLoadFailed;
    }
    const CString section2 = command.Option(L"--section2");
    output.strErr = MissingSection(skinFile, command.positional[1], section2);
    if (!output.strErr.empty())
        return kExitNotDone;
    CKvXMLParseBase reader;
    reader.LoadSkin(skinFile, command.positional[1], section2,
                    command.Option(L"--skin-name", L"default"));
    output.strOut = DescribeSkin(reader, command.Flag(L"--windowless"))
                        .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                    "\n";
    return kExitOk;
}
