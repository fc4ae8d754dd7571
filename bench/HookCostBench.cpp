// The cost the desktop monitor hook adds to every message of an unrelated window: the same
// messages sent with and without the hook installed, in one run. Prints both and the
// difference per message.
#include <windows.h>

#include <cstdio>

#include "Quillet.h"

namespace {

constexpr int kMessages = 200000;

double NanosecondsPerMessage(HWND window) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kMessages; ++i)
        SendMessageA(window, WM_USER + 7, i, 0);
    QueryPerformanceCounter(&end);
    return (end.QuadPart - start.QuadPart) * 1e9 / frequency.QuadPart / kMessages;
}

HHOOK g_emptyHook = nullptr;
LRESULT CALLBACK EmptyHook(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(g_emptyHook, code, wParam, lParam);
}

} // namespace

int main() {
    HWND unrelated = CreateWindowExA(0, "STATIC", "unrelated", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, nullptr, nullptr);
    HWND target = CreateWindowExA(0, "STATIC", "target", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    NanosecondsPerMessage(unrelated); // warm up
    const double without = NanosecondsPerMessage(unrelated);
    if (!SetDesktopMonitorHook(target)) {
        std::printf("the desktop monitor hook could not be installed\n");
        return 1;
    }
    const double with = NanosecondsPerMessage(unrelated);
    ClearDesktopMonitorHook(target);
    const double after = NanosecondsPerMessage(unrelated);
    // The same kind of hook for every thread, doing nothing: what any such hook costs.
    g_emptyHook = SetWindowsHookExA(WH_CALLWNDPROCRET, EmptyHook, GetModuleHandleA(nullptr), 0);
    const double empty = g_emptyHook ? NanosecondsPerMessage(unrelated) : 0;
    if (g_emptyHook) UnhookWindowsHookEx(g_emptyHook);
    std::printf("%d messages to an unrelated window, each way\n", kMessages);
    std::printf("without hook: %.0f ns per message\n", (without + after) / 2);
    std::printf("with hook:    %.0f ns per message\n", with);
    std::printf("added by the hook: %.0f ns per message\n", with - (without + after) / 2);
    if (empty > 0) {
        std::printf("an empty hook of the same kind: %.0f ns per message\n", empty);
        std::printf("added by the hook procedure itself: %.0f ns per message\n", with - empty);
    }
    DestroyWindow(unrelated);
    DestroyWindow(target);
    return 0;
}
