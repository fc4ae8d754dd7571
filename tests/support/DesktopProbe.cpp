// Reads or sets the session's desktop as a new process sees it. Wine keeps the system colours
// per process and a running process does not see another's changes, but a new process starts
// with the session's current colours and wallpaper.
//   desktop_probe read FILE            writes "colour\nwallpaper\n" to FILE
//   desktop_probe wallpaper PATH       sets the wallpaper as the user would (saved, broadcast)
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "read") == 0) {
        char wallpaper[MAX_PATH] = {};
        SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, wallpaper, 0);
        FILE* out = std::fopen(argv[2], "w");
        if (!out) return 2;
        std::fprintf(out, "%lu\n%s\n", static_cast<unsigned long>(GetSysColor(COLOR_BACKGROUND)),
                     wallpaper);
        std::fclose(out);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "wallpaper") == 0)
        return SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, argv[2],
                                     SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)
                   ? 0
                   : 1;
    return 3;
}
