#include "restore_journal.h"

#include <vector>

#include "ansi_name.h"
#include "container_files.h"
#include "directory_tree.h"
#include "file_list.h"
#include "vault_store.h"

namespace {

// The journal is text, one line each: its first says whose the folder is; then "aside" names the
// folder of moved-aside files (beside the journal), each "made" a path below the vault folder that
// the unlock makes, and each "replaced" one whose file of the user's it moves aside. Every line is
// written before what it tells is done.
const char kNewFolder[] = "new folder";
const char kExistingFolder[] = "existing folder";
const std::string kAside = "aside ";
const std::string kMade = "made ";
const std::string kReplaced = "replaced ";

bool Exists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string Leaf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What a journal on disk says, with full paths.
struct JournalText {
    bool folderIsNew = false;
    std::string asideFolder;
    std::vector<std::string> made;      // in the order made
    std::vector<std::string> replaced;  // relative to the vault folder
};

bool ReadWhole(const std::string& path, std::string* bytes)
{
    WinFile file;
    if (!file.OpenForReading(path))
        return false;
    char chunk[4096];
    uint32_t got = 0;
    do {
        if (!file.Read(chunk, sizeof(chunk), &got))
            return false;
        bytes->append(chunk, got);
    } while (got == sizeof(chunk));
    return true;
}

bool ReadJournal(const std::string& journal, const std::string& folder, JournalText* text)
{
    std::string bytes;
    if (!ReadWhole(journal, &bytes))
        return false;
    // A line without its line break was cut short in the writing: it counts for nothing.
    bool first = true;
    for (size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
        std::string line = bytes.substr(at, end - at);
        if (first)
            text->folderIsNew = line == kNewFolder;
        else if (StartsWith(line, kAside))
            text->asideFolder = Parent(journal) + "\\" + line.substr(kAside.size());
        else if (StartsWith(line, kMade))
            text->made.push_back(folder + "\\" + line.substr(kMade.size()));
        else if (StartsWith(line, kReplaced))
            text->replaced.push_back(line.substr(kReplaced.size()));
        first = false;
    }
    return true;
}

// True when `folder`, named in the journal of an unlock from `container`, is that unlock's folder
// of moved-aside files and no vault's folder.
bool IsAsideFolderOf(const std::string& container, const std::string& folder,
                     const VaultStore* store)
{
    ContainerFile kind;
    return KindOfContainerFile(container, folder, &kind) && kind == ContainerFile::Replaced &&
           !(store && store->IsVaultName(Leaf(folder)));
}

// Deletes path, a file or a folder with everything in it. True when it is gone.
bool DeleteTree(const std::string& path)
{
    FileList tree;
    tree.Enumerate(path, "");
    tree.Enumerate(path, "*");
    if (tree.Count())
        tree.DeleteAll();
    return !Exists(path);
}

// Removes what the unlock made: its new folder with everything in it, or else what it listed,
// deepest first (a folder only once it is empty). True when all of it is gone.
bool RemoveMade(const std::string& folder, const JournalText& text)
{
    if (text.folderIsNew)
        return DeleteTree(folder);
    FileList made;
    for (const std::string& path : text.made) {
        DWORD attributes = AttributesOf(path);
        if (attributes != INVALID_FILE_ATTRIBUTES)
            made.Append(FileEntry{attributes, 0, path});
    }
    if (made.Count())
        made.DeleteAll();
    for (const std::string& path : text.made)
        if (Exists(path))
            return false;
    return true;
}

// Puts every file of the user's that was moved aside back in its place (over what the unlock
// made there), then removes the emptied aside folder. A file already back is not there to move,
// so this may run again after it was cut short. True when the aside folder is gone.
bool ReturnReplaced(const std::string& folder, const JournalText& text)
{
    if (text.asideFolder.empty() || !Exists(text.asideFolder))
        return true;
    for (const std::string& relative : text.replaced) {
        std::string kept = text.asideFolder + "\\" + relative;
        std::string place = folder + "\\" + relative;
        if (!Exists(kept))
            continue;
        SetAttributes(place, FILE_ATTRIBUTE_NORMAL);  // a restored read-only file
        MovePath(kept, place, MOVEFILE_REPLACE_EXISTING);
    }
    FileList left;
    left.Enumerate(text.asideFolder, "");
    left.Enumerate(text.asideFolder, "*");
    for (auto entry = left.rbegin(); entry != left.rend(); ++entry)
        if (entry->IsDirectory())
            RemoveEmptyDirectory(entry->path);
    return !Exists(text.asideFolder);
}

}  // namespace

std::string RestoreJournal::PathFor(const std::string& container)
{
    return ContainerFilePath(container, ContainerFile::Journal);
}

bool RestoreJournal::Resume(const std::string& folder, const std::string& container,
                            bool committed, const VaultStore* store)
{
    std::string journal = PathFor(container);
    if (!Exists(journal))
        return true;
    JournalText text;
    if (!ReadJournal(journal, folder, &text))
        return false;
    if (!IsAsideFolderOf(container, text.asideFolder, store))
        text.asideFolder.clear();  // then it stays as it is
    bool ended = committed ? RemoveAnyFile(container) &&
                                 (text.asideFolder.empty() || DeleteTree(text.asideFolder))
                           : ReturnReplaced(folder, text) && RemoveMade(folder, text);
    return ended && RemoveFile(journal);
}

bool RestoreJournal::Begin(const std::string& folder, const std::string& container,
                           bool folderIsNew)
{
    folder_ = folder;
    container_ = container;
    // One left by an unlock that could not be undone still says where the user's files are.
    if (Exists(PathFor(container))) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    return file_.Create(PathFor(container), false, FILE_ATTRIBUTE_HIDDEN) &&
           Note(folderIsNew ? kNewFolder : kExistingFolder, true);
}

bool RestoreJournal::Note(const std::string& line, bool throughToDisk)
{
    std::string text = line + "\r\n";
    return file_.Write(text.data(), uint32_t(text.size())) && (!throughToDisk || file_.Flush());
}

bool RestoreJournal::Prepare(const std::string& path, bool isDirectory)
{
    if (madeByUs_.count(FileNameKey(path)))
        return true;  // a second entry of one name replaces only what this unlock made
    DWORD attributes = AttributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // An existing folder is merged into; a clash of a file and a folder fails when the entry
        // is made, changing nothing.
        if (isDirectory || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
        madeByUs_.insert(FileNameKey(path));
        return Note(kReplaced + Relative(path), true) && MoveAside(path);
    }
    // Folders are made with their missing parents: those are noted first, outermost first.
    std::vector<std::string> made(1, path);
    for (std::string up = Parent(path); up.size() > folder_.size() && !Exists(up); up = Parent(up))
        made.insert(made.begin(), up);
    for (const std::string& each : made) {
        if (!Note(kMade + Relative(each)))
            return false;
        madeByUs_.insert(FileNameKey(each));
    }
    return true;
}

std::string RestoreJournal::Relative(const std::string& path) const
{
    return path.substr(folder_.size() + 1);
}

bool RestoreJournal::MoveAside(const std::string& path)
{
    if (asideFolder_.empty()) {
        // Never a folder that is there already: it may hold what an earlier unlock set aside.
        // It is named in the journal, on the disk, before anything goes into it.
        std::string candidate = ContainerFilePath(container_, ContainerFile::Replaced);
        for (int attempt = 2; Exists(candidate); ++attempt)
            candidate = ContainerFilePath(container_, ContainerFile::Replaced, attempt);
        if (!Note(kAside + Leaf(candidate), true))
            return false;
        asideFolder_ = candidate;
    }
    std::string keptAt = asideFolder_ + "\\" + Relative(path);
    return CreateDirectoryTree(Parent(keptAt)) && MovePath(path, keptAt);
}

// This unlock's own folder of moved-aside files was new when made (MoveAside), so it is no
// vault's folder: no store is asked.
void RestoreJournal::Commit()
{
    file_.Close();
    Resume(folder_, container_, true, nullptr);
}

bool RestoreJournal::Rollback()
{
    file_.Close();
    return Resume(folder_, container_, false, nullptr);
}
