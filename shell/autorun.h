#pragma once
// The program's value in the per-user Run key, which starts it when the user logs on to Windows.

#include <string>

// The command the Run value holds: the program file's full path in quotes, so that a path with
// spaces ("C:\Program Files\...") can never be read as a shorter program's path.
std::string AutorunCommand();
// Writes the value named `title` (on) or deletes it (off). Results are not reported.
void SetAutorun(const std::string& title, bool on);
