#include "directory_tree.h"

#include <windows.h>

#include "long_path.h"

namespace {

// CreateDirectory's "already exists" covers files as well: only a directory is success.
bool CreatedOrExisting(const std::string& path)
{
    return CreateDirectoryW(LongPath(path).c_str(), nullptr) ||
           (GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path));
}

}  // namespace

bool IsDirectory(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectoryTree(const std::string& path)
{
    if (CreatedOrExisting(path))
        return true;
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos || !CreateDirectoryTree(path.substr(0, slash)))
        return false;
    // A path with a trailing backslash names the parent just made: that counts as success too.
    return CreatedOrExisting(path);
}
