#include "scratch.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string UniqueSuffix()
{
    static LONG counter = 0;
    char text[64];
    std::snprintf(text, sizeof(text), "%lu-%lu-%ld", GetCurrentProcessId(), GetTickCount(),
                  InterlockedIncrement(&counter));
    return text;
}

}  // namespace

void DeleteKeyTree(HKEY parent, const std::string& sub)
{
    HKEY key;
    if (RegOpenKeyExA(parent, sub.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char child[256];
        while (RegEnumKeyA(key, 0, child, sizeof(child)) == ERROR_SUCCESS)
            DeleteKeyTree(key, child);
        RegCloseKey(key);
    }
    RegDeleteKeyA(parent, sub.c_str());
}

ScratchKey::ScratchKey() : path_("Software\\OrvellaTests\\" + UniqueSuffix())
{
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &handle_, nullptr);
}

ScratchKey::~ScratchKey()
{
    RegCloseKey(handle_);
    DeleteKeyTree(HKEY_CURRENT_USER, path_);
}

ScratchFolder::ScratchFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    path_ = std::string(temp) + "orvella-test-" + UniqueSuffix();
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFileBytes(const std::string& path)
{
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

std::string PatternBytes(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    uint32_t x = seed * 2654435761u;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    return bytes;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..")
                    RemoveTree(path + "\\" + name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    RemoveDirectoryA(path.c_str());
}
