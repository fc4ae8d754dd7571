// Wallpaper removal and restoration. SPI_SETDESKWALLPAPER is called without
// SPIF_UPDATEINIFILE and ApplyChanges without AD_APPLY_SAVE: the user's saved settings are
// never touched. Every Active Desktop change and every refresh command the host makes is
// counted, so that the child-attached notices they cause can be told from the shell's own.
#include "Wallpaper.h"

// wininet.h first: the Active Desktop interface in shlobj.h needs its declarations.
#include <wininet.h>
#include <shlobj.h>

#include <vector>

#include "Background.h"
#include "DesktopColour.h"
#include "core/HostState.h"
#include "watch/RegistryWatcher.h"

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
constexpr DWORD kWallpaperBufferSize = 261;
// AD_APPLY_HTMLGEN | AD_APPLY_REFRESH | AD_APPLY_FORCE, and not AD_APPLY_SAVE.
constexpr DWORD kApplyWithoutSaving = 14;
constexpr WPARAM kRefreshCommand = 0x0001A220;

// The shell's Active Desktop object, created afresh for each operation.
class ActiveDesktop {
  public:
    ActiveDesktop() {
        CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_SERVER, IID_IActiveDesktop,
                         reinterpret_cast<void**>(&object_));
    }
    ~ActiveDesktop() {
        if (object_) object_->Release();
    }
    ActiveDesktop(const ActiveDesktop&) = delete;
    ActiveDesktop& operator=(const ActiveDesktop&) = delete;
    IActiveDesktop* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    IActiveDesktop* object_ = nullptr;
};

void PostRefreshCommand() {
    ++g_host.selfCausedDesktopRefreshes;
    PostMessageA(g_host.desktopWindow, WM_COMMAND, kRefreshCommand, 0);
}

void SetActiveDesktopWallpaper(const wchar_t* wallpaper, const char* failureText) {
    ActiveDesktop desktop;
    if (desktop) {
        if (desktop->SetWallpaper(wallpaper, 0) != S_OK) ReportFailure(failureText);
        ++g_host.selfCausedDesktopRefreshes;
        desktop->ApplyChanges(kApplyWithoutSaving);
    }
}

void HandOverCapture() {
    HandOverBackground(CaptureBackground(),
                       "Failed to delete new BG bitmap during a desktop wallpaper change");
}

} // namespace

void SaveOriginalWallpaper(const char* path) {
    if (path) {
        g_host.originalWallpaper = path;
        g_host.originalWallpaperKnown = true;
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        ReportFailure("Failed to store the original wallpaper.(RegOpenKeyEx)");
        return;
    }
    char buffer[kWallpaperBufferSize] = {};
    DWORD size = kWallpaperBufferSize, type = 0;
    if (RegQueryValueExA(key, "Wallpaper", nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        RegCloseKey(key); // missing, longer than the buffer, unreadable: nothing stored
        return;
    }
    if (type == REG_SZ) {
        // A value stored with its terminating NUL keeps it; a size of 0 is an empty text.
        if (size > 0) buffer[size - 1] = '\0';
        buffer[kWallpaperBufferSize - 1] = '\0';
        g_host.originalWallpaper = buffer;
        g_host.originalWallpaperKnown = true;
    } else {
        ReportFailure("Wallpaper not stored because of bizzare queried type when reading "
                      "current screensaver.");
    }
    RegCloseKey(key);
}

void SaveOriginalDesktop(const char* wallpaper, const wchar_t* activeDesktopWallpaper,
                         const COLORREF* colour) {
    SaveOriginalWallpaper(wallpaper);
    if (activeDesktopWallpaper) {
        g_host.originalActiveDesktopWallpaper = activeDesktopWallpaper;
        g_host.originalActiveDesktopWallpaperKnown = true;
    } else if (FindHtmlWindow()) {
        ActiveDesktop desktop;
        wchar_t buffer[kWallpaperBufferSize] = {};
        if (desktop && desktop->GetWallpaper(buffer, kWallpaperBufferSize, 0) == S_OK) {
            buffer[kWallpaperBufferSize - 1] = L'\0';
            g_host.originalActiveDesktopWallpaper = buffer;
            g_host.originalActiveDesktopWallpaperKnown = true;
        }
    }
    SaveDesktopColour(colour);
}

void RestoreWallpaper() {
    if (g_host.originalWallpaperKnown) {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0,
                              const_cast<char*>(g_host.originalWallpaper.c_str()), 0);
        g_host.wallpaperSuppressed = false;
        g_host.desktopSuppressed = false;
    }
    if (g_host.originalActiveDesktopWallpaperKnown && FindHtmlWindow()) {
        SetActiveDesktopWallpaper(g_host.originalActiveDesktopWallpaper.c_str(),
                                  "Failed to restore active desktop wallpaper");
        PostRefreshCommand();
    }
}

void SuppressWallpaper() {
    if (HWND html = FindHtmlWindow()) {
        ActiveDesktop desktop;
        if (desktop) {
            if (desktop->SetWallpaper(L"", 0) != S_OK)
                ReportFailure("Failed to set active desktop wallpaper");
            ++g_host.selfCausedDesktopRefreshes;
            desktop->ApplyChanges(kApplyWithoutSaving);
            SetWindowPos(g_host.renderingWindow, html, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        }
        PostRefreshCommand();
    }
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), 0);
    g_host.wallpaperSuppressed = true;
    g_host.desktopSuppressed = g_host.colourForced;
}

void OnWallpaperChange() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<char> buffer(kWallpaperBufferSize, '\0');
    // A value that cannot be read at all (deleted, say) keeps the stored wallpaper.
    const bool read = ReadRegistryString(key, "Wallpaper", buffer);
    RegCloseKey(key);
    if (!read) return;
    SaveOriginalWallpaper(buffer.data());
    if (g_host.colourForced) {
        RestoreDesktopColour();
        HandOverCapture();
        if (g_host.wallpaperSuppressed) SuppressWallpaper();
        ForceDesktopColour();
    } else {
        HandOverCapture();
        if (g_host.wallpaperSuppressed) SuppressWallpaper();
    }
}

void OnDesktopChildAttached(HWND child) {
    char name[256] = {};
    GetClassNameA(child, name, sizeof name);
    const bool html = lstrcmpA(name, "Internet Explorer_Server") == 0;
    if (g_host.selfCausedDesktopRefreshes > 0) {
        --g_host.selfCausedDesktopRefreshes;
    } else if (html && g_host.desktopSuppressed) {
        SuppressWallpaper();
    }
    if (html)
        SetWindowPos(g_host.renderingWindow, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}
