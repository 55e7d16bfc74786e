#pragma once
// An unlock's journal, kept on disk beside the container from before the first entry is made
// until the unlock has been committed or undone, so that an unlock cut short at any instant (a
// crash, a power cut) can still be undone or finished from the disk alone, at the next start.
//
// It says whether the unlock made the vault folder (then everything in it is the unlock's) or
// restored into a folder that was there before. In that case it lists, before each is made, every
// file and folder the unlock makes, and a file of the user's that an entry would overwrite is
// first noted and moved aside, under its own relative path and name (in its own letter case,
// which the entry's may not share), into a folder beside the container; undoing the unlock
// brings it back under that name, committing it deletes it. Undoing can be cut short and run
// again. The journal's first line, and each note of a file moved aside, are written through to the
// disk before anything is done; notes of what is made do not wait for the disk, since one lost in
// a power cut costs only a restored copy left behind in the folder.

#include <set>
#include <string>
#include <vector>

#include "../files/win_file.h"

class VaultNameCheck;

// What an undo could not put right yet, for the user to be told. Its paths and text are in the
// journal's encoding.
struct UndoLeft {
    NameEncoding encoding = NameEncoding::ANSI;
    std::string failedPath;  // the first step that failed, and why
    DWORD failedError = 0;
    std::vector<std::string> files;    // restored files still in the vault folder
    std::vector<std::string> folders;  // folders the unlock made that are still there
    std::string aside;  // where files of the user's that it replaced still wait, or ""

    void NoteFailure(const std::string& path, DWORD error);
    // Why, what is still there unencrypted (the first few) and where the user's files wait, in
    // lines for a message.
    std::string Text() const;
};

class RestoreJournal {
public:
    // The journal of an unlock from `container` into `folder`; folderIsNew: the unlock makes the
    // folder. Writes it to the disk; false, with the system's error, when it cannot (nothing has
    // changed then). Every path it takes and notes is in `names` (UTF-8 for a vault encrypted
    // with its password), and the journal says so on the disk.
    bool Begin(const std::string& folder, const std::string& container, bool folderIsNew,
               NameEncoding names = NameEncoding::ANSI);

    // Called before an entry is made at path in a folder that was there before: notes what will
    // be new (with any missing folders between the vault folder and it) and moves an existing
    // file that this unlock did not make out of the way. False, with the system's error, when
    // the note cannot be written or that file cannot be moved.
    bool Prepare(const std::string& path, bool isDirectory);

    // The unlock has been saved as done: the container and the replaced files go, then the
    // journal. What cannot go yet stays with the journal, for the next lock or start to finish.
    void Commit();
    // The unlock failed: what it made goes and every moved-aside file returns, then the journal
    // goes. False when something could not be undone (a restored file in use): the journal then
    // stays for the next unlock or start to finish the undo, and *left says what is left.
    bool Rollback(UndoLeft* left = nullptr);

    // Where the journal of an unlock from container is kept.
    static std::string PathFor(const std::string& container);
    // Ends an unlock that was cut short, from its journal, if there is one: finishes it when
    // committed (the record says unlocked), else undoes it, as much of it as can be. True when
    // all of it could be done (or there was no journal); the journal is gone then. Otherwise
    // *left says what an undo left. The folder of moved-aside files is touched only when it has
    // the name this container's has (ContainerFile::Replaced) and no vault of `store` (if any)
    // has it as its folder: a vault named so before the name rule refused such names may have
    // taken it over. folder and container are in `given`; the journal's own paths are in the
    // encoding it says it was written in.
    static bool Resume(const std::string& folder, const std::string& container, bool committed,
                       const VaultNameCheck* store, UndoLeft* left = nullptr,
                       NameEncoding given = NameEncoding::ANSI);

private:
    bool Note(const std::string& line, bool throughToDisk = false);
    std::string Relative(const std::string& path) const;  // below the vault folder
    bool MoveAside(const std::string& path);

    std::string folder_;
    std::string container_;
    NameEncoding names_ = NameEncoding::ANSI;
    std::string asideFolder_;  // made on the first need
    WinFile file_;
    std::set<std::wstring> madeByUs_;
};
