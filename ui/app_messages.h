#pragma once
// Window messages the program's windows send one another.

#include <windows.h>

// To the application's main window (the main frame), both parameters 0: a vault's lock state or
// the hotkey-only mode has changed, so the tray icon is to be brought in line.
enum { WM_REFRESH_TRAY_ICON = WM_USER + 1 };
