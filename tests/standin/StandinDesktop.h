// The stand-in shell desktop's main loop, for its own program and for test programs that run
// it on a thread of their own process.
#pragma once
#include <windows.h>

// Creates the desktop windows (command line "", "/deskfolder" or "/none") and runs their
// message loop until the top window is closed.
int StandinMain(HINSTANCE instance, const char* commandLine);
