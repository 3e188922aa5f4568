#include "skin/DialogLayout.h"

#include "skin/ControlLayout.h"
#include "skin/DisplayScale.h"
#include "skin/SkinValue.h"

#include <algorithm>

namespace {

// The container's fallback look, in pixels at 96 DPI.
const int kFallbackCaption = 28;
const int kFallbackClose = 20;

const CString& ItemOrWindow(const CString& strItem, const CString& strWindow) {
    return strItem.IsEmpty() ? strWindow : strItem;
}

} // namespace

ItemFontInfo ResolveItemFontInfo(const ItemTextSource& item, const ItemTextSource& window) {
    ItemFontInfo info;
    info.nFontSize = item.nFontSize >= 1 ? item.nFontSize : window.nFontSize;
    info.strFontName = ItemOrWindow(item.strFontName, window.strFontName);

    const std::vector<CString> colours =
        SkinListTokens(ItemOrWindow(item.strFontColor, window.strFontColor));
    int nColour = 0;
    ReadListNumber(colours, 0, nColour);
    info.clrNormal = static_cast<uint32_t>(nColour);
    info.clrDisabled = info.clrNormal;
    // An empty second colour means the text colour serves for both.
    if (colours.size() > 1 && !colours[1].IsEmpty()) {
        nColour = 0;
        ReadListNumber(colours, 1, nColour);
        info.clrDisabled = static_cast<uint32_t>(nColour);
    }

    const std::vector<CString> format =
        SkinListTokens(ItemOrWindow(item.strFontFormat, window.strFontFormat));
    ReadListNumber(format, 0, info.nFontStyle);
    ReadListNumber(format, 1, info.nAlign);
    ReadListNumber(format, 2, info.nLineAlign);
    ReadListNumber(format, 3, info.nTrimming);
    return info;
}

SIZE OuterWindowSize(int cxSheet, int cySheet, DWORD dwStyle, const FrameMetrics& metrics) {
    if (!(dwStyle & WS_CAPTION))
        return SIZE{cxSheet, cySheet};
    return SIZE{cxSheet + 2 * metrics.cxDlgFrame,
                cySheet + 2 * metrics.cyDlgFrame + metrics.cyCaption};
}

BYTE ConstantAlphaFromPercent(int nPercent) {
    // Capped before multiplying, so a huge percentage cannot overflow.
    if (nPercent >= 100)
        return 255;
    if (nPercent <= 0)
        return 0;
    return static_cast<BYTE>(nPercent * 255 / 100);
}

bool StartsCaptionDrag(DWORD dwStyle, int nIsDrag, int nCaptionHeight, int y) {
    if ((dwStyle & WS_CHILD) || nIsDrag == 0)
        return false;
    return y <= (nCaptionHeight == 0 ? kWholeWindowCaption : nCaptionHeight);
}

ItemKind ItemKindOf(int32_t nControlType, uint32_t nControlStyle) {
    if (nControlType == 1)
        return ItemKind::Label;
    if (nControlType != 2 && nControlType != 4)
        return ItemKind::None;
    switch (KvLayout::ButtonKindFromStyle(nControlStyle)) {
    case KvLayout::kKindCheck:
        return ItemKind::CheckBox;
    case KvLayout::kKindRadio:
        return ItemKind::RadioButton;
    default:
        return ItemKind::PushButton;
    }
}

int StripFrameCount(ItemKind kind) {
    switch (kind) {
    case ItemKind::CheckBox:
    case ItemKind::RadioButton:
        return KvLayout::kToggleFrameCount;
    case ItemKind::PushButton:
        return 4;
    default:
        return 0;
    }
}

int ItemIndexFromCommand(WPARAM wParam, size_t nItemCount) {
    const int nIndex = static_cast<int>(LOWORD(wParam)) - static_cast<int>(kFirstItemID);
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= nItemCount || HIWORD(wParam) != BN_CLICKED)
        return -1;
    return nIndex;
}

ItemRole ItemRoleFromID(const CString& strID) {
    static const struct {
        LPCWSTR pszID;
        ItemRole role;
    } kRoles[] = {
        {L"CLOSE", ItemRole::Cancel}, {L"IDCANCEL", ItemRole::Cancel},
        {L"IDOK", ItemRole::Ok},      {L"IDYES", ItemRole::Yes},
        {L"IDNO", ItemRole::No},      {L"MINIMIZE", ItemRole::Minimize},
    };
    for (const auto& entry : kRoles)
        if (strID.CompareNoCase(entry.pszID) == 0)
            return entry.role;
    return ItemRole::None;
}

bool SheetFitsSection(int cx, int cy) {
    return cx >= 1 && cy >= 1 && cx <= kMaxSheetSide && cy <= kMaxSheetSide;
}

ContainerFallbackLayout FallbackContainerLayout(SIZE szTemplate, SIZE szPage, int nDpi) {
    const auto side = [](LONG n) { return std::clamp<LONG>(n, 0, kMaxSheetSide); };
    const int nCaption = KvScale::Length(kFallbackCaption, nDpi);
    const int nClose = KvScale::Length(kFallbackClose, nDpi);
    const int nMargin = (nCaption - nClose) / 2;
    ContainerFallbackLayout layout;
    layout.nCaptionHeight = nCaption;
    layout.szSheet.cx =
        std::max({side(szTemplate.cx), side(szPage.cx), static_cast<LONG>(nClose + 2 * nMargin)});
    layout.szSheet.cy = std::max(side(szTemplate.cy), nCaption + side(szPage.cy));
    layout.ptChildPos = POINT{0, nCaption};
    const LONG right = layout.szSheet.cx - nMargin;
    layout.rcClose = RECT{right - nClose, nMargin, right, nMargin + nClose};
    return layout;
}

CString ContainerSkinPath(const CString& strConfigDir, const CString& strName) {
    // Only a drive with its root or a network path: "C:a.xml" and "\\a.xml"
    // depend on a current folder, and stay below the configuration directory.
    const bool bDrive = strName.GetLength() >= 3 && (strName[0] | 0x20) >= L'a' &&
                        (strName[0] | 0x20) <= L'z' && strName[1] == L':' &&
                        (strName[2] == L'\\' || strName[2] == L'/');
    const bool bNetwork = strName.Left(2) == L"\\\\";
    return bDrive || bNetwork ? strName : strConfigDir + strName;
}

bool RectsOverlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

namespace {

long long Area(const RECT& rc) {
    return static_cast<long long>(rc.right - rc.left) * (rc.bottom - rc.top);
}

// Two parts are composed as one when they overlap, or when their bounds
// hold little more than they do: one part costs less than two then.
bool ComposedAsOne(const RECT& a, const RECT& b) {
    return RectsOverlap(a, b) || 4 * Area(DirtyBounds({a, b})) <= 5 * (Area(a) + Area(b));
}

} // namespace

void AddDirtyRect(std::vector<RECT>& dirty, const RECT& rc, SIZE sheet) {
    RECT added = {(std::max<LONG>)(rc.left, 0), (std::max<LONG>)(rc.top, 0),
                  (std::min)(rc.right, sheet.cx), (std::min)(rc.bottom, sheet.cy)};
    if (added.left >= added.right || added.top >= added.bottom)
        return;
    // A merge grows the rectangle, which may then meet parts it missed before.
    for (bool bMerged = true; bMerged;) {
        bMerged = false;
        for (size_t i = 0; i < dirty.size(); ++i)
            if (ComposedAsOne(dirty[i], added)) {
                added = DirtyBounds({dirty[i], added});
                dirty.erase(dirty.begin() + static_cast<std::ptrdiff_t>(i));
                bMerged = true;
                break;
            }
    }
    dirty.push_back(added);
}

RECT DirtyBounds(const std::vector<RECT>& dirty) {
    if (dirty.empty())
        return RECT{0, 0, 0, 0};
    RECT bounds = dirty.front();
    for (const RECT& rc : dirty) {
        bounds.left = (std::min)(bounds.left, rc.left);
        bounds.top = (std::min)(bounds.top, rc.top);
        bounds.right = (std::max)(bounds.right, rc.right);
        bounds.bottom = (std::max)(bounds.bottom, rc.bottom);
    }
    return bounds;
}
