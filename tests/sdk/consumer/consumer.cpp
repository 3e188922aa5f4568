// Loads the regular DLL built against the SDK and asks whether its
// application object started in its own module state.
#include <windows.h>

#include <cstdio>

int main() {
    HMODULE hPlugin = LoadLibraryW(L"sdk_plugin.dll");
    if (hPlugin == nullptr) {
        std::fprintf(stderr, "sdk_plugin.dll did not load (error %lu)\n", GetLastError());
        return 1;
    }
    auto started = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(hPlugin, "PluginStarted")));
    const bool ok = started != nullptr && started() != 0;
    FreeLibrary(hPlugin);
    std::printf("regular DLL started in its own module state: %s\n", ok ? "yes" : "no");
    return ok ? 0 : 1;
}
