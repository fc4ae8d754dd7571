// A stand-in for the Windows shell's desktop, which Wine lacks: a "Progman" window titled
// "Program Manager" over the virtual screen with its "SHELLDLL_DefView" child and, under
// that, a real comctl32 list view of icons. Command line: /deskfolder for the
// "DesktopBackgroundClass"/"DeskFolder" form, /none for no desktop at all.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "StandinProtocol.h"
#include "StandinDesktop.h"

namespace {

struct Standin {
    HINSTANCE instance;
    HWND top, view, list, html;
    WNDPROC listProc;
    HIMAGELIST images;
    HWND folder, folderList; // an ordinary folder window with a list view of its own
    int left, top_, width, height;
} g = {};

void PaintWallpaper(HDC dc, const RECT& area, POINT offset) {
    // A vertical gradient in screen coordinates, so every window paints the same wallpaper.
    for (int y = area.top; y < area.bottom; ++y) {
        const int screenY = y + offset.y - g.top_;
        const int t = g.height > 1 ? screenY * 255 / (g.height - 1) : 0;
        auto channel = [t](int a, int b) { return a + (b - a) * t / 255; };
        COLORREF c =
            RGB(channel(GetRValue(STANDIN_WALLPAPER_TOP), GetRValue(STANDIN_WALLPAPER_BOTTOM)),
                channel(GetGValue(STANDIN_WALLPAPER_TOP), GetGValue(STANDIN_WALLPAPER_BOTTOM)),
                channel(GetBValue(STANDIN_WALLPAPER_TOP), GetBValue(STANDIN_WALLPAPER_BOTTOM)));
        HBRUSH brush = CreateSolidBrush(c);
        RECT line = {area.left, y, area.right, y + 1};
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
}

void PaintWindowWallpaper(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    PaintWallpaper(dc, client, origin);
}

// Wine's list view builds no window region for LVS_EX_REGIONAL; the shell's does. While the
// bit is set, the region is the union of the icons and their labels.
void UpdateRegionalRegion(HWND list) {
    DWORD style =
        static_cast<DWORD>(CallWindowProcA(g.listProc, list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    if (!(style & LVS_EX_REGIONAL)) {
        SetWindowRgn(list, nullptr, TRUE);
        return;
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int count = static_cast<int>(CallWindowProcA(g.listProc, list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        for (int part : {LVIR_ICON, LVIR_LABEL}) {
            RECT bounds = {};
            bounds.left = part;
            CallWindowProcA(g.listProc, list, LVM_GETITEMRECT, i,
                            reinterpret_cast<LPARAM>(&bounds));
            HRGN item = CreateRectRgnIndirect(&bounds);
            CombineRgn(region, region, item, RGN_OR);
            DeleteObject(item);
        }
    }
    SetWindowRgn(list, region, TRUE);
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        PaintWindowWallpaper(list, reinterpret_cast<HDC>(wParam));
        return 1;
    }
    LRESULT result = CallWindowProcA(g.listProc, list, message, wParam, lParam);
    if (message == LVM_SETEXTENDEDLISTVIEWSTYLE) UpdateRegionalRegion(list);
    return result;
}

void AddIcons() {
    const char* labels[] = {"Documents", "Recycle Bin", "Projects", "Readme.txt", "Photos"};
    g.images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 0);
    const LPCSTR stock[] = {IDI_APPLICATION, IDI_WINLOGO, IDI_INFORMATION, IDI_QUESTION,
                            IDI_WARNING};
    for (LPCSTR id : stock)
        ImageList_AddIcon(g.images, LoadIconA(nullptr, id));
    SendMessageA(g.list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g.images));
    for (int i = 0; i < 5; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.iImage = i;
        item.pszText = const_cast<char*>(labels[i]);
        SendMessageA(g.list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        POINT at = {40, 40 + i * 110};
        SendMessageA(g.list, LVM_SETITEMPOSITION32, i, reinterpret_cast<LPARAM>(&at));
    }
}

void CreateIconList(HWND parent, int width, int height) {
    g.list =
        CreateWindowExA(0, WC_LISTVIEWA, "FolderView",
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_ICON | LVS_SHAREIMAGELISTS, 0,
                        0, width, height, parent, reinterpret_cast<HMENU>(1), g.instance, nullptr);
    SendMessageA(g.list, LVM_SETBKCOLOR, 0, CLR_NONE);
    SendMessageA(g.list, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
    SendMessageA(g.list, LVM_SETTEXTCOLOR, 0, RGB(255, 255, 255));
    g.listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    AddIcons();
}

LRESULT OnTestMessage(UINT message, WPARAM wParam, LPARAM lParam);

// The shell's list view repaints at once after a change; Wine's does not always invalidate
// itself for the item messages, so the stand-in paints the list after each single change.
LRESULT ChangeAndRepaint(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = OnTestMessage(message, wParam, lParam);
    InvalidateRect(g.list, nullptr, TRUE);
    UpdateWindow(g.list);
    return result;
}

LRESULT OnTestMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int item = static_cast<int>(wParam);
    switch (message) {
    case STANDIN_MOVE_ICON: {
        POINT at = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        return SendMessageA(g.list, LVM_SETITEMPOSITION32, item, reinterpret_cast<LPARAM>(&at));
    }
    case STANDIN_RELABEL_ICON: {
        char text[32];
        snprintf(text, sizeof text, "Item %ld", static_cast<long>(lParam));
        LVITEMA lvItem = {};
        lvItem.iSubItem = 0;
        lvItem.pszText = text;
        return SendMessageA(g.list, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvItem));
    }
    case STANDIN_DELETE_ICON: return SendMessageA(g.list, LVM_DELETEITEM, item, 0);
    case STANDIN_SELECT_ICON: {
        LVITEMA lvItem = {};
        lvItem.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        lvItem.state = LVIS_SELECTED | LVIS_FOCUSED;
        return SendMessageA(g.list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&lvItem));
    }
    case STANDIN_ARRANGE: return SendMessageA(g.list, LVM_ARRANGE, LVA_DEFAULT, 0);
    case STANDIN_ATTACH_HTML:
        if (!g.html)
            g.html = CreateWindowExA(0, "Internet Explorer_Server", "", WS_CHILD | WS_VISIBLE, 0, 0,
                                     g.width, g.height, g.view, nullptr, g.instance, nullptr);
        SetWindowPos(g.html, g.list, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return reinterpret_cast<LRESULT>(g.html);
    case STANDIN_REMOVE_HTML:
        if (g.html) DestroyWindow(g.html);
        g.html = nullptr;
        return 0;
    case STANDIN_ICON_COUNT: return SendMessageA(g.list, LVM_GETITEMCOUNT, 0, 0);
    case STANDIN_BATCH_CHANGES:
        for (int i = 0; i < 3; ++i)
            OnTestMessage(STANDIN_RELABEL_ICON, i, 100 + i);
        UpdateWindow(g.list);
        return 0;
    case STANDIN_REPAINT:
        InvalidateRect(g.list, nullptr, TRUE);
        UpdateWindow(g.list);
        return 0;
    case STANDIN_CHANGE_THEN_NCPAINT:
        OnTestMessage(STANDIN_RELABEL_ICON, 0, 200);
        SendMessageA(g.list, WM_NCPAINT, 1, 0);
        UpdateWindow(g.list);
        return 0;
    case STANDIN_OTHER_LIST_CHANGE: {
        char text[] = "Other";
        LVITEMA lvItem = {};
        lvItem.pszText = text;
        SendMessageA(g.folderList, LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&lvItem));
        SendMessageA(g.folderList, WM_NCPAINT, 1, 0);
        UpdateWindow(g.folderList);
        return 0;
    }
    case STANDIN_ICON_RECT: {
        RECT bounds = {};
        bounds.left = LVIR_ICON;
        SendMessageA(g.list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&bounds));
        const LONG sides[4] = {bounds.left, bounds.top, bounds.right, bounds.bottom};
        return sides[lParam & 3];
    }
    }
    return 0;
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= STANDIN_MOVE_ICON && message <= STANDIN_ARRANGE)
        return ChangeAndRepaint(message, wParam, lParam);
    if (message > STANDIN_ARRANGE && message <= STANDIN_OTHER_LIST_CHANGE)
        return OnTestMessage(message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND: PaintWindowWallpaper(window, reinterpret_cast<HDC>(wParam)); return 1;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_DESTROY:
        if (window == g.top) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClass(const char* name) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DesktopProc;
    wc.hInstance = g.instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

void CreateDesktop(bool deskFolder) {
    const char* topClass = deskFolder ? "DesktopBackgroundClass" : "Progman";
    const char* viewClass = deskFolder ? "DeskFolder" : "SHELLDLL_DefView";
    RegisterClass(topClass);
    RegisterClass(viewClass);
    RegisterClass("Internet Explorer_Server");
    g.top = CreateWindowExA(WS_EX_TOOLWINDOW, topClass, deskFolder ? "" : "Program Manager",
                            WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, g.left, g.top_, g.width,
                            g.height, nullptr, nullptr, g.instance, nullptr);
    g.view = CreateWindowExA(0, viewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             g.width, g.height, g.top, nullptr, g.instance, nullptr);
    CreateIconList(g.view, g.width, g.height);
    // A folder window: a list view that is not the desktop's.
    // Hidden: the tests send it its messages directly.
    g.folder = CreateWindowExA(WS_EX_TOOLWINDOW, viewClass, "Folder", WS_POPUP, g.width - 200, 0,
                               200, 150, nullptr, nullptr, g.instance, nullptr);
    g.folderList = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 200,
                                   150, g.folder, nullptr, g.instance, nullptr);
    char label[] = "File";
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = label;
    SendMessageA(g.folderList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SetWindowPos(g.top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace

int StandinMain(HINSTANCE instance, const char* commandLine) {
    g = Standin();
    g.instance = instance;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    g.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    g.top_ = GetSystemMetrics(SM_YVIRTUALSCREEN);
    g.width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    g.height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (std::strstr(commandLine, "/none")) {
        // No shell desktop: stay alive until closed, so tests can treat every form alike.
        RegisterClass("CorvaneStandinIdle");
        g.top = CreateWindowExA(WS_EX_TOOLWINDOW, "CorvaneStandinIdle", "Stand-in idle", WS_POPUP,
                                0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    } else {
        CreateDesktop(std::strstr(commandLine, "/deskfolder") != nullptr);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
