// Reading the host's command line from the launcher's settings file.
#include "LauncherCommandLine.h"

#include <windows.h>

#include <vector>

std::string ReadLauncherCommandLine() {
    // GetPrivateProfileStringA answers size - 1 when the value was cut: grow and read again.
    std::vector<char> buffer(128);
    for (;;) {
        const DWORD length =
            GetPrivateProfileStringA("CorvaneSS", "TavrinCommandLine", "tavrin.exe", buffer.data(),
                                     static_cast<DWORD>(buffer.size()), "CorvaneSS.ini");
        if (length != buffer.size() - 1) break;
        buffer.resize(buffer.size() + 128);
    }
    return std::string(buffer.data());
}
