// Background capture and the diff region, in-process: the plain and Active Desktop paths, the
// windows the Active Desktop capture minimises and restores, and list views without regions.
#include "InProcessHost.h"

#include <commctrl.h>

#include <vector>

#include "desktop/Background.h"

using CaptureTest = InProcessHost;

namespace {

std::vector<std::pair<HWND, int>>& MinMaxLog() {
    static std::vector<std::pair<HWND, int>> log;
    return log;
}

LRESULT CALLBACK RecordMinMax(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_MINMAX)
        MinMaxLog().emplace_back(reinterpret_cast<HWND>(wParam), LOWORD(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND TopWindow(DWORD exStyle, DWORD style, HWND owner = nullptr) {
    return CreateWindowExA(exStyle, "STATIC", "capture test", WS_POPUP | style, 10, 10, 100, 80,
                           owner, nullptr, nullptr, nullptr);
}

bool SameRegion(HRGN a, HRGN b) {
    return EqualRgn(a, b) != 0;
}

} // namespace

TEST_F(CaptureTest, PlainBitmapHasTheRenderingWindowsClientSize) {
    HBITMAP bitmap = CaptureBackground();
    BITMAP info = {};
    ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
    RECT client = {};
    GetClientRect(g_host.renderingWindow, &client);
    EXPECT_EQ(info.bmWidth, client.right);
    EXPECT_EQ(info.bmHeight, client.bottom);
    DeleteObject(bitmap);
}

TEST_F(CaptureTest, WithoutAnIconListTheFullRectangleStays) {
    g_host.iconListView = nullptr;
    HRGN full = CreateRectRgn(0, 0, g_host.virtualWidth, g_host.virtualHeight);
    CalculateDiffRegion();
    EXPECT_TRUE(SameRegion(g_host.clipRegion, full));
    DeleteObject(full);
}

// Wine's list view builds no region of its own, as some list views do not.
TEST_F(CaptureTest, ListViewWithoutARegionChangesNeitherRegionNorStyle) {
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 200,
                                100, view, nullptr, nullptr, nullptr);
    const DWORD style = LVS_EX_GRIDLINES | LVS_EX_INFOTIP;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0xFFFFFFFF, style);
    g_host.iconListView = list;
    HRGN before = CreateRectRgn(5, 5, 50, 50);
    CombineRgn(g_host.clipRegion, before, nullptr, RGN_COPY);
    CalculateDiffRegion();
    EXPECT_TRUE(SameRegion(g_host.clipRegion, before));
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)), style);
    EXPECT_TRUE(boxes.Texts().empty());
    DeleteObject(before);
    DestroyWindow(list);
}

TEST_F(CaptureTest, ActiveDesktopCaptureMinimisesApplicationWindowsAndRestoresThemInReverse) {
    HWND html = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 320, 240, view,
                                nullptr, nullptr, nullptr);
    // FindHtmlWindow looks for this class under the desktop view.
    WNDCLASSA htmlClass = {};
    htmlClass.lpfnWndProc = DefWindowProcA;
    htmlClass.hInstance = GetModuleHandleA(nullptr);
    htmlClass.lpszClassName = "Internet Explorer_Server";
    RegisterClassA(&htmlClass);
    DestroyWindow(html);
    html = CreateWindowExA(0, "Internet Explorer_Server", "", WS_CHILD | WS_VISIBLE, 0, 0, 320, 240,
                           view, nullptr, htmlClass.hInstance, nullptr);
    ASSERT_EQ(FindHtmlWindow(), html);

    HWND app = TopWindow(0, WS_VISIBLE);
    HWND toolApp = TopWindow(WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, WS_VISIBLE);
    HWND tool = TopWindow(WS_EX_TOOLWINDOW, WS_VISIBLE);
    HWND hidden = TopWindow(0, 0);
    HWND owned = TopWindow(0, WS_VISIBLE, app);
    HWND minimised = TopWindow(0, WS_VISIBLE);
    ShowWindow(minimised, SW_SHOWMINNOACTIVE);

    MinMaxLog().clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordMinMax, nullptr, GetCurrentThreadId());
    HBITMAP bitmap = CaptureBackground();
    UnhookWindowsHookEx(hook);

    BITMAP info = {};
    ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, g_host.virtualWidth);
    EXPECT_EQ(info.bmHeight, g_host.virtualHeight);
    DeleteObject(bitmap);
    EXPECT_TRUE(g_host.minimisedWindows.empty());

    std::vector<std::pair<HWND, int>> ours;
    for (const auto& entry : MinMaxLog())
        if (entry.first == app || entry.first == toolApp || entry.first == tool ||
            entry.first == hidden || entry.first == owned || entry.first == minimised)
            ours.push_back(entry);
    // Enumeration runs from the top of the z-order: the later window first.
    const std::vector<std::pair<HWND, int>> expected = {{toolApp, SW_SHOWMINNOACTIVE},
                                                        {app, SW_SHOWMINNOACTIVE},
                                                        {app, SW_RESTORE},
                                                        {toolApp, SW_RESTORE}};
    EXPECT_EQ(ours, expected);
    EXPECT_FALSE(IsIconic(app));
    EXPECT_FALSE(IsIconic(toolApp));
    EXPECT_TRUE(IsIconic(minimised));
    EXPECT_FALSE(IsWindowVisible(hidden));
    for (HWND w : {owned, app, toolApp, tool, hidden, minimised, html})
        DestroyWindow(w);
}

// A window whose thread stops answering must not stop the capture.
TEST_F(CaptureTest, HungWindowDoesNotHangTheCapture) {
    WNDCLASSA htmlClass = {};
    htmlClass.lpfnWndProc = DefWindowProcA;
    htmlClass.hInstance = GetModuleHandleA(nullptr);
    htmlClass.lpszClassName = "Internet Explorer_Server";
    RegisterClassA(&htmlClass);
    HWND html = CreateWindowExA(0, "Internet Explorer_Server", "", WS_CHILD | WS_VISIBLE, 0, 0, 320,
                                240, view, nullptr, htmlClass.hInstance, nullptr);

    struct Hung {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HWND window = nullptr;
        static DWORD WINAPI Run(LPVOID self) {
            Hung* h = static_cast<Hung*>(self);
            h->window = TopWindow(0, WS_VISIBLE);
            SetEvent(h->ready);
            WaitForSingleObject(h->release, INFINITE); // answers no message meanwhile
            DestroyWindow(h->window);
            return 0;
        }
    } hung;
    HANDLE thread = CreateThread(nullptr, 0, Hung::Run, &hung, 0, nullptr);
    WaitForSingleObject(hung.ready, 5000);

    const DWORD start = GetTickCount();
    HBITMAP bitmap = CaptureBackground();
    const DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 5000u);
    EXPECT_NE(bitmap, nullptr);
    EXPECT_FALSE(IsIconic(hung.window));
    DeleteObject(bitmap);

    SetEvent(hung.release);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(hung.ready);
    CloseHandle(hung.release);
    DestroyWindow(html);
}
