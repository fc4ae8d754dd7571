// The global HostState and the host's failure report.
#include "HostState.h"

HostState g_host;

void InitialiseHostState() {
    HANDLE event = g_host.desktopRedrawEvent;
    g_host = HostState();
    // The named event lives as long as the process; a reset keeps the one handle.
    g_host.desktopRedrawEvent =
        event ? event : CreateEventA(nullptr, FALSE, FALSE, CORVANE_REDRAW_EVENT_NAME);
    g_host.originalDesktopColour = GetSysColor(COLOR_BACKGROUND);
    g_host.lastDesktopColour = g_host.originalDesktopColour;

    WNDCLASSEXA& dummy = g_host.dummyWindowClass;
    dummy.cbSize = sizeof dummy;
    dummy.lpfnWndProc = DefWindowProcA;
    dummy.hInstance = GetModuleHandleA(nullptr);
    dummy.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    dummy.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    dummy.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    dummy.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    dummy.lpszClassName = CORVANE_DUMMY_CLASS;
}

void ReportFailure(const char* text) {
    MessageBoxA(g_host.renderingWindow, text, "debug", MB_OK);
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
}
