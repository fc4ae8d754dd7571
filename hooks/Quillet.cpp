// Quillet.dll: the input hook and the desktop monitor hook. Windows maps this library into
// every process the hooks reach; what all copies must see alike lives in one record in a data
// section shared by all of them. The hook procedures run in other processes' threads for every
// message: they never allocate, block or send, and only post.
#define QUILLET_BUILDING_DLL
#include "Quillet.h"

#include "CorvaneIds.h"

namespace {

struct HookSharedState {
    bool firstAttach;
    HWND inputHookTarget;
    HWND monitorHookTarget;
    HWND iconListView;
    HWND desktopViewWindow;
    UINT msgDesktopRedraw;
    UINT msgDesktopItemChanged;
    UINT msgDesktopChildAttached;
};

// One copy for every process that maps the library: initialised data in a shared section.
__attribute__((section(".qshared"), shared))
HookSharedState g_shared = {true, nullptr, nullptr, nullptr, nullptr, 0, 0, 0};

// Per process.
HINSTANCE g_moduleInstance = nullptr;
HHOOK g_inputHook = nullptr;
HHOOK g_monitorHook = nullptr;
bool g_itemChangePending = false;

// The list-view messages that change items (ANSI forms).
bool ChangesItems(UINT message) {
    switch (message) {
    case 0x1006: // LVM_SETITEMA
    case 0x1008: // LVM_DELETEITEM
    case 0x1016: // LVM_ARRANGE
    case 0x102B: // LVM_SETITEMSTATE
    case 0x102E: // LVM_SETITEMTEXTA
    case 0x1031: // LVM_SETITEMPOSITION32
        return true;
    default: return false;
    }
}

void PostItemChangeIfPending() {
    if (!g_itemChangePending) return;
    PostMessageA(g_shared.monitorHookTarget, g_shared.msgDesktopItemChanged, 0, 0);
    g_itemChangePending = false;
}

void OnIconListMessage(const CWPRETSTRUCT& record) {
    if (ChangesItems(record.message)) {
        g_itemChangePending = true;
    } else if (record.message == WM_PAINT) {
        PostItemChangeIfPending();
    } else if (record.message == WM_NCPAINT) {
        PostItemChangeIfPending();
        if (record.wParam == 1)
            PostMessageA(g_shared.monitorHookTarget, g_shared.msgDesktopRedraw, 0, 0);
    }
}

LRESULT CALLBACK DesktopMonitorHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code != 0) return CallNextHookEx(g_monitorHook, code, wParam, lParam);
    const CWPRETSTRUCT* record = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (record) {
        if (record->hwnd == g_shared.iconListView) {
            OnIconListMessage(*record);
        } else if (record->hwnd == g_shared.desktopViewWindow &&
                   record->message == WM_PARENTNOTIFY && LOWORD(record->wParam) == WM_CREATE) {
            PostMessageA(g_shared.monitorHookTarget, g_shared.msgDesktopChildAttached,
                         record->wParam, record->lParam);
        }
    }
    return CallNextHookEx(g_monitorHook, 0, wParam, lParam);
}

// The message posted for a retrieved one, or 0 when it is not passed on.
UINT InputMessageFor(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: return WM_MOUSEMOVE;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: return WM_LBUTTONDOWN;
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN: return WM_RBUTTONDOWN;
    case WM_MBUTTONDOWN:
    case WM_NCMBUTTONDOWN: return WM_MBUTTONDOWN;
    case WM_KEYDOWN: return WM_KEYDOWN;
    case WM_SYSKEYDOWN: return WM_SYSKEYDOWN;
    case WM_SYSCOMMAND: return WM_SYSCOMMAND;
    default: return 0;
    }
}

LRESULT CALLBACK MouseMessageHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code != 0) return CallNextHookEx(g_inputHook, code, wParam, lParam);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    const HWND target = g_shared.inputHookTarget;
    if (message && message->hwnd != target) {
        const UINT posted = InputMessageFor(message->message);
        LPARAM position = 0;
        if (posted == WM_MOUSEMOVE) {
            POINT point = {static_cast<SHORT>(LOWORD(message->lParam)),
                           static_cast<SHORT>(HIWORD(message->lParam))};
            ClientToScreen(message->hwnd, &point);
            ClientToScreen(target, &point);
            position = static_cast<LPARAM>((static_cast<DWORD>(point.y) & 0xFFFF) << 16 |
                                           (static_cast<DWORD>(point.x) & 0xFFFF));
        }
        if (posted) PostMessageA(target, posted, 0, position);
    }
    return CallNextHookEx(g_inputHook, 0, wParam, lParam);
}

struct HookKind {
    int type;
    HOOKPROC procedure;
    HWND* target;
    HHOOK* handle;
};

HookKind InputHook() {
    return {WH_GETMESSAGE, MouseMessageHookProc, &g_shared.inputHookTarget, &g_inputHook};
}
HookKind MonitorHook() {
    return {WH_CALLWNDPROCRET, DesktopMonitorHookProc, &g_shared.monitorHookTarget, &g_monitorHook};
}

// One client at a time: the target is recorded only once the hook is in.
bool SetHook(const HookKind& kind, HWND target) {
    if (*kind.target) return false;
    *kind.handle = SetWindowsHookExA(kind.type, kind.procedure, g_moduleInstance, 0);
    if (!*kind.handle) return false;
    *kind.target = target;
    return true;
}

bool ClearHook(const HookKind& kind, HWND target) {
    if (!target || target != *kind.target) return false;
    if (!UnhookWindowsHookEx(*kind.handle)) return false;
    *kind.handle = nullptr;
    *kind.target = nullptr;
    return true;
}

void FirstAttach() {
    g_shared.msgDesktopRedraw = RegisterWindowMessageA(UWM_DESKTOPREDRAW_NAME);
    g_shared.msgDesktopItemChanged = RegisterWindowMessageA(UWM_DESKTOPITEMCHANGED_NAME);
    g_shared.msgDesktopChildAttached = RegisterWindowMessageA(UWM_DESKTOPCHILDATTACHED_NAME);
    HWND desktop = FindWindowA("Progman", "Program Manager");
    g_shared.desktopViewWindow = FindWindowExA(desktop, nullptr, "SHELLDLL_DefView", nullptr);
    g_shared.iconListView =
        FindWindowExA(g_shared.desktopViewWindow, nullptr, "SysListView32", nullptr);
    g_shared.firstAttach = false;
}

} // namespace

QUILLET_API bool SetMouseMessageHook(HWND target) {
    return SetHook(InputHook(), target);
}
QUILLET_API bool ClearMouseMessageHook(HWND target) {
    return ClearHook(InputHook(), target);
}
QUILLET_API bool SetDesktopMonitorHook(HWND target) {
    return SetHook(MonitorHook(), target);
}
QUILLET_API bool ClearDesktopMonitorHook(HWND target) {
    return ClearHook(MonitorHook(), target);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (g_shared.firstAttach) FirstAttach();
        g_moduleInstance = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        if (g_shared.inputHookTarget) ClearMouseMessageHook(g_shared.inputHookTarget);
        if (g_shared.monitorHookTarget) ClearDesktopMonitorHook(g_shared.monitorHookTarget);
    }
    return TRUE;
}
