// The hook library across processes: the stand-in shell desktop runs in its own process (this
// program is started by standin_run once the desktop exists), the desktop monitor hook runs
// inside it, and its notices reach this process.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "InProcessHost.h"
#include "Quillet.h"
#include "desktop/Background.h"
#include "watch/RegistryWatcher.h"
#include "../standin/StandinProtocol.h"

using namespace testing_support;

namespace {

// A window that records the registered messages the hook posts to it.
struct NoticeRecorder {
    static std::vector<UINT>& Received() {
        static std::vector<UINT> received;
        return received;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= 0xC000) Received().push_back(message);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    HWND window;
    NoticeRecorder() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "NoticeRecorder";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "NoticeRecorder", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        Received().clear();
    }
    ~NoticeRecorder() { DestroyWindow(window); }
    NoticeRecorder(const NoticeRecorder&) = delete;
    NoticeRecorder& operator=(const NoticeRecorder&) = delete;
};

HWND StandinTop() {
    return FindWindowA("Progman", "Program Manager");
}

LRESULT AskStandin(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(StandinTop(), message, wParam, lParam);
}

POINT IconCentre(int item) {
    const LONG l = static_cast<LONG>(AskStandin(STANDIN_ICON_RECT, item, 0));
    const LONG t = static_cast<LONG>(AskStandin(STANDIN_ICON_RECT, item, 1));
    const LONG r = static_cast<LONG>(AskStandin(STANDIN_ICON_RECT, item, 2));
    const LONG b = static_cast<LONG>(AskStandin(STANDIN_ICON_RECT, item, 3));
    return POINT{(l + r) / 2, (t + b) / 2};
}

const UINT kItemChanged = RegisterWindowMessageA(UWM_DESKTOPITEMCHANGED_NAME);
const UINT kRedraw = RegisterWindowMessageA(UWM_DESKTOPREDRAW_NAME);

} // namespace

class DesktopHookTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(StandinTop(), nullptr) << "run me through standin_run"; }
};

// The host in this process, its rendering window under the stand-in's desktop view.
class HostOnStandinTest : public DesktopHookTest {
  protected:
    FakeEngine engine;
    MessageBoxWatcher boxes;
    void SetUp() override {
        DesktopHookTest::SetUp();
        InitialiseHostState();
        g_host.instance = GetModuleHandleA(nullptr);
        ReadVirtualScreen();
        g_host.clipRegion = CreateRectRgn(0, 0, g_host.virtualWidth, g_host.virtualHeight);
        FindDesktopWindows();
        ASSERT_NE(g_host.iconListView, nullptr);
        ASSERT_TRUE(RegisterRenderingClass());
        CreateRenderingWindow();
        CreateListenerWindow();
        StartRegistryWatcher();
        g_host.engine = &engine;
        ASSERT_TRUE(SetDesktopMonitorHook(g_host.renderingWindow));
    }
    void TearDown() override {
        Shutdown();
        UnregisterClassA(CORVANE_RENDER_CLASS, g_host.instance);
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
};

TEST_F(HostOnStandinTest, MovedIconLeavesItsOldPlaceToTheRain) {
    CalculateDiffRegion();
    const POINT before = IconCentre(0);
    ASSERT_FALSE(PtInRegion(g_host.clipRegion, before.x, before.y));
    AskStandin(STANDIN_MOVE_ICON, 0, MAKELPARAM(600, 420));
    const POINT after = IconCentre(0);
    ASSERT_NE(after.x, before.x);
    // The hook's notice arrives as a posted message; the host recomputes the region then.
    EXPECT_TRUE(
        WaitUntil([&] { return PtInRegion(g_host.clipRegion, before.x, before.y) != 0; }, 3000));
    EXPECT_FALSE(PtInRegion(g_host.clipRegion, after.x, after.y));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(DesktopHookTest, SeveralChangesBeforeOnePaintGiveOneNotice) {
    NoticeRecorder recorder;
    ASSERT_TRUE(SetDesktopMonitorHook(recorder.window));
    AskStandin(STANDIN_BATCH_CHANGES);
    PumpMessages(300);
    EXPECT_EQ(NoticeRecorder::Received(), std::vector<UINT>{kItemChanged});

    NoticeRecorder::Received().clear();
    AskStandin(STANDIN_REPAINT);
    PumpMessages(300);
    EXPECT_TRUE(NoticeRecorder::Received().empty());

    AskStandin(STANDIN_CHANGE_THEN_NCPAINT);
    PumpMessages(300);
    EXPECT_EQ(NoticeRecorder::Received(), (std::vector<UINT>{kItemChanged, kRedraw}));

    NoticeRecorder::Received().clear();
    AskStandin(STANDIN_OTHER_LIST_CHANGE);
    PumpMessages(300);
    EXPECT_TRUE(NoticeRecorder::Received().empty());
    EXPECT_TRUE(ClearDesktopMonitorHook(recorder.window));
}

TEST_F(DesktopHookTest, NewChildOfTheDesktopViewIsReported) {
    NoticeRecorder recorder;
    ASSERT_TRUE(SetDesktopMonitorHook(recorder.window));
    const UINT attached = RegisterWindowMessageA(UWM_DESKTOPCHILDATTACHED_NAME);
    AskStandin(STANDIN_ATTACH_HTML);
    PumpMessages(300);
    AskStandin(STANDIN_REMOVE_HTML); // a destroyed child is no notice
    PumpMessages(300);
    // The new window also makes the icon list repaint its frame (a redraw notice); count the
    // child notices.
    const auto& received = NoticeRecorder::Received();
    EXPECT_EQ(std::count(received.begin(), received.end(), attached), 1);
    EXPECT_TRUE(ClearDesktopMonitorHook(recorder.window));
}

TEST_F(DesktopHookTest, OneClientAtATime) {
    NoticeRecorder first, second;
    EXPECT_TRUE(SetMouseMessageHook(first.window));
    EXPECT_FALSE(SetMouseMessageHook(second.window));
    EXPECT_FALSE(ClearMouseMessageHook(nullptr));
    EXPECT_FALSE(ClearMouseMessageHook(second.window));
    EXPECT_TRUE(ClearMouseMessageHook(first.window));
    EXPECT_FALSE(ClearMouseMessageHook(first.window));

    EXPECT_TRUE(SetDesktopMonitorHook(first.window));
    EXPECT_FALSE(SetDesktopMonitorHook(second.window));
    EXPECT_FALSE(ClearDesktopMonitorHook(nullptr));
    EXPECT_FALSE(ClearDesktopMonitorHook(second.window));
    EXPECT_TRUE(ClearDesktopMonitorHook(first.window));
}

TEST_F(DesktopHookTest, ExitingHolderRemovesItsHookAndOtherProcessesChangeNothing) {
    Process holder;
    ASSERT_TRUE(holder.Start("\"" + BinPath("hook_holder.exe") + "\" hold"));
    ASSERT_EQ(holder.Wait(), 0);
    // The holder exited with its hook in: its detach removed it, so the target is free.
    NoticeRecorder mine;
    ASSERT_TRUE(SetDesktopMonitorHook(mine.window));

    // A process that only maps the library leaves our hook as it is when it exits.
    Process mapper;
    ASSERT_TRUE(mapper.Start("\"" + BinPath("hook_holder.exe") + "\" load"));
    ASSERT_EQ(mapper.Wait(), 0);
    NoticeRecorder other;
    EXPECT_FALSE(SetDesktopMonitorHook(other.window));
    EXPECT_TRUE(ClearDesktopMonitorHook(mine.window));
}
