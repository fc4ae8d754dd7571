// tavrin.exe as a real process beside the stand-in shell desktop: single instance, where the
// rendering window goes under each form of the desktop, the missing-engine path, and exit.
#include <gtest/gtest.h>

#include "CorvaneIds.h"
#include "TestSupport.h"

using namespace testing_support;

namespace {

struct Placement {
    const char* form;
    const char* parentClass; // null: the desktop window
    LONG style;
    bool enabled;
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TitleOf(HWND window) {
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

int CountTopWindows(const char* className) {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr)
        ++count;
    return count;
}

// Veskar.dll's own registration entry points, for the missing-engine test.
HRESULT CallRegistration(const char* entry) {
    HMODULE veskar = LoadLibraryA(BinPath("Veskar.dll").c_str());
    if (!veskar) return E_FAIL;
    auto proc = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(veskar, entry)));
    HRESULT hr = proc ? proc() : E_FAIL;
    FreeLibrary(veskar);
    return hr;
}

} // namespace

class PlacementTest : public ::testing::TestWithParam<Placement> {};

TEST_P(PlacementTest, RenderingWindowSitsWhereTheDesktopFormSays) {
    const Placement& p = GetParam();
    MessageBoxWatcher boxes;
    StandinDesktop desktop(p.form);
    HostProcess host;
    ASSERT_TRUE(host.Start());
    ASSERT_NE(host.Listener(), nullptr);
    HWND rendering = FindRenderingWindow();
    ASSERT_NE(rendering, nullptr);

    EXPECT_EQ(TitleOf(rendering), CORVANE_RENDER_TITLE);
    EXPECT_TRUE(GetWindowLongA(rendering, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    const LONG style = GetWindowLongA(rendering, GWL_STYLE);
    EXPECT_EQ(style & ~(WS_VISIBLE | WS_DISABLED), p.style);
    EXPECT_EQ(IsWindowEnabled(rendering) != 0, p.enabled);
    HWND parent = GetAncestor(rendering, GA_PARENT);
    if (p.parentClass) {
        EXPECT_EQ(ClassOf(parent), p.parentClass);
        // At the bottom of its siblings, below the icon list.
        EXPECT_EQ(GetWindow(rendering, GW_HWNDNEXT), nullptr);
        if (desktop.list && GetParent(desktop.list) == parent) {
            bool listAbove = false;
            for (HWND w = GetWindow(rendering, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
                listAbove = listAbove || w == desktop.list;
            EXPECT_TRUE(listAbove);
        }
    } else {
        EXPECT_EQ(parent, GetDesktopWindow());
        RECT rect = {};
        GetWindowRect(rendering, &rect);
        EXPECT_EQ(rect.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
        EXPECT_EQ(rect.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    }
    RECT client = {};
    GetClientRect(rendering, &client);
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYVIRTUALSCREEN));

    EXPECT_EQ(host.Stop(), 0);
    EXPECT_EQ(FindRenderingWindow(), nullptr);
    EXPECT_TRUE(boxes.Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    DesktopForms, PlacementTest,
    ::testing::Values(Placement{"", "SHELLDLL_DefView", WS_CHILD | WS_CLIPCHILDREN, false},
                      Placement{"/deskfolder", "DesktopBackgroundClass",
                                WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, false},
                      Placement{"/none", nullptr, WS_CHILD | WS_CLIPCHILDREN, true}));

TEST(StartupTest, SecondHostExitsAtOnceAndChangesNothing) {
    MessageBoxWatcher boxes;
    StandinDesktop desktop;
    HostProcess first;
    ASSERT_TRUE(first.Start());
    HWND listener = first.Listener();
    ASSERT_NE(listener, nullptr);
    HWND rendering = FindRenderingWindow();

    Process second;
    ASSERT_TRUE(second.Start("\"" + BinPath("tavrin.exe") + "\"", BinDir().c_str()));
    EXPECT_EQ(second.Wait(5000), 0);

    EXPECT_EQ(CountTopWindows(CORVANE_LISTENER_CLASS), 1);
    EXPECT_EQ(FindWindowA(CORVANE_LISTENER_CLASS, nullptr), listener);
    EXPECT_EQ(FindRenderingWindow(), rendering);
    EXPECT_EQ(TitleOf(rendering), CORVANE_RENDER_TITLE);
    EXPECT_EQ(first.Stop(), 0);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST(StartupTest, ListenerDoesNotRetitleTheRenderingWindow) {
    StandinDesktop desktop;
    HostProcess host;
    ASSERT_TRUE(host.Start());
    HWND listener = host.Listener();
    ASSERT_NE(listener, nullptr);
    EXPECT_EQ(TitleOf(listener), CORVANE_LISTENER_TITLE);
    // Other programs find the rendering window by its class and title.
    EXPECT_EQ(FindWindowExA(desktop.view, nullptr, CORVANE_RENDER_CLASS, CORVANE_RENDER_TITLE),
              FindRenderingWindow());
    EXPECT_EQ(host.Stop(), 0);
}

TEST(StartupTest, WithoutARegisteredEngineStartupReportsAndCleansUp) {
    ASSERT_EQ(CallRegistration("DllUnregisterServer"), S_OK);
    struct Reregister {
        ~Reregister() { CallRegistration("DllRegisterServer"); }
    } reregister;
    MessageBoxWatcher boxes;
    StandinDesktop desktop;
    HostProcess host;
    ASSERT_TRUE(host.Start());
    EXPECT_EQ(host.process.Wait(20000), 0);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed to create TavrinObject"});
    EXPECT_EQ(FindWindowA(CORVANE_LISTENER_CLASS, nullptr), nullptr);
    EXPECT_EQ(FindRenderingWindow(), nullptr);
    EXPECT_EQ(FindWindowExA(desktop.view, nullptr, CORVANE_RENDER_CLASS, nullptr), nullptr);
}

TEST(StartupTest, CloseThroughTheListenerEndsWithExitCodeZero) {
    MessageBoxWatcher boxes;
    StandinDesktop desktop;
    HostProcess host;
    ASSERT_TRUE(host.Start());
    ASSERT_NE(host.Listener(), nullptr);
    EXPECT_EQ(host.Stop(), 0);
    EXPECT_EQ(FindWindowA(CORVANE_LISTENER_CLASS, nullptr), nullptr);
    EXPECT_EQ(FindRenderingWindow(), nullptr);
    EXPECT_TRUE(boxes.Texts().empty());
}
