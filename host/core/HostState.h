// The host's one process-wide record. Every handle the host creates is owned here and released
// by Shutdown; each subsystem reads and writes its own fields on the main thread.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "CorvaneIds.h"
#include "Veskar.h"

struct HostState {
    // Windows and desktop.
    HINSTANCE instance = nullptr;
    HWND renderingWindow = nullptr;
    HWND desktopWindow = nullptr;
    HWND desktopViewWindow = nullptr;
    HWND iconListView = nullptr;
    bool deskFolderShell = false;
    HWND listenerWindow = nullptr;
    int virtualLeft = 0, virtualTop = 0;
    int virtualWidth = 0, virtualHeight = 0;
    HRGN clipRegion = nullptr;
    HANDLE desktopRedrawEvent = nullptr;

    // Engine, animation and menus.
    IVESKAR* engine = nullptr;
    IVESKAR* backupEngine = nullptr;
    int frameInterval = 50;
    bool paused = false;
    HMENU menuResource = nullptr;
    HMENU trayMenu = nullptr;
    NOTIFYICONDATAA trayIcon = {};
    POINT menuCursorPos = {};
    UINT msgDesktopRedraw = 0, msgDesktopItemChanged = 0, msgDesktopChildAttached = 0;
    bool msgDesktopRedrawRegistered = false;
    bool msgDesktopItemChangedRegistered = false;
    bool msgDesktopChildAttachedRegistered = false;
    bool workAreaChanged = false;
    // "TaskbarCreated": the notification area was created anew.
    UINT msgTaskbarCreated = 0;

    // Start-up and shutdown.
    bool startupComplete = false;
    std::vector<std::pair<WPARAM, LPARAM>> pendingScreenSaveRequests;
    bool screenSaveRequestsQueued = false;
    bool shutdownDone = false;
    bool renderingClassRegistered = false;
    // Set while the rendering window handles its own WM_DESTROY.
    bool renderingWindowDestroying = false;
    // The message the listener window is passing on right now, so that the rendering window
    // can tell it from its own messages (see ListenerWindowProc).
    struct Forwarded {
        bool active;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } forwarding = {};

    // Paths.
    char commonStartupDir[MAX_PATH] = {};
    char userStartupDir[MAX_PATH] = {};
    char appDataFolder[MAX_PATH] = {};
    std::string commonStartupShortcut, userStartupShortcut;
    std::string launcherCommandLine;
    std::string configDirectory;
    std::string configFile, screenSaverConfigFile, miscSettingsFile;

    // Screen-save mode.
    bool screenSaving = false;
    std::vector<std::pair<HWND, UINT>> screenSaveRequesters;
    int savedFrameInterval = 50;
    DWORD savedPriorityClass = IDLE_PRIORITY_CLASS;
    bool savedPaused = false;
    HWND dummyWindow = nullptr;
    WNDCLASSEXA dummyWindowClass = {};
    POINT screenSaveCursorOrigin = {};
    int mouseTravel = 0;

    // Options.
    bool alwaysSetAsScreenSaver = false;
    bool blendWithBackgroundOnly = false;
    bool screenSaverSetByHost = false;
    bool configDialogOpen = false;

    // Desktop background.
    std::string originalWallpaper;
    bool originalWallpaperKnown = false;
    std::wstring originalActiveDesktopWallpaper;
    bool originalActiveDesktopWallpaperKnown = false;
    COLORREF originalDesktopColour = 0;
    bool originalColourKnown = false;
    COLORREF lastDesktopColour = 0;
    std::deque<COLORREF> colourLedger;
    bool colourForced = false;
    bool wallpaperSuppressed = false;
    bool desktopSuppressed = false;
    LONG selfCausedDesktopRefreshes = 0;
    std::vector<HWND> minimisedWindows;

    // Registry watcher.
    HANDLE watcherThread = nullptr;
    DWORD watcherThreadId = 0;
    HANDLE watcherStopEvent = nullptr;
};

extern HostState g_host;

// Puts the record back to its state before the entry point: the redraw event, the desktop
// colour read at program start and the dummy window class. Called once at program start; tests
// call it to begin from a clean host.
void InitialiseHostState();

// The host's failure report: a message box captioned "debug" owned by the rendering window,
// then the text and a line break on the debugger output.
void ReportFailure(const char* text);
