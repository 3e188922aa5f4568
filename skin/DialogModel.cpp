#include "skin/DialogModel.h"

#include "skin/DrawUtil.h"
#include "skin/ImageLimits.h"
#include "skin/ScaledImage.h"
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

// The window's lengths and font sizes, read at 96 DPI, at nDpi.
void ScaleWindowModel(KvWindowModel& window, int nDpi) {
    window.nDpi = nDpi;
    window.szSheet = KvScale::Size(window.szSheet, nDpi);
    window.nCaptionHeight = KvScale::Length(window.nCaptionHeight, nDpi);
    window.nToolTipWidth = KvScale::Length(window.nToolTipWidth, nDpi);
    window.ptChildPos = KvScale::Point(window.ptChildPos, nDpi);
    window.font.nSize = KvScale::FontSize(window.font.nSize, nDpi);
    window.itemDefaults.nFontSize = window.font.nSize;
}

// An image file decoded as a bitmap; null when it cannot be read.
std::unique_ptr<Gdiplus::Bitmap> DecodeBitmap(const CString& strPath) {
    if (!KvImageLimits::ImageFileFits(strPath))
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> pImage;
    if (IStream* pStream = CreateFileCopyStream(strPath)) {
        pImage = std::make_unique<Gdiplus::Bitmap>(pStream);
        pStream->Release(); // the bitmap holds the stream for as long as it needs it
    }
    if (pImage && (pImage->GetLastStatus() != Gdiplus::Ok || pImage->GetWidth() == 0))
        pImage.reset();
    return pImage;
}

// BackBmp from the file chosen for nDpi, resampled when that is not drawn
// for it; a variant that cannot be read leaves the base file.
std::unique_ptr<Gdiplus::Bitmap> DecodeBackground(const CString& strPath, int nDpi) {
    ImageSource source = ImageSourceAt(strPath, nDpi);
    std::unique_ptr<Gdiplus::Bitmap> pImage = DecodeBitmap(source.strPath);
    if (!pImage && source.nPercent != 100) {
        source = ImageSource{strPath, 100, true};
        pImage = DecodeBitmap(strPath);
    }
    if (!pImage || !source.bResample)
        return pImage;
    std::unique_ptr<Gdiplus::Bitmap> pScaled = ResampleFrames(*pImage, source.nPercent, nDpi, 1);
    return pScaled ? std::move(pScaled) : std::move(pImage);
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up once: systems before it have no per-window DPI.
GetDpiForWindowFn GetDpiForWindowEntry() {
    static const GetDpiForWindowFn pfn =
        reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return pfn;
}

int ScreenDpi() {
    HDC hScreen = ::GetDC(nullptr);
    const int nDpi = hScreen ? ::GetDeviceCaps(hScreen, LOGPIXELSX) : 0;
    if (hScreen)
        ::ReleaseDC(nullptr, hScreen);
    return nDpi > 0 ? nDpi : KvScale::kBaseDpi;
}

} // namespace

int WindowDpi(HWND hWnd) {
    const GetDpiForWindowFn pfn = GetDpiForWindowEntry();
    const UINT nDpi = pfn && hWnd ? pfn(hWnd) : 0;
    return nDpi > 0 ? static_cast<int>(nDpi) : ScreenDpi();
}

void ScaleItems(std::vector<_XmlDynamicItem>& items, int nDpi) {
    if (nDpi == KvScale::kBaseDpi)
        return;
    for (_XmlDynamicItem& item : items) {
        item.rcPos = KvScale::Rect(item.rcPos, nDpi);
        item.nFontSize = KvScale::FontSize(item.nFontSize, nDpi);
    }
}

void AdoptSkinLengths(CKvXMLParseBase& reader, KvSkinLengths& lengths, int nDpi) {
    std::vector<_XmlDynamicItem>& items = reader.m_arrDynamicItems;
    for (size_t i = lengths.items.size(); i < items.size(); ++i) {
        lengths.items.push_back({items[i].rcPos, items[i].nFontSize});
        items[i].rcPos = KvScale::Rect(items[i].rcPos, nDpi);
        items[i].nFontSize = KvScale::FontSize(items[i].nFontSize, nDpi);
    }
    if (lengths.records.size() == reader.m_mapPosInfo.size())
        return;
    for (auto& [key, pRecord] : reader.m_mapPosInfo)
        if (pRecord && lengths.records.emplace(key, pRecord->rcPos).second)
            pRecord->rcPos = KvScale::Rect(pRecord->rcPos, nDpi);
}

void ApplySkinLengths(CKvXMLParseBase& reader, const KvSkinLengths& lengths, int nDpi) {
    std::vector<_XmlDynamicItem>& items = reader.m_arrDynamicItems;
    for (size_t i = 0; i < lengths.items.size() && i < items.size(); ++i) {
        items[i].rcPos = KvScale::Rect(lengths.items[i].rcPos, nDpi);
        items[i].nFontSize = KvScale::FontSize(lengths.items[i].nFontSize, nDpi);
    }
    for (const auto& [key, rcPos] : lengths.records) {
        auto found = reader.m_mapPosInfo.find(key);
        if (found != reader.m_mapPosInfo.end() && found->second)
            found->second->rcPos = KvScale::Rect(rcPos, nDpi);
    }
}

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

KvWindowModel ReadWindowModel(CKvXMLParseBase& reader, int nDpi) {
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
    ScaleWindowModel(window, nDpi);
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
    if (!window.strBackPath.IsEmpty())
        pImage = DecodeBackground(window.strBackPath, window.nDpi);
    if (pbFromFile)
        *pbFromFile = pImage != nullptr;
    return pImage ? std::move(pImage) : CreateButtonFaceSheet(window.szSheet);
}
