// kvskin describe SKINFILE SECTION [--section2 SECTION] [--skin-name NAME]
// Loads a skin description exactly as a dialog does and prints it as JSON.
#include "tools/kvskin/SkinJson.h"
#include "xml/XmlDocument.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

namespace {

constexpr int kExitLoadFailed = 2;
constexpr int kExitUsage = 64;

const char kUsage[] =
    "usage: kvskin describe SKINFILE SECTION [--section2 SECTION] [--skin-name NAME]\n"
    "  Loads SECTION (and SECTION2) of SKINFILE with the skin name NAME (default\n"
    "  \"default\") and prints the description as one JSON object on standard output.\n"
    "  SKINFILE may be a Unix or a Windows path.\n"
    "  Exit codes: 0 described, 2 the skin file cannot be loaded, 64 wrong usage.\n";

struct DescribeRequest {
    CString strSkinFile;
    CString strSection;
    CString strSection2;
    CString strSkinName = L"default";
};

// Positional arguments and options in any order after the verb.
std::optional<DescribeRequest> ParseArguments(int argc, wchar_t** argv) {
    if (argc < 2 || wcscmp(argv[1], L"describe") != 0)
        return std::nullopt;
    DescribeRequest request;
    int positional = 0;
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        bool isOption = arg == L"--section2" || arg == L"--skin-name";
        if (isOption) {
            if (i + 1 >= argc)
                return std::nullopt;
            (arg == L"--section2" ? request.strSection2 : request.strSkinName) = argv[++i];
        } else if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0) {
            return std::nullopt;
        } else if (positional == 0) {
            request.strSkinFile = argv[i];
            ++positional;
        } else if (positional == 1) {
            request.strSection = argv[i];
            ++positional;
        } else {
            return std::nullopt;
        }
    }
    if (positional != 2 || request.strSkinFile.IsEmpty())
        return std::nullopt;
    return request;
}

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

CString ToFullWindowsPath(const CString& strPath) {
    CString path = FromUnixPath(strPath);
    DWORD length = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path, length, &full[0], nullptr);
    return CString(full.c_str(), static_cast<int>(length));
}

// Why LoadSkin would find nothing in this file, or an empty string when it
// parses: the same document layer and the same test as the reader's.
std::string LoadProblem(const CString& strSkinFile) {
    DWORD attributes = GetFileAttributesW(strSkinFile);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return "no such file";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return "it is a directory";
    CXmlDocument doc;
    xercesc::DOMElement* root = nullptr;
    if (!doc.InitXML())
        return "the XML parser is not available";
    if (!doc.LoadXML(strSkinFile, root) || !root)
        return "not a well-formed XML document (or unreadable)";
    return std::string();
}

void WriteBytes(FILE* stream, const std::string& bytes) {
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // UTF-8 bytes exactly as produced: no line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    std::optional<DescribeRequest> request = ParseArguments(argc, argv);
    if (!request) {
        WriteBytes(stderr, kUsage);
        return kExitUsage;
    }
    CString skinFile = ToFullWindowsPath(request->strSkinFile);
    std::string problem = LoadProblem(skinFile);
    if (!problem.empty()) {
        WriteBytes(stderr,
                   "kvskin: cannot load skin file " + ToUtf8(skinFile) + ": " + problem + "\n");
        return kExitLoadFailed;
    }

    CKvXMLParseBase reader;
    reader.LoadSkin(skinFile, request->strSection, request->strSection2, request->strSkinName);
    std::string json =
        DescribeSkin(reader).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    WriteBytes(stdout, json + "\n");
    return 0;
}
