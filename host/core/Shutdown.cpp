// The shutdown procedure: undoes start-up in reverse order, once.
#include "Shutdown.h"

#include "HostState.h"
#include "desktop/DesktopColour.h"
#include "watch/Listener.h"
#include "watch/RegistryWatcher.h"
#include "Quillet.h"

void ReleaseEngines() {
    if (g_host.engine) {
        g_host.engine->Release();
        g_host.engine = nullptr;
    }
    if (g_host.backupEngine) {
        g_host.backupEngine->Release();
        g_host.backupEngine = nullptr;
    }
}

// When shutdown runs inside the rendering window's own WM_DESTROY, the window is already on its
// way out: destroying it again would re-enter its destruction, and its class cannot be
// unregistered until it is gone, so HostMain unregisters it after the message loop.
void DestroyRenderingWindowAndClass() {
    if (g_host.renderingWindowDestroying) return;
    if (!DestroyWindow(g_host.renderingWindow))
        ReportFailure("Failed to delete Corvane rendering window");
    if (!UnregisterClassA(CORVANE_RENDER_CLASS, g_host.instance))
        ReportFailure("Failed to unregister Corvane rendering class");
    g_host.renderingClassRegistered = false;
}

void Shutdown() {
    if (g_host.shutdownDone) return;
    g_host.shutdownDone = true;
    ClearDesktopMonitorHook(g_host.renderingWindow);
    StopRegistryWatcher();
    DestroyListenerWindow();
    RestoreDesktop();
    ShowCursor(TRUE);
    DeleteObject(g_host.clipRegion);
    g_host.clipRegion = nullptr;
    DestroyMenu(g_host.menuResource);
    g_host.menuResource = g_host.trayMenu = nullptr;
    DestroyIcon(g_host.trayIcon.hIcon);
    Shell_NotifyIconA(NIM_DELETE, &g_host.trayIcon);
    ReleaseEngines();
    DestroyRenderingWindowAndClass();
}
