#pragma once
// Test helpers over files by their UTF-16 names and at any depth: "\\?\" paths reach what the
// ANSI calls cannot (paths longer than MAX_PATH, names the code page lacks).

#include <windows.h>

#include <map>
#include <set>
#include <string>

// ANSI text in UTF-16, and a name in upper case as the file system compares names.
std::wstring Widen(const std::string& text);
std::wstring Upper(std::wstring name);
// The ANSI path as a "\\?\" path (it must be absolute).
std::wstring Prefixed(const std::string& path);

void WriteWideFile(const std::wstring& path, const std::string& bytes);
std::string ReadWideFile(const std::wstring& path);
bool WideExists(const std::wstring& path);
// Removes a file or a tree, whatever its names, depth and attributes.
void RemoveWideTree(const std::wstring& path);

struct TreeEntry {
    DWORD attributes;      // read-only, hidden and directory bits only
    std::string contents;  // of a file
    bool operator==(const TreeEntry& other) const
    {
        return attributes == other.attributes && contents == other.contents;
    }
};
// Relative path (backslashes, no leading one) -> entry, for everything under a folder.
using WideTree = std::map<std::wstring, TreeEntry>;
// Everything under dir, but not the entries named in `skip` (relative paths, upper case) nor what
// they hold. Names are kept as found, or in upper case when upperCase is set.
WideTree SnapshotTree(const std::wstring& dir, bool upperCase = false,
                      const std::set<std::wstring>& skip = {});
