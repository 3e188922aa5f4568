#include "skin/ScaledImage.h"

#include "skin/DialogLayout.h"
#include "skin/DisplayScale.h"
#include "skin/DrawUtil.h"

#include <algorithm>

namespace {

// Where the extension starts in strPath, or its length when the file name has none.
int ExtensionStart(const CString& strPath) {
    const int nDot = strPath.ReverseFind(L'.');
    const int nSlash = std::max(strPath.ReverseFind(L'\\'), strPath.ReverseFind(L'/'));
    return nDot > nSlash ? nDot : strPath.GetLength();
}

// The percentage a variant's file name gives after "@", or 0 for none.
int VariantPercent(const CString& strDigits) {
    if (strDigits.IsEmpty() || strDigits.GetLength() > 4)
        return 0;
    int nPercent = 0;
    for (int i = 0; i < strDigits.GetLength(); ++i) {
        if (strDigits[i] < L'0' || strDigits[i] > L'9')
            return 0;
        nPercent = nPercent * 10 + (strDigits[i] - L'0');
    }
    return nPercent;
}

} // namespace

CString ImageVariantPath(const CString& strPath, int nPercent) {
    const int nExt = ExtensionStart(strPath);
    CString strVariant;
    strVariant.Format(L"%s@%d%s", static_cast<LPCWSTR>(strPath.Left(nExt)), nPercent,
                      static_cast<LPCWSTR>(strPath.Mid(nExt)));
    return strVariant;
}

std::vector<int> ImageVariantsOf(const CString& strPath) {
    std::vector<int> variants;
    const int nExt = ExtensionStart(strPath);
    const CString strStem = strPath.Left(nExt) + L"@";
    const CString strExt = strPath.Mid(nExt);
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW(strStem + L"*" + strExt, &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return variants;
    const int nSlash = std::max(strStem.ReverseFind(L'\\'), strStem.ReverseFind(L'/'));
    const int nNameStem = strStem.GetLength() - (nSlash + 1);
    do {
        const CString strName = found.cFileName;
        // The pattern also matches longer extensions ("*.png" finds ".pngx").
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            strName.GetLength() < nNameStem + strExt.GetLength() ||
            strName.Right(strExt.GetLength()).CompareNoCase(strExt) != 0)
            continue;
        const int nPercent = VariantPercent(
            strName.Mid(nNameStem, strName.GetLength() - nNameStem - strExt.GetLength()));
        if (nPercent > 0)
            variants.push_back(nPercent);
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
    return variants;
}

namespace {

ImageSource SourceAmong(const CString& strPath, int nDpi, const std::vector<int>& variants) {
    const KvScale::ImageChoice choice =
        KvScale::ChooseImageVariant(KvScale::PercentOfDpi(nDpi), variants);
    return ImageSource{choice.nPercent == 100 ? strPath
                                              : ImageVariantPath(strPath, choice.nPercent),
                       choice.nPercent, choice.bResample};
}

// strPath's folder (with its separator) and file name.
std::pair<CString, CString> SplitFolder(const CString& strPath) {
    const int nSlash = std::max(strPath.ReverseFind(L'\\'), strPath.ReverseFind(L'/'));
    return {strPath.Left(nSlash + 1), strPath.Mid(nSlash + 1)};
}

// The percentages of the variants in strFolder, by the upper-cased name of
// the image each belongs to.
std::map<CString, std::vector<int>> ListVariants(const CString& strFolder) {
    std::map<CString, std::vector<int>> variants;
    WIN32_FIND_DATAW found;
    HANDLE hFind = ::FindFirstFileW(strFolder + L"*@*", &found);
    if (hFind == INVALID_HANDLE_VALUE)
        return variants;
    do {
        const CString strName = found.cFileName;
        const int nExt = ExtensionStart(strName);
        const int nAt = strName.Left(nExt).ReverseFind(L'@');
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || nAt < 0)
            continue;
        const int nPercent = VariantPercent(strName.Mid(nAt + 1, nExt - nAt - 1));
        if (nPercent <= 0)
            continue;
        CString strImage = strName.Left(nAt) + strName.Mid(nExt);
        strImage.MakeUpper();
        variants[strImage].push_back(nPercent);
    } while (::FindNextFileW(hFind, &found));
    ::FindClose(hFind);
    return variants;
}

} // namespace

ImageSource ImageSourceAt(const CString& strPath, int nDpi) {
    if (nDpi == KvScale::kBaseDpi)
        return ImageSource{strPath, 100, false};
    return SourceAmong(strPath, nDpi, ImageVariantsOf(strPath));
}

const std::vector<int>& CImageVariantIndex::VariantsOf(const CString& strPath) {
    auto [strFolder, strName] = SplitFolder(strPath);
    strFolder.MakeUpper();
    strName.MakeUpper();
    auto folder = m_folders.find(strFolder);
    if (folder == m_folders.end())
        folder = m_folders.emplace(strFolder, ListVariants(strFolder)).first;
    static const std::vector<int> none;
    const auto image = folder->second.find(strName);
    return image == folder->second.end() ? none : image->second;
}

ImageSource ImageSourceAt(const CString& strPath, int nDpi, CImageVariantIndex& index) {
    if (nDpi == KvScale::kBaseDpi)
        return ImageSource{strPath, 100, false};
    return SourceAmong(strPath, nDpi, index.VariantsOf(strPath));
}

namespace {

// The part of image at nLeft, size copied 1:1 to (nTargetLeft, 0) of target.
bool CopyColumns(Gdiplus::Image& image, int nLeft, SIZE size, Gdiplus::Bitmap& target,
                 int nTargetLeft) {
    Gdiplus::Graphics graphics(&target);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    return graphics.DrawImage(&image, Gdiplus::Rect(nTargetLeft, 0, size.cx, size.cy), nLeft, 0,
                              size.cx, size.cy, Gdiplus::UnitPixel) == Gdiplus::Ok;
}

std::unique_ptr<Gdiplus::Bitmap> NewBitmap(SIZE size) {
    auto pBitmap = std::make_unique<Gdiplus::Bitmap>(size.cx, size.cy, PixelFormat32bppARGB);
    return pBitmap->GetLastStatus() == Gdiplus::Ok ? std::move(pBitmap) : nullptr;
}

// frame resampled to a bitmap of size of its own: drawn at the origin, where
// the filter's edges are exact, with mirrored edges, so that it reads
// beyond the frame's border from the frame itself.
std::unique_ptr<Gdiplus::Bitmap> ResampleOne(Gdiplus::Bitmap& frame, SIZE size) {
    std::unique_ptr<Gdiplus::Bitmap> pScaled = NewBitmap(size);
    if (!pScaled)
        return nullptr;
    Gdiplus::Graphics graphics(pScaled.get());
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    if (graphics.DrawImage(&frame, Gdiplus::Rect(0, 0, size.cx, size.cy), 0, 0,
                           static_cast<INT>(frame.GetWidth()), static_cast<INT>(frame.GetHeight()),
                           Gdiplus::UnitPixel, &attributes) != Gdiplus::Ok)
        return nullptr;
    return pScaled;
}

} // namespace

std::unique_ptr<Gdiplus::Bitmap> ResampleFrames(Gdiplus::Image& image, int nSourcePercent, int nDpi,
                                                int nFrames) {
    const int nCount = std::max(nFrames, 1);
    const SIZE source{static_cast<LONG>(image.GetWidth()), static_cast<LONG>(image.GetHeight())};
    const SIZE scaled = KvScale::ImageSizeAt(source, nSourcePercent, nDpi, nCount);
    const SIZE sourceFrame{source.cx / nCount, source.cy};
    const SIZE scaledFrame{scaled.cx / nCount, scaled.cy};
    if (!SheetFitsSection(scaled.cx, scaled.cy) || sourceFrame.cx < 1)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> pStrip = NewBitmap(scaled);
    if (!pStrip)
        return nullptr;
    // Each frame on its own: no frame takes pixels of its neighbour.
    for (int i = 0; i < nCount; ++i) {
        std::unique_ptr<Gdiplus::Bitmap> pFrame = NewBitmap(sourceFrame);
        if (!pFrame || !CopyColumns(image, i * sourceFrame.cx, sourceFrame, *pFrame, 0))
            return nullptr;
        pFrame = ResampleOne(*pFrame, scaledFrame);
        if (!pFrame || !CopyColumns(*pFrame, 0, scaledFrame, *pStrip, i * scaledFrame.cx))
            return nullptr;
    }
    return pStrip;
}

namespace {

std::unique_ptr<Gdiplus::Image> LoadImageFrom(ImageSource source, const CString& strPath, int nDpi,
                                              int nFrames) {
    std::unique_ptr<Gdiplus::Image> pImage(LoadImageOrNull(source.strPath));
    // A variant that cannot be read leaves the base file, resampled.
    if (!pImage && source.nPercent != 100) {
        source = ImageSource{strPath, 100, nDpi != KvScale::kBaseDpi};
        pImage.reset(LoadImageOrNull(strPath));
    }
    if (!pImage || !source.bResample)
        return pImage;
    // Unscaled is still better than nothing drawn.
    std::unique_ptr<Gdiplus::Bitmap> pScaled =
        ResampleFrames(*pImage, source.nPercent, nDpi, nFrames);
    if (pScaled)
        return pScaled;
    return pImage;
}

} // namespace

std::unique_ptr<Gdiplus::Image> LoadImageAt(const CString& strPath, int nDpi, int nFrames) {
    return LoadImageFrom(ImageSourceAt(strPath, nDpi), strPath, nDpi, nFrames);
}

std::unique_ptr<Gdiplus::Image> LoadImageAt(const CString& strPath, int nDpi, int nFrames,
                                            CImageVariantIndex& index) {
    return LoadImageFrom(ImageSourceAt(strPath, nDpi, index), strPath, nDpi, nFrames);
}
