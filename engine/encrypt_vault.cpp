#include "progress_dialog.h"
#include "vault_job.h"
#include "win_file.h"

using namespace vault_job;

namespace {

// Encrypts `length` bytes of the transfer buffer in place and appends them to the container.
bool AppendEncrypted(VaultJob& job, WinFile& container, uint32_t length, uint64_t* count)
{
    uint32_t out = 0;
    if (!job.cipher->Encrypt(transferBuffer, length, transferBuffer, CONTENT_CHUNK, &out) ||
        !container.Write(transferBuffer, out))
        return false;
    *count += out;
    return true;
}

bool AppendEntryHead(VaultJob& job, WinFile& container, const FileEntry& entry,
                     const std::string& relative, uint64_t* count)
{
    EntryHeader header;
    header.attributes = entry.attributes;
    header.size = entry.IsDirectory() ? 0 : entry.size;
    header.nameLength = uint16_t(relative.size());
    EncodeEntryHeader(header, transferBuffer);
    if (!AppendEncrypted(job, container, ENTRY_HEADER_SIZE, count))
        return false;
    relative.copy(reinterpret_cast<char*>(transferBuffer), relative.size());
    return AppendEncrypted(job, container, uint32_t(relative.size()), count);
}

enum class Outcome { Done, Ended };

// Streams exactly the enumerated size of one file; a file that has shrunk or grown since the
// enumeration fails the job rather than writing contents that disagree with its header.
// Ended: the job was cancelled or has been reported as failed.
Outcome AppendContents(VaultJob& job, WinFile& container, const FileEntry& entry,
                       uint64_t* count)
{
    WinFile file;
    uint64_t size = 0;
    if (!file.OpenForReading(entry.path) || !file.Size(&size) || size != entry.size) {
        Fail();
        return Outcome::Ended;
    }
    for (uint64_t remaining = entry.size; remaining > 0;) {
        if (VaultJobProgress.IsCancelRequested())
            return Outcome::Ended;
        uint32_t want = remaining < CONTENT_CHUNK ? uint32_t(remaining) : CONTENT_CHUNK;
        uint32_t got = 0;
        if (!file.Read(transferBuffer, want, &got)) {
            Fail(GetLastError(), entry.path);
            return Outcome::Ended;
        }
        if (got != want) {
            Fail();
            return Outcome::Ended;
        }
        if (!AppendEncrypted(job, container, got, count)) {
            Fail(GetLastError(), job.record->folder.ContainerPath(job.root));
            return Outcome::Ended;
        }
        remaining -= got;
        Report(nullptr, *count);
    }
    return Outcome::Done;
}

}  // namespace

DWORD WINAPI EncryptVaultProc(void* parameter)
{
    VaultJob& job = *static_cast<VaultJob*>(parameter);
    StartProgress(VaultJobProgress, "Encrypt vault " + job.record->Name(), job.total);
    std::string containerPath = job.record->folder.ContainerPath(job.root);
    std::string folder = job.record->folder.FolderPath(job.root);
    WinFile container;
    if (!container.Create(containerPath, true)) {
        Fail();
        return 0;
    }
    uint64_t count = 0;
    for (const FileEntry& entry : *job.files) {
        if (VaultJobProgress.IsCancelRequested())
            return 0;
        std::string status = "Processing " + entry.path;
        Report(&status, count);
        std::string relative = entry.path.substr(folder.size() + 1);
        if (relative.size() > MAX_ENTRY_NAME_LENGTH) {
            Fail();
            return 0;
        }
        if (!AppendEntryHead(job, container, entry, relative, &count)) {
            Fail(GetLastError(), containerPath);
            return 0;
        }
        Report(nullptr, count);
        if (entry.IsDirectory())
            continue;
        if (AppendContents(job, container, entry, &count) != Outcome::Done)
            return 0;
    }
    // The folder is deleted once this job completes: the container must be on disk first.
    if (!FlushFileBuffers(container.Handle()) ||
        !SetFileAttributesA(containerPath.c_str(), FILE_ATTRIBUTE_HIDDEN)) {
        Fail(GetLastError(), containerPath);
        return 0;
    }
    container.Close();
    FinishProgress(VaultJobProgress);
    return 0;
}
