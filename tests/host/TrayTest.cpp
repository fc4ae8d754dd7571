// The tray icon's clicks, its menu's state and commands, and the auto-start shortcuts,
// in-process over HostState with a recording engine.
#include "InProcessHost.h"

#include <shlobj.h>

#include <fstream>
#include <string>

#include "LauncherCommandLine.h"
#include "core/Tray.h"
#include "settings/Shortcuts.h"

using namespace testing_support;

class TrayTest : public InProcessHost {
  protected:
    HMODULE resources = nullptr;
    void SetUp() override {
        InProcessHost::SetUp();
        // The menu lives in tavrin.exe's resources.
        resources =
            LoadLibraryExA(BinPath("tavrin.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(resources, nullptr);
        HINSTANCE own = g_host.instance;
        g_host.instance = resources;
        LoadMenus();
        g_host.instance = own;
        ASSERT_NE(g_host.trayMenu, nullptr);
        g_host.paused = false;
    }
    void TearDown() override {
        InProcessHost::TearDown();
        FreeLibrary(resources);
    }
    void Tray(LPARAM mouseMessage) {
        SendMessageA(g_host.renderingWindow, CVM_TRAYCALLBACK, 0, mouseMessage);
    }
    UINT State(UINT command) { return GetMenuState(g_host.trayMenu, command, MF_BYCOMMAND); }
};

TEST_F(TrayTest, SingleClickTogglesPauseOnlyAfterTheDoubleClickTime) {
    const DWORD doubleClick = GetDoubleClickTime();
    Tray(WM_LBUTTONDOWN);
    PumpMessages(doubleClick / 2);
    EXPECT_FALSE(g_host.paused);
    EXPECT_TRUE(WaitUntil([] { return g_host.paused; }, doubleClick + 500));
    EXPECT_TRUE(State(IDM_PAUSE) & MF_CHECKED);
    // A second single click, further apart than the double-click time, resumes.
    Tray(WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitUntil([] { return !g_host.paused; }, doubleClick + 500));
    EXPECT_FALSE(State(IDM_PAUSE) & MF_CHECKED);
}

TEST_F(TrayTest, DoubleClickLeavesPauseAsItWas) {
    Tray(WM_LBUTTONDOWN);
    Tray(WM_LBUTTONDBLCLK);
    PumpMessages(GetDoubleClickTime() + 300);
    EXPECT_FALSE(g_host.paused);
    EXPECT_FALSE(KillTimer(g_host.renderingWindow, CORVANE_TIMER_CLICK)); // no click pending
}

TEST_F(TrayTest, PauseCommandStopsAndRestartsTheAnimation) {
    SetTimer(g_host.renderingWindow, CORVANE_TIMER_ANIMATION, 20, nullptr);
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_PAUSE, 0);
    EXPECT_TRUE(g_host.paused);
    const int frames = engine.drawFrames;
    PumpMessages(200);
    EXPECT_EQ(engine.drawFrames, frames);
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_PAUSE, 0);
    EXPECT_FALSE(g_host.paused);
    EXPECT_TRUE(WaitUntil([&] { return engine.drawFrames > frames; }, 2000));
}

namespace {

std::string TempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// Ends the menu from inside its modal loop and keeps the item states seen then.
UINT g_seenUserAutoStart = 0, g_seenDelete = 0;
void CALLBACK CloseMenu(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    g_seenUserAutoStart = GetMenuState(g_host.trayMenu, IDM_AUTOSTART_CURRENTUSER, MF_BYCOMMAND);
    g_seenDelete = GetMenuState(g_host.trayMenu, IDM_DELETESCREENSAVERCONFIG, MF_BYCOMMAND);
    EndMenu();
}

} // namespace

TEST_F(TrayTest, MenuShowsTheFilesOnDiskAsItOpens) {
    g_host.userStartupShortcut = TempFile("corvane-user.lnk");
    g_host.commonStartupShortcut = TempFile("corvane-common.lnk");
    g_host.screenSaverConfigFile = TempFile("corvane-ss.cfg");
    DeleteFileA(g_host.commonStartupShortcut.c_str());
    DeleteFileA(g_host.screenSaverConfigFile.c_str());
    std::ofstream(g_host.userStartupShortcut) << "x";

    SetTimer(g_host.renderingWindow, 77, 200, CloseMenu);
    Tray(WM_RBUTTONUP); // returns when the menu closes
    EXPECT_TRUE(g_seenUserAutoStart & MF_CHECKED);
    EXPECT_TRUE(g_seenDelete & MF_GRAYED);
    EXPECT_FALSE(State(IDM_AUTOSTART_ALLUSERS) & MF_CHECKED);

    // Files created or deleted by other means show at the next opening.
    DeleteFileA(g_host.userStartupShortcut.c_str());
    std::ofstream(g_host.screenSaverConfigFile) << "x";
    SetTimer(g_host.renderingWindow, 77, 200, CloseMenu);
    Tray(WM_RBUTTONUP);
    EXPECT_FALSE(g_seenUserAutoStart & MF_CHECKED);
    EXPECT_FALSE(g_seenDelete & MF_GRAYED);

    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_DELETESCREENSAVERCONFIG, 0);
    EXPECT_EQ(GetFileAttributesA(g_host.screenSaverConfigFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

namespace {

std::string ShortcutTarget(const std::string& path) {
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(path.begin(), path.end());
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)))
                link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            file->Release();
        }
        link->Release();
    }
    return target;
}

std::string WindowsIni() {
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\CorvaneSS.ini";
}

} // namespace

TEST_F(TrayTest, AutoStartItemCreatesThenDeletesTheShortcut) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DeleteFileA(WindowsIni().c_str());
    FindStartupFolders();
    EXPECT_EQ(g_host.launcherCommandLine, "tavrin.exe");
    const std::string shortcut = std::string(g_host.userStartupDir) + "\\Corvane.lnk";
    DeleteFileA(shortcut.c_str());

    RefreshTrayMenu();
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_AUTOSTART_CURRENTUSER, 0);
    ASSERT_NE(GetFileAttributesA(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string target = ShortcutTarget(shortcut);
    EXPECT_EQ(target.substr(target.size() - std::min<size_t>(target.size(), 10)), "tavrin.exe");

    RefreshTrayMenu(); // the menu opens again, checked now
    EXPECT_TRUE(State(IDM_AUTOSTART_CURRENTUSER) & MF_CHECKED);
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_AUTOSTART_CURRENTUSER, 0);
    EXPECT_EQ(GetFileAttributesA(shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(boxes.Texts().empty());
    CoUninitialize();
}

TEST_F(TrayTest, LongLauncherCommandLineIsReadWhole) {
    std::string longLine = "\"C:\\Program Files\\Corvane\\";
    while (longLine.size() < 200)
        longLine += "deeper\\";
    longLine += "tavrin.exe\" /quiet";
    ASSERT_TRUE(WritePrivateProfileStringA("CorvaneSS", "TavrinCommandLine", longLine.c_str(),
                                           "CorvaneSS.ini"));
    EXPECT_EQ(ReadLauncherCommandLine(), longLine);
    DeleteFileA(WindowsIni().c_str());
    EXPECT_EQ(ReadLauncherCommandLine(), "tavrin.exe");
}

// Wine finds the all-users Startup folder through the registry; pointing it at a folder that
// does not exist makes the lookup fail as on a system without that folder.
TEST_F(TrayTest, MissingAllUsersFolderGraysItsItemSilently) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY folders = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &folders),
              ERROR_SUCCESS);
    char saved[1024] = {};
    DWORD size = sizeof saved, type = 0;
    const bool had = RegQueryValueExA(folders, "Common Startup", nullptr, &type,
                                      reinterpret_cast<BYTE*>(saved), &size) == ERROR_SUCCESS;
    const char missing[] = "C:\\corvane-no-such-folder\\StartUp";
    RegSetValueExA(folders, "Common Startup", 0, REG_SZ, reinterpret_cast<const BYTE*>(missing),
                   sizeof missing);
    FindStartupFolders();
    if (had)
        RegSetValueExA(folders, "Common Startup", 0, type, reinterpret_cast<const BYTE*>(saved),
                       size);
    RegCloseKey(folders);
    EXPECT_TRUE(State(IDM_AUTOSTART_ALLUSERS) & MF_GRAYED);
    PumpMessages(100);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(TrayTest, MenuResourceMatchesTheTable) {
    struct Item {
        int level;
        UINT id; // 0: a popup
        const char* text;
    };
    const Item expected[] = {
        {1, IDM_CONFIGURE, "&Configure"},
        {1, IDM_REFRESH, "&Refresh"},
        {1, 0, "Auto-Start Options"},
        {2, IDM_AUTOSTART_ALLUSERS, "Auto-Start For All Users"},
        {2, IDM_AUTOSTART_CURRENTUSER, "Auto-Start For Current User"},
        {1, 0, "Screen Saver Options"},
        {2, IDM_SCREENSAVE, "&Screen Save"},
        {2, IDM_SETASSCREENSAVER, "Set As Screen Saver"},
        {2, IDM_ALWAYSSETASSCREENSAVER, "Always Set As Screen Saver While Running"},
        {2, IDM_BLENDWITHBGONLY, "Blend Screen Saver With Background Only"},
        {2, IDM_EDITSCREENSAVERCONFIG, "Add/Edit Screen Saver Configuration..."},
        {2, IDM_DELETESCREENSAVERCONFIG, "Delete Screen Saver Configuration"},
        {1, IDM_PAUSE, "&Pause"},
        {1, IDM_HIRE, "H&ire the developer"},
        {1, IDM_DONATE, "&Donate"},
        {1, IDM_HELP, "&Help"},
        {1, IDM_ABOUT, "&About"},
        {1, IDM_EXIT, "E&xit"},
    };
    std::vector<Item> seen;
    std::vector<std::string> texts;
    auto walk = [&](auto&& self, HMENU menu, int level) -> void {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            texts.push_back(text);
            HMENU sub = GetSubMenu(menu, i);
            EXPECT_FALSE(GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR);
            seen.push_back({level, sub ? 0u : GetMenuItemID(menu, i), nullptr});
            if (sub) self(self, sub, level + 1);
        }
    };
    walk(walk, g_host.trayMenu, 1);
    ASSERT_EQ(seen.size(), sizeof expected / sizeof *expected);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].level, expected[i].level) << i;
        EXPECT_EQ(seen[i].id, expected[i].id) << i;
        EXPECT_EQ(texts[i], expected[i].text) << i;
    }
    EXPECT_EQ(GetMenuDefaultItem(g_host.trayMenu, TRUE, 0), 0u);
}

TEST_F(TrayTest, AboutShowsARealForm) {
    MessageBoxWatcher forms({"About Corvane", "Hire the developer"});
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_ABOUT, 0);
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_HIRE, 0);
    const auto shown = forms.Boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "About Corvane");
    EXPECT_NE(shown[0].text.find(CORVANE_VERSION_TEXT), std::string::npos);
    EXPECT_EQ(shown[1].caption, "Hire the developer");
    // Config.dll is freed after each form.
    EXPECT_EQ(GetModuleHandleA("Config.dll"), nullptr);
}

TEST_F(TrayTest, TrayIconComesBackWhenTheTaskbarIsCreatedAgain) {
    HINSTANCE own = g_host.instance;
    g_host.instance = resources;
    AddTrayIcon();
    g_host.instance = own;
    // The shell restarted: its icons are gone.
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &g_host.trayIcon));
    SendMessageA(g_host.listenerWindow, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &g_host.trayIcon)); // it was there again
}
