// The default skin that the build draws into the configuration folder, read
// by the real reader: both sections load, the container frames the page, each
// strip fits its item, and every file the skin names decodes.
#include "runtime/ModuleApp.h"
#include "skin/ControlLayout.h"
#include "skin/XMLParseBase.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

const wchar_t kContainer[] = L"CommonWindow\\MainDlgInfo";
const wchar_t kPage[] = L"CommonWindow\\DemoPage";

std::unique_ptr<CKvXMLParseBase> LoadSection(const wchar_t* section) {
    auto reader = std::make_unique<CKvXMLParseBase>();
    reader->LoadSkin(GetConfigDirectory() + L"Kelvane.xml", section, L"", L"default");
    return reader;
}

POINT Entry(CKvXMLParseBase& reader, const wchar_t* key) {
    POINT pt = {0, 0};
    reader.GetWindowInfoPoint(key, pt);
    return pt;
}

// How the toolkit opens a file: window icons and cursors through LoadImage,
// every other picture (item icons included) through GDI+.
enum class Loader { Icon, Cursor, Gdiplus };

struct NamedFile {
    CString strPath;
    Loader loader;
};

bool Decodes(const NamedFile& file) {
    if (file.loader == Loader::Gdiplus) {
        Gdiplus::Bitmap bitmap(file.strPath);
        return bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetWidth() > 0;
    }
    UINT type = file.loader == Loader::Icon ? IMAGE_ICON : IMAGE_CURSOR;
    HANDLE h = LoadImageW(nullptr, file.strPath, type, 0, 0, LR_LOADFROMFILE);
    if (h && type == IMAGE_ICON)
        DestroyIcon(static_cast<HICON>(h));
    else if (h)
        DestroyCursor(static_cast<HCURSOR>(h));
    return h != nullptr;
}

SIZE ImageSize(const CString& path) {
    Gdiplus::Bitmap bitmap(path);
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return {0, 0};
    return {static_cast<LONG>(bitmap.GetWidth()), static_cast<LONG>(bitmap.GetHeight())};
}

BYTE AlphaAt(const CString& path, int x, int y) {
    Gdiplus::Bitmap bitmap(path);
    Gdiplus::Color colour;
    bitmap.GetPixel(x, y, &colour);
    return colour.GetAlpha();
}

} // namespace

TEST(DefaultSkin, ContainerIsLayeredAndFramesThePageAtChildPos) {
    auto container = LoadSection(kContainer);
    auto page = LoadSection(kPage);
    POINT sheet = Entry(*container, L"SheetSize"), child = Entry(*container, L"ChildPos");
    POINT pageSize = Entry(*page, L"SheetSize");
    int layered = 0;
    container->GetWindowInfoInt(L"IsLayerWnd", layered);
    EXPECT_EQ(1, layered);
    ASSERT_GT(pageSize.x, 0);
    EXPECT_GT(child.x, 0);
    EXPECT_LE(child.x + pageSize.x, sheet.x);
    EXPECT_LE(child.y + pageSize.y, sheet.y);

    // Real per-pixel alpha: the shadow's outer corner is clear, the well under
    // the page is opaque.
    CString back;
    container->GetWindowInfo(L"BackBmp", back, TRUE);
    EXPECT_EQ(sheet.x, ImageSize(back).cx);
    EXPECT_EQ(0, AlphaAt(back, 0, 0));
    EXPECT_EQ(255, AlphaAt(back, child.x + pageSize.x / 2, child.y + pageSize.y / 2));

    ASSERT_EQ(1u, container->m_arrDynamicItems.size());
    const _XmlDynamicItem& close = container->m_arrDynamicItems[0];
    EXPECT_STREQ(L"BTN_CLOSE", close.strID);
    EXPECT_EQ(2, close.nControlType);
    EXPECT_FALSE(close.strToolTip.IsEmpty());
    // Four frames as wide as the item: normal, hot, pressed and the unused one.
    SIZE strip = ImageSize(close.strBkImg);
    EXPECT_EQ(4 * (close.rcPos.right - close.rcPos.left), strip.cx);
    EXPECT_EQ(close.rcPos.bottom - close.rcPos.top, strip.cy);
}

TEST(DefaultSkin, PageUsesEveryControlKindAndEachStripFitsItsButton) {
    auto page = LoadSection(kPage);
    std::set<int> types, kinds;
    bool labelImage = false, labelCursor = false;
    for (const _XmlDynamicItem& item : page->m_arrDynamicItems) {
        SCOPED_TRACE(testing::Message() << CStringA(item.strID).GetString());
        types.insert(item.nControlType);
        int width = item.rcPos.right - item.rcPos.left, height = item.rcPos.bottom - item.rcPos.top;
        if (item.nControlType == 1) {
            labelImage |= !item.strBkImg.IsEmpty();
            labelCursor |= !item.strCursor.IsEmpty();
            continue;
        }
        int kind = KvLayout::ButtonKindFromStyle(item.nControlStyle);
        kinds.insert(kind);
        SIZE strip = ImageSize(item.strBkImg);
        if (kind == KvLayout::kKindPush) {
            EXPECT_EQ(4 * width, strip.cx);
            EXPECT_EQ(height, strip.cy);
        } else {
            EXPECT_EQ(0, strip.cx % KvLayout::kToggleFrameCount);
            EXPECT_GT(strip.cx, 0);
            EXPECT_LE(strip.cy, height);
        }
    }
    EXPECT_EQ((std::set<int>{1, 2, 4}), types);
    EXPECT_EQ((std::set<int>{KvLayout::kKindPush, KvLayout::kKindCheck, KvLayout::kKindRadio}),
              kinds);
    EXPECT_TRUE(labelImage);
    EXPECT_TRUE(labelCursor);
}

TEST(DefaultSkin, EveryFileTheSkinNamesDecodes) {
    std::vector<NamedFile> files;
    for (const wchar_t* section : {kContainer, kPage}) {
        auto reader = LoadSection(section);
        for (const auto& entry : reader->m_mapWindowInfo) {
            // Image entries: the two the dialogs read and the demo's swatches.
            bool icon = entry.first == L"Icon";
            if (icon || entry.first == L"BackBmp" || entry.first.Left(7) == L"Swatch_") {
                CString path;
                reader->GetWindowInfo(entry.first, path, TRUE);
                files.push_back({path, icon ? Loader::Icon : Loader::Gdiplus});
            }
        }
        for (const _XmlDynamicItem& item : reader->m_arrDynamicItems) {
            for (const CString* path : {&item.strBkImg, &item.strIcon})
                if (!path->IsEmpty())
                    files.push_back({*path, Loader::Gdiplus});
            if (!item.strCursor.IsEmpty())
                files.push_back({item.strCursor, Loader::Cursor});
        }
    }
    EXPECT_GE(files.size(), 15u);
    for (const NamedFile& file : files)
        EXPECT_TRUE(Decodes(file)) << CStringA(file.strPath).GetString();
}
