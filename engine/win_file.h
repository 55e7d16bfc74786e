#pragma once
// An open file handle that closes itself, with reads and writes that report whole transfers.

#include <windows.h>

#include <cstdint>
#include <string>

class WinFile {
public:
    WinFile() = default;
    ~WinFile() { Close(); }
    WinFile(const WinFile&) = delete;
    WinFile& operator=(const WinFile&) = delete;

    // Opens for sequential reading; others may read but not write.
    bool OpenForReading(const std::string& path);
    // Creates or truncates for writing (reading too when asked), giving a new file `attributes`;
    // others may read but not write.
    bool Create(const std::string& path, bool alsoRead = false,
                DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    void Close();
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return handle_; }

    // Reads until `length` bytes have arrived or the file ends; false on an error.
    // *got holds the bytes read.
    bool Read(void* buffer, uint32_t length, uint32_t* got);
    // Writes all `length` bytes; false (with the system's error) when fewer were written.
    bool Write(const void* buffer, uint32_t length);
    // The file's size, or false.
    bool Size(uint64_t* size) const;

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
