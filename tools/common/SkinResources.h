// Whether the files and fonts a skin names can be loaded the way the
// toolkit loads them. Answers are kept, so a strip or a face that a thousand
// items share is tried once.
#pragma once

#include <afx.h>

#include <map>
#include <string>

enum class SkinFileKind {
    Image,  // GDI+ (backgrounds, strips, label images, item icons)
    Cursor, // LoadImage IMAGE_CURSOR (item cursors)
    Icon,   // LoadImage IMAGE_ICON (the window icon)
};

struct SkinFileProbe {
    bool bExists = false;
    bool bLoads = false;
    bool bTooLarge = false;         // declares a picture beyond what the toolkit decodes
    bool bHeaderUnreadable = false; // a known format whose header cannot be read
    int nWidth = 0;                 // images only
    int nHeight = 0;
};

// GDI+ must have been started by the caller (the host's duty).
class CSkinResources {
public:
    const SkinFileProbe& ProbeFile(const CString& strPath, SkinFileKind kind);
    bool FontFamilyExists(const CString& strFace);

private:
    std::map<std::pair<std::wstring, SkinFileKind>, SkinFileProbe> m_files;
    std::map<std::wstring, bool> m_fonts;
};
