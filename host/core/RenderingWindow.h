// The rendering window's procedure: frames on the animation timer, the private messages, the
// registered messages of the hook library and the system's messages.
#pragma once
#include <windows.h>

LRESULT CALLBACK RenderingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One animation frame, as the animation timer draws it.
void DrawAnimationFrame();
// Hands the engine a fresh background bitmap and deletes it, reporting a failed deletion.
void HandOverNewBackground(const char* deleteFailureText);
