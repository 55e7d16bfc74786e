// The floor of locking many small files under this platform: a plain Win32 program that does
// only what a lock cannot avoid doing to the vault's folder. It lists the tree (directories
// before their contents), reads every file whole, and deletes everything, tail to head, then
// prints the number of entries. Nothing is encrypted or written. scripts/benchmark times it on
// the same tree as the lock.
//
//     small_files_floor.exe <folder>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::wstring path;
    bool directory;
};

void List(const std::wstring& dir, std::vector<Entry>* entries)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L".."))
            continue;
        bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        std::wstring path = dir + L"\\" + found.cFileName;
        entries->push_back({path, directory});
        if (directory)
            List(path, entries);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool ReadWhole(const std::wstring& path)
{
    static char buffer[1 << 16];
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD got = 0;
    bool read;
    while ((read = ReadFile(file, buffer, sizeof(buffer), &got, nullptr) != FALSE) && got > 0) {
    }
    CloseHandle(file);
    return read;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: small_files_floor <folder>\n");
        return 2;
    }
    wchar_t root[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, root, MAX_PATH);
    std::vector<Entry> entries;
    List(root, &entries);
    for (const Entry& entry : entries)
        if (!entry.directory && !ReadWhole(entry.path))
            return 1;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        bool removed = entry->directory ? RemoveDirectoryW(entry->path.c_str())
                                        : DeleteFileW(entry->path.c_str());
        if (!removed)
            return 1;
    }
    std::printf("%u entries\n", unsigned(entries.size()));
    return 0;
}
