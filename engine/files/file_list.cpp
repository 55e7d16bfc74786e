#include "file_list.h"

#include "directory_tree.h"
#include "long_path.h"
#include "vault_path.h"

void FileList::NoteProblem(const std::string& path, uint32_t error)
{
    if (problemPath.empty()) {
        problemPath = path;
        problemError = error ? error : ERROR_GEN_FAILURE;
    }
}

int FileList::Enumerate(const std::string& dir, const std::string& mask)
{
    Search(dir, mask, false);
    return int(entries_.size());
}

void FileList::Search(const std::string& dir, const std::string& mask, bool mustExist)
{
    // Searched by UTF-16 name, so that a name the code page cannot hold is seen, not skipped.
    std::string pattern = mask.empty() ? dir : dir + "\\" + mask;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(LongPath(pattern, encoding).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (mustExist || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND))
            NoteProblem(dir, error);
        return;
    }
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L".."))
            continue;
        std::string name;
        bool representable = NarrowName(found.cFileName, encoding, &name);
        FileEntry entry;
        entry.attributes = found.dwFileAttributes;
        entry.path = mask.empty() ? dir : dir + "\\" + name;
        entry.size = entry.IsDirectory()
                         ? 0
                         : (uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        if (!representable) {
            NoteProblem(entry.path, ERROR_NO_UNICODE_TRANSLATION);
            continue;
        }
        entries_.push_back(entry);
        // A folder that the search has just found must be searchable in turn: if it is not
        // (access denied, a path too long), what it holds would be missed.
        if (entry.IsDirectory() && !entry.IsLink() && !mask.empty())
            Search(entry.path, mask, true);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::string RelativePathTracker::Next(const std::string& path)
{
    if (base_.empty() || path.compare(0, base_.size(), base_) != 0) {
        std::string::size_type slash = path.rfind('\\');
        base_ = slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
    return path.substr(base_.size());
}

