// kvskin render: a section's picture drawn offscreen by the dialog that shows
// it (tools/kvskin/SectionPicture.h), with items in the looks asked for, or a
// contact sheet of every acting item in each of its looks, saved as a PNG with
// its alpha.
#include "tools/common/GdiplusSession.h"
#include "tools/common/PngFile.h"
#include "tools/common/SkinPaths.h"
#include "tools/kvskin/Commands.h"
#include "tools/kvskin/ContactSheet.h"
#include "tools/kvskin/ItemRequests.h"
#include "tools/kvskin/SkinJson.h"

namespace {

// Empty when every request names an item that can take its look, else the message.
std::string ApplyStates(CSectionPicture& picture, const std::vector<ItemStateRequest>& requests,
                        const CString& strSection) {
    for (const ItemStateRequest& request : requests) {
        const int nIndex = FindItemByID(picture.Items(), request.strID);
        if (nIndex < 0)
            return NoSuchItemMessage(request.strID, strSection);
        const std::string problem = picture.SetLook(static_cast<size_t>(nIndex), request.look);
        if (!problem.empty())
            return problem;
    }
    return std::string();
}

// The picture asked for; empty (and strError) when it cannot be made.
CapturePixels::ArgbImage DrawRequested(CSectionPicture& picture, const CParsedCommand& command,
                                       const std::vector<ItemStateRequest>& requests,
                                       std::string& strError) {
    const CString& strSection = command.positional[1];
    if (command.Flag(L"--states"))
        return DrawContactSheet(picture, strSection, strError);
    strError = ApplyStates(picture, requests, strSection);
    if (!strError.empty())
        return {};
    CapturePixels::ArgbImage image = picture.Compose();
    if (image.pixels.empty())
        strError = "kvskin: nothing to draw: " + ToUtf8(strSection) +
                   " gives no SheetSize that a picture can be made of\n";
    return image;
}

} // namespace

const KvSkinCommand kRenderCommand = {
    L"render",
    "usage: kvskin render SKINFILE SECTION --out OUT.png [--section2 SECTION]\n"
    "                     [--skin-name NAME] [--state ID=LOOK ...] [--states]\n"
    "                     [--scale PERCENT]\n"
    "  Draws SECTION offscreen as its dialog composes it into OUT.png, with its\n"
    "  alpha: a section with check boxes or radio buttons as the base dialog shows\n"
    "  it, background and every control (its controls are windows: that needs a\n"
    "  display, though nothing is shown), any other as the windowless dialog does\n"
    "  (no window, no display). Each --state shows the item ID (any case) in a\n"
    "  LOOK: normal, hot, pressed, disabled, checked, checked-hot, checked-pressed\n"
    "  or checked-disabled (windowless items: normal, hot, pressed). --states draws\n"
    "  a contact sheet instead: every acting item in each of its looks, a labelled\n"
    "  grid with a column per look. --scale draws a windowless section as a display\n"
    "  of that scale shows it (150: one and a half times the skin's pixels).\n",
    {{L"--out", L"--section2", L"--skin-name", L"--state", L"--scale"}, {L"--states"}, 2, 2},
    RunRender,
};

int RunRender(const CParsedCommand& command, ToolOutput& output) {
    const CString strOut = command.Option(L"--out");
    if (command.positional[0].IsEmpty())
        return kExitUsage;
    if (strOut.IsEmpty()) {
        output.strErr = "kvskin: render needs --out OUT.png, the file to write\n";
        return kExitUsage;
    }
    std::vector<ItemStateRequest> requests;
    for (const CString& strArg : command.Options(L"--state")) {
        std::optional<ItemStateRequest> request = ParseItemStateRequest(strArg);
        if (!request) {
            output.strErr = "kvskin: --state \"" + ToUtf8(strArg) +
                            "\" is not ID=LOOK (normal, hot, pressed, disabled, checked, "
                            "checked-hot, checked-pressed, checked-disabled)\n";
            return kExitUsage;
        }
        requests.push_back(*request);
    }
    if (!requests.empty() && command.Flag(L"--states")) {
        output.strErr = "kvskin: --states draws every look; it takes no --state\n";
        return kExitUsage;
    }
    PreviewSkin skin;
    skin.strSkinFile = ToFullWindowsPath(command.positional[0]);
    skin.strSection = command.positional[1];
    skin.strSection2 = command.Option(L"--section2");
    skin.strSkinName = command.Option(L"--skin-name", L"default");
    if (!ReadScaleOption(command, skin.nScalePercent, output))
        return kExitUsage;
    const std::string problem = SkinFileUnloadable(command.positional[0], skin.strSkinFile);
    if (!problem.empty()) {
        output.strErr = "kvskin: " + problem;
        return kExitLoadFailed;
    }
    CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        output.strErr = "kvskin: GDI+ cannot be started\n";
        return kExitNotDone;
    }
    output.strErr = MissingSection(skin.strSkinFile, skin.strSection, skin.strSection2);
    if (!output.strErr.empty())
        return kExitNotDone;
    std::unique_ptr<CSectionPicture> picture = MakeSectionPicture(skin, output.strErr);
    if (!picture)
        return kExitNotDone;
    const CapturePixels::ArgbImage image =
        DrawRequested(*picture, command, requests, output.strErr);
    if (image.pixels.empty())
        return kExitNotDone;
    const CString strOutPath = ToFullWindowsPath(strOut);
    if (!PngFile::Save(image, strOutPath.GetString())) {
        output.strErr = "kvskin: cannot write " + ToUtf8(strOutPath) + "\n";
        return kExitNotDone;
    }
    return kExitOk;
}
