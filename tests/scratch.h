#pragma once
// Throw-away places for tests: a registry key under HKCU and a folder under %TEMP%, each unique
// to the test and removed with everything in it when the object goes.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    HKEY Handle() const { return handle_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    HKEY handle_ = nullptr;
};

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
    std::string path_;
};

// Deletes the key parent\sub with all its subkeys and values.
void DeleteKeyTree(HKEY parent, const std::string& sub);

// Test helpers over plain files.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool Exists(const std::string& path);
// `size` bytes of a fixed pseudo-random pattern; another seed gives another pattern.
std::string PatternBytes(size_t size, unsigned seed = 1);
// Removes a file or a whole tree, clearing attributes on the way; links are removed, not entered.
void RemoveTree(const std::string& path);
