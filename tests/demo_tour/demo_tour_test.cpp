// kvdemo's tour, run as a user runs it: a separate process on this display.
// Its own verdicts come from tour.json; the screenshots are checked against
// the default skin's own art: the close item's hot frame where the pointer
// hovered it, the page's picture at "ChildPos" after the drag.
#include "runtime/ModuleApp.h"
#include "skin/XMLParseBase.h"
#include "tests/common/ImageKit.h"
#include "tools/common/Process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <memory>

using nlohmann::json;

namespace {

const CString kConfig = GetConfigDirectory();
const CString kSkinFile = kConfig + L"Kelvane.xml";

struct Section : CKvXMLParseBase {
    explicit Section(const wchar_t* name) { LoadSkin(kSkinFile, name, L"", L"default"); }
    CString Path(const wchar_t* key) {
        CString path;
        GetWindowInfo(key, path, TRUE);
        return path;
    }
    const _XmlDynamicItem* Item(const wchar_t* id) const {
        for (const _XmlDynamicItem& item : m_arrDynamicItems)
            if (item.strID.CompareNoCase(id) == 0)
                return &item;
        return nullptr;
    }
};

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

std::unique_ptr<Gdiplus::Bitmap> Picture(const std::wstring& path) {
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(path.c_str());
    return bitmap->GetLastStatus() == Gdiplus::Ok ? std::move(bitmap) : nullptr;
}

// Equal within a step of rounding on each channel.
bool Near(Gdiplus::ARGB a, Gdiplus::ARGB b) {
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > 3)
            return false;
    return true;
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

TEST(DemoTour, EveryStepBehavesAndTheScreenshotsShowTheHoverAndThePageAtItsOffset) {
    ImageKit::TempFolder dir(L"kvtour");
    const Tour tour = RunTour(dir);
    ASSERT_EQ(tour.run.nExitCode, 0u) << tour.run.strOut << tour.run.strErr;
    EXPECT_EQ(tour.run.strErr, ""); // the default skin has no problem to report
    ASSERT_TRUE(tour.doc.is_object()) << "no tour.json";
    EXPECT_EQ(tour.doc["ok"], true);
    EXPECT_EQ(tour.doc["doModal"], IDCANCEL);
    // Every step ran (start to broadcast-close; the screenshots below are
    // found by their names) and says it behaved.
    ASSERT_EQ(tour.doc["steps"].size(), 8u);
    for (const json& step : tour.doc["steps"])
        EXPECT_EQ(step["ok"], true) << step.dump(1);

    // Where the pointer hovered, the close item shows its hot frame over the
    // band; before, the band showed through.
    Section container(L"CommonWindow\\MainDlgInfo"), page(L"CommonWindow\\DemoPage");
    const _XmlDynamicItem* close = container.Item(L"BTN_CLOSE");
    ASSERT_NE(close, nullptr);
    auto strip = Picture(close->strBkImg.GetString());
    auto back = Picture(container.Path(L"BackBmp").GetString());
    auto start = Picture(dir.File(L"01-start.png")),
         hover = Picture(dir.File(L"02-hover-close.png"));
    ASSERT_TRUE(strip && back && start && hover);
    const int width = close->rcPos.right - close->rcPos.left;
    int compared = 0;
    for (int y = 0; y < close->rcPos.bottom - close->rcPos.top; ++y)
        for (int x = 0; x < width; ++x) {
            const Gdiplus::ARGB hot = ImageKit::PixelAt(strip.get(), width + x, y);
            // Where the hot frame is opaque and the normal one clear.
            if (hot >> 24 != 0xFF || ImageKit::PixelAt(strip.get(), x, y) >> 24 != 0)
                continue;
            const int sx = close->rcPos.left + x, sy = close->rcPos.top + y;
            EXPECT_TRUE(Near(ImageKit::PixelAt(hover.get(), sx, sy), hot)) << x << "," << y;
            EXPECT_TRUE(
                Near(ImageKit::PixelAt(start.get(), sx, sy), ImageKit::PixelAt(back.get(), sx, sy)))
                << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 100);

    // After the drag the page's own background shows at ChildPos wherever
    // it differs from the container's well and no control covers it.
    const json& drag = Step(tour.doc, "drag")["measured"];
    POINT child = {0, 0};
    container.GetWindowInfoPoint(L"ChildPos", child);
    EXPECT_EQ(drag["pageOffset"], json::array({child.x, child.y}));
    auto pageBack = Picture(page.Path(L"BackBmp").GetString());
    auto moved = Picture(dir.File(L"07-drag.png"));
    ASSERT_TRUE(pageBack && moved);
    compared = 0;
    for (UINT y = 0; y < pageBack->GetHeight(); y += 3)
        for (UINT x = 0; x < pageBack->GetWidth(); x += 3) {
            const POINT pt = {static_cast<LONG>(x), static_cast<LONG>(y)};
            bool covered = false;
            for (const _XmlDynamicItem& item : page.m_arrDynamicItems)
                covered |= ::PtInRect(&item.rcPos, pt) != FALSE;
            const Gdiplus::ARGB own = ImageKit::PixelAt(pageBack.get(), x, y);
            if (covered || Near(own, ImageKit::PixelAt(back.get(), child.x + x, child.y + y)))
                continue;
            EXPECT_TRUE(Near(ImageKit::PixelAt(moved.get(), child.x + x, child.y + y), own))
                << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, 1000);
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
