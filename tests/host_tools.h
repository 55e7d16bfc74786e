#pragma once
// Programs of the host system, started from a test that runs under Wine: xdotool presses keys
// and clicks the mouse on the test display, where the X server takes them as a user's.

#include <string>

// True when the host has /usr/bin/<name>.
bool HostToolExists(const char* name);
// Starts /usr/bin/<name> with `arguments`, which reach it split at blanks (no quoting). False
// when it could not start. When it ends cannot be seen from here: the caller waits for the
// tool's effect instead.
bool StartHostTool(const char* name, const std::string& arguments);
