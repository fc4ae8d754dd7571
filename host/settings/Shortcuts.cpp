// Auto-start shortcuts. The host keeps no state of its own: the files on disk are the state,
// and the tray menu shows them each time it opens.
#include "Shortcuts.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "LauncherCommandLine.h"
#include "core/HostState.h"

namespace {

// The folder followed directly by ".\Corvane.lnk": Windows drops the trailing period of the
// folder's name, so the file lies in the folder itself.
const char kShortcutSuffix[] = ".\\Corvane.lnk";

} // namespace

void FindStartupFolders() {
    if (!SHGetSpecialFolderPathA(g_host.renderingWindow, g_host.commonStartupDir,
                                 CSIDL_COMMON_STARTUP, FALSE)) {
        g_host.commonStartupDir[0] = '\0';
        EnableMenuItem(g_host.trayMenu, IDM_AUTOSTART_ALLUSERS, MF_BYCOMMAND | MF_GRAYED);
    }
    g_host.commonStartupShortcut = std::string(g_host.commonStartupDir) + kShortcutSuffix;
    if (!SHGetSpecialFolderPathA(g_host.renderingWindow, g_host.userStartupDir, CSIDL_STARTUP,
                                 FALSE)) {
        g_host.userStartupDir[0] = '\0';
        ReportFailure("Failed to get Current User Startup folder");
    }
    g_host.userStartupShortcut = std::string(g_host.userStartupDir) + kShortcutSuffix;
    g_host.launcherCommandLine = ReadLauncherCommandLine();
}

HRESULT CreateShortcut(const char* target, const char* shortcutPath) {
    if (!target || !shortcutPath) return -1;
    IShellLinkA* link = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return hr;
    link->SetPath(target);
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        const int length = MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, nullptr, 0);
        std::vector<wchar_t> widePath(static_cast<size_t>(length > 0 ? length : 1), L'\0');
        MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, widePath.data(), length);
        hr = file->Save(widePath.data(), TRUE);
        file->Release();
    }
    link->Release();
    return hr;
}

void ToggleAutoStart(UINT command, const char* shortcutPath) {
    if (GetMenuState(g_host.trayMenu, command, MF_BYCOMMAND) & MF_CHECKED)
        DeleteFileA(shortcutPath);
    else
        CreateShortcut(g_host.launcherCommandLine.c_str(), shortcutPath);
}
