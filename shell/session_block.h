#pragma once
// Keeps Windows from ending the session (log-off, shutdown) while the program must finish
// something first, with the reason Windows shows the user. Does nothing where Windows has no
// such reasons (before Vista); the session end is still refused there.

#include <windows.h>

void BlockSessionEnd(HWND window, const wchar_t* reason);
void UnblockSessionEnd(HWND window);
