#include "tools/kvdemo/Tour.h"

#include "tools/common/Input.h"
#include "tools/common/Utf8.h"

#include <memory>

using nlohmann::ordered_json;
using Failures = std::vector<std::string>;

namespace {

// The caption drag: where in the band it starts, how far it goes, in how many moves.
const int kBandBottomInset = 14;
const POINT kDragBy = {-180, -120};
const int kDragMoves = 6;
// The broadcast has this long to close the container before the tour does.
const ULONGLONG kBroadcastPatienceMs = 5000;

std::string Quoted(const std::string& str) {
    return "\"" + str + "\"";
}

template <class Map>
typename Map::mapped_type Value(const Map& map, const char* pszKey,
                                typename Map::mapped_type missing) {
    const auto found = map.find(pszKey);
    return found == map.end() ? missing : found->second;
}

void ExpectState(Failures& failures, const std::map<std::string, int>& states, const char* pszID,
                 int nExpected, const char* pszWhat) {
    const int nState = Value(states, pszID, -1);
    if (nState != nExpected)
        failures.push_back(std::string(pszID) + " " + pszWhat + " is " + std::to_string(nState) +
                           ", expected " + std::to_string(nExpected));
}

void ExpectText(Failures& failures, const char* pszWhat, const std::string& strGot,
                const std::string& strExpected) {
    if (strGot != strExpected)
        failures.push_back(std::string(pszWhat) + " is " + Quoted(strGot) + ", expected " +
                           Quoted(strExpected));
}

// Both windows shown, the page's corner at "ChildPos" from the container's.
void ExpectFramed(const TourMeasure& m, Failures& failures) {
    if (!m.bContainerShown)
        failures.push_back("the container is not shown");
    if (!m.bPageShown)
        failures.push_back("the page is not shown");
    const POINT offset = PageOffset(m);
    if (offset.x != m.ptChildPos.x || offset.y != m.ptChildPos.y)
        failures.push_back("the page is at " + std::to_string(offset.x) + "," +
                           std::to_string(offset.y) + " from the container, expected ChildPos " +
                           std::to_string(m.ptChildPos.x) + "," + std::to_string(m.ptChildPos.y));
}

std::string PageEntry(CTour& tour, LPCWSTR pszKey) {
    CDemoPage* pPage = tour.Container().Page();
    return pPage ? ToUtf8(pPage->Entry(pszKey)) : std::string();
}

struct BoxSearch {
    HWND hContainer, hPage, hFound;
};

// A named function: the 32-bit callback is stdcall, which a lambda is not.
BOOL CALLBACK FindBoxAmong(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<BoxSearch*>(lParam);
    wchar_t name[16] = {};
    ::GetClassNameW(hWnd, name, 16);
    if (hWnd == pSearch->hContainer || hWnd == pSearch->hPage || !::IsWindowVisible(hWnd) ||
        wcscmp(name, L"#32770") != 0)
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}

// A visible dialog of this thread that is neither the container nor its page.
HWND FindMessageBox(CTour& tour) {
    BoxSearch search = {tour.Container().m_hWnd, nullptr, nullptr};
    if (CDemoPage* pPage = tour.Container().Page())
        search.hPage = pPage->m_hWnd;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBoxAmong, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

// The caption and the text of a message box: its one static with text.
ordered_json MessageBoxJson(HWND hBox) {
    wchar_t text[512] = {};
    ::GetWindowTextW(hBox, text, 512);
    ordered_json box = {{"caption", ToUtf8(text)}, {"text", ""}};
    for (HWND hChild = ::GetWindow(hBox, GW_CHILD); hChild;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(hChild, name, 16);
        text[0] = 0;
        ::GetWindowTextW(hChild, text, 512);
        if (_wcsicmp(name, L"Static") == 0 && text[0])
            box["text"] = ToUtf8(text);
    }
    return box;
}

// --- the steps

TourStep StartStep(CTour& tour) {
    TourStep step("start");
    step.actions = {
        {[] {
            // Away from the windows, so that nothing starts hot.
            ::SetCursorPos(1, ::GetSystemMetrics(SM_CYSCREEN) - 2);
            return true;
        }},
        {[&tour] {
             CDemoPage* pPage = tour.Container().Page();
             return tour.Container().IsWindowVisible() && pPage && pPage->IsWindowVisible();
         },
         800, "the container and its page to be shown"},
    };
    step.check = [&tour](const TourMeasure& m, const ordered_json&, Failures& f) {
        ExpectFramed(m, f);
        RECT area = {};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        const LONG dx = (m.rcContainer.left + m.rcContainer.right) - (area.left + area.right);
        const LONG dy = (m.rcContainer.top + m.rcContainer.bottom) - (area.top + area.bottom);
        if (dx < -2 || dx > 2 || dy < -2 || dy > 2)
            f.push_back("the container is not in the middle of the work area");
        ExpectState(f, m.items, "BTN_CLOSE", 0, "state");
        ExpectState(f, m.checks, "CHK_DETAILS", BST_UNCHECKED, "check");
        ExpectState(f, m.checks, "RAD_TEAL", BST_CHECKED, "check");
        ExpectText(f, "the swatch", m.strSwatch, "RAD_TEAL");
        ExpectText(f, "LBL_DETAILS", Value(m.labels, "LBL_DETAILS", std::string()),
                   PageEntry(tour, L"DetailsHidden"));
    };
    return step;
}

TourStep HoverCloseStep(CTour& tour) {
    TourStep step("hover-close");
    step.actions = {{[&tour] {
                         tour.HoverContainerItem(L"BTN_CLOSE");
                         return true;
                     },
                     400}};
    step.check = [](const TourMeasure& m, const ordered_json&, Failures& f) {
        ExpectFramed(m, f);
        ExpectState(f, m.items, "BTN_CLOSE", 1, "state (hot)");
    };
    return step;
}

TourStep CheckDetailsStep(CTour& tour) {
    TourStep step("check-details");
    // Long enough after the click for the close item to hear the pointer left.
    step.actions = {
        {[&tour] { return tour.ClickPageItem(L"CHK_DETAILS"); }, 600, "CHK_DETAILS on the page"}};
    step.check = [&tour](const TourMeasure& m, const ordered_json&, Failures& f) {
        ExpectFramed(m, f);
        ExpectState(f, m.checks, "CHK_DETAILS", BST_CHECKED, "check");
        ExpectText(f, "LBL_DETAILS", Value(m.labels, "LBL_DETAILS", std::string()),
                   PageEntry(tour, L"DetailsShown"));
        ExpectState(f, m.items, "BTN_CLOSE", 0, "state");
    };
    return step;
}

TourStep PickAmberStep(CTour& tour) {
    TourStep step("pick-amber");
    step.actions = {
        {[&tour] { return tour.ClickPageItem(L"RAD_AMBER"); }, 400, "RAD_AMBER on the page"}};
    step.check = [](const TourMeasure& m, const ordered_json&, Failures& f) {
        ExpectFramed(m, f);
        ExpectState(f, m.checks, "RAD_AMBER", BST_CHECKED, "check");
        ExpectState(f, m.checks, "RAD_TEAL", BST_UNCHECKED, "check");
        ExpectState(f, m.checks, "RAD_VIOLET", BST_UNCHECKED, "check");
        ExpectText(f, "the swatch", m.strSwatch, "RAD_AMBER");
    };
    return step;
}

TourStep EnterEscapeStep(CTour& tour) {
    TourStep step("enter-escape");
    step.actions = {{[&tour] {
                         tour.Record()["enterSentTo"] = tour.PressKey(VK_RETURN);
                         return true;
                     },
                     300},
                    {[&tour] {
                         tour.Record()["escapeSentTo"] = tour.PressKey(VK_ESCAPE);
                         return true;
                     },
                     400}};
    step.check = [](const TourMeasure& m, const ordered_json&, Failures& f) {
        ExpectFramed(m, f);
        // The focus stayed where the click put it: the keys went to the page.
        ExpectText(f, "the focus", m.strFocus, "RAD_AMBER");
    };
    return step;
}

TourStep MessageBoxStep(CTour& tour) {
    TourStep step("message-box");
    auto box = std::make_shared<HWND>(nullptr);
    step.actions = {
        {[&tour] { return tour.ClickPageItem(L"BTN_MESSAGE"); }, 100, "BTN_MESSAGE on the page"},
        // The box runs its own modal loop; this tour's ticks go on inside it.
        {[&tour, box] { return (*box = FindMessageBox(tour)) != nullptr; }, 600, "the message box"},
        {[&tour, box] {
            tour.Record()["messageBox"] = MessageBoxJson(*box);
            tour.Shoot({*box});
            return true;
        }},
        {[&tour] {
             tour.Record()["answeredWith"] = "Enter, to " + tour.PressKey(VK_RETURN);
             return true;
         },
         200},
        {[box] { return !::IsWindow(*box); }, 300, "the message box to close"},
    };
    step.check = [&tour](const TourMeasure& m, const ordered_json& record, Failures& f) {
        ExpectFramed(m, f);
        if (m.nMessageResult != IDOK)
            f.push_back("ShowMessageBox gave " + std::to_string(m.nMessageResult) +
                        ", expected IDOK (1)");
        const ordered_json found = record.value("messageBox", ordered_json::object());
        ExpectText(f, "the box's caption", found.value("caption", ""),
                   PageEntry(tour, L"MessageCaption"));
        ExpectText(f, "the box's text", found.value("text", ""), PageEntry(tour, L"MessageText"));
    };
    return step;
}

TourStep DragStep(CTour& tour) {
    TourStep step("drag");
    auto start = std::make_shared<POINT>();
    step.actions.push_back({[&tour, start] {
                                CDemoContainer& dlg = tour.Container();
                                CRect rc;
                                dlg.GetWindowRect(&rc);
                                *start = {rc.left + rc.Width() / 2,
                                          rc.top +
                                              std::max(1, dlg.CaptionHeight() - kBandBottomInset)};
                                tour.Record()["how"] = "a press in the caption band, moves of "
                                                       "the real pointer, a release (SendInput, "
                                                       "SetCursorPos)";
                                tour.Record()["from"] = {rc.left, rc.top};
                                tour.Record()["by"] = {kDragBy.x, kDragBy.y};
                                ::SetCursorPos(start->x, start->y);
                                return true;
                            },
                            150});
    step.actions.push_back({[] {
                                KvInput::LeftButton(true);
                                return true;
                            },
                            300});
    // The system's move loop runs now; these ticks come from inside it.
    for (int i = 1; i <= kDragMoves; ++i)
        step.actions.push_back({[start, i] {
                                    ::SetCursorPos(start->x + kDragBy.x * i / kDragMoves,
                                                   start->y + kDragBy.y * i / kDragMoves);
                                    return true;
                                },
                                80});
    step.actions.push_back({[] {
                                KvInput::LeftButton(false);
                                return true;
                            },
                            500});
    step.check = [](const TourMeasure& m, const ordered_json& record, Failures& f) {
        ExpectFramed(m, f);
        const ordered_json from = record.value("from", ordered_json::array({0, 0}));
        const LONG nWantX = from[0].get<LONG>() + kDragBy.x;
        const LONG nWantY = from[1].get<LONG>() + kDragBy.y;
        if (m.rcContainer.left != nWantX || m.rcContainer.top != nWantY)
            f.push_back("the container is at " + std::to_string(m.rcContainer.left) + "," +
                        std::to_string(m.rcContainer.top) + ", expected " + std::to_string(nWantX) +
                        "," + std::to_string(nWantY));
    };
    return step;
}

TourStep BroadcastCloseStep(CTour& tour) {
    TourStep step("broadcast-close");
    step.bScreenshot = false; // nothing is left to show
    auto since = std::make_shared<ULONGLONG>(0);
    step.actions.push_back({[&tour, since] {
        *since = ::GetTickCount64();
        if (!tour.StartBroadcast())
            tour.Fail("kvhub.exe beside kvdemo.exe cannot be started");
        return true;
    }});
    TourAction wait = {[&tour, since] {
                           // Not closed in time: closed here, so the tour ends either way.
                           if (::GetTickCount64() - *since > kBroadcastPatienceMs &&
                               tour.Container().m_hWnd) {
                               tour.Fail("the broadcast did not close the container; "
                                         "closed with WM_CLOSE_CONTAINER instead");
                               tour.Container().PostMessage(WM_CLOSE_CONTAINER);
                               *since = ::GetTickCount64();
                           }
                           return false;
                       },
                       0, "the container to close"};
    wait.bEndsModal = true;
    step.actions.push_back(wait);
    step.check = [&tour](const TourMeasure& m, const ordered_json& record, Failures& f) {
        if (tour.DoModalResult() != IDCANCEL)
            f.push_back("DoModal gave " + std::to_string(tour.DoModalResult()) +
                        ", expected IDCANCEL (2)");
        if (m.bContainerShown || m.bPageShown)
            f.push_back("a window is still shown");
        const ordered_json kvhub = record.value("kvhub", ordered_json::object());
        if (kvhub.value("exitCode", -1) != 0 || kvhub.value("output", "") != "1\r\n")
            f.push_back("kvhub broadcast 20 did not exit with 0 after reaching one window");
    };
    return step;
}

} // namespace

std::vector<TourStep> DemoTourSteps(CTour& tour) {
    return {StartStep(tour),     HoverCloseStep(tour),    CheckDetailsStep(tour),
            PickAmberStep(tour), EnterEscapeStep(tour),   MessageBoxStep(tour),
            DragStep(tour),      BroadcastCloseStep(tour)};
}
