// The auto-start shortcuts "Corvane.lnk" in the Startup folders.
#pragma once
#include <windows.h>

// Start-up: the two Startup folders, the shortcut paths and the launcher's command line.
void FindStartupFolders();
// A shell link to target saved at shortcutPath; negative on failure, -1 for a null argument.
HRESULT CreateShortcut(const char* target, const char* shortcutPath);
// Commands 40021 and 40022: delete the shortcut when the item was checked as the menu opened,
// create it otherwise.
void ToggleAutoStart(UINT command, const char* shortcutPath);
