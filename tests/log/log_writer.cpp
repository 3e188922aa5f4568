// Appends numbered lines to a log from a process of its own, for the test of
// writers in several processes: log_writer PATH ID COUNT START_EVENT. It
// starts writing when the event is set, so that all writers overlap.
#include "runtime/Log.h"

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 5)
        return 2;
    const std::string path = argv[1], event = argv[4];
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, event.c_str());
    if (start == nullptr || WaitForSingleObject(start, 60000) != WAIT_OBJECT_0)
        return 1;
    InitLog(L"Kelvane", std::wstring(path.begin(), path.end()).c_str());
    const int id = std::atoi(argv[2]), count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i)
        WriteLog(L"writer %d line %04d", id, i);
    return 0;
}
