// The host's guard around the configuration library, against a stand-in Config.dll whose
// exports throw. This program lies in a folder of its own beside that stand-in, so that
// LoadLibraryA("Config.dll") finds it first.
#include "InProcessHost.h"
#include "settings/ConfigFiles.h"

using ConfigGuardTest = InProcessHost;

TEST_F(ConfigGuardTest, ThrowingLoadIsReportedAndTheHostGoesOn) {
    g_host.configFile = testing_support::BinPath("guard.cfg");
    g_host.paused = true;
    int interval = 70;
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    EXPECT_FALSE(LoadConfig(&engine, &interval, nullptr));
    testing_support::PumpMessages(50);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Exception while loading config file"});
    // Whatever the load did, the priority class, the timer and the pause flag follow.
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    EXPECT_FALSE(g_host.paused);
    EXPECT_EQ(interval, 70);
    EXPECT_TRUE(KillTimer(g_host.renderingWindow, CORVANE_TIMER_ANIMATION));
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

TEST_F(ConfigGuardTest, ThrowingSaveIsReported) {
    EXPECT_FALSE(SaveConfig(&engine, 50, IDLE_PRIORITY_CLASS,
                            testing_support::BinPath("guard.cfg").c_str()));
    testing_support::PumpMessages(50);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Exception while saving config file"});
    // The guard leaves the host able to call again.
    EXPECT_FALSE(SaveConfig(&engine, 50, IDLE_PRIORITY_CLASS, "x.cfg"));
    testing_support::PumpMessages(50);
    EXPECT_EQ(boxes.Texts().size(), 2u);
}

TEST_F(ConfigGuardTest, ThrowingFormsAreReportedAndTheLibraryFreed) {
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_ABOUT, 0);
    SendMessageA(g_host.renderingWindow, WM_COMMAND, IDM_HIRE, 0);
    testing_support::PumpMessages(50);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Exception while launching About form",
                                                       "Exception while launching Hire form"}));
    EXPECT_EQ(GetModuleHandleA("Config.dll"), nullptr);
}
