// A stand-in Config.dll whose exports throw, for the host's exception guard.
#include <windows.h>

#include <stdexcept>

struct IVESKAR;

extern "C" {

BOOL WINAPI LoadConfigFromFile(IVESKAR*, int*, DWORD*, const char*) {
    throw std::runtime_error("stand-in load failure");
}

BOOL WINAPI SaveConfigToFile(IVESKAR*, int, DWORD, const char*) {
    throw std::runtime_error("stand-in save failure");
}

int WINAPI LaunchAboutForm(int) {
    throw std::runtime_error("stand-in about failure");
}

int WINAPI LaunchHireForm(int) {
    throw std::runtime_error("stand-in hire failure");
}
}
