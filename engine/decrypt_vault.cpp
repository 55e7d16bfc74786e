#include "container_stream.h"
#include "directory_tree.h"
#include "progress_dialog.h"
#include "vault_job.h"
#include "vault_name.h"

using namespace vault_job;

namespace {

const uint32_t kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

enum class Step { Next, End, Stop };

// Notes a path that the job makes, so a failed unlock removes only what it added. Inside a
// folder that the job made itself, everything is new and needs no look.
void NoteCreated(VaultJob& job, const std::string& path, uint32_t attributes)
{
    if (!job.folderIsNew && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        job.created.Append(FileEntry{attributes, 0, path});
}

// Creates the target with its final attributes; an existing read-only or hidden file of the
// same name is made normal first so that it can be replaced.
bool CreateTarget(WinFile& file, const std::string& target, uint32_t attributes)
{
    if (file.Create(target, false, attributes))
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    return file.Create(target, false, attributes);
}

Step RestoreFile(VaultJob& job, ContainerReader& reader, const EntryHeader& header,
                 const std::string& target)
{
    NoteCreated(job, target, 0);
    WinFile file;
    if (!CreateTarget(file, target, header.attributes & kSettableAttributes))
        return Fail(GetLastError(), target), Step::Stop;
    uint64_t remaining = header.size;
    do {
        if (VaultJobProgress.IsCancelRequested())
            return Step::Stop;
        uint32_t write = remaining < TRANSFER_BUFFER_SIZE ? uint32_t(remaining)
                                                          : uint32_t(TRANSFER_BUFFER_SIZE);
        const uint8_t* data = nullptr;
        if (reader.Take(uint32_t(PaddedSize(write)), &data) != ContainerReader::OK)
            return Fail(), Step::Stop;
        if (!file.Write(data, write))
            return Fail(GetLastError(), target), Step::Stop;
        remaining -= write;
        Report(nullptr, reader.Count());
    } while (remaining > 0);
    return Step::Next;
}

// Restores the next entry of the container.
Step RestoreEntry(VaultJob& job, ContainerReader& reader, const std::string& folder)
{
    const uint8_t* data = nullptr;
    ContainerReader::Result read = reader.Take(ENTRY_HEADER_SIZE, &data);
    if (read == ContainerReader::END)
        return Step::End;
    if (read != ContainerReader::OK)
        return Fail(), Step::Stop;
    EntryHeader header = DecodeEntryHeader(data);
    if (header.type != ENTRY_TYPE || header.nameLength > MAX_ENTRY_NAME_LENGTH ||
        reader.Take(uint32_t(PaddedSize(header.nameLength)), &data) != ContainerReader::OK)
        return Fail(), Step::Stop;
    std::string relative(reinterpret_cast<const char*>(data), header.nameLength);
    if (!IsSafeRelativeName(relative))
        return Fail(), Step::Stop;
    std::string target = folder + "\\" + relative;
    std::string status = "Processing " + relative;
    Report(&status, reader.Count());
    if (header.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        NoteCreated(job, target, FILE_ATTRIBUTE_DIRECTORY);
        CreateDirectoryTree(target);
        return Step::Next;
    }
    return RestoreFile(job, reader, header, target);
}

}  // namespace

DWORD WINAPI DecryptVaultProc(void* parameter)
{
    VaultJob& job = *static_cast<VaultJob*>(parameter);
    StartProgress(VaultJobProgress, "Decrypt vault " + job.record->Name(), job.total);
    std::string folder = job.record->folder.FolderPath(job.root);
    job.folderIsNew = GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
    CreateDirectoryTree(folder);
    WinFile container;
    if (!container.OpenForReading(job.record->folder.ContainerPath(job.root)))
        return Fail(), 0;
    ContainerReader reader(container, *job.cipher, transferBuffer, TRANSFER_BUFFER_SIZE);
    for (;;) {
        if (VaultJobProgress.IsCancelRequested())
            return 0;
        Step step = RestoreEntry(job, reader, folder);
        if (step == Step::Stop)
            return 0;
        if (step == Step::End)
            break;
    }
    container.Close();
    FinishProgress(VaultJobProgress);
    return 0;
}
