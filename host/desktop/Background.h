// The background bitmap handed to the engine, and the diff region that keeps the animation off
// the desktop icons.
#pragma once
#include <windows.h>

// A bitmap of the desktop background as the shell paints it; the caller owns and deletes it.
HBITMAP CreateBackgroundBitmap();
HBITMAP CaptureBackground();
// clipRegion = the virtual screen less the icon list's window region.
void CalculateDiffRegion();
BOOL CALLBACK MinimiseAppWindowProc(HWND window, LPARAM lParam);
// Hands a new background to the engine (if any) and deletes it, reporting a failed deletion
// with the caller's text.
void HandOverBackground(HBITMAP bitmap, const char* deleteFailureText);
// The Active Desktop's HTML window under the desktop view, or null.
HWND FindHtmlWindow();
