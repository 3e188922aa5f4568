// kvpost URL [NAME=VALUE ...] [--file PATH] --out FILE [--log]
// Runs one DownloadXML exchange, prints its result code and exits with 0 when
// it is 0, else 1 (2 for a wrong command line).
#include "net/InfoUpDown.h"
#include "runtime/ModuleApp.h"

#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const int kExitUsage = 2;

struct PostArguments {
    std::wstring url;
    std::vector<std::wstring> fields; // names and values in turn
    std::wstring paramFile;
    std::wstring outFile;
    bool log = false;
};

const char kUsage[] =
    "usage: kvpost URL [NAME=VALUE ...] [--file PATH] --out FILE [--log]\n"
    "  posts one multipart form to URL (http://host[:port]/path) and saves the XML\n"
    "  reply from its <?xml on in FILE; NAME=VALUE splits at the first =; --file\n"
    "  sends PATH as the part ParameterFile (a missing file is created empty and\n"
    "  sent empty); --log switches the module's log on and prints its path.\n"
    "  Prints the result code of the exchange. Exit codes: 0 saved, 1 failed\n"
    "  (one line on standard error says what), 2 wrong usage.\n";

std::string ToUtf8(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &narrow[0], bytes, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

// Splits NAME=VALUE at its first "="; the value may hold more of them.
bool AddField(const std::wstring& argument, PostArguments* args) {
    const size_t equals = argument.find(L'=');
    if (equals == std::wstring::npos || equals == 0)
        return false;
    args->fields.push_back(argument.substr(0, equals));
    args->fields.push_back(argument.substr(equals + 1));
    return true;
}

bool ParseArguments(int argc, wchar_t** argv, PostArguments* args) {
    if (argc < 2)
        return false;
    args->url = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == L"--file" && hasValue)
            args->paramFile = argv[++i];
        else if (argument == L"--out" && hasValue)
            args->outFile = argv[++i];
        else if (argument == L"--log")
            args->log = true;
        else if (argument.compare(0, 2, L"--") == 0 || !AddField(argument, args))
            return false;
    }
    return !args->outFile.empty();
}

// A Unix path ("/tmp/x") becomes the Windows path that names the same file
// (Wine's own mapping where there is one); every path is then made full.
std::wstring ToWindowsPath(const std::wstring& path) {
    std::wstring windowsPath = path;
    if (!path.empty() && path[0] == L'/') {
        typedef WCHAR*(CDECL * DosNameFunction)(const char*);
        auto dosName = reinterpret_cast<DosNameFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
        WCHAR* mapped = dosName != nullptr ? dosName(ToUtf8(path).c_str()) : nullptr;
        if (mapped != nullptr) {
            windowsPath = mapped;
            HeapFree(GetProcessHeap(), 0, mapped);
        } else {
            for (wchar_t& c : windowsPath)
                c = c == L'/' ? L'\\' : c;
        }
    }
    DWORD length = GetFullPathNameW(windowsPath.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return windowsPath;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(windowsPath.c_str(), length, &full[0], nullptr);
    full.resize(length);
    return full;
}

// The log writes only while its file exists: create it, and its folder.
bool SwitchLogOn(CString* logPath) {
    *logPath = GetLogFilePath();
    const CString folder = GetConfigDirectory();
    const int made = SHCreateDirectoryExW(nullptr, folder, nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        return false;
    HANDLE file = CreateFileW(*logPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The exchange's result code; a failure's reason goes to *failure.
int RunExchange(const PostArguments& args, CString* failure) {
    CStringArray fields;
    for (const std::wstring& field : args.fields)
        fields.Add(field.c_str());
    const std::wstring paramFile = args.paramFile.empty() ? L"" : ToWindowsPath(args.paramFile);
    const std::wstring outFile = ToWindowsPath(args.outFile);
    CInfoUpDown exchange;
    const int result = exchange.DownloadXML(
        args.url.c_str(), fields, paramFile.empty() ? nullptr : paramFile.c_str(), outFile.c_str());
    *failure = exchange.GetLastFailure();
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && (std::wcscmp(argv[1], L"--help") == 0 || std::wcscmp(argv[1], L"-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    PostArguments args;
    if (!ParseArguments(argc, argv, &args)) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (args.log) {
        CString logPath;
        if (!SwitchLogOn(&logPath)) {
            std::fprintf(stderr, "kvpost: cannot create the log file %s\n",
                         ToUtf8(static_cast<LPCWSTR>(logPath)).c_str());
            return kExitUsage;
        }
        std::fprintf(stderr, "log: %s\n", ToUtf8(static_cast<LPCWSTR>(logPath)).c_str());
    }
    CString failure;
    const int result = RunExchange(args, &failure);
    std::printf("%d\n", result);
    if (result != 0)
        std::fprintf(stderr, "kvpost: %s\n", ToUtf8(static_cast<LPCWSTR>(failure)).c_str());
    return result == 0 ? 0 : 1;
}
