// kvhub broadcast N | kvhub list
// Broadcasts a notification or lists the subscriptions of the suite's
// notification centre, from a process of its own.
#include "companions/HubExchange/HubExchange.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr int kExitUnavailable = 2;
constexpr int kExitUsage = 64;

const char kUsage[] =
    "usage: kvhub broadcast N | kvhub list\n"
    "  broadcast N  posts every window subscribed to notification N its message\n"
    "               and prints how many it reached\n"
    "  list         prints one line per subscription: notification, window, message\n"
    "  Exit codes: 0 done, 2 the subscription table is not available or busy,\n"
    "  64 wrong usage.\n";

bool ParseNotify(const wchar_t* text, int* notify) {
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text, &end, 10);
    if (end == text || *end != L'\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    *notify = static_cast<int>(value);
    return true;
}

int Fail(int result) {
    if (result == HX_BUSY)
        std::fputs("kvhub: the subscription table is busy: another process held its lock "
                   "for 5 seconds\n",
                   stderr);
    else
        std::fprintf(stderr, "kvhub: the subscription table is not available (%d)\n", result);
    return kExitUnavailable;
}

int Broadcast(int notify) {
    const int reached = HXBroadcastNotify(notify, 0, 0);
    if (reached < 0)
        return Fail(reached);
    std::printf("%d\n", reached);
    return 0;
}

int List() {
    // The table may grow between the two calls: ask until it fits.
    std::vector<HXSubscription> entries;
    int count = 0;
    do {
        entries.resize(static_cast<size_t>(count));
        count = HXListNotify(entries.data(), static_cast<int>(entries.size()));
        if (count < 0)
            return Fail(count);
    } while (static_cast<size_t>(count) > entries.size());
    // On standard error, so that the listing itself stays one line per subscription.
    if (count == 0)
        std::fputs("kvhub: no subscriptions\n", stderr);
    for (int i = 0; i < count; ++i) {
        const HXSubscription& entry = entries[static_cast<size_t>(i)];
        std::printf("%d 0x%08lX 0x%04X\n", entry.nNotify, HandleToULong(entry.hWnd),
                    entry.nMessage);
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int notify = 0;
    if (argc == 3 && std::wcscmp(argv[1], L"broadcast") == 0 && ParseNotify(argv[2], &notify))
        return Broadcast(notify);
    if (argc == 2 && std::wcscmp(argv[1], L"list") == 0)
        return List();
    if (argc == 2 && (std::wcscmp(argv[1], L"--help") == 0 || std::wcscmp(argv[1], L"-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::fputs(kUsage, stderr);
    return kExitUsage;
}
