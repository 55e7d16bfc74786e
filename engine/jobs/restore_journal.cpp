#include "restore_journal.h"

#include <vector>

#include "../files/ansi_name.h"
#include "../files/directory_tree.h"
#include "../files/file_error_text.h"
#include "../files/file_list.h"
#include "../files/long_path.h"
#include "../names/container_files.h"
#include "../names/vault_name_check.h"

namespace {

// The journal is text, one line each: its first says whose the folder is; then "aside" names the
// folder of moved-aside files (beside the journal), each "made" a path below the vault folder that
// the unlock makes, and each "replaced" one whose file of the user's it moves aside. Every line is
// written before what it tells is done. The paths are in the ANSI code page, unless the second
// line says "names utf-8" (the journal of a vault encrypted with its password, written with the
// first line).
const char kNewFolder[] = "new folder";
const char kExistingFolder[] = "existing folder";
const char kUtf8Names[] = "names utf-8";
const std::string kAside = "aside ";
const std::string kMade = "made ";
const std::string kReplaced = "replaced ";

bool Exists(const std::string& path, NameEncoding names)
{
    return AttributesOf(path, names) != INVALID_FILE_ATTRIBUTES;
}

std::string Parent(const std::string& path) { return path.substr(0, path.rfind('\\')); }

std::string Leaf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What a journal on disk says, with full paths in its encoding.
struct JournalText {
    bool folderIsNew = false;
    NameEncoding names = NameEncoding::ANSI;
    std::string asideFolder;
    std::vector<std::string> made;      // in the order made
    std::vector<std::string> replaced;  // relative to the vault folder
};

bool ReadWhole(const std::string& path, NameEncoding names, std::string* bytes)
{
    WinFile file;
    if (!file.OpenForReading(path, names))
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

// The journal's lines, each with its line break: one without was cut short in the writing, and
// counts for nothing.
std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(bytes.substr(at, end - at));
    return lines;
}

// Reads the journal at `journal` (in `given`), of the unlock into `folder` (in `given` too); its
// paths come back in the encoding it was written in. False, with the system's error, when it
// cannot be read, or its paths cannot be put in that encoding (an ANSI journal of a folder
// whose name the code page lacks: none of ours).
bool ReadJournal(const std::string& journal, std::string folder, NameEncoding given,
                 JournalText* text)
{
    std::string bytes;
    if (!ReadWhole(journal, given, &bytes))
        return false;
    std::vector<std::string> lines = Lines(bytes);
    text->folderIsNew = !lines.empty() && lines[0] == kNewFolder;
    text->names = lines.size() > 1 && lines[1] == kUtf8Names ? NameEncoding::UTF8
                                                            : NameEncoding::ANSI;
    std::string home;
    if (!RecodeName(folder, given, text->names, &folder) ||
        !RecodeName(Parent(journal), given, text->names, &home)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (StartsWith(line, kAside))
            text->asideFolder = home + "\\" + line.substr(kAside.size());
        else if (StartsWith(line, kMade))
            text->made.push_back(folder + "\\" + line.substr(kMade.size()));
        else if (StartsWith(line, kReplaced))
            text->replaced.push_back(line.substr(kReplaced.size()));
    }
    return true;
}

// True when `folder`, named in the journal of an unlock from `container`, is that unlock's folder
// of moved-aside files and no vault's folder.
bool IsAsideFolderOf(const std::string& container, const std::string& folder,
                     const VaultNameCheck* store)
{
    ContainerFile kind;
    return KindOfContainerFile(container, folder, &kind) && kind == ContainerFile::Replaced &&
           !(store && store->IsVaultName(Leaf(folder)));
}

// Deletes path, a file or a folder with everything in it. True when it is gone.
bool DeleteTree(const std::string& path, NameEncoding names)
{
    FileList tree(names);
    tree.Enumerate(path, "");
    tree.Enumerate(path, "*");
    if (tree.Count())
        tree.DeleteAll();
    return !Exists(path, names);
}

// Deletes every entry of the list, deepest first. True when all are gone; else what is still
// there goes into *left, with the first failure's reason.
bool DeleteListed(FileList& list, UndoLeft* left)
{
    if (list.Count())
        list.DeleteAll();
    bool gone = true;
    for (const FileEntry& entry : list) {
        if (!Exists(entry.path, list.encoding))
            continue;
        gone = false;
        (entry.IsDirectory() ? left->folders : left->files).push_back(entry.path);
    }
    if (!gone)
        left->NoteFailure(list.failedPath, list.failedError);
    return gone;
}

// Removes what the unlock made: its new folder with everything in it, or else what it listed,
// deepest first (a folder only once it is empty). True when all of it is gone.
bool RemoveMade(const std::string& folder, const JournalText& text, UndoLeft* left)
{
    FileList made(text.names);
    if (text.folderIsNew) {
        made.Enumerate(folder, "");
        made.Enumerate(folder, "*");
        return DeleteListed(made, left);
    }
    for (const std::string& path : text.made) {
        DWORD attributes = AttributesOf(path, text.names);
        if (attributes != INVALID_FILE_ATTRIBUTES)
            made.Append(FileEntry{attributes, 0, path});
    }
    return DeleteListed(made, left);
}

// Puts every file of the user's that was moved aside back in its place, then removes the emptied
// aside folder. What the unlock restored in that place goes first, so that the file comes back
// under its own name, in its own letter case, and not under the restored file's. A file already
// back is not there to move, so this may run again after it was cut short. True when the aside
// folder is gone.
bool ReturnReplaced(const std::string& folder, const JournalText& text, UndoLeft* left)
{
    NameEncoding names = text.names;
    if (text.asideFolder.empty() || !Exists(text.asideFolder, names))
        return true;
    for (const std::string& relative : text.replaced) {
        std::string kept = text.asideFolder + "\\" + relative;
        std::string place = folder + "\\" + relative;
        if (!Exists(kept, names) ||
            (RemoveAnyFile(place, names) && MovePath(kept, place, 0, names)))
            continue;
        left->NoteFailure(place, GetLastError());
        if (Exists(place, names))
            left->files.push_back(place);
    }
    FileList rest(names);
    rest.Enumerate(text.asideFolder, "");
    rest.Enumerate(text.asideFolder, "*");
    for (auto entry = rest.rbegin(); entry != rest.rend(); ++entry)
        if (entry->IsDirectory())
            RemoveEmptyDirectory(entry->path, names);
    if (!Exists(text.asideFolder, names))
        return true;
    left->aside = text.asideFolder;
    return false;
}

// The path of the file at `path` as the file system names it: an entry may name a file of the
// user's in another letter case. False when the journal's encoding cannot hold that name, so that
// the journal could not note it, or when the entry reaches a file of another name (through its
// short name), which an undo could not tell from the restored file.
bool NameOnDisk(const std::string& path, NameEncoding names, std::string* named)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(LongPath(path, names).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    std::string leaf;
    if (!NarrowName(found.cFileName, names, &leaf)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    if (!IsSameFileName(leaf, Leaf(path), names)) {
        SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    *named = Parent(path) + "\\" + leaf;
    return true;
}

}  // namespace

std::string RestoreJournal::PathFor(const std::string& container)
{
    return ContainerFilePath(container, ContainerFile::Journal);
}

bool RestoreJournal::Resume(const std::string& givenFolder, const std::string& givenContainer,
                            bool committed, const VaultNameCheck* store, UndoLeft* left,
                            NameEncoding given)
{
    UndoLeft unread;
    if (!left)
        left = &unread;
    left->encoding = given;
    std::string givenJournal = PathFor(givenContainer);
    if (!Exists(givenJournal, given))
        return true;
    JournalText text;
    if (!ReadJournal(givenJournal, givenFolder, given, &text)) {
        left->NoteFailure(givenJournal, GetLastError());
        return false;
    }
    // From here on every path is in the journal's encoding, and so is what is left.
    NameEncoding names = text.names;
    std::string folder, container, journal;
    RecodeName(givenFolder, given, names, &folder);
    RecodeName(givenContainer, given, names, &container);
    RecodeName(givenJournal, given, names, &journal);
    left->encoding = names;
    if (!IsAsideFolderOf(container, text.asideFolder, store))
        text.asideFolder.clear();  // then it stays as it is
    bool ended = false;
    if (committed) {
        ended = RemoveAnyFile(container, names) &&
                (text.asideFolder.empty() || DeleteTree(text.asideFolder, names));
    } else {
        // Each part as far as it goes: what can be put right now is not left for later.
        bool returned = ReturnReplaced(folder, text, left);
        ended = RemoveMade(folder, text, left) && returned;
    }
    if (ended && !RemoveFile(journal, names)) {
        left->NoteFailure(journal, GetLastError());
        ended = false;
    }
    return ended;
}

bool RestoreJournal::Begin(const std::string& folder, const std::string& container,
                           bool folderIsNew, NameEncoding names)
{
    folder_ = folder;
    container_ = container;
    names_ = names;
    // One left by an unlock that could not be undone still says where the user's files are.
    if (Exists(PathFor(container), names)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    std::string head = folderIsNew ? kNewFolder : kExistingFolder;
    if (names == NameEncoding::UTF8)
        head += std::string("\r\n") + kUtf8Names;
    return file_.Create(PathFor(container), false, FILE_ATTRIBUTE_HIDDEN, names) &&
           Note(head, true);
}

bool RestoreJournal::Note(const std::string& line, bool throughToDisk)
{
    std::string text = line + "\r\n";
    return file_.Write(text.data(), uint32_t(text.size())) && (!throughToDisk || file_.Flush());
}

bool RestoreJournal::Prepare(const std::string& path, bool isDirectory)
{
    if (madeByUs_.count(FileNameKey(path, names_)))
        return true;  // a second entry of one name replaces only what this unlock made
    DWORD attributes = AttributesOf(path, names_);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        // An existing folder is merged into; a clash of a file and a folder fails when the entry
        // is made, changing nothing.
        if (isDirectory || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
        madeByUs_.insert(FileNameKey(path, names_));
        std::string own;
        return NameOnDisk(path, names_, &own) && Note(kReplaced + Relative(own), true) && MoveAside(own);
    }
    // Folders are made with their missing parents: those are noted first, outermost first.
    std::vector<std::string> made(1, path);
    for (std::string up = Parent(path); up.size() > folder_.size() && !Exists(up, names_);
         up = Parent(up))
        made.insert(made.begin(), up);
    for (const std::string& each : made) {
        if (!Note(kMade + Relative(each)))
            return false;
        madeByUs_.insert(FileNameKey(each, names_));
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
        for (int attempt = 2; Exists(candidate, names_); ++attempt)
            candidate = ContainerFilePath(container_, ContainerFile::Replaced, attempt);
        if (!Note(kAside + Leaf(candidate), true))
            return false;
        asideFolder_ = candidate;
    }
    std::string keptAt = asideFolder_ + "\\" + Relative(path);
    return CreateDirectoryTree(Parent(keptAt), names_) && MovePath(path, keptAt, 0, names_);
}

// This unlock's own folder of moved-aside files was new when made (MoveAside), so it is no
// vault's folder: no store is asked.
void RestoreJournal::Commit()
{
    file_.Close();
    Resume(folder_, container_, true, nullptr, nullptr, names_);
}

bool RestoreJournal::Rollback(UndoLeft* left)
{
    file_.Close();
    return Resume(folder_, container_, false, nullptr, left, names_);
}

void UndoLeft::NoteFailure(const std::string& path, DWORD error)
{
    if (failedPath.empty() && !path.empty()) {
        failedPath = path;
        failedError = error ? error : ERROR_GEN_FAILURE;
    }
}

std::string UndoLeft::Text() const
{
    const size_t kShown = 10;
    std::string text = failedPath.empty() ? "" : FileErrorText(failedError, failedPath);
    auto line = [&text](const std::string& next) { text += (text.empty() ? "" : "\r\n") + next; };
    const std::vector<std::string>& still = files.empty() ? folders : files;
    if (!still.empty())
        line("Still in the vault's folder, not encrypted:");
    for (size_t i = 0; i < still.size() && i < kShown; ++i)
        line(still[i]);
    if (still.size() > kShown)
        line("(and " + std::to_string(still.size() - kShown) + " more)");
    if (!aside.empty())
        line("Files of yours that the unlock replaced wait in " + aside + ".");
    return text;
}
