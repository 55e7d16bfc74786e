#include "directory_tree.h"

#include <windows.h>

bool CreateDirectoryTree(const std::string& path)
{
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS)
        return true;
    if (error != ERROR_PATH_NOT_FOUND)
        return false;
    std::string::size_type slash = path.rfind('\\');
    if (slash == std::string::npos || !CreateDirectoryTree(path.substr(0, slash)))
        return false;
    // A path with a trailing backslash names the parent just made: that counts as success too.
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}
