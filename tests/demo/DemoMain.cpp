// The host on the stand-in shell desktop, both in one process. Under Wine a child window
// draws nothing visible when its top-level window belongs to another process (Wine gives it
// a dummy window surface), so the rain of a real tavrin.exe under a stand-in desktop in
// another process cannot be seen. Here the stand-in runs on a thread of its own and the
// host's own start-up, loop and shutdown run unchanged on the main thread.
#include <windows.h>

#include "core/HostState.h"
#include "core/Shutdown.h"
#include "StandinDesktop.h"

namespace {

struct StandinArgs {
    HINSTANCE instance;
    const char* commandLine;
};

DWORD WINAPI StandinThread(LPVOID parameter) {
    auto* args = static_cast<StandinArgs*>(parameter);
    return static_cast<DWORD>(StandinMain(args->instance, args->commandLine));
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    StandinArgs args = {instance, ""};
    HANDLE standin = CreateThread(nullptr, 0, StandinThread, &args, 0, nullptr);
    for (int i = 0; i < 200 && !FindWindowA("Progman", "Program Manager") &&
                    !FindWindowA("DesktopBackgroundClass", nullptr);
         ++i)
        Sleep(10);
    Sleep(200);
    InitialiseHostState();
    int code = HostMain(instance, showCommand);
    HWND top = FindWindowA("Progman", "Program Manager");
    if (top) PostMessageA(top, WM_CLOSE, 0, 0);
    WaitForSingleObject(standin, 5000);
    CloseHandle(standin);
    return code;
}
