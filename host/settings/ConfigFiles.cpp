// Configuration paths and the load and save wrappers. Config.dll is loaded for each call and
// freed right after; an exception from it is reported and counts as failure.
#include "ConfigFiles.h"

#include <shlobj.h>

#include "ConfigApi.h"
#include "ConfigLibrary.h"
#include "ConfigGuard.h"
#include "core/HostState.h"

bool FileExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void BuildConfigPaths() {
    if (!SHGetSpecialFolderPathA(g_host.renderingWindow, g_host.appDataFolder, CSIDL_APPDATA,
                                 TRUE)) {
        ReportFailure("Failed to get Application Data folder");
        g_host.appDataFolder[0] = '\0';
    }
    g_host.configDirectory = std::string(g_host.appDataFolder) + "\\.Corvane";
    if (!DirectoryExists(g_host.configDirectory.c_str()))
        CreateDirectoryA(g_host.configDirectory.c_str(), nullptr);
    g_host.configFile = g_host.configDirectory + "\\Corvane.cfg";
    g_host.screenSaverConfigFile = g_host.configDirectory + "\\CorvaneScreenSaver.cfg";
    g_host.miscSettingsFile = g_host.configDirectory + "\\CorvaneMisc.cfg";
}

bool LoadConfig(IVESKAR* engine, int* frameInterval, const char* path) {
    if (!engine) return false;
    if (!path) path = g_host.configFile.c_str();
    DWORD priority = IDLE_PRIORITY_CLASS;
    bool loaded = false;
    {
        ConfigLibrary library;
        auto load = library.Find<LoadConfigFromFileProc>("LoadConfigFromFile");
        if (load) {
            if (!FileExists(path)) CopyFileA("default.cfg", path, FALSE);
            loaded = GuardConfigCall("Exception while loading config file", [&] {
                return load(engine, frameInterval, &priority, path) != 0;
            });
        }
    }
    SetPriorityClass(GetCurrentProcess(), priority);
    SetTimer(g_host.renderingWindow, CORVANE_TIMER_ANIMATION, *frameInterval, nullptr);
    g_host.paused = false;
    return loaded;
}

bool SaveConfig(IVESKAR* engine, int frameInterval, DWORD priorityClass, const char* path) {
    if (!engine) return false;
    if (!path) path = g_host.configFile.c_str();
    ConfigLibrary library;
    auto save = library.Find<SaveConfigToFileProc>("SaveConfigToFile");
    if (!save) return false;
    return GuardConfigCall("Exception while saving config file",
                           [&] { return save(engine, frameInterval, priorityClass, path) != 0; });
}
