#include "tools/common/SkinResources.h"

#include "skin/ImageLimits.h"

#include <windows.h>
#include <gdiplus.h>

namespace {

bool IsFile(const CString& strPath) {
    DWORD attributes = GetFileAttributesW(strPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The same call as the controls make: GDI+ reads the file; a width of 0
// counts as a failure, as it does for their icons.
void ProbeImage(const CString& strPath, SkinFileProbe& probe) {
    Gdiplus::Bitmap bitmap(strPath.GetString());
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return;
    probe.nWidth = static_cast<int>(bitmap.GetWidth());
    probe.nHeight = static_cast<int>(bitmap.GetHeight());
    probe.bLoads = probe.nWidth > 0;
}

// Loaded at its natural size from the file, as the dialogs do, and given
// back at once.
bool LoadsAsHandle(const CString& strPath, UINT nType) {
    HANDLE handle = LoadImageW(nullptr, strPath, nType, 0, 0, LR_LOADFROMFILE);
    if (!handle)
        return false;
    if (nType == IMAGE_CURSOR)
        DestroyCursor(static_cast<HCURSOR>(handle));
    else
        DestroyIcon(static_cast<HICON>(handle));
    return true;
}

} // namespace

const SkinFileProbe& CSkinResources::ProbeFile(const CString& strPath, SkinFileKind kind) {
    auto key = std::make_pair(std::wstring(strPath.GetString()), kind);
    auto found = m_files.find(key);
    if (found != m_files.end())
        return found->second;
    SkinFileProbe probe;
    probe.bExists = IsFile(strPath);
    using KvImageLimits::ImageHeader;
    const ImageHeader header = probe.bExists && kind != SkinFileKind::Cursor
                                   ? KvImageLimits::CheckImageFile(strPath)
                                   : ImageHeader::Fits;
    probe.bTooLarge = header == ImageHeader::TooLarge;
    probe.bHeaderUnreadable = header == ImageHeader::Unreadable;
    if (probe.bExists && header == ImageHeader::Fits) {
        if (kind == SkinFileKind::Image)
            ProbeImage(strPath, probe);
        else
            probe.bLoads =
                LoadsAsHandle(strPath, kind == SkinFileKind::Cursor ? IMAGE_CURSOR : IMAGE_ICON);
    }
    return m_files.emplace(std::move(key), probe).first->second;
}

bool CSkinResources::FontFamilyExists(const CString& strFace) {
    std::wstring key(strFace.GetString());
    auto found = m_fonts.find(key);
    if (found != m_fonts.end())
        return found->second;
    Gdiplus::FontFamily family(strFace.GetString());
    bool exists = family.GetLastStatus() == Gdiplus::Ok && family.IsAvailable();
    return m_fonts.emplace(std::move(key), exists).first->second;
}
