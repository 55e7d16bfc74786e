#pragma once
// A directory tree as an ordered list of entries in pre-order (a directory before its contents),
// and the two jobs over it: copying every entry into another directory (head to tail) and
// deleting every entry (tail to head). Each job runs on a worker thread behind the progress
// dialog, so the jobs are the jobs room's (engine/jobs/file_list_jobs.cpp); the caller gets a
// plain success flag when one has ended. Paths may be of any length (LongPath).
//
// Links and junctions (directory entries with the reparse-point bit) are listed but never
// entered: deleting one removes the link, never what it points to, and copying one makes an
// empty directory in its place.

#include <windows.h>

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "../base/name_encoding.h"
#include "file_stamp.h"

struct FileEntry {
    uint32_t attributes;  // as found; FILE_ATTRIBUTE_DIRECTORY marks a directory
    uint64_t size;        // 0 for a directory
    std::string path;     // full path, in the list's encoding
    // Set for a file that may be deleted only as it was when this was taken (a file whose
    // contents a lock has put into its container); unknown otherwise.
    FileStamp stamp;

    bool IsDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

class FileList {
public:
    // Every path the list takes and gives is in `encoding`: ANSI for the classic container's
    // names and the program's own folders, UTF-8 for a vault encrypted with its password.
    explicit FileList(NameEncoding encoding = NameEncoding::ANSI) : encoding(encoding) {}

    // Appends what lies under dir and returns the number of entries now in the list. An empty
    // mask adds dir's own entry only; otherwise every name matching mask, at every level,
    // is added and directories are entered at once. A path that cannot be searched adds nothing
    // and, unless it is simply missing, is noted in problemPath.
    int Enumerate(const std::string& dir, const std::string& mask);

    // Copies every entry into destination (keeping paths relative to the list's base); true
    // when the job ran to its end. Each copied file is flushed to the disk before the job goes on,
    // so that the originals may go once it has ended. Stops at the first failure, leaving what was
    // copied.
    bool CopyTo(const std::string& destination, bool overwrite);
    // Deletes every entry, tail to head; a failed removal is noted in lastError and the job goes
    // on. A file with a known stamp is held against writers, compared and deleted only when its
    // stamp is still the same; one that has changed stays and is noted in changedPaths. True when
    // the job ran to its end. cancelRefusal: for a deletion that must not stop halfway, what the
    // user is told instead of cancelling, in the list's encoding.
    bool DeleteAll(const std::string& cancelRefusal = std::string());

    // Appends one entry at the tail.
    void Append(const FileEntry& entry) { entries_.push_back(entry); }

    size_t Count() const { return entries_.size(); }
    std::list<FileEntry>::const_iterator begin() const { return entries_.begin(); }
    std::list<FileEntry>::const_iterator end() const { return entries_.end(); }
    std::list<FileEntry>::const_reverse_iterator rbegin() const { return entries_.rbegin(); }
    std::list<FileEntry>::const_reverse_iterator rend() const { return entries_.rend(); }

    // The system error code of the last failed step of a job that did not run to its end; 0 when
    // a job starts.
    uint32_t lastError = 0;
    // The paths below are in the list's encoding.
    // After a failed CopyTo: the target that could not be written and why. After DeleteAll:
    // the first entry that could not be removed (the job goes on past it) and why. Else "", 0.
    std::string failedPath;
    uint32_t failedError = 0;
    // After DeleteAll: the files kept because they changed after their stamps were taken.
    std::vector<std::string> changedPaths;

    // The first folder that could not be searched, or entry whose name the list's encoding cannot
    // represent (ERROR_NO_UNICODE_TRANSLATION: a name the ANSI code page lacks characters of, or
    // one with a lone surrogate; its path then shows a stand-in for those characters), with the
    // system's reason. Empty when everything was listed. In the list's encoding.
    std::string problemPath;
    uint32_t problemError = 0;

    const NameEncoding encoding;

private:
    // Lists dir's entries matching mask, recursively; mustExist: dir was found by a search, so
    // that failing to search it is a problem even when the system calls it missing.
    void Search(const std::string& dir, const std::string& mask, bool mustExist);
    void NoteProblem(const std::string& path, uint32_t error);

    std::list<FileEntry> entries_;
};

// Works out the part of each entry's path below the list's base directory. The base starts as
// the first entry's parent and moves to a new entry's parent whenever a path does not begin
// with it; the part keeps its leading backslash.
class RelativePathTracker {
public:
    std::string Next(const std::string& path);

private:
    std::string base_;
};
