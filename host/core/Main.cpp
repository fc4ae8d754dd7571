// The host's entry point. The command line is not read.
#include "HostState.h"
#include "Shutdown.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    InitialiseHostState();
    return HostMain(instance, showCommand);
}
