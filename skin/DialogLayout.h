// Pure arithmetic behind the skinned dialog: an item's resolved text look,
// the outer window size for a sheet, the layered constant alpha, the caption
// drag test and the roles of well-known item IDs. Nothing here touches a
// window or GDI, so all of it is testable by value. The SDK carries this
// header for the types that the dialog headers use; the functions are the
// module's own and not exported (tests compile skin/DialogLayout.cpp in).
#pragma once

#include <afx.h>

#include "skin/TextLook.h"

#include <cstdint>
#include <vector>

// The text settings of one side (an item, or the window's defaults) as the
// skin gives them: lists still as text.
struct ItemTextSource {
    CString strFontName;
    int nFontSize = 0;
    CString strFontColor;  // normal;disabled
    CString strFontFormat; // style;align;lineAlign;trimming
};

// Each setting comes from the item when it gives one, else from the window.
// A list is taken whole from one side: item and window tokens never mix.
ItemFontInfo ResolveItemFontInfo(const ItemTextSource& item, const ItemTextSource& window);

// The window size that gives a client area of the sheet: with any caption
// bit in dwStyle the dialog frame and caption are added.
struct FrameMetrics {
    int cxDlgFrame;
    int cyDlgFrame;
    int cyCaption;
};
SIZE OuterWindowSize(int cxSheet, int cySheet, DWORD dwStyle, const FrameMetrics& metrics);

// The constant alpha of a layered update from an opacity in percent,
// truncating: 100 and more give 255, 50 gives 127, 0 and less give 0.
BYTE ConstantAlphaFromPercent(int nPercent);

// A caption band height of 0 stands for the whole window.
constexpr int kWholeWindowCaption = 10000;

// Whether a left press at client row y starts moving the window. A child
// window never moves by its caption band.
bool StartsCaptionDrag(DWORD dwStyle, int nIsDrag, int nCaptionHeight, int y);

// What an item of the description makes: a label (type 1), or a button
// (types 2 and 4, and the windowless dialog's drawn items) of the kind the
// type bits of its "ControlStyle" give; any other type makes nothing.
enum class ItemKind { None, Label, PushButton, CheckBox, RadioButton };
ItemKind ItemKindOf(int32_t nControlType, uint32_t nControlStyle);
// How many frames an item's state strip holds: 8 for check boxes and radio
// buttons, 4 for push buttons, none for labels and items that make nothing.
int StripFrameCount(ItemKind kind);

// Items' controls get these IDs: kFirstItemID + index.
constexpr UINT kFirstItemID = 256;

// The item index that a WM_COMMAND's wParam names, or -1 when its control
// ID is not an item's or the notification is no click (a label also tells
// of being enabled, disabled and double-clicked).
int ItemIndexFromCommand(WPARAM wParam, size_t nItemCount);

// What a click on an item does, by its "ID" in any case.
enum class ItemRole { None, Cancel, Ok, Yes, No, Minimize };
ItemRole ItemRoleFromID(const CString& strID);

// The longest sheet side made: larger than any screen, and small enough that
// a sheet is built and composed without stalling the window.
constexpr int kMaxSheetSide = 8192;

// Whether a cx x cy sheet can be made as one 32-bit section: both sides
// from 1 to kMaxSheetSide.
bool SheetFitsSection(int cx, int cy);

// The parts of a layered sheet to compose and push again after a change.
// Each rectangle is cut to the sheet; an empty one adds nothing; one that
// shares a pixel with parts already listed, or whose bounds with one of them
// hold at most a quarter more than the two, is merged with it into their
// bounds. The list never covers a pixel twice.
void AddDirtyRect(std::vector<RECT>& dirty, const RECT& rc, SIZE sheet);
// The one rectangle a push names for all the parts: their bounds (empty for none).
RECT DirtyBounds(const std::vector<RECT>& dirty);
// Whether two rectangles share a pixel (left and top edges inside).
bool RectsOverlap(const RECT& a, const RECT& b);

// Where the container puts everything when its skin gives no usable sheet
// (the file cannot be loaded, or its section has no "SheetSize"): a plain
// sheet at least as large as the template, a caption band to drag it by, a
// close item at the band's right end, and the page right below the band.
// Band and close item are drawn at nDpi; the template and page sizes are
// the windows' own, in pixels already.
struct ContainerFallbackLayout {
    SIZE szSheet;
    POINT ptChildPos;
    int nCaptionHeight;
    RECT rcClose;
};
ContainerFallbackLayout FallbackContainerLayout(SIZE szTemplate, SIZE szPage, int nDpi = 96);

// The skin file the container reads: strName itself when it is a full path
// (a drive with its root, or a network path), else below strConfigDir.
CString ContainerSkinPath(const CString& strConfigDir, const CString& strName);
