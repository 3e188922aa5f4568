#include "tools/common/SkinLintRules.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

const FontFormatToken kFontFormatTokens[4] = {
    {L"font style bits", 0, 15, 0},
    {L"horizontal alignment", 0, 2, 1},
    {L"vertical alignment", 0, 2, 1},
    {L"trimming", 0, 5, 1},
};

SheetFit FitOnSheet(const RECT& rc, const POINT& ptSheet) {
    if (rc.left >= 0 && rc.top >= 0 && rc.right <= ptSheet.x && rc.bottom <= ptSheet.y)
        return SheetFit::Inside;
    bool apart = rc.right <= 0 || rc.bottom <= 0 || rc.left >= ptSheet.x || rc.top >= ptSheet.y;
    return apart ? SheetFit::Outside : SheetFit::Partly;
}

int NameEditDistance(const wchar_t* pszA, const wchar_t* pszB) {
    std::wstring a(pszA), b(pszB);
    for (std::wstring* text : {&a, &b})
        std::transform(text->begin(), text->end(), text->begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    // Rows i - 2, i - 1 and i of the table of distances between prefixes.
    std::vector<int> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        previous[j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = static_cast<int>(i);
        for (size_t j = 1; j <= b.size(); ++j) {
            const int nReplace = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, nReplace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[b.size()];
}

const SkinName* NearestSkinName(const SkinNameTable& names, const wchar_t* pszName, int nMaxEdits) {
    const SkinName* pNearest = nullptr;
    int nNearest = nMaxEdits + 1;
    for (const SkinName& name : names) {
        const int nEdits = NameEditDistance(pszName, name.pszName);
        if (nEdits < nNearest) {
            nNearest = nEdits;
            pNearest = &name;
        }
    }
    return pNearest;
}
