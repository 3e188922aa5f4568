// kvdemo's tour, run as a user runs it: a separate process on this display.
// Its own verdicts come from tour.json; the page's offset after the drag is
// checked against the default skin's "ChildPos". (How a hovered item and a
// dragged page are drawn is the window and container suites' to check.)
#include "runtime/ModuleApp.h"
#include "skin/XMLParseBase.h"
#include "tests/common/ImageKit.h"
#include "tools/common/Process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>

using nlohmann::json;

namespace {

const CString kConfig = GetConfigDirectory();
const CString kSkinFile = kConfig + L"Kelvane.xml";

struct Tour {
    KvProcess::RunResult run;
    json doc;
};

Tour RunTour(const ImageKit::TempFolder& dir, std::vector<std::wstring> args = {}) {
    args.insert(args.end(), {L"--tour", dir.Path()});
    Tour tour;
    tour.run = KvProcess::RunTool(L"kvdemo.exe", args);
    tour.doc = json::parse(ImageKit::ReadBytes(dir.File(L"tour.json")), nullptr, false);
    return tour;
}

const json& Step(const json& doc, const char* name) {
    for (const json& step : doc["steps"])
        if (step["name"] == name)
            return step;
    static const json none = json::object();
    return none;
}

// A file written beside the default skin, removed afterwards: a skin there
// finds the default art.
struct ConfigFile {
    explicit ConfigFile(const wchar_t* name, const std::string& bytes) : path(kConfig + name) {
        ImageKit::WriteBytes(path.GetString(), bytes);
    }
    ~ConfigFile() { ::DeleteFileW(path); }
    CString path;
};

} // namespace

TEST(DemoTour, EveryStepBehavesAndThePageSitsAtTheSkinsOffsetAfterTheDrag) {
    ImageKit::TempFolder dir(L"kvtour");
    const Tour tour = RunTour(dir);
    ASSERT_EQ(tour.run.nExitCode, 0u) << tour.run.strOut << tour.run.strErr;
    EXPECT_EQ(tour.run.strErr, ""); // the default skin has no problem to report
    ASSERT_TRUE(tour.doc.is_object()) << "no tour.json";
    EXPECT_EQ(tour.doc["ok"], true);
    EXPECT_EQ(tour.doc["doModal"], IDCANCEL);
    // Every step ran (start to broadcast-close) and says it behaved.
    ASSERT_EQ(tour.doc["steps"].size(), 8u);
    for (const json& step : tour.doc["steps"])
        EXPECT_EQ(step["ok"], true) << step.dump(1);
    for (const wchar_t* shot : {L"01-start.png", L"02-hover-close.png", L"07-drag.png"})
        EXPECT_GT(ImageKit::ReadBytes(dir.File(shot)).size(), 0u) << "no screenshot";

    CKvXMLParseBase container;
    container.LoadSkin(kSkinFile, L"CommonWindow\\MainDlgInfo", L"", L"default");
    POINT child = {0, 0};
    container.GetWindowInfoPoint(L"ChildPos", child);
    EXPECT_GT(child.x, 0);
    EXPECT_EQ(Step(tour.doc, "drag")["measured"]["pageOffset"], json::array({child.x, child.y}));
}

// A skin that cannot be read, or that names images that are not there, gives
// windows that still work and close, and lines that say what is wrong.
TEST(DemoTour, BadSkinInputIsReportedAndTheWindowStillCloses) {
    std::string skin = ImageKit::ReadBytes(kSkinFile.GetString());
    for (const char* name : {"container\\close.png", "swatch\\amber.png"})
        skin.replace(skin.find(name), std::strlen(name), "missing.png");
    const ConfigFile broken(L"kvdemo-missing-images.xml", skin);
    const struct {
        const wchar_t* skin;
        std::vector<std::string> lines;
    } rows[] = {
        {L"no-such-skin.xml", {"cannot read skin file", "no-such-skin.xml: no such file"}},
        {broken.path,
         {"BkImg \"missing.png\": no such file", "the swatch picture of RAD_AMBER cannot be read"}},
    };
    for (const auto& row : rows) {
        ImageKit::TempFolder dir(L"kvtour");
        const Tour tour = RunTour(dir, {L"--skin", row.skin});
        SCOPED_TRACE(tour.run.strOut + tour.run.strErr);
        EXPECT_LE(tour.run.nExitCode, 1u); // no crash, no hang
        for (const std::string& line : row.lines)
            EXPECT_NE(tour.run.strErr.find(line), std::string::npos) << line;
        ASSERT_TRUE(tour.doc.is_object());
        // The page keeps a size its notice or its items fit in.
        const json& page = Step(tour.doc, "start")["measured"]["page"];
        EXPECT_GE(page.value("right", 0) - page.value("left", 0), 200);
        EXPECT_GE(page.value("bottom", 0) - page.value("top", 0), 150);
        EXPECT_EQ(tour.doc["doModal"], IDCANCEL); // closed by the broadcast
        EXPECT_EQ(Step(tour.doc, "broadcast-close")["ok"], true);
    }
}
