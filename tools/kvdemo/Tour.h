// The scripted tour: steps of real input (the cursor set where a person's
// would be, mouse and key messages posted through the modal loop, a caption
// drag through the system's input, a broadcast from another process), each
// followed by a measurement, its expectations and a screenshot. It runs from
// the container's timer inside the modal loop, one action per tick, and
// never sleeps there: waiting is a later tick.
#pragma once

#include "tools/common/Process.h"
#include "tools/kvdemo/DemoContainer.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// What a step measured of the windows.
struct TourMeasure {
    bool bContainerShown = false;
    bool bPageShown = false;
    RECT rcContainer = {};
    RECT rcPage = {};
    POINT ptChildPos = {};
    std::map<std::string, int> items;  // the container's drawn items: state
    std::map<std::string, int> checks; // the page's buttons: BM_GETCHECK
    std::map<std::string, std::string> labels;
    std::string strSwatch;  // the radio whose picture the swatch shows
    std::string strFocus;   // the item that has the keyboard focus, or a class name
    int nMessageResult = 0; // of the page's last message box
};

POINT PageOffset(const TourMeasure& measure);

struct TourAction {
    // Runs on a tick; false means not yet: it runs again on the next tick,
    // until the tour's patience runs out and the step fails.
    std::function<bool()> run;
    DWORD nPauseMs = 0; // after it is done, before the next action
    const char* pszWaitingFor = "";
    // Done when the container has ended: the tour finishes there.
    bool bEndsModal = false;
};

struct TourStep {
    explicit TourStep(std::string name) : strName(std::move(name)) {}

    std::string strName;
    bool bScreenshot = true; // taken at its end unless an action took it
    std::vector<TourAction> actions;
    // One text per expectation that the measurement, or what the actions
    // wrote into the step's record, breaks.
    std::function<void(const TourMeasure&, const nlohmann::ordered_json& record,
                       std::vector<std::string>& failures)>
        check;
};

class CTour {
public:
    // strDir ends with a backslash and exists.
    CTour(CDemoContainer& dlg, const std::wstring& strDir);
    ~CTour();
    CTour(const CTour&) = delete;
    CTour& operator=(const CTour&) = delete;

    void SetSteps(std::vector<TourStep> steps) { m_steps = std::move(steps); }
    // The container's ticker.
    void Tick();
    // After DoModal returned: ends the step that was running, names the
    // steps never reached, writes tour.json. True when every step behaved.
    bool Finish(INT_PTR nDoModalResult);

    // What actions and checks use.
    CDemoContainer& Container() { return m_dlg; }
    TourMeasure Measure();
    // The current step's record in tour.json, for what an action saw.
    nlohmann::ordered_json& Record() { return m_record; }
    // A screenshot of container, page and extra windows for the current
    // step; false (and a failure) when it could not be written.
    bool Shoot(const std::vector<HWND>& extra = {});
    void Fail(const std::string& strWhat) { m_failures.push_back(strWhat); }
    INT_PTR DoModalResult() const { return m_nDoModalResult; }

    // Input as a person gives it.
    // The cursor over an item's centre and a move posted to the window under it.
    void HoverContainerItem(LPCWSTR pszID);
    // A press and release posted to the page's control of this item, with the
    // cursor over its centre; false when the page has no such control.
    bool ClickPageItem(LPCWSTR pszID);
    // Key down and up posted to the window with the focus (the container when
    // no window of this thread has it); returns the ID or class it went to.
    std::string PressKey(UINT nVirtualKey);
    // Starts `kvhub broadcast 20`; false when it cannot be started. Its
    // exit code and output go into the record of the step the container's
    // end finishes ("kvhub").
    bool StartBroadcast();

private:
    // Waits a few seconds for the broadcasting process and records it.
    void RecordBroadcast();
    // Ends a container that the steps left open, as a failure.
    void LeaveOpenContainer();
    void StartStep();
    void EndStep();
    std::string ScreenshotName() const;
    void WriteJson();

    CDemoContainer& m_dlg;
    std::wstring m_strDir;
    std::vector<TourStep> m_steps;
    size_t m_nStep = 0;
    size_t m_nAction = 0;
    bool m_bStepStarted = false;
    bool m_bInTick = false;
    ULONGLONG m_nNextAt = 0;      // the next action runs from then
    ULONGLONG m_nActionSince = 0; // when the running action first ran
    bool m_bShot = false;         // the current step's screenshot is taken
    std::vector<std::string> m_failures;
    nlohmann::ordered_json m_record;
    nlohmann::ordered_json m_json;
    INT_PTR m_nDoModalResult = -1;
    bool m_bOk = true;
    bool m_bEndedByTour = false;
    std::unique_ptr<KvProcess::CRunningProcess> m_pBroadcast;
};

// The demo's tour, in order: start, hover the close item, check, pick a
// radio, the message box, Enter and Escape, a caption drag, the broadcast.
std::vector<TourStep> DemoTourSteps(CTour& tour);
