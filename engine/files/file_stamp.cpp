#include "file_stamp.h"

#include "long_path.h"

namespace {

uint64_t Joined(DWORD high, DWORD low) { return (uint64_t(high) << 32) | low; }

uint64_t TimeValue(const FILETIME& time) { return Joined(time.dwHighDateTime, time.dwLowDateTime); }

}  // namespace

bool FileStamp::Matches(const FileStamp& other) const
{
    return known && other.known && size == other.size && lastWrite == other.lastWrite &&
           creation == other.creation;
}

bool StampOfHandle(HANDLE file, FileStamp* stamp)
{
    FILETIME creation, lastWrite;
    LARGE_INTEGER size;
    if (!GetFileTime(file, &creation, nullptr, &lastWrite) || !GetFileSizeEx(file, &size))
        return false;
    stamp->known = true;
    stamp->size = uint64_t(size.QuadPart);
    stamp->lastWrite = TimeValue(lastWrite);
    stamp->creation = TimeValue(creation);
    return true;
}

bool StampOfPath(const std::string& path, FileStamp* stamp, NameEncoding encoding)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(LongPath(path, encoding).c_str(), GetFileExInfoStandard, &data))
        return false;
    stamp->known = true;
    stamp->size = Joined(data.nFileSizeHigh, data.nFileSizeLow);
    stamp->lastWrite = TimeValue(data.ftLastWriteTime);
    stamp->creation = TimeValue(data.ftCreationTime);
    return true;
}
