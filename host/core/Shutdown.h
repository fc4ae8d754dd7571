// Start-up and shutdown of the host.
#pragma once
#include <windows.h>

// The whole life of the host: start-up, the message loop, shutdown. Returns the exit code.
int HostMain(HINSTANCE instance, int showCommand);
// Undoes start-up in reverse; runs at most once.
void Shutdown();
// Releases the main and backup engines, if any.
void ReleaseEngines();
