// Locking and unlocking a vault's contents: the launchers of the two vault jobs.

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "container_format.h"
#include "file_error_text.h"
#include "job_front_end.h"
#include "vault_job.h"
#include "vault_name.h"
#include "win_file.h"

namespace {

// An upper bound of the container's size: every name is counted with a terminator, and the
// folder's own name and one header besides, so the estimate stays above what is written.
uint64_t ContainerSizeEstimate(const std::string& name, const FileList& files, size_t prefix)
{
    uint64_t estimate = PaddedSize(name.size() + 1) + ENTRY_HEADER_SIZE;
    for (const FileEntry& entry : files)
        estimate += PaddedSize(entry.path.size() - prefix + 1) + ENTRY_HEADER_SIZE +
                    ContentSize(entry.size);
    return estimate;
}

bool HasRoomFor(const std::string& root, uint64_t bytes)
{
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr))
        available.QuadPart = 0;
    if (bytes <= available.QuadPart)
        return true;
    ShowError("You have no enough space in\r\n" + root + "\r\nto complete the requested operation.");
    return false;
}

// The longest paths the ANSI file calls take: a file's, and a folder's (which must leave room
// for a file name in it).
const size_t kLongestFilePath = MAX_PATH - 1;
const size_t kLongestFolderPath = MAX_PATH - 13;

// Why an entry of the folder could not be restored as it is, or empty when it could.
std::string WhyNotRestorable(const FileEntry& entry, const std::string& relative)
{
    if (!IsSafeRelativeName(relative))
        return entry.path + " has a name that Windows reserves or changes (a device name such as "
                            "NUL or COM1, or a name that ends in a dot or a space).";
    if (entry.path.size() > (entry.IsDirectory() ? kLongestFolderPath : kLongestFilePath))
        return "The path " + entry.path + " is too long.";
    return std::string();
}

// Why the enumerated folder cannot be locked without leaving something out, or empty when it
// can: a folder that could not be searched, or an entry that could not come back as it is.
std::string WhyNotLockable(const FileList& files, const std::string& folder)
{
    if (!files.problemPath.empty())
        return FileErrorText(files.problemError, files.problemPath);
    for (const FileEntry& entry : files) {
        std::string why = WhyNotRestorable(entry, entry.path.substr(folder.size() + 1));
        if (!why.empty())
            return why;
    }
    return std::string();
}

std::string NotLockedText(const std::string& name, const std::string& why)
{
    return "The vault \"" + name + "\" has not been locked:\r\n" + why +
           "\r\nNothing has been changed.";
}

// Removes a file of this job's, whatever its attributes.
void DeleteOwnFile(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

void SetKeyFromPassword(BlockCipher& cipher, const char* password)
{
    cipher.SetKey(password, uint32_t(std::strlen(password)));
}

}  // namespace

bool VaultFolder::LockContents(const std::string& root, const char* password,
                               BlockCipher& cipher) const
{
    std::string folder = FolderPath(root);
    std::string container = ContainerPath(root);
    // A container left beside an unlocked vault may hold files the folder no longer has.
    if (GetFileAttributesA(container.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ShowError(NotLockedText(record_->Name(),
                                container + " already exists and may hold files that are not in "
                                            "the vault's folder; it has been left as it is."));
        return false;
    }
    FileList files;
    files.Enumerate(folder, "*");
    std::string why = WhyNotLockable(files, folder);
    if (!why.empty()) {
        ShowError(NotLockedText(record_->Name(), why));
        return false;
    }
    uint64_t estimate = ContainerSizeEstimate(record_->Name(), files, folder.size() + 1);
    if (!HasRoomFor(root, estimate))
        return false;
    SetKeyFromPassword(cipher, password);

    VaultJob job;
    job.total = estimate;
    job.files = &files;
    job.cipher = &cipher;
    job.record = record_;
    job.root = root;
    job.partialPath = container + ".partial";
    if (!RunJob(VaultJobProgress, EncryptVaultProc, &job)) {
        DeleteOwnFile(job.partialPath);
        if (job.placed)
            DeleteOwnFile(container);  // completed, but the user cancelled at the last moment
        return false;
    }
    // Delete exactly what went into the container: anything saved into the folder while the
    // job ran stays where it is.
    FileList written;
    written.Enumerate(folder, "");
    for (const FileEntry& entry : files)
        written.Append(entry);
    written.DeleteAll();
    if (!written.failedPath.empty())
        ShowError("The vault \"" + record_->Name() + "\" has been locked, but not everything could "
                  "be deleted from its folder:\r\n" +
                  FileErrorText(written.failedError, written.failedPath) +
                  "\r\nWhat is left there is not encrypted. Close the program that uses it and "
                  "delete it.");
    return true;
}

bool VaultFolder::UnlockContents(const std::string& root, const char* password,
                                 BlockCipher& cipher) const
{
    uint64_t size = 0;
    {
        WinFile container;
        if (!container.OpenForReading(ContainerPath(root)) || !container.Size(&size))
            return false;
    }
    SetKeyFromPassword(cipher, password);

    VaultJob job;
    job.total = size;
    job.cipher = &cipher;
    job.record = record_;
    job.root = root;
    if (RunJob(VaultJobProgress, DecryptVaultProc, &job)) {
        job.journal.Commit();
        Discard(root, DISCARD_CONTAINER);
        return true;
    }
    // Remove what this unlock restored; whatever was in the folder before stays as it was.
    if (job.folderIsNew)
        Discard(root, DISCARD_FOLDER);
    else
        job.journal.Rollback();
    return false;
}

bool VaultFolder::Discard(const std::string& root, int mode) const
{
    FileList list;
    if (mode & DISCARD_FOLDER) {
        list.Enumerate(FolderPath(root), "");
        list.Enumerate(FolderPath(root), "*.*");
    }
    if (mode & DISCARD_CONTAINER)
        list.Enumerate(ContainerPath(root), "");
    list.DeleteAll();
    return true;
}

bool VaultFolder::OpenInShell(const std::string& root) const
{
    ShellExecuteA(nullptr, "open", record_->Name().c_str(), nullptr, root.c_str(), SW_SHOWNORMAL);
    return true;
}
