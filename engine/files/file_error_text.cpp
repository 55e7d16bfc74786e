#include "file_error_text.h"

namespace {

const char* ReasonFor(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS:
        return "No error occurred.";
    case ERROR_FILE_NOT_FOUND:
        return "%1 was not found.";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
    case ERROR_INVALID_DRIVE:
        return "%1 contains an invalid path.";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "%1 could not be opened because there are too many open files.";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return "Access to %1 was denied.";
    case ERROR_INVALID_HANDLE:
        return "An invalid file handle was associated with %1.";
    case ERROR_CURRENT_DIRECTORY:
        return "%1 could not be removed because it is the current directory.";
    case ERROR_CANNOT_MAKE:
        return "%1 could not be created because the directory is full.";
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return "Seek failed on %1";
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE:
        return "A hardware I/O error was reported while accessing %1.";
    case ERROR_SHARING_VIOLATION:
        return "A sharing violation occurred while accessing %1.";
    case ERROR_LOCK_VIOLATION:
        return "A locking violation occurred while accessing %1.";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "Disk full while accessing %1.";
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return "%1 already exists.";
    case ERROR_NO_UNICODE_TRANSLATION:
        return "The name of %1 uses characters that the system's code page cannot represent.";
    case ERROR_HANDLE_EOF:
        return "An attempt was made to access %1 past its end.";
    default:
        return "An unknown error occurred while accessing %1.";
    }
}

}  // namespace

std::string FileErrorText(DWORD error, const std::string& path)
{
    std::string text = ReasonFor(error);
    std::string::size_type at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}
