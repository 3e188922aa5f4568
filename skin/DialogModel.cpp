#include "skin/DialogModel.h"

#include "skin/DrawUtil.h"
#include "skin/ImageLimits.h"
#include "skin/SkinSchema.h"
#include "skin/SkinValue.h"

namespace {

// A number entry by the number rule; fallback when it is absent or empty.
int NumberEntry(CKvXMLParseBase& reader, LPCWSTR pszKey, int nFallback = 0) {
    int nValue = 0;
    return reader.GetWindowInfoInt(pszKey, nValue) ? nValue : nFallback;
}

// A plain decimal entry, as the dialog font's weight and character set are
// written; 0 when absent or unreadable.
int DecimalEntry(CKvXMLParseBase& reader, LPCWSTR pszKey) {
    CString strValue;
    reader.GetWindowInfo(pszKey, strValue, FALSE);
    int32_t nValue = 0;
    ReadSkinIntegers(strValue, &nValue, 1);
    return nValue;
}

CString TextEntry(CKvXMLParseBase& reader, LPCWSTR pszKey, BOOL bPathForm = FALSE) {
    CString strValue;
    reader.GetWindowInfo(pszKey, strValue, bPathForm);
    return strValue;
}

POINT PairEntry(CKvXMLParseBase& reader, LPCWSTR pszKey) {
    POINT pt = {0, 0};
    reader.GetWindowInfoPoint(pszKey, pt);
    return pt;
}

} // namespace

std::unique_ptr<Gdiplus::Bitmap> CreateButtonFaceSheet(SIZE sheet) {
    if (!SheetFitsSection(sheet.cx, sheet.cy))
        return nullptr;
    auto pSheet = std::make_unique<Gdiplus::Bitmap>(sheet.cx, sheet.cy, PixelFormat32bppARGB);
    if (pSheet->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    Gdiplus::Graphics graphics(pSheet.get());
    if (graphics.Clear(Gdiplus::Color(0xFF, GetRValue(face), GetGValue(face), GetBValue(face))) !=
        Gdiplus::Ok)
        return nullptr;
    return pSheet;
}

KvWindowModel ReadWindowModel(CKvXMLParseBase& reader) {
    KvWindowModel window;
    const POINT sheet = PairEntry(reader, SkinKey::SheetSize);
    window.szSheet = SIZE{sheet.x, sheet.y};
    window.bLayered = NumberEntry(reader, SkinKey::IsLayerWnd) != 0;
    // Left out, the opacity is full: 0 would show nothing and let every click through.
    window.nAlphaPercent = NumberEntry(reader, SkinKey::AlpahValue, 100);
    window.bDrag = NumberEntry(reader, SkinKey::IsDrag) != 0;
    window.nCaptionHeight = NumberEntry(reader, SkinKey::CaptionHeight);
    window.bShowToolTip = NumberEntry(reader, SkinKey::ShowToolTip) != 0;
    window.nToolTipWidth = NumberEntry(reader, SkinKey::ToolTipWidth);
    window.strTitle = TextEntry(reader, SkinKey::Title);
    window.strIconPath = TextEntry(reader, SkinKey::Icon, TRUE);
    window.strBackPath = TextEntry(reader, SkinKey::BackBmp, TRUE);
    window.ptChildPos = PairEntry(reader, SkinKey::ChildPos);
    window.font.strFaceName = TextEntry(reader, SkinKey::FontName);
    window.font.nSize = NumberEntry(reader, SkinKey::FontSize);
    window.font.nWeight = DecimalEntry(reader, SkinKey::FontWeight);
    window.font.nCharSet = DecimalEntry(reader, SkinKey::FontCharSet);
    window.itemDefaults.strFontName = window.font.strFaceName;
    window.itemDefaults.nFontSize = window.font.nSize;
    window.itemDefaults.strFontColor = TextEntry(reader, SkinKey::FontColor);
    window.itemDefaults.strFontFormat = TextEntry(reader, SkinKey::FontFormat);
    return window;
}

ItemFontInfo ItemTextLook(const _XmlDynamicItem& item, const KvWindowModel& window) {
    ItemTextSource itemSource;
    itemSource.strFontName = item.strFontName;
    itemSource.nFontSize = item.nFontSize;
    itemSource.strFontColor = item.strFontColor;
    itemSource.strFontFormat = item.strFontFormat;
    return ResolveItemFontInfo(itemSource, window.itemDefaults);
}

std::unique_ptr<Gdiplus::Bitmap> LoadSheetBackground(const KvWindowModel& window,
                                                     bool* pbFromFile) {
    std::unique_ptr<Gdiplus::Bitmap> pImage;
    if (!window.strBackPath.IsEmpty() && KvImageLimits::ImageFileFits(window.strBackPath)) {
        if (IStream* pStream = CreateFileCopyStream(window.strBackPath)) {
            pImage = std::make_unique<Gdiplus::Bitmap>(pStream);
            pStream->Release(); // the bitmap holds the stream for as long as it needs it
        }
        if (pImage && (pImage->GetLastStatus() != Gdiplus::Ok || pImage->GetWidth() == 0))
            pImage.reset();
    }
    if (pbFromFile)
        *pbFromFile = pImage != nullptr;
    return pImage ? std::move(pImage) : CreateButtonFaceSheet(window.szSheet);
}
