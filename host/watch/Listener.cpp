// The listener window passes every message it receives, its own creation and destruction
// included, to the rendering window, and then gives the listener its default processing.
#include "Listener.h"

#include "core/HostState.h"

LRESULT CALLBACK ListenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const HostState::Forwarded previous = g_host.forwarding;
    g_host.forwarding = {true, message, wParam, lParam};
    SendMessageA(g_host.renderingWindow, message, wParam, lParam);
    g_host.forwarding = previous;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool TakeForwardedMark(UINT message, WPARAM wParam, LPARAM lParam) {
    const HostState::Forwarded& mark = g_host.forwarding;
    if (!mark.active || mark.message != message || mark.wParam != wParam || mark.lParam != lParam)
        return false;
    g_host.forwarding.active = false;
    return true;
}

void CreateListenerWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ListenerWindowProc;
    windowClass.hInstance = g_host.instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = CORVANE_LISTENER_CLASS;
    if (!RegisterClassExA(&windowClass)) {
        ReportFailure("Failed to create top level listener window");
        return;
    }
    g_host.listenerWindow =
        CreateWindowExA(0, CORVANE_LISTENER_CLASS, CORVANE_LISTENER_TITLE, 0, 0, 0, 0, 0,
                        GetDesktopWindow(), nullptr, g_host.instance, nullptr);
}

void DestroyListenerWindow() {
    if (!DestroyWindow(g_host.listenerWindow))
        ReportFailure("Failed to delete top level listener window");
    g_host.listenerWindow = nullptr;
    if (!UnregisterClassA(CORVANE_LISTENER_CLASS, g_host.instance))
        ReportFailure("Failed to unregister top level listener class");
}
