// The default skin that the build draws into the configuration folder, read
// by the real reader: each push strip fits its item and every image comes
// drawn for 150% and 200%. (The demo tour runs the container around the page,
// finds the page at the skin's ChildPos and wants no lint line for the skin;
// that the page has labels, check boxes, radios and push buttons, the access
// suite reads.)
#include "runtime/ModuleApp.h"
#include "skin/ControlLayout.h"
#include "skin/DialogModel.h"
#include "skin/DisplayScale.h"
#include "skin/ScaledImage.h"
#include "skin/XMLParseBase.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

const CString kSkinFile = GetConfigDirectory() + L"Kelvane.xml";
const wchar_t* const kSections[] = {L"CommonWindow\\MainDlgInfo", L"CommonWindow\\DemoPage"};

// Width and height; zeros when the file does not decode.
std::array<UINT, 2> Picture(const CString& path) {
    Gdiplus::Bitmap bitmap(path);
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return {0, 0};
    return {bitmap.GetWidth(), bitmap.GetHeight()};
}

// How many equal frames the reader cuts an item's background image into.
int StripFrames(const _XmlDynamicItem& item) {
    if (item.nControlType == 1)
        return 1;
    return KvLayout::ButtonKindFromStyle(item.nControlStyle) == KvLayout::kKindPush ? 4 : 8;
}

struct NamedImage {
    CString path;
    int frames;
};

// Every picture a section names: its background, swatches, item strips and icons.
std::vector<NamedImage> ImagesOf(CKvXMLParseBase& section) {
    std::vector<NamedImage> images;
    for (const auto& entry : section.m_mapWindowInfo) {
        if (entry.first != L"BackBmp" && entry.first.Left(7) != L"Swatch_")
            continue;
        CString path;
        section.GetWindowInfo(entry.first, path, TRUE);
        images.push_back({path, 1});
    }
    for (const _XmlDynamicItem& item : section.m_arrDynamicItems) {
        if (!item.strBkImg.IsEmpty())
            images.push_back({item.strBkImg, StripFrames(item)});
        if (!item.strIcon.IsEmpty())
            images.push_back({item.strIcon, 1});
    }
    return images;
}

} // namespace

// Every image (background, the swatches the demo switches to, which lint
// does not know, strips and icons) decodes; at 150% and 200% it is read from
// its own variant, never resampled, and the variant is exactly the size the
// reader would resample the base image to, frame by frame; a push strip's
// frames are as wide as its button, whose edges are scaled on their own (at
// 200% exactly twice, so a base strip that does not fit its button fails too).
TEST(DefaultSkin, EveryImageHasVariantsOfTheSizeTheReaderDrawsAt150And200) {
    for (const int dpi : {144, 192}) {
        const int percent = KvScale::PercentOfDpi(dpi);
        for (const wchar_t* name : kSections) {
            CKvXMLParseBase section;
            section.LoadSkin(kSkinFile, name, L"", L"default");
            for (const NamedImage& image : ImagesOf(section)) {
                const ImageSource source = ImageSourceAt(image.path, dpi);
                EXPECT_FALSE(source.bResample) << image.path.GetString() << " at " << percent;
                EXPECT_EQ(percent, source.nPercent) << image.path.GetString();
                const std::array<UINT, 2> base = Picture(image.path);
                EXPECT_GT(base[0], 0u) << image.path.GetString() << " does not decode";
                const SIZE want = KvScale::ImageSizeAt(SIZE{LONG(base[0]), LONG(base[1])}, 100, dpi,
                                                       image.frames);
                const std::array<UINT, 2> variant = Picture(source.strPath);
                EXPECT_EQ(UINT(want.cx), variant[0]) << source.strPath.GetString();
                EXPECT_EQ(UINT(want.cy), variant[1]) << source.strPath.GetString();
            }
            ScaleItems(section.m_arrDynamicItems, dpi);
            for (const _XmlDynamicItem& item : section.m_arrDynamicItems) {
                if (StripFrames(item) != 4)
                    continue;
                const std::array<UINT, 2> strip = Picture(ImageVariantPath(item.strBkImg, percent));
                EXPECT_EQ(UINT(4 * (item.rcPos.right - item.rcPos.left)), strip[0])
                    << item.strID.GetString() << " at " << percent;
                EXPECT_EQ(UINT(item.rcPos.bottom - item.rcPos.top), strip[1]);
            }
        }
    }
}
