// The tray icon and its menu. A single click pauses or resumes once the double-click time has
// passed without a second click; a double click configures; a right click opens the menu.
#include "Tray.h"

#include <shellapi.h>

#include "HostState.h"
#include "RenderingWindow.h"
#include "Shutdown.h"
#include "settings/ConfigFiles.h"
#include "settings/ConfigGuard.h"
#include "settings/ConfigLibrary.h"
#include "settings/Shortcuts.h"

namespace {

const char kDonationPage[] = "https://corvane.org/donate.html";

void Check(UINT command, bool checked) {
    CheckMenuItem(g_host.trayMenu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Config.dll's About and Hire forms: loaded for the one call, silent when missing.
void LaunchInfoForm(const char* exportName, const char* failureText) {
    ConfigLibrary library;
    auto form = library.Find<LaunchInfoFormProc>(exportName);
    if (!form) return;
    GuardConfigCall(failureText, [&] {
        form(0);
        return true;
    });
}

void OnRefresh() {
    HandOverNewBackground("Failed to delete new BG bitmap during a refresh");
}
void OnAllUsersAutoStart() {
    ToggleAutoStart(IDM_AUTOSTART_ALLUSERS, g_host.commonStartupShortcut.c_str());
}
void OnUserAutoStart() {
    ToggleAutoStart(IDM_AUTOSTART_CURRENTUSER, g_host.userStartupShortcut.c_str());
}
void OnDeleteScreenSaverConfig() {
    DeleteFileA(g_host.screenSaverConfigFile.c_str());
}
void OnHire() {
    LaunchInfoForm("LaunchHireForm", "Exception while launching Hire form");
}
void OnDonate() {
    ShellExecuteA(nullptr, "open", kDonationPage, nullptr, nullptr, SW_SHOWNORMAL);
}
void OnHelp() {
    ShellExecuteA(g_host.renderingWindow, "open", "CorvaneHelp.chm", nullptr, nullptr,
                  SW_SHOWNORMAL);
}
void OnAbout() {
    LaunchInfoForm("LaunchAboutForm", "Exception while launching About form");
}
void OnExit() {
    Shutdown();
    PostQuitMessage(0);
}

struct Command {
    UINT id;
    void (*run)();
};
const Command kCommands[] = {
    {IDM_REFRESH, OnRefresh},
    {IDM_AUTOSTART_ALLUSERS, OnAllUsersAutoStart},
    {IDM_AUTOSTART_CURRENTUSER, OnUserAutoStart},
    {IDM_DELETESCREENSAVERCONFIG, OnDeleteScreenSaverConfig},
    {IDM_PAUSE, TogglePause},
    {IDM_HIRE, OnHire},
    {IDM_DONATE, OnDonate},
    {IDM_HELP, OnHelp},
    {IDM_ABOUT, OnAbout},
    {IDM_EXIT, OnExit},
};

void OpenMenu(HWND window) {
    RefreshTrayMenu();
    GetCursorPos(&g_host.menuCursorPos);
    // Without the foreground the menu would not close when the user clicks elsewhere, and
    // without the WM_NULL after it the next opening would close at once.
    SetForegroundWindow(window);
    TrackPopupMenu(g_host.trayMenu, 0, g_host.menuCursorPos.x, g_host.menuCursorPos.y, 0, window,
                   nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
}

} // namespace

void RefreshTrayMenu() {
    Check(IDM_PAUSE, g_host.paused);
    Check(IDM_AUTOSTART_ALLUSERS, FileExists(g_host.commonStartupShortcut.c_str()));
    Check(IDM_AUTOSTART_CURRENTUSER, FileExists(g_host.userStartupShortcut.c_str()));
    EnableMenuItem(g_host.trayMenu, IDM_DELETESCREENSAVERCONFIG,
                   MF_BYCOMMAND |
                       (FileExists(g_host.screenSaverConfigFile.c_str()) ? MF_ENABLED : MF_GRAYED));
}

void TogglePause() {
    if (g_host.paused) {
        Check(IDM_PAUSE, false);
        SetTimer(g_host.renderingWindow, CORVANE_TIMER_ANIMATION, g_host.frameInterval, nullptr);
        g_host.paused = false;
    } else {
        Check(IDM_PAUSE, true);
        KillTimer(g_host.renderingWindow, CORVANE_TIMER_ANIMATION);
        g_host.paused = true;
    }
}

void OnTrayCallback(HWND window, LPARAM mouseMessage) {
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        SetTimer(g_host.renderingWindow, CORVANE_TIMER_CLICK, GetDoubleClickTime() + 1, nullptr);
        break;
    case WM_LBUTTONDBLCLK:
        KillTimer(g_host.renderingWindow, CORVANE_TIMER_CLICK);
        PostMessageA(window, WM_NULL, 0, 0);
        break;
    case WM_RBUTTONUP: OpenMenu(window); break;
    }
}

void OnMenuCommand(UINT command) {
    for (const Command& entry : kCommands) {
        if (entry.id == command) {
            entry.run();
            return;
        }
    }
}

void ReAddTrayIcon() {
    Shell_NotifyIconA(NIM_ADD, &g_host.trayIcon);
}
