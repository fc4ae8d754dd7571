// The hidden top-level listener window: other processes find the host by its class, and the
// system's broadcasts to top-level windows reach the rendering window through it.
#pragma once
#include <windows.h>

void CreateListenerWindow();
void DestroyListenerWindow();
LRESULT CALLBACK ListenerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// True when the rendering window's procedure is handling a message passed on by the listener.
// Consumes the mark, so messages dispatched while that one is handled are the window's own.
bool TakeForwardedMark(UINT message, WPARAM wParam, LPARAM lParam);
