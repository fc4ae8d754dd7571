// The registry watcher: a worker thread that tells the rendering window when the user's
// wallpaper, its style, tiling or pattern change under HKCU\Control Panel\Desktop.
#pragma once
#include <windows.h>

#include <vector>

void StartRegistryWatcher();
// Asks the thread to end and waits at most 4 seconds; a thread that does not end is reported
// (caption "Error") and terminated.
void StopRegistryWatcher();
DWORD WINAPI RegistryWatcherThread(LPVOID);
// Reads a value as text into buffer, growing it as the registry asks; the text ends at the
// first zero byte and never past the buffer. False, with an empty text, when the value is
// missing or cannot be read.
bool ReadRegistryString(HKEY key, const char* name, std::vector<char>& buffer);
