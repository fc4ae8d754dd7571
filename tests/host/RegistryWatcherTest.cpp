// The registry watcher thread, over the real HKCU\Control Panel\Desktop: what each change
// posts to the rendering window (here a window that records the messages).
//
// Wine may not signal a change notification when a value is written again unchanged; either
// way the watcher must post nothing for it, which is what the test checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CorvaneIds.h"
#include "TestSupport.h"
#include "core/HostState.h"
#include "watch/RegistryWatcher.h"

using namespace testing_support;

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
const char* const kValues[] = {"Wallpaper", "WallpaperStyle", "TileWallpaper", "Pattern",
                               "CorvaneTestOther"};

std::vector<UINT>& Posted() {
    static std::vector<UINT> posted;
    return posted;
}

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CVM_NEWBACKGROUND || message == CVM_WALLPAPERCHANGED)
        Posted().push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Saved {
    std::string name;
    std::vector<BYTE> data;
    DWORD type = 0;
    bool existed = false;
};

void Write(const char* name, const std::string& text) {
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

} // namespace

class RegistryWatcherTest : public ::testing::Test {
  protected:
    std::vector<Saved> saved;
    HWND recorder = nullptr;
    MessageBoxWatcher boxes;

    void SetUp() override {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr);
        for (const char* name : kValues) {
            Saved s;
            s.name = name;
            DWORD size = 0;
            s.existed = RegQueryValueExA(key, name, nullptr, &s.type, nullptr, &size) == 0;
            s.data.resize(size);
            if (s.existed) RegQueryValueExA(key, name, nullptr, &s.type, s.data.data(), &size);
            saved.push_back(s);
        }
        RegCloseKey(key);
        Write("Wallpaper", "C:\\pictures\\start.bmp");
        Write("WallpaperStyle", "0");
        Write("TileWallpaper", "0");

        WNDCLASSA wc = {};
        wc.lpfnWndProc = Recorder;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WatcherRecorder";
        RegisterClassA(&wc);
        InitialiseHostState();
        recorder = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   wc.hInstance, nullptr);
        g_host.renderingWindow = recorder;
        StartRegistryWatcher();
        Settle();
        Posted().clear();
    }

    void TearDown() override {
        StopRegistryWatcher();
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_ALL_ACCESS, &key);
        for (const Saved& s : saved) {
            if (s.existed)
                RegSetValueExA(key, s.name.c_str(), 0, s.type, s.data.data(),
                               static_cast<DWORD>(s.data.size()));
            else
                RegDeleteValueA(key, s.name.c_str());
        }
        RegCloseKey(key);
        DestroyWindow(recorder);
        g_host.renderingWindow = nullptr;
    }

    // Lets the watcher wake, compare, post and re-arm.
    void Settle() { PumpMessages(300); }
};

TEST_F(RegistryWatcherTest, NewWallpaperPostsExactlyOneWallpaperNotice) {
    Write("Wallpaper", "C:\\pictures\\sea.bmp");
    Settle();
    EXPECT_EQ(Posted(), std::vector<UINT>{CVM_WALLPAPERCHANGED});
    Posted().clear();
    Write("Wallpaper", "C:\\pictures\\sea.bmp");
    Settle();
    EXPECT_TRUE(Posted().empty());
}

TEST_F(RegistryWatcherTest, TilingChangesPostNewBackgroundNotices) {
    Write("TileWallpaper", "1");
    Settle();
    Write("TileWallpaper", "0");
    Settle();
    EXPECT_EQ(Posted(), (std::vector<UINT>{CVM_NEWBACKGROUND, CVM_NEWBACKGROUND}));
}

TEST_F(RegistryWatcherTest, OtherValuesPostNothingAndTheWatcherGoesOn) {
    Write("CorvaneTestOther", "1");
    Settle();
    EXPECT_TRUE(Posted().empty());
    Write("Pattern", "170 85 170 85 170 85 170 85");
    Settle();
    EXPECT_EQ(Posted(), std::vector<UINT>{CVM_NEWBACKGROUND});
}

TEST_F(RegistryWatcherTest, WallpaperAndStyleTogetherPostOneWallpaperNotice) {
    // Held while both values change, the thread wakes once and finds both changed.
    SuspendThread(g_host.watcherThread);
    Write("WallpaperStyle", "2");
    Write("Wallpaper", "C:\\pictures\\hill.bmp");
    ResumeThread(g_host.watcherThread);
    Settle();
    EXPECT_EQ(Posted(), std::vector<UINT>{CVM_WALLPAPERCHANGED});
}

TEST_F(RegistryWatcherTest, LetterCaseCounts) {
    Write("Wallpaper", "C:\\PICTURES\\START.BMP");
    Settle();
    EXPECT_EQ(Posted(), std::vector<UINT>{CVM_WALLPAPERCHANGED});
}

TEST_F(RegistryWatcherTest, ChangeFromAnotherProcessIsSeen) {
    Process reg;
    ASSERT_TRUE(reg.Start(
        "reg.exe add \"HKCU\\Control Panel\\Desktop\" /v Wallpaper /d C:\\x\\other.bmp /f"));
    EXPECT_EQ(reg.Wait(), 0);
    Settle();
    EXPECT_EQ(Posted(), std::vector<UINT>{CVM_WALLPAPERCHANGED});
}

TEST_F(RegistryWatcherTest, StopWhileWaitingEndsQuietly) {
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), g_host.watcherThread, GetCurrentProcess(), &thread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    const DWORD start = GetTickCount();
    StopRegistryWatcher();
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
    PumpMessages(50);
    EXPECT_TRUE(boxes.Texts().empty());
    StartRegistryWatcher(); // for TearDown
}

TEST_F(RegistryWatcherTest, ThreadThatDoesNotEndIsReportedAndTerminated) {
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), g_host.watcherThread, GetCurrentProcess(), &thread, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    SuspendThread(thread);
    StopRegistryWatcher();
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_EQ(shown[0].text,
              "Forced to terminate registry listener thread : WaitForSingleObject returned "
              "WAIT_TIMEOUT");
    EXPECT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
    CloseHandle(thread);
    StartRegistryWatcher(); // for TearDown
}
