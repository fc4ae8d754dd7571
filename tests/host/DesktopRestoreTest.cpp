// The real tavrin.exe on the stand-in desktop: the desktop is black and without wallpaper
// while the engine asks for it (the default configuration does), and after every orderly end
// it is exactly the user's again. The session's state is read by a new probe process each
// time (see DesktopProbe.cpp for why).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "CorvaneIds.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

struct Desktop {
    unsigned long colour = 0;
    std::string wallpaper;
};

Desktop Probe() {
    const std::string file = BinPath("probe.txt");
    Process probe;
    probe.Start("\"" + BinPath("desktop_probe.exe") + "\" read \"" + file + "\"");
    probe.Wait();
    Desktop seen;
    std::ifstream in(file);
    in >> seen.colour;
    in.ignore();
    std::getline(in, seen.wallpaper);
    return seen;
}

void SetUserWallpaper(const std::string& path) {
    Process probe;
    probe.Start("\"" + BinPath("desktop_probe.exe") + "\" wallpaper \"" + path + "\"");
    probe.Wait();
}

void SetUserColour(COLORREF colour) {
    const INT element = COLOR_BACKGROUND;
    SetSysColors(1, &element, &colour);
}

enum class End { Exit, Close, QueryEndSession };

void EndHost(End how, HWND listener) {
    DWORD_PTR result = 0;
    switch (how) {
    case End::Exit: PostMessageA(listener, WM_COMMAND, IDM_EXIT, 0); break;
    case End::Close: SendMessageTimeoutA(listener, WM_CLOSE, 0, 0, 0, 10000, &result); break;
    case End::QueryEndSession:
        SendMessageTimeoutA(listener, WM_QUERYENDSESSION, 0, 0, 0, 10000, &result);
        break;
    }
}

} // namespace

class DesktopRestoreTest : public ::testing::TestWithParam<End> {
  protected:
    const COLORREF userColour = RGB(30, 60, 90);
    std::string userWallpaper = BinPath("user-wallpaper.bmp");
    void SetUp() override {
        SetUserColour(userColour);
        SetUserWallpaper(userWallpaper);
    }
};

TEST_P(DesktopRestoreTest, UsersDesktopComesBackAfterTheEnd) {
    Desktop before = Probe();
    ASSERT_EQ(before.colour, userColour);
    ASSERT_EQ(before.wallpaper, userWallpaper);

    MessageBoxWatcher boxes;
    StandinDesktop desktop;
    HostProcess host;
    ASSERT_TRUE(host.Start());
    HWND listener = host.Listener();
    ASSERT_NE(listener, nullptr);
    // Suppression happens on the first animation frame.
    EXPECT_TRUE(WaitUntil([] { return Probe().colour == 0; }, 5000));
    EXPECT_EQ(Probe().wallpaper, "");

    // The user picks another wallpaper while the host runs.
    const std::string newWallpaper = BinPath("new-wallpaper.bmp");
    SetUserWallpaper(newWallpaper);
    PumpMessages(500);

    EndHost(GetParam(), listener);
    EXPECT_EQ(host.process.Wait(10000), 0);
    const Desktop after = Probe();
    EXPECT_EQ(after.colour, userColour);
    EXPECT_EQ(after.wallpaper, newWallpaper);
    EXPECT_TRUE(boxes.Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(Ends, DesktopRestoreTest,
                         ::testing::Values(End::Exit, End::Close, End::QueryEndSession));
