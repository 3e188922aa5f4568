// kvdemo: the demo host. It starts GDI+, as a host must, and runs Kelvane's
// container with the default skin around a skinned page.
//   kvdemo [--skin FILE] [--tour DIR]
// Without --tour it runs until the user closes it. With --tour it takes the
// scripted tour, writes a screenshot per step and tour.json into DIR, and
// exits 0 only when every step behaved (1 otherwise). 2: the window could
// not be made, 3: GDI+ did not start, 64: wrong usage. Problems with the
// skin are lines on standard error; the window works without it.
#include <afxwin.h>
#include <gdiplus.h>

#include "runtime/ModuleApp.h"
#include "tools/kvdemo/DemoContainer.h"
#include "tools/kvdemo/DemoReport.h"
#include "tools/kvdemo/Tour.h"
#include "tools/common/CommandLine.h"
#include "tools/common/GdiplusSession.h"
#include "tools/common/Utf8.h"
#include "tools/common/SkinLint.h"
#include "tools/common/SkinPaths.h"

#include <cstdio>
#include <thread>

namespace {

const char kUsage[] =
    "usage: kvdemo [--skin FILE] [--tour DIR]\n"
    "  Shows the default skin's container around its demo page until it is closed.\n"
    "  --skin FILE  another skin file (images below its folder's \"default\" folder)\n"
    "  --tour DIR   a scripted tour: a screenshot per step and tour.json into DIR;\n"
    "               exit 0 when every step behaved, 1 when one did not\n";

const DWORD kTourTickMs = 50;
// Far beyond what the tour takes (about 15 s); only a hang gets here.
const DWORD kTourLimitMs = 120000;

// Ends the process when the tour hangs, so that no script waits for ever.
class CTourWatchdog {
public:
    CTourWatchdog() : m_hDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = std::thread([this] {
            if (::WaitForSingleObject(m_hDone, kTourLimitMs) != WAIT_TIMEOUT)
                return;
            ReportProblem("the tour did not end within " + std::to_string(kTourLimitMs / 1000) +
                          " s; stopped");
            ::TerminateProcess(::GetCurrentProcess(), 4);
        });
    }
    ~CTourWatchdog() {
        ::SetEvent(m_hDone);
        m_thread.join();
        ::CloseHandle(m_hDone);
    }
    CTourWatchdog(const CTourWatchdog&) = delete;
    CTourWatchdog& operator=(const CTourWatchdog&) = delete;

private:
    HANDLE m_hDone;
    std::thread m_thread;
};

// One line on standard error per problem of the two sections the demo
// shows, in the form compilers use, naming the file as strShown; the
// windows then show what they can.
void ReportSkinProblems(const CString& strSkinFile, const CString& strShown) {
    const std::string strProblem = SkinFileUnreadable(strSkinFile);
    if (!strProblem.empty()) {
        ReportProblem("cannot read skin file " + ToUtf8(strShown) + ": " + strProblem +
                      "; showing plain windows");
        return;
    }
    LintRequest request;
    request.strSkinFile = strSkinFile;
    request.sections = {L"CommonWindow\\MainDlgInfo", L"CommonWindow\\DemoPage"};
    for (const LintDiagnostic& diagnostic : LintSkinFile(request))
        ReportProblem(FormatDiagnostic(strShown, diagnostic));
}

int RunTour(CDemoContainer& dlg, const CString& strDir) {
    ::CreateDirectoryW(strDir, nullptr);
    const DWORD attributes = ::GetFileAttributesW(strDir);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ReportProblem("cannot make the tour's folder " + ToUtf8(strDir));
        return 2;
    }
    CTour tour(dlg, std::wstring(strDir.GetString()) + L"\\");
    tour.SetSteps(DemoTourSteps(tour));
    dlg.SetTicker([&tour] { tour.Tick(); }, kTourTickMs);
    CTourWatchdog watchdog;
    const INT_PTR nResult = dlg.DoModal();
    const bool bOk = tour.Finish(nResult);
    std::printf("tour: %s; screenshots and tour.json in %s\n",
                bOk ? "every step behaved" : "FAILED", ToUtf8(strDir).c_str());
    return nResult == -1 ? 2 : bOk ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == L"--help" || args[0] == L"-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const std::optional<CParsedCommand> command =
        ParseCommand({{L"--skin", L"--tour"}, {}, 0, 0}, args);
    if (!command ||
        (!command->Options(L"--tour").empty() && command->Option(L"--tour").IsEmpty())) {
        std::fputs(kUsage, stderr);
        return 64;
    }
    CGdiplusSession gdiplus;
    if (!gdiplus.Started()) {
        ReportProblem("GDI+ did not start");
        return 3;
    }
    const CString strGiven = command->Option(L"--skin");
    const CString strSkinFile =
        strGiven.IsEmpty() ? GetConfigDirectory() + L"Kelvane.xml" : ToFullWindowsPath(strGiven);
    // Named as the user gave it, so that an editor on either side of Wine finds it.
    ReportSkinProblems(strSkinFile, strGiven.IsEmpty() ? strSkinFile : strGiven);

    CDemoContainer dlg(strSkinFile);
    if (!command->Options(L"--tour").empty())
        return RunTour(dlg, ToFullWindowsPath(command->Option(L"--tour")));
    if (dlg.DoModal() == -1) {
        ReportProblem("the container could not be made");
        return 2;
    }
    return 0;
}
