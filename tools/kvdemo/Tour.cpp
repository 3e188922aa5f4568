#include "tools/kvdemo/Tour.h"

#include "runtime/ModuleApp.h"
#include "skin/ControlLayout.h"
#include "tools/common/Input.h"
#include "tools/common/WindowCapture.h"
#include "tools/kvdemo/DemoReport.h"
#include "tools/common/Utf8.h"

#include <cstdio>
#include <fstream>

using nlohmann::ordered_json;

namespace {

// How long an action may keep answering "not yet".
const ULONGLONG kPatienceMs = 8000;
// How long the broadcasting process may take after the container closed.
const DWORD kBroadcastWaitMs = 10000;

ordered_json RectJson(const RECT& rc) {
    return {{"left", rc.left}, {"top", rc.top}, {"right", rc.right}, {"bottom", rc.bottom}};
}

ordered_json PointJson(POINT pt) {
    return ordered_json::array({pt.x, pt.y});
}

ordered_json MeasureJson(const TourMeasure& m) {
    return {{"containerShown", m.bContainerShown},
            {"pageShown", m.bPageShown},
            {"container", RectJson(m.rcContainer)},
            {"page", RectJson(m.rcPage)},
            {"pageOffset", PointJson(PageOffset(m))},
            {"childPos", PointJson(m.ptChildPos)},
            {"containerItems", m.items},
            {"checks", m.checks},
            {"labels", m.labels},
            {"swatch", m.strSwatch},
            {"focus", m.strFocus},
            {"messageResult", m.nMessageResult}};
}

RECT WindowRect(HWND hWnd) {
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

std::string ClassName(HWND hWnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    return ToUtf8(name);
}

} // namespace

POINT PageOffset(const TourMeasure& m) {
    return POINT{m.rcPage.left - m.rcContainer.left, m.rcPage.top - m.rcContainer.top};
}

CTour::CTour(CDemoContainer& dlg, const std::wstring& strDir) : m_dlg(dlg), m_strDir(strDir) {
    m_json["steps"] = ordered_json::array();
}

CTour::~CTour() = default;

// ---------------------------------------------------------------------------
// Running the steps

void CTour::Tick() {
    // A screenshot or an action may look at the queue; a tick inside one waits.
    if (m_bInTick || ::GetTickCount64() < m_nNextAt)
        return;
    if (m_nStep >= m_steps.size()) {
        LeaveOpenContainer();
        return;
    }
    m_bInTick = true;
    if (!m_bStepStarted)
        StartStep();
    TourStep& step = m_steps[m_nStep];
    if (m_nAction < step.actions.size()) {
        const ULONGLONG now = ::GetTickCount64();
        if (m_nActionSince == 0)
            m_nActionSince = now;
        const TourAction& action = step.actions[m_nAction];
        const bool bDone = action.run();
        if (bDone) {
            m_nNextAt = ::GetTickCount64() + action.nPauseMs;
            ++m_nAction;
            m_nActionSince = 0;
        } else if (now - m_nActionSince >= kPatienceMs) {
            Fail(std::string("waited ") + std::to_string(kPatienceMs / 1000) + " s for " +
                 action.pszWaitingFor);
            m_nAction = step.actions.size(); // the rest would act on what is missing
        }
    } else {
        EndStep();
    }
    m_bInTick = false;
}

void CTour::StartStep() {
    m_bStepStarted = true;
    m_nAction = 0;
    m_nActionSince = 0;
    m_bShot = false;
    m_failures.clear();
    m_record = {{"name", m_steps[m_nStep].strName},
                {"ok", true},
                {"failures", ordered_json::array()},
                {"screenshot", nullptr}};
}

void CTour::EndStep() {
    const TourStep& step = m_steps[m_nStep];
    const TourMeasure measure = Measure();
    if (step.check)
        step.check(measure, m_record, m_failures);
    if (step.bScreenshot && !m_bShot)
        Shoot();
    m_record["ok"] = m_failures.empty();
    m_record["failures"] = m_failures;
    m_record["measured"] = MeasureJson(measure);
    m_json["steps"].push_back(m_record);

    std::printf("tour: %s: %s\n", step.strName.c_str(), m_failures.empty() ? "ok" : "FAILED");
    for (const std::string& failure : m_failures) {
        std::printf("  %s\n", failure.c_str());
        ReportProblem("tour step " + step.strName + ": " + failure);
    }
    std::fflush(stdout);
    m_bOk = m_bOk && m_failures.empty();
    ++m_nStep;
    m_bStepStarted = false;
}

void CTour::LeaveOpenContainer() {
    if (m_bEndedByTour)
        return;
    m_bEndedByTour = true;
    m_bOk = false;
    m_json["endedByTour"] = true;
    ReportProblem("the container was still open after the last step; the tour ended it");
    m_dlg.EndDialog(IDABORT);
}

bool CTour::Finish(INT_PTR nDoModalResult) {
    m_nDoModalResult = nDoModalResult;
    if (m_nStep < m_steps.size()) {
        if (!m_bStepStarted)
            StartStep();
        if (m_pBroadcast)
            RecordBroadcast();
        const TourStep& step = m_steps[m_nStep];
        // Only an action that waits for the end may be left when it came.
        if (m_nAction < step.actions.size() && !step.actions[m_nAction].bEndsModal)
            Fail("the container closed before this step was done");
        EndStep();
    }
    for (; m_nStep < m_steps.size(); ++m_nStep) {
        m_json["steps"].push_back({{"name", m_steps[m_nStep].strName},
                                   {"ok", false},
                                   {"failures", {"not reached: the container had closed"}},
                                   {"screenshot", nullptr}});
        m_bOk = false;
    }
    m_json["doModal"] = nDoModalResult;
    m_json["ok"] = m_bOk;
    WriteJson();
    return m_bOk;
}

void CTour::WriteJson() {
    std::ofstream file((m_strDir + L"tour.json").c_str(), std::ios::binary);
    file << m_json.dump(2, ' ', false, ordered_json::error_handler_t::replace) << "\n";
    if (!file) {
        ReportProblem("cannot write " + ToUtf8((m_strDir + L"tour.json").c_str()));
        m_bOk = false;
    }
}

// ---------------------------------------------------------------------------
// Measuring and screenshots

TourMeasure CTour::Measure() {
    TourMeasure m;
    const HWND hContainer = m_dlg.m_hWnd;
    m.bContainerShown = hContainer && ::IsWindowVisible(hContainer);
    m.rcContainer = hContainer ? WindowRect(hContainer) : RECT{};
    m.ptChildPos = m_dlg.ChildPos();
    for (const _XmlDynamicItem& item : m_dlg.m_arrDynamicItems) {
        const int nState = m_dlg.ItemState(item.strID);
        if (nState >= 0)
            m.items[ToUtf8(item.strID)] = nState;
    }
    CDemoPage* pPage = m_dlg.Page();
    if (!pPage || !pPage->m_hWnd)
        return m;
    m.bPageShown = pPage->IsWindowVisible() != FALSE;
    m.rcPage = WindowRect(pPage->m_hWnd);
    const HWND hFocus = ::GetFocus();
    m.strFocus = hFocus ? ClassName(hFocus) : std::string();
    for (const _XmlDynamicItem& item : pPage->m_arrDynamicItems) {
        const std::string strID = ToUtf8(item.strID);
        const int nKind = KvLayout::ButtonKindFromStyle(item.nControlStyle);
        if (item.nControlType == 1)
            m.labels[strID] = ToUtf8(pPage->LabelText(item.strID));
        else if (nKind == KvLayout::kKindCheck || nKind == KvLayout::kKindRadio)
            m.checks[strID] = pPage->CheckOf(item.strID);
        const CWnd* pControl = pPage->ItemWindow(item.strID);
        if (hFocus && pControl && pControl->m_hWnd == hFocus)
            m.strFocus = strID;
    }
    m.strSwatch = ToUtf8(pPage->SwatchShown());
    m.nMessageResult = pPage->LastMessageResult();
    return m;
}

std::string CTour::ScreenshotName() const {
    char name[80];
    std::snprintf(name, sizeof(name), "%02u-%s.png", static_cast<unsigned>(m_nStep + 1),
                  m_steps[m_nStep].strName.c_str());
    return name;
}

bool CTour::Shoot(const std::vector<HWND>& extra) {
    m_bShot = true;
    const std::string strName = ScreenshotName();
    std::vector<HWND> over;
    if (CDemoPage* pPage = m_dlg.Page())
        over.push_back(pPage->m_hWnd);
    over.insert(over.end(), extra.begin(), extra.end());
    const std::wstring strError = WindowCapture::CaptureWindowsToPng(
        m_strDir + std::wstring(strName.begin(), strName.end()), m_dlg.m_hWnd, over);
    if (!strError.empty()) {
        Fail("no screenshot: " + ToUtf8(strError.c_str()));
        return false;
    }
    m_record["screenshot"] = strName;
    return true;
}

// ---------------------------------------------------------------------------
// Input

void CTour::HoverContainerItem(LPCWSTR pszID) {
    const RECT rc = m_dlg.ItemRect(pszID);
    KvInput::PostMove(m_dlg.m_hWnd, POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

bool CTour::ClickPageItem(LPCWSTR pszID) {
    CDemoPage* pPage = m_dlg.Page();
    CWnd* pControl = pPage ? pPage->ItemWindow(pszID) : nullptr;
    if (!pControl)
        return false;
    CRect rc;
    pControl->GetClientRect(&rc);
    // The button checks where the cursor is before it counts a release as a click.
    KvInput::PostClick(pControl->m_hWnd, rc.CenterPoint());
    return true;
}

std::string CTour::PressKey(UINT nVirtualKey) {
    HWND hTarget = ::GetFocus();
    if (!hTarget)
        hTarget = m_dlg.m_hWnd;
    const UINT nScan = ::MapVirtualKeyW(nVirtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(hTarget, WM_KEYDOWN, nVirtualKey, 1 | (nScan << 16));
    ::PostMessageW(hTarget, WM_KEYUP, nVirtualKey, 1 | (nScan << 16) | 0xC0000000u);
    return ClassName(hTarget);
}

bool CTour::StartBroadcast() {
    m_pBroadcast = std::make_unique<KvProcess::CRunningProcess>(
        std::wstring(GetModuleDirectory(nullptr).GetString()) + L"kvhub.exe",
        std::vector<std::wstring>{L"broadcast", L"20"});
    return m_pBroadcast->Started();
}

void CTour::RecordBroadcast() {
    if (!m_pBroadcast->WaitForExit(kBroadcastWaitMs)) {
        m_record["kvhub"] = {{"exitCode", nullptr}, {"output", "still running"}};
        return;
    }
    const KvProcess::RunResult result = m_pBroadcast->Finish(0);
    m_record["kvhub"] = {{"exitCode", result.nExitCode}, {"output", result.strOut + result.strErr}};
}
