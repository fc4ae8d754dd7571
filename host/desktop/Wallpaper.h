// The user's wallpaper and Active Desktop wallpaper: stored at start-up, removed and put back
// for the session only (never in the user's saved settings), and followed when the user
// changes them while the host runs.
#pragma once
#include <windows.h>

void SaveOriginalWallpaper(const char* path);
void SaveOriginalDesktop(const char* wallpaper, const wchar_t* activeDesktopWallpaper,
                         const COLORREF* colour);
void RestoreWallpaper();
void SuppressWallpaper();
void OnWallpaperChange();
void OnDesktopChildAttached(HWND child);
