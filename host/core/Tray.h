// The tray icon's callback, its menu and the menu commands.
#pragma once
#include <windows.h>

void OnTrayCallback(HWND window, LPARAM mouseMessage);
void TogglePause();
// The state of the menu items as the menu opens: pause, auto-start and the screen-saver
// configuration's delete item.
void RefreshTrayMenu();
void OnMenuCommand(UINT command);
// The notification area was created anew (the shell restarted): add the icon again.
void ReAddTrayIcon();
