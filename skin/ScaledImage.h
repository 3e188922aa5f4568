// A skin's image at a window's DPI: the variant "name@<percent>.ext" drawn
// for that scale when the skin has one, else another variant or the base
// file resampled (see KvScale::ChooseImageVariant). At 96 DPI the base file
// is read exactly as an unscaled dialog reads it. The functions are the
// module's own and not exported (tools link kv_skin_parts).
#pragma once

#include <afx.h>
#include <windows.h>
#include <gdiplus.h>

#include <map>
#include <memory>
#include <vector>

// strPath with "@<percent>" before its extension (after the name when it has none).
CString ImageVariantPath(const CString& strPath, int nPercent);

// The percentages of the variants of strPath that exist as files beside it,
// in no particular order; names whose part after "@" is not a plain positive
// number are not variants.
std::vector<int> ImageVariantsOf(const CString& strPath);

// What drawing strPath at nDpi takes: the file read and whether it is
// resampled. nPercent 100 is strPath itself.
struct ImageSource {
    CString strPath;
    int nPercent = 100;
    bool bResample = false;
};
ImageSource ImageSourceAt(const CString& strPath, int nDpi);

// The variants beside many images, each folder listed once: listing a
// folder of many files for every image costs more than drawing them.
class CImageVariantIndex {
public:
    // What ImageVariantsOf(strPath) finds, from the listing of its folder.
    const std::vector<int>& VariantsOf(const CString& strPath);

private:
    // By folder, then by file name without "@<percent>", upper-cased.
    std::map<CString, std::map<CString, std::vector<int>>> m_folders;
};

// ImageSourceAt, with the variants from index.
ImageSource ImageSourceAt(const CString& strPath, int nDpi, CImageVariantIndex& index);

// The image of strPath, holding nFrames equal frames side by side, at nDpi;
// null when neither the chosen file nor the base file can be read. A
// resampled image is drawn frame by frame with high-quality filtering, so no
// frame takes pixels of its neighbour.
std::unique_ptr<Gdiplus::Image> LoadImageAt(const CString& strPath, int nDpi, int nFrames);
// The same, finding the variants through index.
std::unique_ptr<Gdiplus::Image> LoadImageAt(const CString& strPath, int nDpi, int nFrames,
                                            CImageVariantIndex& index);

// pImage, drawn for nSourcePercent, resampled to nDpi frame by frame; null
// when the result would be empty or cannot be made.
std::unique_ptr<Gdiplus::Bitmap> ResampleFrames(Gdiplus::Image& image, int nSourcePercent, int nDpi,
                                                int nFrames);
