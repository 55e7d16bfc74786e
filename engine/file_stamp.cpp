#include "file_stamp.h"

#include "long_path.h"

namespace {

uint64_t Joined(DWORD high, DWORD low) { return (uint64_t(high) << 32) | low; }

uint64_t TimeValue(const FILETIME& time) { return Joined(time.dwHighDateTime, time.dwLowDateTime); }

}  // namespace

bool FileStamp::Matches(const FileStamp& other) const
{
    return known && other.known && volume == other.volume && index == other.index &&
           size == other.size && lastWrite == other.lastWrite && creation == other.creation;
}

bool StampOfHandle(HANDLE file, FileStamp* stamp)
{
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(file, &information))
        return false;
    stamp->known = true;
    stamp->volume = information.dwVolumeSerialNumber;
    stamp->index = Joined(information.nFileIndexHigh, information.nFileIndexLow);
    stamp->size = Joined(information.nFileSizeHigh, information.nFileSizeLow);
    stamp->lastWrite = TimeValue(information.ftLastWriteTime);
    stamp->creation = TimeValue(information.ftCreationTime);
    return true;
}

bool StampOfPath(const std::string& path, FileStamp* stamp)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool read = StampOfHandle(file, stamp);
    DWORD error = GetLastError();
    CloseHandle(file);
    SetLastError(error);
    return read;
}
