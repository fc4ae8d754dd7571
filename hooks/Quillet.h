// The hook library's four exports, imported by name by the host. Each takes the window that
// receives the hook's messages and returns a one-byte boolean; C calling convention.
#pragma once
#include <windows.h>

#ifdef QUILLET_BUILDING_DLL
#define QUILLET_API extern "C" __declspec(dllexport)
#else
#define QUILLET_API extern "C" __declspec(dllimport)
#endif

QUILLET_API bool SetMouseMessageHook(HWND target);
QUILLET_API bool ClearMouseMessageHook(HWND target);
QUILLET_API bool SetDesktopMonitorHook(HWND target);
QUILLET_API bool ClearDesktopMonitorHook(HWND target);
