#include "wide_tree.h"

namespace {

const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY;

void Collect(const std::wstring& dir, const std::wstring& relative, bool upperCase,
             const std::set<std::wstring>& skip, WideTree& tree)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = dir + L"\\" + name;
        std::wstring key = relative + (upperCase ? Upper(name) : name);
        if (skip.count(Upper(key)))
            continue;
        bool isDir = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        tree[key] = {found.dwFileAttributes & kKeptAttributes, isDir ? "" : ReadWideFile(path)};
        if (isDir)
            Collect(path, key + L"\\", upperCase, skip, tree);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), &wide[0],
                                     int(wide.size()));
    wide.resize(length);
    return wide;
}

std::wstring Upper(std::wstring name)
{
    if (!name.empty())
        CharUpperBuffW(&name[0], DWORD(name.size()));
    return name;
}

std::wstring Prefixed(const std::string& path) { return L"\\\\?\\" + Widen(path); }

void WriteWideFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadWideFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool WideExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveWideTree(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name != L"." && name != L"..")
                RemoveWideTree(path + L"\\" + name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

WideTree SnapshotTree(const std::wstring& dir, bool upperCase,
                      const std::set<std::wstring>& skip)
{
    WideTree tree;
    Collect(dir, L"", upperCase, skip, tree);
    return tree;
}
