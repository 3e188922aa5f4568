// kvskin render: the windowless picture of a section, built from the model
// and drawn offscreen by the windowless dialog's own composition
// (BuildWndLessItems, CWndLessSheet) with no window and no display, saved as
// a PNG with its alpha.
#include "skin/Canvas.h"
#include "skin/DialogModel.h"
#include "skin/WndLessSheet.h"
#include "tools/common/CapturePixels.h"
#include "tools/common/PngFile.h"
#include "tools/kvskin/Commands.h"
#include "tools/common/GdiplusSession.h"
#include "tools/kvskin/ItemRequests.h"
#include "tools/kvskin/SkinJson.h"
#include "tools/common/SkinPaths.h"

#include <cstdint>

namespace {

// Check boxes and radio buttons exist only in the base dialog, which draws
// their eight-frame strips, its labels and mnemonics itself: the windowless
// picture of such a section would be what neither dialog shows. The message
// that refuses it, or empty.
std::string BaseDialogOnly(const CKvXMLParseBase& reader, const CString& strSection) {
    for (const _XmlDynamicItem& item : reader.m_arrDynamicItems) {
        const ItemKind kind = ItemKindOf(item.nControlType, item.nControlStyle);
        if (item.nControlType != 2 || (kind != ItemKind::CheckBox && kind != ItemKind::RadioButton))
            continue;
        return "kvskin: " + ToUtf8(strSection) + " is a base-dialog section: item \"" +
               ToUtf8(item.strID) +
               "\" is a check box or radio button, which only the base dialog makes; render "
               "draws windowless sections only (kvskin show SKINFILE SECTION --screenshot "
               "OUT.png captures the base dialog)\n";
    }
    return std::string();
}

// Empty when every request names a drawn item, else the message.
std::string ApplyStates(CKvXMLParseBase& reader, const std::vector<ItemStateRequest>& requests,
                        const CString& strSection) {
    for (const ItemStateRequest& request : requests) {
        const int nIndex = FindItemByID(reader.m_arrDynamicItems, request.strID);
        if (nIndex < 0)
            return NoSuchItemMessage(request.strID, strSection);
        _XmlDynamicItem& item = reader.m_arrDynamicItems[static_cast<size_t>(nIndex)];
        CWndLessItem* pItem = item.pControl.get<CWndLessItem>();
        if (!pItem)
            return "kvskin: item \"" + ToUtf8(item.strID) +
                   "\" is not drawn by the windowless dialog (ControlType " +
                   std::to_string(item.nControlType) + ", not 2)\n";
        pItem->SetState(request.nState);
    }
    return std::string();
}

// The picture as the dialog hands it to UpdateLayeredWindow, with straight
// alpha for the PNG; empty when there is no sheet to draw.
CapturePixels::ArgbImage ComposePicture(CKvXMLParseBase& reader, const KvWindowModel& window) {
    CapturePixels::ArgbImage image;
    const SIZE sheet = window.szSheet;
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        return image;
    const std::unique_ptr<Gdiplus::Bitmap> pBack = LoadSheetBackground(window);
    CKvCanvas canvas(sheet.cx, sheet.cy);
    CWndLessSheet composer;
    if (!canvas.IsReady() ||
        !composer.Compose(canvas.DC(), sheet, pBack.get(), reader.m_arrDynamicItems))
        return image;
    ::GdiFlush(); // GDI may still be writing to the section
    image.nWidth = sheet.cx;
    image.nHeight = sheet.cy;
    const uint32_t* pBits = canvas.Bits();
    image.pixels.assign(pBits, pBits + static_cast<size_t>(sheet.cx) * sheet.cy);
    for (uint32_t& pixel : image.pixels)
        pixel = CapturePixels::Unpremultiply(pixel);
    return image;
}

} // namespace

const KvSkinCommand kRenderCommand = {
    L"render",
    "usage: kvskin render SKINFILE SECTION --out OUT.png [--section2 SECTION]\n"
    "                     [--skin-name NAME] [--state ID=normal|hot|pressed ...]\n"
    "  Draws the windowless picture of SECTION offscreen, as CKvCommonWndLessDlg\n"
    "  composes it (no window, no display), into OUT.png with its alpha; each\n"
    "  --state shows the push-button item ID (any case) in that state. A section with\n"
    "  check boxes or radio buttons belongs to the base dialog: exit 1, no picture.\n",
    {{L"--out", L"--section2", L"--skin-name", L"--state"}, {}, 2, 2},
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
            output.strErr =
                "kvskin: --state \"" + ToUtf8(strArg) + "\" is not ID=normal|hot|pressed\n";
            return kExitUsage;
        }
        requests.push_back(*request);
    }
    const CString strSkinFile = ToFullWindowsPath(command.positional[0]);
    const std::string problem = SkinFileUnloadable(command.positional[0], strSkinFile);
    if (!problem.empty()) {
        output.strErr = "kvskin: " + problem;
        return kExitLoadFailed;
    }
    CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        output.strErr = "kvskin: GDI+ cannot be started\n";
        return kExitNotDone;
    }
    const CString& strSection = command.positional[1];
    output.strErr = MissingSection(strSkinFile, strSection, command.Option(L"--section2"));
    if (!output.strErr.empty())
        return kExitNotDone;
    CKvXMLParseBase reader;
    reader.LoadSkin(strSkinFile, strSection, command.Option(L"--section2"),
                    command.Option(L"--skin-name", L"default"));
    output.strErr = BaseDialogOnly(reader, strSection);
    if (!output.strErr.empty())
        return kExitNotDone;
    const KvWindowModel window = ReadWindowModel(reader);
    BuildWndLessItems(reader.m_arrDynamicItems, window, nullptr);
    output.strErr = ApplyStates(reader, requests, strSection);
    if (!output.strErr.empty())
        return kExitNotDone;
    const CapturePixels::ArgbImage image = ComposePicture(reader, window);
    if (image.pixels.empty()) {
        output.strErr = "kvskin: nothing to draw: " + ToUtf8(strSection) +
                        " gives no SheetSize that a picture can be made of\n";
        return kExitNotDone;
    }
    const CString strOutPath = ToFullWindowsPath(strOut);
    if (!PngFile::Save(image, strOutPath.GetString())) {
        output.strErr = "kvskin: cannot write " + ToUtf8(strOutPath) + "\n";
        return kExitNotDone;
    }
    return kExitOk;
}
