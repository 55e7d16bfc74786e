#pragma once
// Paths of any length. The ANSI file calls stop at MAX_PATH, but a vault may hold files deeper
// than that (other programs can make them, and the container keeps names up to 32,767 bytes).
// Every file call that takes a path inside a vault folder goes through the UTF-16 calls with
// LongPath.

#include <string>

#include "../base/name_encoding.h"

// The path as the UTF-16 file calls take it at any length. A path short enough for the ANSI
// calls comes back as it is (only widened), so it reaches exactly what they would reach. A longer
// one is made absolute and normalised the way the system normalises short paths (slashes become
// backslashes, doubled separators and "." and ".." components go), then prefixed with "\\?\"
// (or "\\?\UNC\" for a network path), which lifts the limit to 32,767 characters. A path that
// already has such a prefix is left as it is. A path longer than the system takes (32,766
// characters with the prefix) comes back empty, which every file call refuses
// (ERROR_PATH_NOT_FOUND), so that it never reaches another file.
// `encoding`: the one the path is in (the vault jobs of a vault encrypted with its password
// hold their paths in UTF-8).
std::wstring LongPath(const std::string& path, NameEncoding encoding = NameEncoding::ANSI);
