#pragma once
// Finds and reads the program's main windows, in this process or in the program under test:
// only messages and calls that work across processes are used.

#include <windows.h>

// The top-level window of `process` with this class (and title, unless null), visible or not;
// waits up to timeoutMs for it. Null when none came.
HWND WaitForTopWindow(DWORD process, const char* className, const char* title,
                      DWORD timeoutMs = 10000);
// The main frame (class "OrvellaFrameWindow") and the main dialog ("Zovantri Orvella").
HWND WaitForMainFrame(DWORD process, DWORD timeoutMs = 10000);
HWND WaitForMainDialog(DWORD process, DWORD timeoutMs = 10000);

// The tab whose page the main dialog shows: 1052 Options, 1053 Vaults, 1054 About; 0 while the
// dialog is hidden or shows no page.
int VisibleTab(HWND mainDialog);
// Waits until the main dialog is shown on `tab` (0: until it is hidden); the tab reached.
int WaitForVisibleTab(HWND mainDialog, int tab, DWORD timeoutMs = 5000);
