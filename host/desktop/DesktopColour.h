// The desktop colour: black while the engine asks for a suppressed desktop, the user's colour
// otherwise, and the ledger that tells the host's own colour changes from the user's.
#pragma once
#include <windows.h>

// Appends the colour to the ledger, then sets it: the ledger entry is in place even when the
// notification is handled inside SetSysColors.
void SetDesktopColour(COLORREF colour);
void SaveDesktopColour(const COLORREF* colour);
void RestoreDesktopColour();
void ForceDesktopColour();
void RestoreDesktop();
// Every frame: suppress or show the desktop as the engine's background state asks.
void UpdateDesktopSuppression();
void OnDesktopColourChange();
