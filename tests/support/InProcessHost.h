// A host built in the test process around a recording engine: the rendering window (a child
// of the desktop window, as without a shell), the listener window and a fresh HostState.
#pragma once
#include <gtest/gtest.h>

#include "FakeEngine.h"
#include "TestSupport.h"
#include "core/HostState.h"
#include "core/Shutdown.h"
#include "core/Startup.h"
#include "core/RenderingWindow.h"
#include "watch/Listener.h"
#include "watch/RegistryWatcher.h"
#include "desktop/Wallpaper.h"

class InProcessHost : public ::testing::Test {
  protected:
    FakeEngine engine;
    HWND view = nullptr;
    testing_support::MessageBoxWatcher boxes;

    void SetUp() override {
        InitialiseHostState();
        g_host.instance = GetModuleHandleA(nullptr);
        ReadVirtualScreen();
        g_host.clipRegion = CreateRectRgn(0, 0, g_host.virtualWidth, g_host.virtualHeight);
        SaveOriginalDesktop(nullptr, nullptr, nullptr);
        ASSERT_TRUE(RegisterRenderingClass());
        // A stand-in desktop view in this process, so the rendering window is a child window
        // as under the shell: broadcasts to top-level windows reach it only through the
        // listener.
        view = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "test view", WS_POPUP | WS_VISIBLE, 0, 0,
                               320, 240, nullptr, nullptr, nullptr, nullptr);
        g_host.desktopViewWindow = view;
        CreateRenderingWindow();
        ASSERT_NE(g_host.renderingWindow, nullptr);
        CreateListenerWindow();
        StartRegistryWatcher();
        g_host.engine = &engine;
        g_host.startupComplete = true;
    }

    void TearDown() override {
        Shutdown();
        DestroyWindow(view);
        if (g_host.renderingClassRegistered)
            UnregisterClassA(CORVANE_RENDER_CLASS, g_host.instance);
        DrainQuitMessages();
    }

    // Removes the WM_QUIT messages the handlers posted and returns how many there were.
    int DrainQuitMessages() {
        int quits = 0;
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            ++quits;
        return quits;
    }
};
