#include "tools/common/SkinPaths.h"

#include "skin/XMLParseBase.h"
#include "tools/common/SkinLint.h"
#include "tools/common/Utf8.h"
#include "xml/XmlDocument.h"

namespace {

// Wine maps a Unix path to the drive that holds it; on Windows, or when the
// mapping is unavailable, the path is left for GetFullPathNameW.
CString FromUnixPath(const CString& strPath) {
    if (strPath.GetLength() < 2 || strPath[0] != L'/' || strPath[1] == L'/')
        return strPath;
    using WineDosName = WCHAR*(CDECL*)(const char*);
    auto toDos = reinterpret_cast<WineDosName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos)
        return strPath;
    WCHAR* dosName = toDos(ToUtf8(strPath).c_str());
    if (!dosName)
        return strPath;
    CString converted(dosName);
    HeapFree(GetProcessHeap(), 0, dosName);
    return converted;
}

} // namespace

CString ToFullWindowsPath(const CString& strPath) {
    CString path = FromUnixPath(strPath);
    DWORD length = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path, length, &full[0], nullptr);
    return CString(full.c_str(), static_cast<int>(length));
}

std::string SkinFileUnreadable(const CString& strFullPath) {
    DWORD attributes = GetFileAttributesW(strFullPath);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return "no such file";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return "it is a directory";
    HANDLE file = CreateFileW(strFullPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "it cannot be opened for reading";
    CloseHandle(file);
    return std::string();
}

std::string SkinFileUnloadable(const CString& strGiven, const CString& strFullPath) {
    const std::string head = "cannot load skin file " + ToUtf8(strGiven) + ": ";
    const std::string unreadable = SkinFileUnreadable(strFullPath);
    if (!unreadable.empty())
        return head + unreadable + "\n";
    std::string lines;
    for (const LintDiagnostic& diagnostic : LoadFailureDiagnostics(strFullPath))
        lines += FormatDiagnostic(strGiven, diagnostic) + "\n";
    return lines.empty() ? lines : head + "it is not well-formed XML\n" + lines;
}

std::string MissingSection(const CString& strFullPath, const CString& strSection,
                           const CString& strSection2) {
    CXmlDocument doc;
    xercesc::DOMElement* root = nullptr;
    if (!doc.InitXML() || !doc.LoadXML(strFullPath, root) || !root)
        return std::string();
    for (const CString* pSection : {&strSection, &strSection2}) {
        const CString& section = *pSection;
        if (pSection == &strSection2 && section.IsEmpty())
            continue; // no second section
        const SkinSectionWalk walk = WalkSkinSection(doc, root, section);
        if (walk.pSection)
            continue;
        const std::string stopped =
            ToUtf8(CString(reinterpret_cast<const wchar_t*>(walk.pStoppedAt->getTagName())));
        return "kvskin: section \"" + ToUtf8(section) + "\" matches nothing: " +
               (walk.strMissingStep.IsEmpty() ? std::string("it has an empty step")
                                              : "<" + stopped + "> has no child element \"" +
                                                    ToUtf8(walk.strMissingStep) + "\"") +
               "\n";
    }
    return std::string();
}
