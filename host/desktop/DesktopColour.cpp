// Desktop colour control. Each WM_SYSCOLORCHANGE reaches the host through the listener window,
// its own changes included: the ledger holds the colours the host set, oldest first, and a
// notification whose colour is the front entry is the host's echo.
#include "DesktopColour.h"

#include "Background.h"
#include "Wallpaper.h"
#include "core/HostState.h"

namespace {

// Blend values from here up show the background image; below it the host suppresses.
constexpr BYTE kImageBlend = 128;

void HandOverCapture() {
    HandOverBackground(CaptureBackground(),
                       "Failed to delete new BG bitmap during a desktop color change");
}

bool SuppressionAsked() {
    if (!g_host.engine) return true;
    BYTE red, green, blue, blend = 0;
    g_host.engine->GetBackgroundBlend(&red, &green, &blue, &blend);
    return blend < kImageBlend || g_host.engine->GetBackgroundMode() == 1;
}

} // namespace

void SetDesktopColour(COLORREF colour) {
    g_host.colourLedger.push_back(colour);
    const INT element = COLOR_BACKGROUND;
    SetSysColors(1, &element, &colour);
}

void SaveDesktopColour(const COLORREF* colour) {
    g_host.originalDesktopColour = colour ? *colour : GetSysColor(COLOR_BACKGROUND);
    g_host.originalColourKnown = true;
}

void RestoreDesktopColour() {
    if (!g_host.originalColourKnown) return;
    SetDesktopColour(g_host.originalDesktopColour);
    g_host.colourForced = false;
    g_host.desktopSuppressed = false;
}

void ForceDesktopColour() {
    SetDesktopColour(0);
    g_host.colourForced = true;
    g_host.desktopSuppressed = g_host.wallpaperSuppressed;
}

void RestoreDesktop() {
    RestoreDesktopColour();
    RestoreWallpaper();
}

void UpdateDesktopSuppression() {
    const bool asked = SuppressionAsked();
    if (!g_host.desktopSuppressed && asked) {
        ForceDesktopColour();
        SuppressWallpaper();
    } else if (g_host.desktopSuppressed && !asked) {
        RestoreDesktop();
    }
}

void OnDesktopColourChange() {
    const COLORREF seen = GetSysColor(COLOR_BACKGROUND);
    if (!g_host.colourLedger.empty() && g_host.colourLedger.front() == seen) {
        g_host.colourLedger.pop_front();
        g_host.lastDesktopColour = seen;
        return;
    }
    if (seen == g_host.lastDesktopColour) return; // another system colour changed
    SaveDesktopColour(&seen);
    if (g_host.wallpaperSuppressed) {
        RestoreWallpaper();
        HandOverCapture();
        if (g_host.colourForced) ForceDesktopColour();
        SuppressWallpaper();
    } else {
        HandOverCapture();
        if (g_host.colourForced) ForceDesktopColour();
    }
    g_host.lastDesktopColour = seen;
}
