#include "tools/common/PngFile.h"

#include <vector>

namespace PngFile {

static bool FindEncoder(const wchar_t* mimeType, CLSID* clsid) {
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == mimeType) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool Save(Gdiplus::Bitmap& bitmap, const std::wstring& path, const wchar_t* mimeType) {
    CLSID encoder;
    return FindEncoder(mimeType, &encoder) &&
           bitmap.Save(path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

bool Save(const CapturePixels::ArgbImage& image, const std::wstring& path) {
    if (image.nWidth <= 0 || image.nHeight <= 0)
        return false;
    // The bitmap only borrows the pixels; GDI+ never writes to them here.
    Gdiplus::Bitmap bitmap(image.nWidth, image.nHeight, image.nWidth * 4, PixelFormat32bppARGB,
                           reinterpret_cast<BYTE*>(const_cast<uint32_t*>(image.pixels.data())));
    return bitmap.GetLastStatus() == Gdiplus::Ok && Save(bitmap, path);
}

} // namespace PngFile
