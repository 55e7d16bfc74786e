#pragma once
#include <string>

// Both take paths of any length (LongPath).

// Creates path and any missing parents. True when a directory of that name exists afterwards;
// an existing directory counts as success, a file of that name does not.
bool CreateDirectoryTree(const std::string& path);

// True when path names an existing directory.
bool IsDirectory(const std::string& path);
