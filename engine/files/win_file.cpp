#include "win_file.h"

#include "long_path.h"

namespace file_faults {
namespace {

volatile LONG counted = 0;
volatile LONG armedAt = 0;  // 0: none
Effect armedEffect = FAIL;
DWORD armedError = 0;

}  // namespace

void Arm(uint32_t at, Effect effect, DWORD error)
{
    armedEffect = effect;
    armedError = error;
    InterlockedExchange(&counted, 0);
    InterlockedExchange(&armedAt, LONG(at));
}

void Disarm()
{
    InterlockedExchange(&armedAt, 0);
    InterlockedExchange(&counted, 0);
}

uint32_t Count() { return uint32_t(counted); }

// Counts one operation; false (with the armed error set) when it is the one to fail. The writer
// thread of a lock counts too, hence the interlocked count.
bool Proceed()
{
    LONG number = InterlockedIncrement(&counted);
    if (number != armedAt)
        return true;
    if (armedEffect == END_PROCESS)
        TerminateProcess(GetCurrentProcess(), ENDED_BY_FAULT);
    SetLastError(armedError);
    return false;
}

}  // namespace file_faults

using file_faults::Proceed;

bool WinFile::OpenForReading(const std::string& path, NameEncoding encoding)
{
    Close();
    if (!Proceed())
        return false;
    handle_ = CreateFileW(LongPath(path, encoding).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return IsOpen();
}

bool WinFile::Create(const std::string& path, bool alsoRead, DWORD attributes,
                     NameEncoding encoding)
{
    Close();
    if (!Proceed())
        return false;
    DWORD access = GENERIC_WRITE | (alsoRead ? GENERIC_READ : 0);
    handle_ = CreateFileW(LongPath(path, encoding).c_str(), access, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
}

void WinFile::Close()
{
    if (IsOpen())
        CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

void WinFile::TakeOver(WinFile& other)
{
    Close();
    handle_ = other.handle_;
    other.handle_ = INVALID_HANDLE_VALUE;
}

bool WinFile::Read(void* buffer, uint32_t length, uint32_t* got)
{
    *got = 0;
    if (!Proceed())
        return false;
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

bool WinFile::Skip(uint64_t bytes)
{
    LARGE_INTEGER distance;
    distance.QuadPart = LONGLONG(bytes);
    return Proceed() && SetFilePointerEx(handle_, distance, nullptr, FILE_CURRENT);
}

bool WinFile::Write(const void* buffer, uint32_t length)
{
    if (!Proceed())
        return false;
    DWORD written = 0;
    if (!WriteFile(handle_, buffer, length, &written, nullptr))
        return false;
    if (written != length) {
        SetLastError(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

bool WinFile::Flush() { return Proceed() && FlushFileBuffers(handle_); }

bool WinFile::Size(uint64_t* size) const
{
    LARGE_INTEGER value;
    if (!GetFileSizeEx(handle_, &value))
        return false;
    *size = uint64_t(value.QuadPart);
    return true;
}

bool SetAttributes(const std::string& path, DWORD attributes, NameEncoding encoding)
{
    return Proceed() && SetFileAttributesW(LongPath(path, encoding).c_str(), attributes);
}

bool MakeDirectory(const std::string& path, NameEncoding encoding)
{
    return Proceed() && CreateDirectoryW(LongPath(path, encoding).c_str(), nullptr);
}

bool MovePath(const std::string& from, const std::string& to, DWORD flags, NameEncoding encoding)
{
    return Proceed() && MoveFileExW(LongPath(from, encoding).c_str(), LongPath(to, encoding).c_str(), flags);
}

bool RemoveFile(const std::string& path, NameEncoding encoding)
{
    return Proceed() && DeleteFileW(LongPath(path, encoding).c_str());
}

bool RemoveEmptyDirectory(const std::string& path, NameEncoding encoding)
{
    return Proceed() && RemoveDirectoryW(LongPath(path, encoding).c_str());
}

bool RemoveAnyFile(const std::string& path, NameEncoding encoding)
{
    if (AttributesOf(path, encoding) == INVALID_FILE_ATTRIBUTES)
        return true;
    SetAttributes(path, FILE_ATTRIBUTE_NORMAL, encoding);
    return RemoveFile(path, encoding);
}

DWORD AttributesOf(const std::string& path, NameEncoding encoding) { return GetFileAttributesW(LongPath(path, encoding).c_str()); }
