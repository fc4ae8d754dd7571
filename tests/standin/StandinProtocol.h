// The test messages the stand-in shell desktop acts on, sent to its "Progman" (or
// "DesktopBackgroundClass") window. Each acts as a user or the shell would.
#pragma once
#include <windows.h>

#define STANDIN_MOVE_ICON (WM_APP + 1)    // wParam item, lParam MAKELPARAM(x, y)
#define STANDIN_RELABEL_ICON (WM_APP + 2) // wParam item, lParam a number for the new label
#define STANDIN_DELETE_ICON (WM_APP + 3)  // wParam item
#define STANDIN_SELECT_ICON (WM_APP + 4)  // wParam item
#define STANDIN_ARRANGE (WM_APP + 5)
#define STANDIN_ATTACH_HTML (WM_APP + 6) // creates an "Internet Explorer_Server" child
#define STANDIN_REMOVE_HTML (WM_APP + 7)
#define STANDIN_ICON_COUNT (WM_APP + 8) // returns the number of icons
#define STANDIN_ICON_RECT (WM_APP + 9)  // the item's icon: lParam 0..3 = left, top, right, bottom
#define STANDIN_BATCH_CHANGES (WM_APP + 10)       // relabels three icons, then one paint
#define STANDIN_REPAINT (WM_APP + 11)             // a paint of the icon list with no change
#define STANDIN_CHANGE_THEN_NCPAINT (WM_APP + 12) // a relabel, then WM_NCPAINT with wParam 1
#define STANDIN_OTHER_LIST_CHANGE (WM_APP + 13)   // the same to a list in another window

// The wallpaper the stand-in paints: a vertical gradient from top to bottom colour.
#define STANDIN_WALLPAPER_TOP RGB(0x1C, 0x2A, 0x4A)
#define STANDIN_WALLPAPER_BOTTOM RGB(0x52, 0x2A, 0x3C)
