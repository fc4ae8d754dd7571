// The host's cost per frame under Wine (the engine's step and its hand-over to the window DC,
// with the host's clip region and origin), next to a bare program that only does GetDC, one
// full-size BitBlt and ReleaseDC per frame. Prints both and their ratio.
#include <windows.h>

#include <cstdio>

#include "core/Engine.h"
#include "core/HostState.h"
#include "core/RenderingWindow.h"
#include "core/Shutdown.h"
#include "core/Startup.h"

namespace {

constexpr int kFrames = 400;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

double BareFrames(HWND window) {
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, g_host.virtualWidth, g_host.virtualHeight);
    HGDIOBJ old = SelectObject(memory, bitmap);
    ReleaseDC(window, screen);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kFrames; ++i) {
        HDC dc = GetDC(window);
        BitBlt(dc, 0, 0, g_host.virtualWidth, g_host.virtualHeight, memory, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
    GdiFlush();
    QueryPerformanceCounter(&end);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return Seconds(start, end) / kFrames;
}

double HostFrames() {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kFrames; ++i)
        DrawAnimationFrame();
    GdiFlush();
    QueryPerformanceCounter(&end);
    return Seconds(start, end) / kFrames;
}

} // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    InitialiseHostState();
    g_host.instance = GetModuleHandleA(nullptr);
    ReadVirtualScreen();
    g_host.clipRegion = CreateRectRgn(0, 0, g_host.virtualWidth, g_host.virtualHeight);
    RegisterRenderingClass();
    CreateRenderingWindow();
    ShowWindow(g_host.renderingWindow, SW_SHOW);
    g_host.engine = CreateEngineObject();
    if (!g_host.engine) {
        std::printf("no engine: register Veskar.dll first\n");
        return 1;
    }
    g_host.engine->Attach(g_host.renderingWindow, nullptr);
    for (int i = 0; i < 100; ++i)
        DrawAnimationFrame(); // steady state
    const double bare = BareFrames(g_host.renderingWindow);
    const double host = HostFrames();
    std::printf("virtual screen %dx%d, %d frames each\n", g_host.virtualWidth, g_host.virtualHeight,
                kFrames);
    std::printf("bare GetDC+BitBlt+ReleaseDC: %.3f ms per frame\n", bare * 1000);
    std::printf("host frame (engine step + hand-over): %.3f ms per frame\n", host * 1000);
    std::printf("ratio host/bare: %.2f\n", host / bare);
    g_host.engine->Release();
    g_host.engine = nullptr;
    g_host.shutdownDone = true; // no listener or tray here: nothing else to undo
    DestroyWindow(g_host.renderingWindow);
    CoUninitialize();
    return 0;
}
