#pragma once
// What an unlock changes in a vault folder that existed before it, so that a failed or cancelled
// unlock leaves that folder exactly as it was: every file or folder the unlock makes is noted,
// and a file of the user's that an entry would overwrite is first moved aside, into a folder
// beside the container, until the unlock has ended.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "file_list.h"

class RestoreJournal {
public:
    // folder: the vault folder, which existed before the unlock; asideBase: a path on the same
    // volume from which the name of the folder for moved-aside files is made.
    void Begin(const std::string& folder, const std::string& asideBase);

    // Called before an entry is made at path: notes what will be new (with any missing folders
    // between the vault folder and it) and moves an existing file that this unlock did not make
    // out of the way. False, with the system's error, when that file cannot be moved.
    bool Prepare(const std::string& path, bool isDirectory);

    // The unlock completed: the files that were replaced are deleted.
    void Commit();
    // The unlock failed: what it made is deleted and every moved-aside file returns.
    void Rollback();

private:
    void Note(const std::string& path, bool isDirectory);
    bool MoveAside(const std::string& path);

    std::string folder_;
    std::string asideBase_;
    std::string asideFolder_;  // made on the first need
    FileList created_;
    std::set<std::wstring> madeByUs_;
    std::vector<std::pair<std::string, std::string>> setAside_;  // original path, kept at
};
