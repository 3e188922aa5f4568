// How long `kvskin render` takes for the 800 x 600 windowless section with 40
// items (state strip, icon and text each), process start included, against
// `kvskin describe` of the same section (process start and LoadSkin), run in
// alternating rounds from here. Target: render under one second.
#include "LayeredBench.h"
#include "tools/common/GdiplusSession.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace LayeredBench;

const int kRounds = 7;
const double kTargetSeconds = 1.0;

std::wstring BesideBench(const wchar_t* pszName) {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self);
    return path.substr(0, path.rfind(L'\\') + 1) + pszName;
}

// Runs kvskin with its output discarded and waits for it; true for exit 0.
// Arguments are quoted whole: none ends with a backslash or holds a quote.
bool RunKvSkin(const std::vector<std::wstring>& args) {
    std::wstring line = L"\"" + BesideBench(L"kvskin.exe") + L"\"";
    for (const std::wstring& arg : args)
        line += L" \"" + arg + L"\"";
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE hNull =
        ::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = hNull;
    startup.hStdError = hNull;
    PROCESS_INFORMATION process = {};
    DWORD nExitCode = 1;
    if (::CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &nExitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(hNull);
    return nExitCode == 0;
}

} // namespace

int main() {
    const CGdiplusSession gdiplus; // for writing the skin's images
    if (!gdiplus.Started())
        return 3;
    ImageKit::TempFolder folder;
    const std::wstring skin = WriteFortyItemSkin(folder);
    const std::wstring png = folder.File(L"render.png");
    const std::vector<std::wstring> section = {skin, L"Test\\Dlg", L"--skin-name", L"."};
    std::vector<std::wstring> render = {L"render"}, describe = {L"describe"};
    render.insert(render.end(), section.begin(), section.end());
    describe.insert(describe.end(), section.begin(), section.end());
    render.insert(render.end(),
                  {L"--out", png, L"--state", L"item0=hot", L"--state", L"item9=pressed"});

    const auto renderRun = [&] { return RunKvSkin(render); };
    const auto describeRun = [&] { return RunKvSkin(describe); };
    // The first runs also check that both work and that a picture comes out.
    if (!renderRun() || !describeRun() || Gdiplus::Bitmap(png.c_str()).GetWidth() != 800) {
        std::fprintf(stderr, "kvskin_render_bench: kvskin did not render the section\n");
        return 1;
    }
    const std::vector<double> ms = MedianMs(kRounds, 1, {Whole(renderRun), Whole(describeRun)});
    std::printf("kvskin render of an 800 x 600 section with 40 items (strip, icon, text), "
                "process start included: median %.0f ms over %d runs\n",
                ms[0], kRounds);
    std::printf("kvskin describe of the same section (process start, LoadSkin): median %.0f ms\n",
                ms[1]);
    std::printf("ratio render / describe: %.2f; render under %.0f s: %s\n", ms[0] / ms[1],
                kTargetSeconds, ms[0] < kTargetSeconds * 1e3 ? "met" : "MISSED");
    return ms[0] > 0 && ms[1] > 0 ? 0 : 1;
}
