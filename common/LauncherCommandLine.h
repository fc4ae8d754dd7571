// The host's command line as the launcher's settings file records it, shared by the launcher
// (to start the host) and the host (as the target of its auto-start shortcuts).
#pragma once
#include <string>

// Key "TavrinCommandLine" of section "CorvaneSS" in "CorvaneSS.ini" (the Windows folder),
// "tavrin.exe" when absent. Values of any length are read whole.
std::string ReadLauncherCommandLine();
