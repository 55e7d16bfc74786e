#pragma once
#include <string>

// Creates path and any missing parents. True when the directory exists afterwards; an existing
// entry of that name (even a file) counts as success, as CreateDirectoryA's "already exists" does.
bool CreateDirectoryTree(const std::string& path);
