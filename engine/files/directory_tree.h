#pragma once
#include <string>

#include "../base/name_encoding.h"

// Both take paths of any length (LongPath), in the encoding given (ANSI unless told).

// Creates path and any missing parents. True when a directory of that name exists afterwards;
// an existing directory counts as success, a file of that name does not.
bool CreateDirectoryTree(const std::string& path, NameEncoding encoding = NameEncoding::ANSI);

// True when path names an existing directory.
bool IsDirectory(const std::string& path, NameEncoding encoding = NameEncoding::ANSI);
