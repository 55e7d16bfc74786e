#pragma once
// What is cheap to learn of a file and changes whenever its contents are written or the file is
// replaced: its size and its last-write and creation times (each a single query under Wine; the
// file's identity would need its volume's serial number, which costs a millisecond a file
// there). A lock keeps the stamp of every file it read, and deletes a file only while it still
// has that stamp, so a file saved during the lock is never lost.

#include <windows.h>

#include <cstdint>
#include <string>

#include "../base/name_encoding.h"

struct FileStamp {
    bool known = false;  // false: nothing was learnt, and the stamp equals no other
    uint64_t size = 0;
    uint64_t lastWrite = 0;
    uint64_t creation = 0;

    // Both known and alike in every part.
    bool Matches(const FileStamp& other) const;
};

// The stamp of an open file; false (with the system's error) when it cannot be read.
bool StampOfHandle(HANDLE file, FileStamp* stamp);
// The stamp of the file at path, read without opening it, so that no other program is kept from
// anything meanwhile. False (with the system's error) when it cannot be read.
bool StampOfPath(const std::string& path, FileStamp* stamp, NameEncoding encoding = NameEncoding::ANSI);
