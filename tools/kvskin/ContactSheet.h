// kvskin render --states: one picture of every acting item of a section in
// each of its looks, a grid with a column per look and a row per item. Each
// cell is the part of the section's picture around the item, drawn with that
// item in that look and every other item normal, so a cell is exactly what
// `render --state ID=LOOK` shows there.
#pragma once

#include "tools/common/CapturePixels.h"
#include "tools/kvskin/SectionPicture.h"

#include <string>
#include <vector>

// One row of the sheet: an item, the part of the section's picture its cells
// show, and the looks it has.
struct ContactSheetRow {
    size_t nItem;
    RECT rcSource; // in the section's picture
    std::vector<ItemLook> looks;
};

// Where everything goes: the columns' looks, and for each row the top of its
// label and of its cells. Cells of column c start at ColumnLeft(c).
struct ContactSheetLayout {
    SIZE szSheet = {0, 0};
    std::vector<ItemLook> columns;
    int nColumnWidth = 0;
    int nHeaderTop = 0;
    std::vector<int> labelTops;
    std::vector<int> cellTops;

    int ColumnLeft(size_t nColumn) const;
    // The column of the look, or -1.
    int ColumnOf(const ItemLook& look) const;
};

// The rows of a section: each acting item whose cell is on the sheet, with
// the part of the picture around it (a margin beyond its rectangle, cut to
// the sheet).
std::vector<ContactSheetRow> ContactSheetRows(CSectionPicture& picture, SIZE szSection);

// The grid of those rows: a column for each look any row has, in the order of
// kEveryLook; labels above the columns and above each row's cells.
ContactSheetLayout LayOutContactSheet(const std::vector<ContactSheetRow>& rows);

// The sheet, drawn; empty (and strError) when the section has no sheet or no
// acting item, or a picture cannot be made.
CapturePixels::ArgbImage DrawContactSheet(CSectionPicture& picture, const CString& strSection,
                                          std::string& strError);
