// The desktop configuration at start-up, with the real tavrin.exe: seeding from default.cfg,
// loading an existing file, and running on without Config.dll.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <fstream>
#include <sstream>

#include "CorvaneIds.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ConfigFolder() {
    char appData[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE);
    return std::string(appData) + "\\.Corvane";
}

class ConfigStartupTest : public ::testing::Test {
  protected:
    std::string configFile = ConfigFolder() + "\\Corvane.cfg";
    std::string saved;
    void SetUp() override { saved = ReadAll(configFile); }
    void TearDown() override {
        if (saved.empty())
            DeleteFileA(configFile.c_str());
        else
            std::ofstream(configFile, std::ios::binary | std::ios::trunc) << saved;
    }
};

LRESULT AskRenderingWindow(UINT message) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(FindRenderingWindow(), message, 0, 0, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

} // namespace

TEST_F(ConfigStartupTest, FirstStartSeedsTheConfigurationFromTheDefaults) {
    DeleteFileA(configFile.c_str());
    const std::string defaults = ReadAll(BinPath("default.cfg"));
    StandinDesktop desktop;
    HostProcess host;
    ASSERT_TRUE(host.Start());
    ASSERT_NE(host.Listener(), nullptr);
    EXPECT_EQ(ReadAll(configFile), defaults);
    EXPECT_EQ(AskRenderingWindow(CVM_GETPARAMD), 16); // glyph height of default.cfg
    EXPECT_EQ(host.Stop(), 0);
}

TEST_F(ConfigStartupTest, ExistingConfigurationIsLoadedAndDefaultsStayUntouched) {
    const std::string defaults = ReadAll(BinPath("default.cfg"));
    std::string custom = defaults;
    custom.replace(custom.find("GlyphHeight=16"), 14, "GlyphHeight=24");
    CreateDirectoryA(ConfigFolder().c_str(), nullptr);
    std::ofstream(configFile, std::ios::binary | std::ios::trunc) << custom;
    StandinDesktop desktop;
    HostProcess host;
    ASSERT_TRUE(host.Start());
    ASSERT_NE(host.Listener(), nullptr);
    EXPECT_EQ(AskRenderingWindow(CVM_GETPARAMD), 24);
    EXPECT_EQ(host.Stop(), 0);
    EXPECT_EQ(ReadAll(BinPath("default.cfg")), defaults);
    EXPECT_EQ(ReadAll(configFile), custom);
}

// Without Config.dll the load fails quietly; the host still runs its animation at idle priority.
// The rendering window is a child of the desktop window here (no shell), so its frames can be
// read back from the screen.
TEST_F(ConfigStartupTest, WithoutTheConfigurationLibraryTheHostStillAnimates) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "corvane-noconfig";
    CreateDirectoryA(dir.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(BinPath("*.dll").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        if (lstrcmpiA(found.cFileName, "Config.dll") != 0)
            CopyFileA(BinPath(found.cFileName).c_str(), (dir + "\\" + found.cFileName).c_str(),
                      FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    ASSERT_TRUE(CopyFileA(BinPath("tavrin.exe").c_str(), (dir + "\\tavrin.exe").c_str(), FALSE));

    MessageBoxWatcher boxes;
    StandinDesktop desktop("/none");
    HostProcess host;
    ASSERT_TRUE(host.process.Start("\"" + dir + "\\tavrin.exe\"", dir.c_str()));
    ASSERT_NE(host.Listener(), nullptr);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, host.process.Id());
    EXPECT_EQ(GetPriorityClass(process), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    CloseHandle(process);

    auto sample = [] {
        HDC screen = GetDC(nullptr);
        std::string pixels;
        for (int y = 0; y < 400; y += 9)
            for (int x = 0; x < 600; x += 7)
                pixels += std::to_string(GetPixel(screen, x, y));
        ReleaseDC(nullptr, screen);
        return pixels;
    };
    Sleep(300);
    const std::string first = sample();
    Sleep(300);
    EXPECT_NE(sample(), first);

    // About and Hire do nothing and show nothing without the library.
    HWND listener = FindWindowA(CORVANE_LISTENER_CLASS, nullptr);
    PostMessageA(listener, WM_COMMAND, IDM_ABOUT, 0);
    PostMessageA(listener, WM_COMMAND, IDM_HIRE, 0);
    Sleep(500);
    EXPECT_EQ(FindWindowA("#32770", nullptr), nullptr);
    EXPECT_TRUE(host.process.Running());

    // Exit from the menu ends the host with exit code 0.
    PostMessageA(listener, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(host.process.Wait(10000), 0);
    EXPECT_TRUE(boxes.Texts().empty());
}
