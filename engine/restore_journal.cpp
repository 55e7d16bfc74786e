#include "restore_journal.h"

#include "ansi_name.h"

namespace {

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

}  // namespace

void RestoreJournal::Begin(const std::string& folder, const std::string& asideBase)
{
    folder_ = folder;
    asideBase_ = asideBase;
}

void RestoreJournal::Note(const std::string& path, bool isDirectory)
{
    created_.Append(FileEntry{isDirectory ? DWORD(FILE_ATTRIBUTE_DIRECTORY) : 0, 0, path});
    madeByUs_.insert(FileNameKey(path));
}

bool RestoreJournal::Prepare(const std::string& path, bool isDirectory)
{
    if (madeByUs_.count(FileNameKey(path)))
        return true;  // a second entry of one name replaces only what this unlock made
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Folders are made with their missing parents: note those first, outermost first.
        std::vector<std::string> missing;
        for (std::string up = Parent(path); up.size() > folder_.size() && !Exists(up);
             up = Parent(up))
            missing.push_back(up);
        for (auto at = missing.rbegin(); at != missing.rend(); ++at)
            Note(*at, true);
        Note(path, isDirectory);
        return true;
    }
    // An existing folder is merged into; a clash of a file and a folder fails when the entry is
    // made, changing nothing.
    if (isDirectory || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    if (!MoveAside(path))
        return false;
    Note(path, false);
    return true;
}

bool RestoreJournal::MoveAside(const std::string& path)
{
    if (asideFolder_.empty()) {
        // Never reuse a folder of that name: it may hold what an earlier unlock set aside.
        for (int attempt = 1; attempt < 1000; ++attempt) {
            std::string candidate = asideBase_ + ".replaced";
            if (attempt > 1)
                candidate += " " + std::to_string(attempt);
            if (CreateDirectoryA(candidate.c_str(), nullptr)) {
                asideFolder_ = candidate;
                break;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
        if (asideFolder_.empty())
            return false;
    }
    std::string keptAt = asideFolder_ + "\\" + std::to_string(setAside_.size() + 1);
    if (!MoveFileA(path.c_str(), keptAt.c_str()))
        return false;
    setAside_.emplace_back(path, keptAt);
    return true;
}

void RestoreJournal::Commit()
{
    if (asideFolder_.empty())
        return;
    FileList replaced;
    replaced.Enumerate(asideFolder_, "");
    replaced.Enumerate(asideFolder_, "*");
    replaced.DeleteAll();
}

void RestoreJournal::Rollback()
{
    if (created_.Count())
        created_.DeleteAll();
    bool allBack = true;
    for (auto at = setAside_.rbegin(); at != setAside_.rend(); ++at)
        allBack = MoveFileA(at->second.c_str(), at->first.c_str()) && allBack;
    // A file that could not go back stays where it was kept: it is the user's.
    if (allBack && !asideFolder_.empty())
        RemoveDirectoryA(asideFolder_.c_str());
}
