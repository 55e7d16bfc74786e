#include "../container/container_stream.h"
#include "../container/entry_head.h"
#include "../files/directory_tree.h"
#include "entry_stream_choice.h"
#include "progress_dialog.h"
#include "restored_file_writer.h"
#include "vault_job.h"

using namespace vault_job;

namespace {

const uint32_t kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

enum class Step { Next, End, Stop };

std::string ContainerOf(const VaultJob& job) { return job.containerPath; }

// Ends the job on a container that cannot be read as one.
Step FailDamaged(VaultJob& job)
{
    FailWith(job, "The container " + ContainerOf(job) +
             " is damaged or incomplete. The vault has been left locked.");
    return Step::Stop;
}

// Ends the job on a strong container whose header does not open with the password.
void FailRefused(VaultJob& job)
{
    FailWith(job, "The container " + ContainerOf(job) +
             " does not open with this password, or it is damaged. The vault has been left "
             "locked.");
}

// Ends the job on a strong container of the vault's own that an earlier lock wrote: one put
// back in place of the latest (from a backup, or by someone who wants deleted files back).
void FailOtherLock(VaultJob& job)
{
    FailWith(job, "The container " + ContainerOf(job) + " opens with this password, but it is "
             "not the one the latest lock of vault \"" + job.vaultName + "\" wrote: it "
             "comes from an earlier lock, so it may lack changes made since and hold files "
             "deleted since. The vault has been left locked.\r\n\r\nIf you put it there "
             "yourself (from a backup, say) and want its files back, unlock it at a command "
             "prompt with:\r\norvella-cli unlock --accept-earlier \"" + job.vaultName +
             "\"");
}

// Ends the job on a container that could not be read: for the system's reason when reading
// failed, else as damaged.
Step FailRead(VaultJob& job, EntryReader::Result read)
{
    if (read != EntryReader::FAILED)
        return FailDamaged(job);
    Fail(job, GetLastError(), ContainerOf(job));
    return Step::Stop;
}

// Ends the job on an entry that cannot be restored under its own name.
Step FailName(VaultJob& job, const std::string& shown)
{
    FailWith(job, "The container " + ContainerOf(job) + " holds an entry that cannot be restored "
             "under its own name (\"" + shown + "\"). The vault has been left locked.");
    return Step::Stop;
}

// Creates the target; an existing read-only or hidden file of the same name (one this unlock
// made from an earlier entry) is made normal first so that it can be replaced. *existed: the
// file was there already, so the attributes given here were not applied.
bool CreateTarget(WinFile& file, const std::string& target, uint32_t attributes,
                  NameEncoding names, bool* existed)
{
    bool created = file.Create(target, false, attributes, names);
    if (!created && GetLastError() == ERROR_ACCESS_DENIED) {
        SetAttributes(target, FILE_ATTRIBUTE_NORMAL, names);
        created = file.Create(target, false, attributes, names);
    }
    *existed = created && GetLastError() == ERROR_ALREADY_EXISTS;
    return created;
}

Step RestoreFile(VaultJob& job, EntryReader& reader, const EntryHeader& header,
                 const std::string& target)
{
    if (!job.folderIsNew && !job.journal.Prepare(target, false))
        return Fail(job, GetLastError(), target), Step::Stop;
    uint32_t attributes = header.attributes & kSettableAttributes;
    WinFile file;
    bool existed = false;
    job.closer.WaitFor(target);  // an earlier entry of the same name
    if (!CreateTarget(file, target, attributes, job.names, &existed))
        return Fail(job, GetLastError(), target), Step::Stop;
    RestoredFileWriter writer(file, header.size);
    uint64_t remaining = header.size;
    do {
        if (job.progress.IsCancelRequested())
            return Step::Stop;
        uint32_t write = remaining < TRANSFER_BUFFER_SIZE ? uint32_t(remaining)
                                                          : uint32_t(TRANSFER_BUFFER_SIZE);
        const uint8_t* data = nullptr;
        EntryReader::Result read = reader.Take(uint32_t(PaddedSize(write)), &data);
        if (read != EntryReader::OK)
            return FailRead(job, read);
        if (!writer.Write(data, write))
            return Fail(job, GetLastError(), target), Step::Stop;
        remaining -= write;
        Report(job, nullptr, reader.Count());
    } while (remaining > 0);
    if (!writer.Finish())
        return Fail(job, GetLastError(), target), Step::Stop;
    // The container is deleted once the job completes: every restored file must be on the disk
    // by then (the launcher waits for the closer).
    job.closer.Hand(file, target);
    // The file ends with the attributes of the entry restored last.
    if (existed &&
        !SetAttributes(target, attributes ? attributes : FILE_ATTRIBUTE_NORMAL, job.names))
        return Fail(job, GetLastError(), target), Step::Stop;
    return Step::Next;
}

Step RestoreDirectory(VaultJob& job, const std::string& target)
{
    if (!job.folderIsNew && !job.journal.Prepare(target, true))
        return Fail(job, GetLastError(), target), Step::Stop;
    if (!CreateDirectoryTree(target, job.names))
        return Fail(job, GetLastError(), target), Step::Stop;
    return Step::Next;
}

// Restores the next entry of the container.
Step RestoreEntry(VaultJob& job, EntryReader& reader, const std::string& folder)
{
    EntryHead head;
    switch (ReadEntryHead(reader, job.names, &head)) {
    case EntryHeadResult::OK:
        break;
    case EntryHeadResult::END:
        return Step::End;
    case EntryHeadResult::READ_FAILED:
        return FailRead(job, EntryReader::FAILED);
    case EntryHeadResult::BAD_NAME:
        // Not text: shown as far as it is plain ASCII, so the message itself stays text.
        for (char& c : head.name)
            if (static_cast<unsigned char>(c) >= 0x80)
                c = '?';
        return FailName(job, ShownEntryName(head.name, job.names));
    case EntryHeadResult::UNSAFE_NAME:
        return FailName(job, ShownEntryName(head.name, job.names));
    default:
        return FailDamaged(job);
    }
    const EntryHeader& header = head.header;
    const std::string& relative = head.name;
    std::string target = folder + "\\" + relative;
    std::string status = "Processing " + relative;
    Report(job, &status, reader.Count());
    if (header.attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RestoreDirectory(job, target);
    return RestoreFile(job, reader, header, target);
}

}  // namespace

DWORD WINAPI DecryptVaultProc(void* parameter)
{
    VaultJob& job = *static_cast<VaultJob*>(parameter);
    StartProgress(job.progress, "Decrypt vault " + job.vaultName, job.total);
    std::string folder = job.folderPath;
    std::string containerPath = ContainerOf(job);
    // Nothing is restored unless the vault folder is a folder (not a file of its name).
    if (!CreateDirectoryTree(folder, job.names))
        return Fail(job, GetLastError(), folder), 0;
    WinFile container;
    if (!container.OpenForReading(containerPath, job.names))
        return Fail(job, GetLastError(), containerPath), 0;
    ReaderRefusal refused = ReaderRefusal::NONE;
    std::unique_ptr<EntryReader> chosen = MakeEntryReader(job, container, &refused);
    if (!chosen) {
        if (refused == ReaderRefusal::NONE)
            Fail(job, GetLastError(), containerPath);
        else if (refused == ReaderRefusal::OTHER_LOCK)
            FailOtherLock(job);
        else
            FailRefused(job);
        return 0;
    }
    EntryReader& reader = *chosen;
    for (;;) {
        if (job.progress.IsCancelRequested())
            return 0;
        Step step = RestoreEntry(job, reader, folder);
        if (step == Step::Stop)
            return 0;
        if (step == Step::End)
            break;
    }
    container.Close();
    FinishProgress(job.progress);
    return 0;
}
