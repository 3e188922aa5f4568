// How long `kvskin lint` takes on a skin of 2,000 items, process start
// included, against `kvskin describe` of the same file (process start and
// LoadSkin), run alternately from here. Target: lint under two seconds.
// Then the same on a file of 10,000 distinct sibling elements beside one
// section, where finding the sections must take one pass: target, lint
// within three times describe.
#include "tests/common/ImageKit.h"

#include <afx.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kItems = 2000;
constexpr int kStrips = 20;
constexpr int kRounds = 7;
constexpr double kTargetSeconds = 2.0;

// The skin folder with its "default" image folder; removed at the end.
class CBenchFolder {
public:
    CBenchFolder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_strDir.Format(L"%skv_lintbench_%lu\\", temp, GetCurrentProcessId());
        CreateDirectoryW(m_strDir, nullptr);
        CreateDirectoryW(m_strDir + L"default", nullptr);
    }
    ~CBenchFolder() {
        for (const CString& file : m_files)
            DeleteFileW(file);
        RemoveDirectoryW(m_strDir + L"default");
        RemoveDirectoryW(m_strDir);
    }
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    CString Write(const CString& strName, const std::string& bytes) {
        CString path = m_strDir + strName;
        if (FILE* file = _wfopen(path, L"wb")) {
            fwrite(bytes.data(), 1, bytes.size(), file);
            fclose(file);
            m_files.push_back(path);
        }
        return path;
    }
    const CString& Directory() const { return m_strDir; }

private:
    CString m_strDir;
    std::vector<CString> m_files;
};

// Labels, push buttons and shaped buttons in a grid of 40 x 50 cells of
// 50 x 20 pixels, sharing 20 strips, one cursor and one icon.
std::string SkinXml() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Skin><Bench><Main>\n"
                      "<WindowInfo>\n"
                      "<I ItemID=\"SheetSize\" Data=\"2000,1000\"/>\n"
                      "<I ItemID=\"FontName\" Data=\"DejaVu Sans\"/>\n"
                      "<I ItemID=\"FontSize\" Data=\"12\"/>\n"
                      "<I ItemID=\"FontColor\" Data=\"0xFF202020;0xFF808080\"/>\n"
                      "<I ItemID=\"FontFormat\" Data=\"0;1;1;1\"/>\n"
                      "<I ItemID=\"BackBmp\" Data=\"back.bmp\"/>\n"
                      "<I ItemID=\"Icon\" Data=\"app.ico\"/>\n"
                      "</WindowInfo>\n<DynamicInfo>\n";
    static const char* const kTypes[] = {"1", "2", "4"};
    for (int i = 0; i < kItems; ++i) {
        std::string n = std::to_string(i);
        std::string pos =
            std::to_string(i % 40 * 50) + "," + std::to_string(i / 40 * 20) + ",48,18";
        xml += "<Item ID=\"Item_" + n + "\" Name=\"Item " + n + "\" ToolTip=\"Tip " + n +
               "\" FontName=\"" + (i % 2 ? "Liberation Sans" : "DejaVu Sans") +
               "\" FontSize=\"11\" FontColor=\"0xFF000000\" FontFormat=\"0;1;1;1\" BkImg=\"strip" +
               std::to_string(i % kStrips) + ".bmp\" Cursor=\"hand.cur\" Icon=\"app.ico\" Pos=\"" +
               pos + "\" ControlType=\"" + kTypes[i % 3] + "\" ControlStyle=\"0x50000000\"/>\n";
    }
    return xml + "</DynamicInfo></Main></Bench></Skin>\n";
}

// One small section after kSiblings distinct empty elements.
constexpr int kSiblings = 10000;
constexpr double kSiblingsTargetRatio = 3.0;
std::string SiblingsXml() {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Skin>\n";
    for (int i = 0; i < kSiblings; ++i)
        xml += "<E" + std::to_string(i) + "/>\n";
    return xml + "<Main><WindowInfo><I ItemID=\"SheetSize\" Data=\"20,20\"/></WindowInfo>"
                 "</Main></Skin>\n";
}

CString ToolPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    CString path(self);
    return path.Left(path.ReverseFind(L'\\') + 1) + L"kvskin.exe";
}

// Runs kvskin with its standard output in outFile; returns the exit code
// (-1 when it could not run) and the seconds it took.
int RunKvSkin(const CString& strArgs, const CString& strOutFile, double& seconds) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileW(strOutFile, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return -1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process{};
    CString commandLine = L"\"" + ToolPath() + L"\" " + strArgs;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    BOOL started = CreateProcessW(nullptr, commandLine.GetBuffer(), nullptr, nullptr, TRUE, 0,
                                  nullptr, nullptr, &startup, &process);
    commandLine.ReleaseBuffer();
    DWORD exitCode = static_cast<DWORD>(-1);
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    CloseHandle(out);
    return started ? static_cast<int>(exitCode) : -1;
}

long long FileSize(const CString& strPath) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(strPath, GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    CBenchFolder folder;
    std::string xml = SkinXml();
    CString skin = folder.Write(L"bench.xml", xml);
    for (int i = 0; i < kStrips; ++i)
        folder.Write(L"default\\strip" + CString(std::to_wstring(i).c_str()) + L".bmp",
                     ImageKit::BmpFileBytes(192, 18));
    folder.Write(L"default\\back.bmp", ImageKit::BmpFileBytes(2000, 1000));
    folder.Write(L"default\\hand.cur", ImageKit::IconFileBytes(2, 32));
    folder.Write(L"default\\app.ico", ImageKit::IconFileBytes(1, 32));
    CString output = folder.Directory() + L"out.txt";

    CString lintArgs = L"lint \"" + skin + L"\"";
    CString describeArgs = L"describe \"" + skin + L"\" Bench\\Main";
    double seconds = 0;
    // The skin is clean: lint must say nothing and exit 0.
    if (RunKvSkin(lintArgs, output, seconds) != 0 || FileSize(output) != 0 ||
        RunKvSkin(describeArgs, output, seconds) != 0) {
        fprintf(stderr, "kvskin_lint_bench: kvskin did not run cleanly on the generated skin\n");
        DeleteFileW(output);
        return 1;
    }
    std::vector<double> lint, describe;
    for (int round = 0; round < kRounds; ++round) {
        RunKvSkin(describeArgs, output, seconds);
        describe.push_back(seconds);
        RunKvSkin(lintArgs, output, seconds);
        lint.push_back(seconds);
    }
    DeleteFileW(output);

    printf("skin file: %zu bytes, %d items sharing %d strips, a cursor and an icon\n", xml.size(),
           kItems, kStrips);
    printf("kvskin describe (process + LoadSkin): median %.0f ms over %d runs\n",
           Median(describe) * 1e3, kRounds);
    printf("kvskin lint:                          median %.0f ms over %d runs\n",
           Median(lint) * 1e3, kRounds);
    printf("ratio lint / describe: %.2f; lint under %.0f s: %s\n", Median(lint) / Median(describe),
           kTargetSeconds, Median(lint) < kTargetSeconds ? "met" : "MISSED");

    const std::string siblings = SiblingsXml();
    const CString siblingsSkin = folder.Write(L"siblings.xml", siblings);
    lint.clear();
    describe.clear();
    for (int round = 0; round < 3; ++round) {
        RunKvSkin(L"describe \"" + siblingsSkin + L"\" Main", output, seconds);
        describe.push_back(seconds);
        RunKvSkin(L"lint \"" + siblingsSkin + L"\"", output, seconds);
        lint.push_back(seconds);
    }
    DeleteFileW(output);
    const double ratio = Median(lint) / Median(describe);
    printf("%d sibling elements (%zu bytes): describe median %.0f ms, lint median %.0f ms\n",
           kSiblings, siblings.size(), Median(describe) * 1e3, Median(lint) * 1e3);
    printf("ratio lint / describe: %.2f; within %.0f: %s\n", ratio, kSiblingsTargetRatio,
           ratio <= kSiblingsTargetRatio ? "met" : "MISSED");
    return 0;
}
