#pragma once
#include <windows.h>

#include <string>

// The message that tells the user why `path` could not be accessed, for a system error code.
std::string FileErrorText(DWORD error, const std::string& path);
