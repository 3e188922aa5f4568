#include "tools/kvskin/ContactSheet.h"

#include "skin/DrawUtil.h"
#include "tools/common/Utf8.h"

#include <algorithm>

namespace {

// Pixels of the sheet's layout.
constexpr int kMargin = 16;      // around everything
constexpr int kLabelHeight = 20; // a column's or a row's label
constexpr int kCellGap = 12;     // between columns
constexpr int kRowGap = 12;      // below a row's cells
constexpr int kCellMargin = 4;   // of the picture around an item
// Wide enough for the longest look's name ("checked-disabled") in the labels' font.
constexpr int kMinColumnWidth = 112;

const Gdiplus::ARGB kPaper = 0xFFE4E9EF;
const Gdiplus::ARGB kInk = 0xFF1F2933;
const Gdiplus::ARGB kFrame = 0xFFC3CCD6;

CString FromUtf8(const std::string& text) {
    return CString(std::wstring(text.begin(), text.end()).c_str()); // the labels are ASCII
}

// The labels and cell frames on paper; the cells are copied in afterwards.
CapturePixels::ArgbImage DrawPaper(CSectionPicture& picture, const ContactSheetLayout& layout,
                                   const std::vector<ContactSheetRow>& rows) {
    Gdiplus::Bitmap paper(layout.szSheet.cx, layout.szSheet.cy, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&paper);
        graphics.Clear(Gdiplus::Color(kPaper));
        ItemFontInfo look;
        look.strFontName = L"DejaVu Sans";
        look.nFontSize = 12;
        look.nAlign = 0; // near
        const std::unique_ptr<Gdiplus::Font> pFont = CreateLookFont(look);
        const auto label = [&](const CString& text, int x, int y, int width) {
            DrawSkinText(graphics, text, *pFont, look, kInk,
                         Gdiplus::RectF(static_cast<Gdiplus::REAL>(x),
                                        static_cast<Gdiplus::REAL>(y),
                                        static_cast<Gdiplus::REAL>(width), kLabelHeight),
                         Gdiplus::HotkeyPrefixNone);
        };
        for (size_t c = 0; c < layout.columns.size(); ++c)
            label(FromUtf8(LookName(layout.columns[c])), layout.ColumnLeft(c), layout.nHeaderTop,
                  layout.nColumnWidth);
        Gdiplus::Pen pen{Gdiplus::Color(kFrame)};
        for (size_t r = 0; r < rows.size(); ++r) {
            const size_t nItem = rows[r].nItem;
            label(picture.Items()[nItem].strID + L" (" + FromUtf8(picture.KindOf(nItem)) + L")",
                  kMargin, layout.labelTops[r], layout.szSheet.cx - 2 * kMargin);
            const RECT& rc = rows[r].rcSource;
            for (const ItemLook& look : rows[r].looks)
                graphics.DrawRectangle(&pen, layout.ColumnLeft(layout.ColumnOf(look)) - 1,
                                       layout.cellTops[r] - 1,
                                       static_cast<INT>(rc.right - rc.left + 1),
                                       static_cast<INT>(rc.bottom - rc.top + 1));
        }
    }
    CapturePixels::ArgbImage image;
    image.nWidth = layout.szSheet.cx;
    image.nHeight = layout.szSheet.cy;
    image.pixels.resize(static_cast<size_t>(image.nWidth) * image.nHeight);
    Gdiplus::BitmapData data{};
    data.Width = image.nWidth;
    data.Height = image.nHeight;
    data.Stride = image.nWidth * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = image.pixels.data();
    Gdiplus::Rect whole(0, 0, image.nWidth, image.nHeight);
    if (paper.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                       PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return {};
    paper.UnlockBits(&data);
    return image;
}

// The source part of the picture, pixel for pixel with its alpha, at (x, y).
void CopyCell(const CapturePixels::ArgbImage& picture, const RECT& rcSource,
              CapturePixels::ArgbImage& sheet, int x, int y) {
    for (LONG row = rcSource.top; row < rcSource.bottom; ++row)
        std::copy_n(&picture.pixels[static_cast<size_t>(row) * picture.nWidth + rcSource.left],
                    rcSource.right - rcSource.left,
                    &sheet.pixels[static_cast<size_t>(y + row - rcSource.top) * sheet.nWidth + x]);
}

} // namespace

int ContactSheetLayout::ColumnLeft(size_t nColumn) const {
    return kMargin + static_cast<int>(nColumn) * (nColumnWidth + kCellGap);
}

int ContactSheetLayout::ColumnOf(const ItemLook& look) const {
    const auto found = std::find(columns.begin(), columns.end(), look);
    return found == columns.end() ? -1 : static_cast<int>(found - columns.begin());
}

std::vector<ContactSheetRow> ContactSheetRows(CSectionPicture& picture, SIZE szSection) {
    std::vector<ContactSheetRow> rows;
    const RECT rcSection = {0, 0, szSection.cx, szSection.cy};
    for (size_t i = 0; i < picture.Items().size(); ++i) {
        ContactSheetRow row{i, picture.Items()[i].rcPos, picture.LooksOf(i)};
        ::InflateRect(&row.rcSource, kCellMargin, kCellMargin);
        if (!row.looks.empty() && ::IntersectRect(&row.rcSource, &row.rcSource, &rcSection))
            rows.push_back(row);
    }
    return rows;
}

ContactSheetLayout LayOutContactSheet(const std::vector<ContactSheetRow>& rows) {
    ContactSheetLayout layout;
    layout.nColumnWidth = kMinColumnWidth;
    for (const ItemLook& look : kEveryLook)
        if (std::any_of(rows.begin(), rows.end(), [&](const ContactSheetRow& row) {
                return std::find(row.looks.begin(), row.looks.end(), look) != row.looks.end();
            }))
            layout.columns.push_back(look);
    layout.nHeaderTop = kMargin;
    int y = kMargin + kLabelHeight;
    for (const ContactSheetRow& row : rows) {
        layout.nColumnWidth =
            std::max(layout.nColumnWidth, static_cast<int>(row.rcSource.right - row.rcSource.left));
        layout.labelTops.push_back(y);
        layout.cellTops.push_back(y + kLabelHeight);
        y += kLabelHeight + (row.rcSource.bottom - row.rcSource.top) + kRowGap;
    }
    const int nColumns = static_cast<int>(layout.columns.size());
    layout.szSheet.cx = 2 * kMargin + nColumns * layout.nColumnWidth + (nColumns - 1) * kCellGap;
    layout.szSheet.cy = y - kRowGap + kMargin;
    return layout;
}

CapturePixels::ArgbImage DrawContactSheet(CSectionPicture& picture, const CString& strSection,
                                          std::string& strError) {
    const CapturePixels::ArgbImage normal = picture.Compose();
    if (normal.pixels.empty()) {
        strError = "kvskin: nothing to draw: " + ToUtf8(strSection) +
                   " gives no SheetSize that a picture can be made of\n";
        return {};
    }
    const std::vector<ContactSheetRow> rows =
        ContactSheetRows(picture, SIZE{normal.nWidth, normal.nHeight});
    if (rows.empty()) {
        strError = "kvskin: " + ToUtf8(strSection) + " has no item that acts on the mouse\n";
        return {};
    }
    const ContactSheetLayout layout = LayOutContactSheet(rows);
    CapturePixels::ArgbImage sheet = DrawPaper(picture, layout, rows);
    if (sheet.pixels.empty()) {
        strError = "kvskin: the contact sheet cannot be drawn\n";
        return {};
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        for (const ItemLook& look : rows[r].looks) {
            strError = picture.SetLook(rows[r].nItem, look);
            const CapturePixels::ArgbImage cell = picture.Compose();
            if (!strError.empty() || cell.pixels.empty())
                return {};
            CopyCell(cell, rows[r].rcSource, sheet, layout.ColumnLeft(layout.ColumnOf(look)),
                     layout.cellTops[r]);
        }
        picture.SetLook(rows[r].nItem, ItemLook{});
    }
    return sheet;
}
