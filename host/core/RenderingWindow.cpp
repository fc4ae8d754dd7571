// The rendering window's procedure. Each message goes to one handler over g_host; the handlers
// keep no state of their own, because message boxes and SendMessageA can re-enter them.
#include "RenderingWindow.h"

#include "HostState.h"
#include "Shutdown.h"
#include "desktop/Background.h"
#include "desktop/DesktopColour.h"
#include "desktop/Wallpaper.h"
#include "Tray.h"
#include "watch/Listener.h"

namespace {

void RegisterHookMessages() {
    struct Entry {
        bool* registered;
        UINT* id;
        const char* name;
    };
    const Entry entries[] = {
        {&g_host.msgDesktopRedrawRegistered, &g_host.msgDesktopRedraw, UWM_DESKTOPREDRAW_NAME},
        {&g_host.msgDesktopItemChangedRegistered, &g_host.msgDesktopItemChanged,
         UWM_DESKTOPITEMCHANGED_NAME},
        {&g_host.msgDesktopChildAttachedRegistered, &g_host.msgDesktopChildAttached,
         UWM_DESKTOPCHILDATTACHED_NAME},
    };
    for (const Entry& entry : entries) {
        if (*entry.registered) continue;
        *entry.registered = true;
        *entry.id = RegisterWindowMessageA(entry.name);
    }
    if (!g_host.msgTaskbarCreated)
        g_host.msgTaskbarCreated = RegisterWindowMessageA("TaskbarCreated");
}

void OnClose(UINT message, bool forwarded) {
    if (message == WM_DESTROY && !forwarded) g_host.renderingWindowDestroying = true;
    Shutdown();
    PostQuitMessage(0);
}

void DrawOntoScreen() {
    HDC dc = GetDC(nullptr);
    SetViewportOrgEx(dc, g_host.virtualLeft, g_host.virtualTop, nullptr);
    g_host.engine->DrawFrame(dc);
    ReleaseDC(nullptr, dc);
}

void DrawIntoRenderingWindow() {
    POINT origin = {0, 0};
    ClientToScreen(g_host.renderingWindow, &origin);
    HDC dc = GetDC(g_host.renderingWindow);
    SelectClipRgn(dc, g_host.clipRegion);
    const XFORM identity = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    SetWorldTransform(dc, &identity);
    OffsetViewportOrgEx(dc, g_host.virtualLeft - origin.x, g_host.virtualTop - origin.y, nullptr);
    g_host.engine->DrawFrame(dc);
    ReleaseDC(g_host.renderingWindow, dc);
}

// Requests that arrive before start-up completes wait in arrival order; start-up re-posts
// them at its end. Screen-save mode itself is not built yet, so a request after start-up is
// acknowledged and goes no further.
void OnScreenSaveRequest(WPARAM wParam, LPARAM lParam) {
    if (g_host.startupComplete) {
        g_host.screenSaveRequestsQueued = false;
        return;
    }
    g_host.pendingScreenSaveRequests.emplace_back(wParam, lParam);
    g_host.screenSaveRequestsQueued = true;
}

// Messages 1031..1042: odd numbers read, even numbers write, in the order B, A, D, C, F, E.
using GetParam = double (STDMETHODCALLTYPE IVESKAR::*)();
using SetParam = double (STDMETHODCALLTYPE IVESKAR::*)(double*);
struct ParamMessage {
    GetParam get;
    SetParam set;
};
const ParamMessage kParamMessages[] = {
    {&IVESKAR::GetParamB, &IVESKAR::SetParamB}, {&IVESKAR::GetParamA, &IVESKAR::SetParamA},
    {&IVESKAR::GetParamD, &IVESKAR::SetParamD}, {&IVESKAR::GetParamC, &IVESKAR::SetParamC},
    {&IVESKAR::GetParamF, &IVESKAR::SetParamF}, {&IVESKAR::GetParamE, &IVESKAR::SetParamE},
};

LRESULT OnParamMessage(UINT message, LPARAM lParam) {
    if (!g_host.engine) return 0;
    const ParamMessage& entry = kParamMessages[(message - CVM_GETPARAMB) / 2];
    if ((message - CVM_GETPARAMB) % 2 == 0) {
        // Truncation toward zero: 2.9 reads as 2, -2.9 as -2.
        return static_cast<LRESULT>(static_cast<LONG>((g_host.engine->*entry.get)()));
    }
    double value = static_cast<double>(static_cast<LONG>(lParam));
    (g_host.engine->*entry.set)(&value);
    return 0;
}

void OnTimer(WPARAM id) {
    if (id == CORVANE_TIMER_ANIMATION) {
        DrawAnimationFrame();
    } else if (id == CORVANE_TIMER_CLICK) {
        KillTimer(g_host.renderingWindow, CORVANE_TIMER_CLICK);
        TogglePause();
    }
}

bool OnRegisteredMessage(UINT message, LPARAM lParam) {
    if (message == 0) return false;
    if (message == g_host.msgDesktopRedraw) return true;
    if (message == g_host.msgTaskbarCreated) {
        ReAddTrayIcon();
        return true;
    }
    if (message == g_host.msgDesktopItemChanged) {
        CalculateDiffRegion();
        return true;
    }
    if (message == g_host.msgDesktopChildAttached) {
        OnDesktopChildAttached(reinterpret_cast<HWND>(lParam));
        return true;
    }
    return false;
}

} // namespace

void DrawAnimationFrame() {
    if (g_host.workAreaChanged) {
        CalculateDiffRegion();
        g_host.workAreaChanged = false;
    }
    UpdateDesktopSuppression();
    if (!g_host.engine) return;
    if (g_host.screenSaving)
        DrawOntoScreen();
    else
        DrawIntoRenderingWindow();
}

void HandOverNewBackground(const char* deleteFailureText) {
    HandOverBackground(CreateBackgroundBitmap(), deleteFailureText);
}

namespace {

// Handles one message; returns true with its result, or false for the default result.
bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool forwarded,
                   LRESULT& result) {
    if (OnRegisteredMessage(message, lParam)) return false;
    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE: OnClose(message, forwarded); return false;
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
        OnClose(message, forwarded);
        result = 1;
        return true;
    case WM_ERASEBKGND: result = 0; return true;
    case WM_SYSCOLORCHANGE: OnDesktopColourChange(); return false;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) g_host.workAreaChanged = true;
        return false;
    case WM_COMMAND: OnMenuCommand(LOWORD(wParam)); return false;
    case WM_TIMER: OnTimer(wParam); return false;
    case CVM_TRAYCALLBACK: OnTrayCallback(window, lParam); return false;
    case CVM_SCREENSAVEREQUEST: OnScreenSaveRequest(wParam, lParam); return false;
    case CVM_NEWBACKGROUND:
        HandOverNewBackground("Failed to delete new BG bitmap during a desktop wallpaper change");
        return false;
    case CVM_WALLPAPERCHANGED: OnWallpaperChange(); return false;
    case CVM_GETENGINE: result = reinterpret_cast<LRESULT>(g_host.engine); return true;
    default:
        if (message < CVM_GETPARAMB || message > CVM_SETPARAME) return false;
        result = OnParamMessage(message, lParam);
        return true;
    }
}

} // namespace

LRESULT CALLBACK RenderingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RegisterHookMessages();
    const bool forwarded = TakeForwardedMark(message, wParam, lParam);
    LRESULT result = 0;
    if (HandleMessage(window, message, wParam, lParam, forwarded, result)) return result;
    // A passed-on message's result goes back to the listener, which discards it. The default
    // processing here would only apply the listener's own message to this window: its
    // WM_NCCREATE would retitle this window, WM_SETREDRAW would change its visibility.
    return forwarded ? 0 : DefWindowProcA(window, message, wParam, lParam);
}
