#pragma once
// The program's help: the compiled HTML help file beside the program, shown by the platform's
// HTML Help viewer, which is found and loaded on first use. Every call is silent when no viewer
// can be had.

#include <windows.h>

#include <string>

// Shows target (the help file path, optionally followed by "::/" and a topic file name) with the
// viewer's display-topic command; the viewer's result, or 0 when no viewer could be loaded.
HWND ShowHelp(HWND owner, const std::string& target);
// The help file at its default topic (the Help button).
void ShowHelpContents(HWND owner);
// The topic of a control's help context id, or the default topic for an id without one (F1).
void ShowHelpForContext(HWND owner, DWORD contextId);
// The topic file name of a help context id, or "" when it has none.
std::string HelpTopicFor(DWORD contextId);
