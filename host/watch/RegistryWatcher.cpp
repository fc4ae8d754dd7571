// The registry watcher thread. It only reads the registry and posts to the rendering window;
// everything that reacts to a change runs on the main thread.
#include "RegistryWatcher.h"

#include <cstdio>
#include <string>

#include "core/HostState.h"

namespace {

constexpr DWORD kStopTimeoutMs = 4000;
constexpr size_t kInitialCapacity = 261;
// A registry value larger than this is not a wallpaper setting: it is read as empty.
constexpr DWORD kMaxValueSize = 1 << 20;

// The four watched values, in the order each pass reads its fresh copies.
enum Watched { kStyle, kTile, kPattern, kWallpaper, kWatchedCount };
const char* const kWatchedNames[kWatchedCount] = {"WallpaperStyle", "TileWallpaper", "Pattern",
                                                  "Wallpaper"};

struct Snapshot {
    std::string values[kWatchedCount];
};

void ReadAll(HKEY key, std::vector<char>& buffer, Snapshot& snapshot,
             const Watched (&order)[kWatchedCount]) {
    for (Watched value : order) {
        ReadRegistryString(key, kWatchedNames[value], buffer);
        snapshot.values[value] = buffer.data();
    }
}
const Watched kBaselineOrder[kWatchedCount] = {kWallpaper, kStyle, kTile, kPattern};
const Watched kFreshOrder[kWatchedCount] = {kStyle, kTile, kPattern, kWallpaper};

// One notice per change: the wallpaper first, else its style, tiling or pattern.
void PostDifference(const Snapshot& baseline, const Snapshot& fresh) {
    if (fresh.values[kWallpaper] != baseline.values[kWallpaper]) {
        PostMessageA(g_host.renderingWindow, CVM_WALLPAPERCHANGED, 0, 0);
        return;
    }
    for (int i : {kStyle, kTile, kPattern}) {
        if (fresh.values[i] != baseline.values[i]) {
            PostMessageA(g_host.renderingWindow, CVM_NEWBACKGROUND, 0, 0);
            return;
        }
    }
}

void WatchKey(HKEY key, HANDLE changed, std::vector<char>& buffer) {
    const HANDLE waits[2] = {g_host.watcherStopEvent, changed};
    for (;;) {
        Snapshot baseline, fresh;
        ReadAll(key, buffer, baseline, kBaselineOrder);
        if (RegNotifyChangeKeyValue(key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed, TRUE) !=
            ERROR_SUCCESS)
            return;
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0) return;
        if (woke != WAIT_OBJECT_0 + 1) continue; // a failed wait starts a new pass
        ReadAll(key, buffer, fresh, kFreshOrder);
        PostDifference(baseline, fresh);
    }
}

std::string ForcedStopText(DWORD waitResult) {
    std::string text = "Forced to terminate registry listener thread : ";
    if (waitResult == WAIT_ABANDONED) {
        text += "WaitForSingleObject returned WAIT_ABANDONED";
    } else if (waitResult == WAIT_TIMEOUT) {
        text += "WaitForSingleObject returned WAIT_TIMEOUT";
    } else if (waitResult == WAIT_FAILED) {
        char code[32];
        snprintf(code, sizeof code, "%d", static_cast<int>(GetLastError()));
        text += "WaitForSingleObject returned WAIT_FAILED, and GetLastError returned error code ";
        text += code;
    }
    return text;
}

} // namespace

bool ReadRegistryString(HKEY key, const char* name, std::vector<char>& buffer) {
    if (buffer.size() < kInitialCapacity) buffer.resize(kInitialCapacity);
    DWORD size = static_cast<DWORD>(buffer.size());
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size);
    while (result == ERROR_MORE_DATA && size <= kMaxValueSize) {
        buffer.resize(size + 1); // room for a terminator the data may lack
        size = static_cast<DWORD>(buffer.size());
        result = RegQueryValueExA(key, name, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS) {
        buffer[0] = '\0';
        return false;
    }
    // The last byte of the data becomes the terminator (a stored NUL stays), and the text
    // never runs past the buffer, whatever the data held.
    if (size > 0) buffer[size - 1] = '\0';
    buffer[size < buffer.size() ? size : buffer.size() - 1] = '\0';
    return true;
}

DWORD WINAPI RegistryWatcherThread(LPVOID) {
    HANDLE changed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::vector<char> buffer(kInitialCapacity, '\0');
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        WatchKey(key, changed, buffer);
        RegCloseKey(key);
    }
    CloseHandle(changed);
    return 0;
}

void StartRegistryWatcher() {
    g_host.watcherStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_host.watcherThread =
        CreateThread(nullptr, 0, RegistryWatcherThread, nullptr, 0, &g_host.watcherThreadId);
}

void StopRegistryWatcher() {
    SetEvent(g_host.watcherStopEvent);
    const DWORD result = WaitForSingleObject(g_host.watcherThread, kStopTimeoutMs);
    if (result != WAIT_OBJECT_0) {
        MessageBoxA(g_host.renderingWindow, ForcedStopText(result).c_str(), "Error", MB_OK);
        TerminateThread(g_host.watcherThread, 0);
    }
    CloseHandle(g_host.watcherStopEvent);
    g_host.watcherStopEvent = nullptr;
    if (g_host.watcherThread) CloseHandle(g_host.watcherThread);
    g_host.watcherThread = nullptr;
}
