#pragma once
// The file layer of the vault jobs: an open file handle that closes itself, with reads and
// writes that report whole transfers, and the path operations beside it. Paths may be of any
// length (LongPath), and are in the encoding given (ANSI unless told). Every operation here that
// can fail goes through one counter, the fault seam, so that tests can make any one of them fail,
// or end the process there.

#include <windows.h>

#include <cstdint>
#include <string>

#include "../base/name_encoding.h"
#include "file_stamp.h"

class WinFile {
public:
    WinFile() = default;
    ~WinFile() { Close(); }
    WinFile(const WinFile&) = delete;
    WinFile& operator=(const WinFile&) = delete;

    // Opens for sequential reading; others may read but not write.
    bool OpenForReading(const std::string& path, NameEncoding encoding = NameEncoding::ANSI);
    // Creates or truncates for writing (reading too when asked), giving a new file `attributes`;
    // others may read but not write.
    bool Create(const std::string& path, bool alsoRead = false,
                DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                NameEncoding encoding = NameEncoding::ANSI);
    void Close();
    // Takes the handle of `other` (closing its own); `other` is left closed.
    void TakeOver(WinFile& other);
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

    // Reads until `length` bytes have arrived or the file ends; false on an error.
    // *got holds the bytes read.
    bool Read(void* buffer, uint32_t length, uint32_t* got);
    // Moves on `bytes` without reading them.
    bool Skip(uint64_t bytes);
    // Writes all `length` bytes; false (with the system's error) when fewer were written.
    bool Write(const void* buffer, uint32_t length);
    // Waits until what was written is on the disk itself, not only in the system's cache.
    bool Flush();
    // The file's size, or false.
    bool Size(uint64_t* size) const;
    // The open file's stamp, or false. Only looks, so it is not counted.
    bool Stamp(FileStamp* stamp) const { return StampOfHandle(handle_, stamp); }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The path operations of the vault jobs, each the system call of that name. True on success;
// otherwise the system's last error says why.
bool SetAttributes(const std::string& path, DWORD attributes,  // SetFileAttributes
                   NameEncoding encoding = NameEncoding::ANSI);
bool MakeDirectory(const std::string& path,  // CreateDirectory
                   NameEncoding encoding = NameEncoding::ANSI);
bool MovePath(const std::string& from, const std::string& to, DWORD flags = 0,  // MoveFileEx
              NameEncoding encoding = NameEncoding::ANSI);
bool RemoveFile(const std::string& path,  // DeleteFile
                NameEncoding encoding = NameEncoding::ANSI);
bool RemoveEmptyDirectory(const std::string& path,  // RemoveDirectory
                          NameEncoding encoding = NameEncoding::ANSI);
// Deletes a file whatever its attributes (read-only, hidden, system). True when it is gone, or
// was not there.
bool RemoveAnyFile(const std::string& path, NameEncoding encoding = NameEncoding::ANSI);
// GetFileAttributes: INVALID_FILE_ATTRIBUTES when the path names nothing. Only looks, so it is
// not counted.
DWORD AttributesOf(const std::string& path, NameEncoding encoding = NameEncoding::ANSI);

// The fault seam. Every operation above that can fail (opening, creating, reading, skipping,
// writing, flushing, and each path operation) is counted; an armed fault makes the one operation
// with the chosen number fail with the chosen error (ERROR_DISK_FULL, ERROR_ACCESS_DENIED,
// ERROR_SHARING_VIOLATION, ...) or ends the process at once, before that operation, as a crash or
// a power cut would. The program never arms it; tests do.
namespace file_faults {
enum Effect { FAIL, END_PROCESS };
// The exit code of a process ended by the seam.
enum { ENDED_BY_FAULT = 0xFA17 };
// From now on operation number `at` (counted from 1) has `effect`. Restarts the count.
void Arm(uint32_t at, Effect effect, DWORD error = ERROR_DISK_FULL);
// No fault from now on. Restarts the count.
void Disarm();
// The operations counted since the last Arm or Disarm.
uint32_t Count();
}  // namespace file_faults
