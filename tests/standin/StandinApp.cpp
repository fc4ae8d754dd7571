// The stand-in shell desktop as a program of its own.
#include "StandinDesktop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return StandinMain(instance, commandLine);
}
