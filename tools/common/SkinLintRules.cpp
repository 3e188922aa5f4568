#include "tools/common/SkinLintRules.h"

const FontFormatToken kFontFormatTokens[4] = {
    {L"font style bits", 0, 15},
    {L"horizontal alignment", 0, 2},
    {L"vertical alignment", 0, 2},
    {L"trimming", 0, 5},
};

SheetFit FitOnSheet(const RECT& rc, const POINT& ptSheet) {
    if (rc.left >= 0 && rc.top >= 0 && rc.right <= ptSheet.x && rc.bottom <= ptSheet.y)
        return SheetFit::Inside;
    bool apart = rc.right <= 0 || rc.bottom <= 0 || rc.left >= ptSheet.x || rc.top >= ptSheet.y;
    return apart ? SheetFit::Outside : SheetFit::Partly;
}
