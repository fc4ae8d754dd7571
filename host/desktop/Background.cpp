// Capture of the desktop background and the icon diff region. Captures run on start-up,
// Refresh and desktop changes; nothing here runs per frame.
#include "Background.h"

#include <commctrl.h>

#include "DesktopColour.h"
#include "Wallpaper.h"
#include "core/HostState.h"

namespace {

// WM_SETREDRAW goes to other processes' windows; a hung application must not stop the host.
constexpr UINT kRedrawTimeoutMs = 500;

// False when the window's thread did not answer in time.
bool SetRedraw(HWND window, BOOL redraw) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_SETREDRAW, redraw, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                               kRedrawTimeoutMs, &result) != 0;
}

HBITMAP CopyFromDc(HDC source, int left, int top, int width, int height) {
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, left, top, width, height, source, left, top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return bitmap;
}

HBITMAP CaptureActiveDesktop(HWND html) {
    g_host.minimisedWindows.clear();
    EnumWindows(MinimiseAppWindowProc, 0);
    BringWindowToTop(html);
    RedrawWindow(html, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(html);
    HBITMAP bitmap = CopyFromDc(dc, 0, 0, g_host.virtualWidth, g_host.virtualHeight);
    ReleaseDC(html, dc);
    SetWindowPos(html, g_host.iconListView, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (auto it = g_host.minimisedWindows.rbegin(); it != g_host.minimisedWindows.rend(); ++it) {
        SetRedraw(*it, FALSE);
        ShowWindow(*it, SW_RESTORE);
        SetRedraw(*it, TRUE);
    }
    g_host.minimisedWindows.clear();
    return bitmap;
}

HBITMAP CapturePlainDesktop() {
    HDC screen = GetDC(nullptr);
    SetViewportOrgEx(screen, g_host.virtualLeft, g_host.virtualTop, nullptr);
    RECT client = {};
    GetClientRect(g_host.renderingWindow, &client);
    if (!PaintDesktop(screen)) ReportFailure("Failed to PaintDesktop");
    HBITMAP bitmap = CopyFromDc(screen, client.left, client.top, client.right - client.left,
                                client.bottom - client.top);
    ReleaseDC(nullptr, screen);
    InvalidateRect(nullptr, nullptr, TRUE);
    return bitmap;
}

} // namespace

void HandOverBackground(HBITMAP bitmap, const char* deleteFailureText) {
    if (g_host.engine) g_host.engine->SetBackground(bitmap);
    if (!DeleteObject(bitmap)) ReportFailure(deleteFailureText);
}

HWND FindHtmlWindow() {
    return FindWindowExA(g_host.desktopViewWindow, nullptr, "Internet Explorer_Server", nullptr);
}

BOOL CALLBACK MinimiseAppWindowProc(HWND window, LPARAM) {
    if (!IsWindowVisible(window)) return TRUE;
    if (GetWindow(window, GW_OWNER)) return TRUE;
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_APPWINDOW) && (exStyle & WS_EX_TOOLWINDOW)) return TRUE;
    if (IsIconic(window)) return TRUE;
    // ShowWindow waits for the window's thread: a window that does not answer is left alone.
    if (!SetRedraw(window, FALSE)) return TRUE;
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    SetRedraw(window, TRUE);
    g_host.minimisedWindows.push_back(window);
    return TRUE;
}

HBITMAP CaptureBackground() {
    HWND html = FindHtmlWindow();
    return html ? CaptureActiveDesktop(html) : CapturePlainDesktop();
}

HBITMAP CreateBackgroundBitmap() {
    if (!g_host.desktopSuppressed) {
        CalculateDiffRegion();
        return CaptureBackground();
    }
    // The host's black desktop is in force: the user's desktop is shown for the capture.
    RestoreDesktopColour();
    RestoreWallpaper();
    CalculateDiffRegion();
    HBITMAP bitmap = CaptureBackground();
    ForceDesktopColour();
    SuppressWallpaper();
    return bitmap;
}

void CalculateDiffRegion() {
    HWND list = g_host.iconListView;
    if (!list || !g_host.clipRegion) return;
    HRGN icons = CreateRectRgn(0, 0, 0, 0);
    HRGN whole = CreateRectRgn(0, 0, g_host.virtualWidth, g_host.virtualHeight);
    LRESULT kept = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_REGIONAL, 0xFFFF);
    RedrawWindow(list, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    bool obtained = GetWindowRgn(list, icons) != ERROR || GetWindowRgn(list, icons) != ERROR;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_REGIONAL, kept);
    if (obtained && CombineRgn(g_host.clipRegion, whole, icons, RGN_DIFF) == ERROR)
        ReportFailure("Error, couldn't calculate the diff region");
    DeleteObject(icons);
    DeleteObject(whole);
}
