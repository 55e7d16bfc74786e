#pragma once
// What the journey's user does outside the program's own dialogs: a folder chosen in the shell's
// folder browser that the program opened.

#include <windows.h>

#include <string>

// The folder browser (SHBrowseForFolder's dialog) that `process` shows, waiting up to
// timeoutMs; null when none came.
HWND WaitForFolderBrowser(DWORD processId, DWORD timeoutMs = 15000);

// Chooses `folder` in the folder browser of `process` (a handle with VM access) as a user
// does: down the tree from the desktop by the names it shows (the computer, the drive, each
// folder), each item expanded, the folder selected, then OK. An empty text when done, else
// what went wrong (the browser is then left open, so that nothing else is chosen).
std::string ChooseInFolderBrowser(HANDLE process, HWND browser, const std::string& folder);
