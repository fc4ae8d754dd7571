// The rendering window's procedure, in-process over HostState with a recording engine.
#include "InProcessHost.h"

#include <cmath>

using RenderingWindowTest = InProcessHost;

namespace {

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(g_host.renderingWindow, message, wParam, lParam);
}

} // namespace

TEST_F(RenderingWindowTest, EachAnimationTickDrawsOneClippedFrameAtTheVirtualOrigin) {
    // A clip region with a hole where icons would be, and the window away from the origin.
    HRGN hole = CreateRectRgn(10, 10, 50, 40);
    CombineRgn(g_host.clipRegion, g_host.clipRegion, hole, RGN_DIFF);
    DeleteObject(hole);
    SetWindowPos(g_host.renderingWindow, nullptr, 30, 40, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT origin = {0, 0};
    ClientToScreen(g_host.renderingWindow, &origin);
    engine.expectedClip = g_host.clipRegion;

    Send(WM_TIMER, CORVANE_TIMER_ANIMATION);
    EXPECT_EQ(engine.drawFrames, 1);
    EXPECT_TRUE(engine.lastClipMatched);
    EXPECT_EQ(engine.lastViewportOrigin.x, g_host.virtualLeft - origin.x);
    EXPECT_EQ(engine.lastViewportOrigin.y, g_host.virtualTop - origin.y);
    Send(WM_TIMER, CORVANE_TIMER_ANIMATION);
    EXPECT_EQ(engine.drawFrames, 2);
}

TEST_F(RenderingWindowTest, OtherTimersDrawNothing) {
    for (WPARAM id : {WPARAM(1), WPARAM(399), WPARAM(402), WPARAM(1000)})
        Send(WM_TIMER, id);
    EXPECT_EQ(engine.drawFrames, 0);
}

TEST_F(RenderingWindowTest, WithoutAnEngineNoFrameIsDrawn) {
    g_host.engine = nullptr;
    Send(WM_TIMER, CORVANE_TIMER_ANIMATION);
    EXPECT_EQ(engine.drawFrames, 0);
    EXPECT_EQ(Send(CVM_GETENGINE), 0);
    g_host.engine = &engine;
}

TEST_F(RenderingWindowTest, ScreenSaveRequestsBeforeStartupAreQueuedAndReplayedInOrder) {
    g_host.startupComplete = false;
    Send(CVM_SCREENSAVEREQUEST, 0x1111, 2);
    Send(CVM_SCREENSAVEREQUEST, 0x2222, 7);
    EXPECT_TRUE(g_host.screenSaveRequestsQueued);
    ASSERT_EQ(g_host.pendingScreenSaveRequests.size(), 2u);
    EXPECT_FALSE(g_host.screenSaving);

    ReplayEarlyScreenSaveRequests();
    EXPECT_TRUE(g_host.startupComplete);
    EXPECT_TRUE(g_host.pendingScreenSaveRequests.empty());
    MSG first = {}, second = {};
    ASSERT_TRUE(PeekMessageA(&first, g_host.renderingWindow, CVM_SCREENSAVEREQUEST,
                             CVM_SCREENSAVEREQUEST, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&second, g_host.renderingWindow, CVM_SCREENSAVEREQUEST,
                             CVM_SCREENSAVEREQUEST, PM_REMOVE));
    EXPECT_EQ(first.wParam, 0x1111u);
    EXPECT_EQ(first.lParam, 2);
    EXPECT_EQ(second.wParam, 0x2222u);
    EXPECT_EQ(second.lParam, 7);
    // Handled after start-up, a request no longer queues.
    DispatchMessageA(&first);
    EXPECT_FALSE(g_host.screenSaveRequestsQueued);
    EXPECT_TRUE(g_host.pendingScreenSaveRequests.empty());
}

struct ParamCase {
    UINT message;
    int param; // index of the engine parameter: 0 = A .. 5 = F
    bool read;
};

class ParamMessageTest : public InProcessHost, public ::testing::WithParamInterface<ParamCase> {};

TEST_P(ParamMessageTest, ReachesItsEngineOperation) {
    const ParamCase& c = GetParam();
    if (c.read) {
        for (double value : {2.9, -2.9, 0.4, 1234.99}) {
            engine.params[c.param] = value;
            EXPECT_EQ(Send(c.message), static_cast<LRESULT>(std::trunc(value))) << value;
        }
        EXPECT_EQ(engine.paramGets[c.param], 4);
    } else {
        EXPECT_EQ(Send(c.message, 0, static_cast<LPARAM>(0xFFFFFFFFu)), 0);
        EXPECT_EQ(engine.params[c.param], -1.0);
        Send(c.message, 0, 42);
        EXPECT_EQ(engine.params[c.param], 42.0);
        EXPECT_EQ(engine.paramSets[c.param], 2);
    }
    for (int other = 0; other < 6; ++other) {
        if (other == c.param) continue;
        EXPECT_EQ(engine.paramGets[other] + engine.paramSets[other], 0) << other;
    }
    // Without an engine: 0, and nothing is called.
    g_host.engine = nullptr;
    EXPECT_EQ(Send(c.message, 0, 5), 0);
    g_host.engine = &engine;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ParamMessageTest,
    ::testing::Values(ParamCase{CVM_GETPARAMB, 1, true}, ParamCase{CVM_SETPARAMB, 1, false},
                      ParamCase{CVM_GETPARAMA, 0, true}, ParamCase{CVM_SETPARAMA, 0, false},
                      ParamCase{CVM_GETPARAMD, 3, true}, ParamCase{CVM_SETPARAMD, 3, false},
                      ParamCase{CVM_GETPARAMC, 2, true}, ParamCase{CVM_SETPARAMC, 2, false},
                      ParamCase{CVM_GETPARAMF, 5, true}, ParamCase{CVM_SETPARAMF, 5, false},
                      ParamCase{CVM_GETPARAME, 4, true}, ParamCase{CVM_SETPARAME, 4, false}));

TEST_F(RenderingWindowTest, EngineMessageAnswersTheEnginePointer) {
    EXPECT_EQ(Send(CVM_GETENGINE), reinterpret_cast<LRESULT>(static_cast<IVESKAR*>(&engine)));
}

TEST_F(RenderingWindowTest, ReadingThroughTheListenerAnswersZero) {
    engine.params[0] = 5.0;
    EXPECT_EQ(Send(CVM_GETPARAMA), 5);
    EXPECT_EQ(SendMessageA(g_host.listenerWindow, CVM_GETPARAMA, 0, 0), 0);
    EXPECT_EQ(SendMessageA(g_host.listenerWindow, CVM_GETENGINE, 0, 0), 0);
    EXPECT_EQ(engine.paramGets[0], 2); // it did reach the engine
}

TEST_F(RenderingWindowTest, WorkAreaChangeIsTakenAtTheNextFrameOnly) {
    Send(WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER);
    Send(WM_SETTINGCHANGE, 0);
    EXPECT_FALSE(g_host.workAreaChanged);
    Send(WM_SETTINGCHANGE, SPI_SETWORKAREA);
    EXPECT_TRUE(g_host.workAreaChanged);
    Send(WM_TIMER, CORVANE_TIMER_ANIMATION);
    EXPECT_FALSE(g_host.workAreaChanged);
}

TEST_F(RenderingWindowTest, NewBackgroundMessageHandsTheEngineABitmap) {
    Send(CVM_NEWBACKGROUND);
    EXPECT_EQ(engine.setBackgrounds, 1);
    EXPECT_TRUE(engine.lastBackgroundValid);
    testing_support::PumpMessages(50);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(RenderingWindowTest, HookMessagesAreRegisteredOnTheFirstMessage) {
    EXPECT_TRUE(g_host.msgDesktopRedrawRegistered);
    EXPECT_EQ(g_host.msgDesktopRedraw, RegisterWindowMessageA(UWM_DESKTOPREDRAW_NAME));
    EXPECT_EQ(g_host.msgDesktopItemChanged, RegisterWindowMessageA(UWM_DESKTOPITEMCHANGED_NAME));
    EXPECT_EQ(g_host.msgDesktopChildAttached,
              RegisterWindowMessageA(UWM_DESKTOPCHILDATTACHED_NAME));
    Send(g_host.msgDesktopRedraw);
    EXPECT_EQ(engine.drawFrames + engine.setBackgrounds + engine.getBlendCalls, 0);
}

TEST_F(RenderingWindowTest, InputOutsideScreenSaveModeDoesNothing) {
    for (UINT message :
         {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MOUSEMOVE})
        Send(message);
    EXPECT_FALSE(g_host.screenSaving);
    EXPECT_EQ(engine.drawFrames + engine.copies, 0);
}

// The listener passes its own messages on; none may change the rendering window itself.
TEST_F(RenderingWindowTest, ListenerMessagesLeaveTheRenderingWindowAlone) {
    const LONG style = GetWindowLongA(g_host.renderingWindow, GWL_STYLE);
    SetWindowTextA(g_host.listenerWindow, "renamed");
    SendMessageA(g_host.listenerWindow, WM_SETREDRAW, FALSE, 0);
    char title[64] = {};
    GetWindowTextA(g_host.renderingWindow, title, sizeof title);
    EXPECT_STREQ(title, CORVANE_RENDER_TITLE);
    EXPECT_EQ(GetWindowLongA(g_host.renderingWindow, GWL_STYLE), style);
}

namespace {
int g_colourChanges = 0;
LRESULT CALLBACK CountColourChanges(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SYSCOLORCHANGE &&
        message->hwnd == g_host.renderingWindow)
        ++g_colourChanges;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

TEST_F(RenderingWindowTest, BroadcastColourChangeArrivesOnceThroughTheListener) {
    g_colourChanges = 0;
    HHOOK hook =
        SetWindowsHookExA(WH_CALLWNDPROC, CountColourChanges, nullptr, GetCurrentThreadId());
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    testing_support::PumpMessages(50);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_colourChanges, 1);
}
