// The shutdown procedure runs once however often and however it is reached, and each route
// ends the message loop.
#include "InProcessHost.h"

using ShutdownTest = InProcessHost;

TEST_F(ShutdownTest, CloseOfTheRenderingWindowShutsDownOnceAndQuits) {
    HWND window = g_host.renderingWindow;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(g_host.shutdownDone);
    EXPECT_EQ(engine.releases, 1);
    EXPECT_EQ(g_host.engine, nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FindWindowA(CORVANE_LISTENER_CLASS, nullptr), nullptr);
    EXPECT_GE(DrainQuitMessages(), 1);

    // Later closes only post another quit.
    for (UINT message : {WM_CLOSE, WM_DESTROY}) {
        RenderingWindowProc(window, message, 0, 0);
        EXPECT_EQ(DrainQuitMessages(), 1);
    }
    EXPECT_EQ(engine.releases, 1);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ShutdownTest, CloseSentToTheListenerEndsEverythingOnce) {
    SendMessageA(g_host.listenerWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(g_host.shutdownDone);
    EXPECT_EQ(engine.releases, 1);
    EXPECT_EQ(FindWindowA(CORVANE_LISTENER_CLASS, nullptr), nullptr);
    EXPECT_EQ(testing_support::FindRenderingWindow(), nullptr);
    EXPECT_GE(DrainQuitMessages(), 1);
    EXPECT_TRUE(boxes.Texts().empty());
}

// The shell can destroy the rendering window with its parent: shutdown then runs inside the
// window's own WM_DESTROY and must neither destroy it again nor report a failure.
TEST_F(ShutdownTest, OwnDestructionFirstReportsNothing) {
    DestroyWindow(g_host.renderingWindow);
    EXPECT_TRUE(g_host.shutdownDone);
    EXPECT_EQ(engine.releases, 1);
    EXPECT_EQ(GetObjectType(g_host.clipRegion), 0u);
    EXPECT_GE(DrainQuitMessages(), 1);
    testing_support::PumpMessages(100);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(ShutdownTest, EndOfSessionShutsDownAndAnswersOne) {
    for (UINT message : {WM_QUERYENDSESSION, WM_ENDSESSION}) {
        EXPECT_EQ(RenderingWindowProc(g_host.renderingWindow, message, 0, 0), 1);
        EXPECT_EQ(DrainQuitMessages(), 1);
    }
    EXPECT_EQ(engine.releases, 1);
}
