// Start-up of the host, the message loop, and the clean-up when no engine can be created.
#include "Engine.h"
#include "HostState.h"
#include "RenderingWindow.h"
#include "Shutdown.h"
#include "Startup.h"
#include "desktop/Background.h"
#include "desktop/DesktopColour.h"
#include "desktop/Wallpaper.h"
#include "watch/RegistryWatcher.h"
#include "settings/ConfigFiles.h"
#include "settings/Shortcuts.h"
#include "watch/Listener.h"
#include "Quillet.h"

#include <shlobj.h>

void ReadVirtualScreen() {
    g_host.virtualWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    if (!g_host.virtualWidth) g_host.virtualWidth = GetSystemMetrics(SM_CXSCREEN);
    g_host.virtualHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (!g_host.virtualHeight) g_host.virtualHeight = GetSystemMetrics(SM_CYSCREEN);
    g_host.virtualTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    g_host.virtualLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
}

void FindDesktopWindows() {
    g_host.desktopWindow = FindWindowA("Progman", "Program Manager");
    if (g_host.desktopWindow) {
        g_host.desktopViewWindow =
            FindWindowExA(g_host.desktopWindow, nullptr, "SHELLDLL_DefView", nullptr);
        g_host.iconListView =
            FindWindowExA(g_host.desktopViewWindow, nullptr, "SysListView32", nullptr);
        return;
    }
    g_host.desktopWindow = FindWindowA("DesktopBackgroundClass", nullptr);
    if (!g_host.desktopWindow) return;
    g_host.desktopViewWindow = FindWindowExA(g_host.desktopWindow, nullptr, "DeskFolder", nullptr);
    g_host.iconListView =
        FindWindowExA(g_host.desktopViewWindow, nullptr, "SysListView32", nullptr);
    g_host.deskFolderShell = true;
}

bool RegisterRenderingClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = RenderingWindowProc;
    windowClass.hInstance = g_host.instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = CORVANE_RENDER_CLASS;
    g_host.renderingClassRegistered = RegisterClassExA(&windowClass) != 0;
    return g_host.renderingClassRegistered;
}

static HWND CreateRenderingChild(HWND parent, DWORD style) {
    HWND window = CreateWindowExA(WS_EX_TRANSPARENT, CORVANE_RENDER_CLASS, CORVANE_RENDER_TITLE,
                                  style, 0, 0, g_host.virtualWidth, g_host.virtualHeight, parent,
                                  nullptr, g_host.instance, nullptr);
    g_host.renderingWindow = window;
    // Below every sibling, the icon list included, and taking no input.
    EnableWindow(window, FALSE);
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    return window;
}

void CreateRenderingWindow() {
    if (g_host.deskFolderShell && g_host.desktopWindow) {
        CreateRenderingChild(g_host.desktopWindow, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    } else if (g_host.desktopViewWindow) {
        CreateRenderingChild(g_host.desktopViewWindow, WS_CHILD | WS_CLIPCHILDREN);
    } else {
        g_host.renderingWindow = CreateWindowExA(
            WS_EX_TRANSPARENT, CORVANE_RENDER_CLASS, CORVANE_RENDER_TITLE,
            WS_CHILD | WS_CLIPCHILDREN, g_host.virtualLeft, g_host.virtualTop, g_host.virtualWidth,
            g_host.virtualHeight, GetDesktopWindow(), nullptr, g_host.instance, nullptr);
    }
}

void ReplayEarlyScreenSaveRequests() {
    g_host.startupComplete = true;
    if (!g_host.screenSaveRequestsQueued) return;
    for (const auto& request : g_host.pendingScreenSaveRequests)
        PostMessageA(g_host.renderingWindow, CVM_SCREENSAVEREQUEST, request.first, request.second);
    g_host.pendingScreenSaveRequests.clear();
}

void LoadMenus() {
    g_host.menuResource = LoadMenuA(g_host.instance, MAKEINTRESOURCEA(IDR_TRAYMENU));
    g_host.trayMenu = GetSubMenu(g_host.menuResource, 0);
    SetMenuDefaultItem(g_host.trayMenu, 0, TRUE);
}

void AddTrayIcon() {
    NOTIFYICONDATAA& icon = g_host.trayIcon;
    icon = NOTIFYICONDATAA();
    icon.cbSize = 88; // the size Windows 2000 defined: every shell since accepts it
    icon.hWnd = g_host.renderingWindow;
    icon.uID = 0;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = CVM_TRAYCALLBACK;
    icon.hIcon = LoadIconA(g_host.instance, MAKEINTRESOURCEA(IDI_CORVANE));
    lstrcpynA(icon.szTip, "Corvane", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);
}

namespace {

void AttachFirstBackground() {
    HBITMAP bitmap = CreateBackgroundBitmap();
    if (g_host.engine) g_host.engine->Attach(g_host.renderingWindow, bitmap);
    if (!DeleteObject(bitmap)) ReportFailure("Failed to delete new BG bitmap during startup");
}

// No engine: everything started so far is undone here, once. Shutdown is marked done first,
// because destroying the listener passes its WM_DESTROY to the rendering window, whose
// procedure would otherwise run the shutdown procedure in the middle of this list.
void AbandonStartup() {
    ReportFailure("Failed to create TavrinObject");
    g_host.shutdownDone = true;
    StopRegistryWatcher();
    DestroyListenerWindow();
    RestoreDesktop();
    Shell_NotifyIconA(NIM_DELETE, &g_host.trayIcon);
    DeleteObject(g_host.clipRegion);
    g_host.clipRegion = nullptr;
    DestroyMenu(g_host.menuResource);
    g_host.menuResource = g_host.trayMenu = nullptr;
    DestroyIcon(g_host.trayIcon.hIcon);
    g_host.trayIcon.hIcon = nullptr;
    if (!DestroyWindow(g_host.renderingWindow))
        ReportFailure("Failed to delete Corvane rendering window");
    if (!UnregisterClassA(CORVANE_RENDER_CLASS, g_host.instance))
        ReportFailure("Failed to unregister Corvane rendering class");
    g_host.renderingClassRegistered = false;
    CoUninitialize();
}

WPARAM RunMessageLoop() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.wParam;
}

} // namespace

int HostMain(HINSTANCE instance, int showCommand) {
    CreateMutexA(nullptr, FALSE, CORVANE_MUTEX_NAME);
    if (FindWindowA(CORVANE_LISTENER_CLASS, nullptr)) return 0;
    g_host.instance = instance;
    ReadVirtualScreen();
    g_host.clipRegion = CreateRectRgn(0, 0, g_host.virtualWidth, g_host.virtualHeight);
    FindDesktopWindows();
    if (!RegisterRenderingClass()) return 0;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SaveOriginalDesktop(nullptr, nullptr, nullptr);
    LoadMenus();
    CreateRenderingWindow();
    FindStartupFolders();
    BuildConfigPaths();
    CreateListenerWindow();
    StartRegistryWatcher();
    AddTrayIcon();
    ShowWindow(g_host.renderingWindow, showCommand);
    UpdateWindow(g_host.renderingWindow);
    // A WM_CLOSE sent to the listener is handled whenever start-up waits in a cross-process
    // call (the tray, COM, the icon list): the shutdown procedure may have run already, and
    // then start-up creates no engine and the loop ends at the quit message it posted.
    if (!g_host.shutdownDone) {
        g_host.engine = CreateEngineObject();
        if (!g_host.engine && !g_host.shutdownDone) {
            AbandonStartup();
            return 0;
        }
        if (g_host.shutdownDone) ReleaseEngines();
    }
    if (!g_host.shutdownDone) SetDesktopMonitorHook(g_host.renderingWindow);
    AttachFirstBackground();
    LoadConfig(g_host.engine, &g_host.frameInterval, nullptr);
    ReplayEarlyScreenSaveRequests();
    const WPARAM exitCode = RunMessageLoop();
    Shutdown();
    CoUninitialize();
    if (g_host.renderingClassRegistered) UnregisterClassA(CORVANE_RENDER_CLASS, instance);
    return static_cast<int>(exitCode);
}
