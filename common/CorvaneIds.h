// Names and numbers that cross the boundaries between the host, the launcher, the hook library
// and other programs: window classes and titles, private messages, timers, menu commands and
// resource ids. Resource scripts include this file too, so it holds only #defines.
#pragma once

#define CORVANE_RENDER_CLASS "Corvane"
#define CORVANE_RENDER_TITLE "Tavrin Code"
#define CORVANE_LISTENER_CLASS "CorvaneListenerClass"
#define CORVANE_LISTENER_TITLE "Tavrin Code Listener"
#define CORVANE_LAUNCHER_CLASS "CorvaneSS"
#define CORVANE_LAUNCHER_TITLE "Corvane ScreenSaver"
#define CORVANE_DUMMY_CLASS "DummyCorvaneWindowClass"
#define CORVANE_DUMMY_TITLE "DummyTavrinWindow"
#define CORVANE_MUTEX_NAME "Corvane"
#define CORVANE_REDRAW_EVENT_NAME "DESKTOPREDRAW_EVENT-{1593B99A-5D70-41d5-A271-AE6113B50BB7}"

#define UWM_DESKTOPREDRAW_NAME "UWM_DESKTOPREDRAW-{FDE2E62D-58EA-4d5c-8EDB-EBA3E9555C9C}"
#define UWM_DESKTOPITEMCHANGED_NAME "UWM_DESKTOPITEMCHANGED-{D0B60191-7AC6-424b-B94D-9D6822A17D17}"
#define UWM_DESKTOPCHILDATTACHED_NAME                                                              \
    "UWM_DESKTOPCHILDATTACHED-{4CE52887-1AEC-4664-8484-300065D79057}"

// Private messages of the rendering window (WM_USER + n).
#define CVM_TRAYCALLBACK 1025
#define CVM_SCREENSAVEREQUEST 1026
#define CVM_STOPSCREENSAVE 1027
#define CVM_NEWBACKGROUND 1028
#define CVM_WALLPAPERCHANGED 1029
#define CVM_GETENGINE 1030
#define CVM_GETPARAMB 1031
#define CVM_SETPARAMB 1032
#define CVM_GETPARAMA 1033
#define CVM_SETPARAMA 1034
#define CVM_GETPARAMD 1035
#define CVM_SETPARAMD 1036
#define CVM_GETPARAMC 1037
#define CVM_SETPARAMC 1038
#define CVM_GETPARAMF 1039
#define CVM_SETPARAMF 1040
#define CVM_GETPARAME 1041
#define CVM_SETPARAME 1042

#define CORVANE_TIMER_ANIMATION 400
#define CORVANE_TIMER_CLICK 401

// Resources of the host and the launcher.
#define IDI_CORVANE 101
#define IDR_TRAYMENU 102

// Menu commands.
#define IDM_CONFIGURE 40006
#define IDM_REFRESH 40003
#define IDM_AUTOSTART_ALLUSERS 40021
#define IDM_AUTOSTART_CURRENTUSER 40022
#define IDM_SCREENSAVE 40007
#define IDM_SETASSCREENSAVER 40009
#define IDM_ALWAYSSETASSCREENSAVER 40019
#define IDM_BLENDWITHBGONLY 40026
#define IDM_EDITSCREENSAVERCONFIG 40023
#define IDM_DELETESCREENSAVERCONFIG 40024
#define IDM_PAUSE 40025
#define IDM_HIRE 40027
#define IDM_DONATE 40017
#define IDM_HELP 40029
#define IDM_ABOUT 40016
#define IDM_EXIT 8

#define CORVANE_VERSION_MAJOR 1
#define CORVANE_VERSION_MINOR 0
#define CORVANE_VERSION_TEXT "1.0.0"
