// Pieces of start-up that in-process tests also use to build a host around a test engine.
#pragma once
#include <windows.h>

void ReadVirtualScreen();
void FindDesktopWindows();
bool RegisterRenderingClass();
void CreateRenderingWindow();
// Start-up's last step: marks start-up complete and re-posts early screen-save requests.
void ReplayEarlyScreenSaveRequests();
