// A helper process for the hook library's tests. "hold": installs the desktop monitor hook
// for a window of its own and exits without removing it. "load": only maps the library and
// exits.
#include <windows.h>

#include <cstring>

#include "Quillet.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "hold") == 0) {
        HWND window = CreateWindowExA(0, "STATIC", "holder", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      nullptr, nullptr);
        return SetDesktopMonitorHook(window) ? 0 : 1;
    }
    return GetModuleHandleA("Quillet.dll") ? 0 : 1;
}
