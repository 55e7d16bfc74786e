// Locking and unlocking a vault's contents: the launchers of the two vault jobs.

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "container_format.h"
#include "job_front_end.h"
#include "vault_job.h"
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

void SetKeyFromPassword(BlockCipher& cipher, const char* password)
{
    cipher.SetKey(password, uint32_t(std::strlen(password)));
}

}  // namespace

bool VaultFolder::LockContents(const std::string& root, const char* password,
                               BlockCipher& cipher) const
{
    std::string folder = FolderPath(root);
    FileList files;
    files.Enumerate(folder, "*");
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
    if (!RunJob(VaultJobProgress, EncryptVaultProc, &job)) {
        Discard(root, DISCARD_CONTAINER);
        return false;
    }
    // Delete exactly what went into the container: anything saved into the folder while the
    // job ran stays where it is.
    FileList written;
    written.Enumerate(folder, "");
    for (const FileEntry& entry : files)
        written.Append(entry);
    written.DeleteAll();
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
        Discard(root, DISCARD_CONTAINER);
        return true;
    }
    // Remove what this unlock restored; whatever was in the folder before stays.
    if (job.folderIsNew)
        Discard(root, DISCARD_FOLDER);
    else
        job.created.DeleteAll();
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
