#include "directory_tree.h"

#include <windows.h>

#include "long_path.h"

namespace {

// CreateDirectory's "already exists" covers files as well: only a directory is success.
bool CreatedOrExisting(const std::string& path, NameEncoding encoding)
{
    return CreateDirectoryW(LongPath(path, encoding).c_str(), nullptr) ||
           (GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path, encoding));
}

}  // namespace

bool IsDirectory(const std::string& path, NameEncoding encoding)
{
    DWORD attributes = GetFileAttributesW(LongPath(path, encoding).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectoryTree(const std::string& path, NameEncoding encoding)
{
    if (CreatedOrExisting(path, encoding))
        return true;
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos || !CreateDirectoryTree(path.substr(0, slash), encoding))
        return false;
    // A path with a trailing backslash names the parent just made: that counts as success too.
    return CreatedOrExisting(path, encoding);
}
