// kvskin lint: one line per finding, as compilers write them, so that
// editors jump to it.
#include "tools/kvskin/Commands.h"
#include "tools/common/GdiplusSession.h"
#include "tools/kvskin/SkinJson.h"
#include "tools/common/SkinLint.h"
#include "tools/common/SkinPaths.h"

#include <cstdint>

const KvSkinCommand kLintCommand = {
    L"lint",
    "usage: kvskin lint SKINFILE [SECTION...] [--skin-name NAME] [--scale PERCENT]\n"
    "  Checks each SECTION of SKINFILE as a window of its own (without SECTION: every\n"
    "  element with a WindowInfo, PosInfo or DynamicInfo child), resolving images\n"
    "  below the skin name NAME (default \"default\"). Prints FILE:LINE:COLUMN:\n"
    "  error|warning: message lines on standard output; exit 1 when there is an error.\n"
    "  --scale PERCENT also warns of each image that is scaled for that display\n"
    "  scale rather than drawn from a NAME@PERCENT variant made for it.\n",
    {{L"--skin-name", L"--scale"}, {}, 1, SIZE_MAX},
    RunLint,
};

int RunLint(const CParsedCommand& command, ToolOutput& output) {
    const CString& givenPath = command.positional[0];
    if (givenPath.IsEmpty())
        return kExitUsage;
    LintRequest request;
    request.strSkinFile = ToFullWindowsPath(givenPath);
    request.sections.assign(command.positional.begin() + 1, command.positional.end());
    request.strSkinName = command.Option(L"--skin-name", L"default");
    if (!ReadScaleOption(command, request.nScalePercent, output))
        return kExitUsage;

    std::string problem = SkinFileUnreadable(request.strSkinFile);
    if (!problem.empty()) {
        output.strErr =
            "kvskin: cannot read skin file " + ToUtf8(givenPath) + ": " + problem + "\n";
        return kExitLoadFailed;
    }
    CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        output.strErr = "kvskin: GDI+ cannot be started\n";
        return kExitLoadFailed;
    }
    // Lines name the file as it was given, so an editor on either side of
    // Wine finds it.
    std::vector<LintDiagnostic> diagnostics = LintSkinFile(request);
    for (const LintDiagnostic& diagnostic : diagnostics)
        output.strOut += FormatDiagnostic(givenPath, diagnostic) + "\n";
    return HasErrors(diagnostics) ? kExitLintErrors : kExitOk;
}
