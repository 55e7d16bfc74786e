#include "directory_tree.h"
#include "progress_dialog.h"
#include "vault_job.h"
#include "win_file.h"
#include "vault_name.h"

using namespace vault_job;

namespace {

const uint32_t kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

enum class Step { Next, End, Stop };

// Reads `length` encrypted bytes into the transfer buffer and decrypts them; false when the
// container ends early or cannot be read.
bool ReadDecrypted(VaultJob& job, WinFile& container, uint32_t length, uint64_t* count)
{
    uint32_t got = 0;
    if (!container.Read(transferBuffer, length, &got) || got != length)
        return false;
    *count += length;
    job.cipher->Decrypt(transferBuffer, length, transferBuffer, CONTENT_CHUNK);
    return true;
}

// Notes a path that the job makes, so a failed unlock removes only what it added.
void NoteCreated(VaultJob& job, const std::string& path, uint32_t attributes)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        job.created.Append(FileEntry{attributes, 0, path});
}

Step RestoreFile(VaultJob& job, WinFile& container, const EntryHeader& header,
                 const std::string& target, uint64_t* count)
{
    NoteCreated(job, target, 0);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    WinFile file;
    if (!file.Create(target)) {
        Fail(GetLastError(), target);
        return Step::Stop;
    }
    uint64_t remaining = header.size;
    do {
        if (VaultJobProgress.IsCancelRequested())
            return Step::Stop;
        uint32_t write = remaining < CONTENT_CHUNK ? uint32_t(remaining) : CONTENT_CHUNK;
        uint32_t read = uint32_t(PaddedSize(write));
        if (!ReadDecrypted(job, container, read, count)) {
            Fail();
            return Step::Stop;
        }
        if (!file.Write(transferBuffer, write)) {
            Fail(GetLastError(), target);
            return Step::Stop;
        }
        remaining -= write;
        Report(nullptr, *count);
    } while (remaining > 0);
    file.Close();
    SetFileAttributesA(target.c_str(), header.attributes & kSettableAttributes);
    return Step::Next;
}

// Restores the next entry of the container.
Step RestoreEntry(VaultJob& job, WinFile& container, const std::string& folder, uint64_t* count)
{
    uint32_t got = 0;
    if (!container.Read(transferBuffer, ENTRY_HEADER_SIZE, &got))
        return Fail(), Step::Stop;
    if (got == 0)
        return Step::End;
    if (got != ENTRY_HEADER_SIZE)
        return Fail(), Step::Stop;
    *count += got;
    job.cipher->Decrypt(transferBuffer, got, transferBuffer, CONTENT_CHUNK);
    EntryHeader header = DecodeEntryHeader(transferBuffer);
    if (header.type != ENTRY_TYPE || header.nameLength > MAX_ENTRY_NAME_LENGTH ||
        !ReadDecrypted(job, container, uint32_t(PaddedSize(header.nameLength)), count))
        return Fail(), Step::Stop;
    std::string relative(reinterpret_cast<const char*>(transferBuffer), header.nameLength);
    if (!IsSafeRelativeName(relative))
        return Fail(), Step::Stop;
    std::string target = folder + "\\" + relative;
    std::string status = "Processing " + relative;
    Report(&status, *count);
    if (header.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        NoteCreated(job, target, FILE_ATTRIBUTE_DIRECTORY);
        CreateDirectoryTree(target);
        return Step::Next;
    }
    return RestoreFile(job, container, header, target, count);
}

}  // namespace

DWORD WINAPI DecryptVaultProc(void* parameter)
{
    VaultJob& job = *static_cast<VaultJob*>(parameter);
    StartProgress(VaultJobProgress, "Decrypt vault " + job.record->Name(), job.total);
    std::string folder = job.record->folder.FolderPath(job.root);
    NoteCreated(job, folder, FILE_ATTRIBUTE_DIRECTORY);
    CreateDirectoryTree(folder);
    WinFile container;
    if (!container.OpenForReading(job.record->folder.ContainerPath(job.root))) {
        Fail();
        return 0;
    }
    uint64_t count = 0;
    for (;;) {
        if (VaultJobProgress.IsCancelRequested())
            return 0;
        Step step = RestoreEntry(job, container, folder, &count);
        if (step == Step::Stop)
            return 0;
        if (step == Step::End)
            break;
    }
    container.Close();
    FinishProgress(VaultJobProgress);
    return 0;
}
