// Pieces of start-up that in-process tests also use to build a host around a test engine.
#pragma once
#include <windows.h>

void ReadVirtualScreen();
void FindDesktopWindows();
bool RegisterRenderingClass();
void CreateRenderingWindow();
// The tray menu from resource 102 of g_host.instance, its first item the default.
void LoadMenus();
void AddTrayIcon();
// Start-up's last step: marks start-up complete and re-posts early screen-save requests.
void ReplayEarlyScreenSaveRequests();
