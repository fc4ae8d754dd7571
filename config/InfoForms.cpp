// The About and Hire forms: small modal dialogs from Config.dll's resources.
#include <windows.h>

#include "ConfigResources.h"

namespace {

HINSTANCE g_module = nullptr;

INT_PTR CALLBACK InfoFormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int ShowForm(int id) {
    return static_cast<int>(
        DialogBoxParamA(g_module, MAKEINTRESOURCEA(id), nullptr, InfoFormProc, 0));
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

int WINAPI LaunchAboutForm(int) {
    return ShowForm(IDD_ABOUT);
}

int WINAPI LaunchHireForm(int) {
    return ShowForm(IDD_HIRE);
}
}
