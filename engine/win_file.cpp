#include "win_file.h"

bool WinFile::OpenForReading(const std::string& path)
{
    Close();
    handle_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return IsOpen();
}

bool WinFile::Create(const std::string& path, bool alsoRead, DWORD attributes)
{
    Close();
    DWORD access = GENERIC_WRITE | (alsoRead ? GENERIC_READ : 0);
    handle_ = CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
}

void WinFile::Close()
{
    if (IsOpen())
        CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool WinFile::Read(void* buffer, uint32_t length, uint32_t* got)
{
    *got = 0;
    while (*got < length) {
        DWORD read = 0;
        if (!ReadFile(handle_, static_cast<char*>(buffer) + *got, length - *got, &read, nullptr))
            return false;
        if (read == 0)
            break;
        *got += read;
    }
    return true;
}

bool WinFile::Write(const void* buffer, uint32_t length)
{
    DWORD written = 0;
    if (!WriteFile(handle_, buffer, length, &written, nullptr))
        return false;
    if (written != length) {
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

bool WinFile::Size(uint64_t* size) const
{
    LARGE_INTEGER value;
    if (!GetFileSizeEx(handle_, &value))
        return false;
    *size = uint64_t(value.QuadPart);
    return true;
}
