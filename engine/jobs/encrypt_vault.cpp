#include "../container/container_stream.h"
#include "../container/entry_head.h"
#include "entry_stream_choice.h"
#include "progress_dialog.h"
#include "vault_job.h"

using namespace vault_job;

namespace {

// The entry's relative name is in the job's encoding, which is the stream's (MakeEntryWriter).
bool AppendEntryHead(EntryWriter& writer, const FileEntry& entry, const std::string& relative)
{
    EntryHeader header;
    header.attributes = entry.attributes;
    header.size = entry.IsDirectory() ? 0 : entry.size;
    header.nameLength = uint16_t(relative.size());
    return WriteEntryHead(writer, header, relative);
}

enum class Outcome { Done, Ended };

// Errors in writing the container name the container, as the user knows it.
std::string ShownContainerPath(const VaultJob& job)
{
    return job.containerPath;
}

std::string ChangedText(const std::string& path)
{
    return path + " changed while the vault was being locked. Close the program that is writing "
                  "it and lock the vault again.";
}

// Streams exactly the enumerated size of one file; a file that has shrunk or grown since the
// enumeration fails the job rather than writing contents that disagree with its header. *stamp
// is the file's as it was read. Ended: the job was cancelled or has been reported as failed.
Outcome AppendContents(VaultJob& job, EntryWriter& writer, const FileEntry& entry,
                       FileStamp* stamp)
{
    WinFile file;
    if (!file.OpenForReading(entry.path, job.names)) {
        Fail(job, GetLastError(), entry.path);  // in use by another program, say
        return Outcome::Ended;
    }
    // Nobody can write to the file while it is open here, so its stamp holds for what is read.
    file.Stamp(stamp);
    for (uint64_t remaining = entry.size; remaining > 0;) {
        if (job.progress.IsCancelRequested())
            return Outcome::Ended;
        uint32_t room = 0;
        uint8_t* at = writer.Room(8, &room);
        if (!at) {
            Fail(job, GetLastError(), ShownContainerPath(job));
            return Outcome::Ended;
        }
        uint32_t want = remaining < room ? uint32_t(remaining) : room;
        uint32_t got = 0;
        if (!file.Read(at, want, &got)) {
            Fail(job, GetLastError(), entry.path);
            return Outcome::Ended;
        }
        if (got != want)
            return FailWith(job, ChangedText(entry.path)), Outcome::Ended;  // shorter than listed
        writer.Seal(got);
        remaining -= got;
        Report(job, nullptr, writer.Count());
    }
    uint8_t probe;
    uint32_t extra = 0;
    if (!file.Read(&probe, 1, &extra)) {
        Fail(job, GetLastError(), entry.path);
        return Outcome::Ended;
    }
    if (extra != 0)
        return FailWith(job, ChangedText(entry.path)), Outcome::Ended;  // longer than listed
    return Outcome::Done;
}

// The first file that has been written to, replaced or made unreadable since its contents were
// read, or "". A file that has gone meanwhile has nothing newer than the container.
std::string FirstChangedFile(const VaultJob& job)
{
    auto stamp = job.stamps.begin();
    for (const FileEntry& entry : *job.files) {
        const FileStamp& read = *stamp++;
        if (entry.IsDirectory())
            continue;
        FileStamp now;
        if (StampOfPath(entry.path, &now, job.names) ? !now.Matches(read)
                                          : GetLastError() != ERROR_FILE_NOT_FOUND)
            return entry.path;
    }
    return std::string();
}

}  // namespace

// Gives the complete container, already on the disk, its own name, never replacing a file that
// has that name.
bool PlaceContainer(VaultJob& job, WinFile& container, const std::string& containerPath)
{
    container.Close();
    if (!SetAttributes(job.partialPath, FILE_ATTRIBUTE_HIDDEN, job.names))
        return Fail(job, GetLastError(), ShownContainerPath(job)), false;
    if (!MovePath(job.partialPath, containerPath, MOVEFILE_WRITE_THROUGH, job.names))
        return Fail(job, GetLastError(), containerPath), false;
    job.placed = true;
    return true;
}

DWORD WINAPI EncryptVaultProc(void* parameter)
{
    VaultJob& job = *static_cast<VaultJob*>(parameter);
    StartProgress(job.progress, "Encrypt vault " + job.vaultName, job.total);
    std::string containerPath = job.containerPath;
    std::string folder = job.folderPath;
    WinFile container;
    if (!container.Create(job.partialPath, true, FILE_ATTRIBUTE_NORMAL, job.names))
        return Fail(job, GetLastError(), ShownContainerPath(job)), 0;
    std::unique_ptr<EntryWriter> chosen = MakeEntryWriter(job, container);
    if (!chosen)
        return Fail(job, GetLastError(), ShownContainerPath(job)), 0;
    EntryWriter& writer = *chosen;
    job.stamps.assign(job.files->Count(), FileStamp());
    auto stamp = job.stamps.begin();
    for (const FileEntry& entry : *job.files) {
        FileStamp& read = *stamp++;
        if (job.progress.IsCancelRequested())
            return 0;
        std::string status = "Processing " + entry.path;
        Report(job, &status, writer.Count());
        std::string relative = entry.path.substr(folder.size() + 1);
        if (relative.size() > MAX_ENTRY_NAME_LENGTH)
            return Fail(job, ERROR_FILENAME_EXCED_RANGE, entry.path), 0;
        if (!AppendEntryHead(writer, entry, relative))
            return Fail(job, GetLastError(), ShownContainerPath(job)), 0;
        Report(job, nullptr, writer.Count());
        if (!entry.IsDirectory() && AppendContents(job, writer, entry, &read) != Outcome::Done)
            return 0;
    }
    // The folder is deleted once this job completes: the container must be on disk first.
    if (!writer.Finish() || !container.Flush())
        return Fail(job, GetLastError(), ShownContainerPath(job)), 0;
    // And it must hold the newest contents of every file it is to replace.
    std::string changed = FirstChangedFile(job);
    if (!changed.empty())
        return FailWith(job, ChangedText(changed)), 0;
    if (!PlaceContainer(job, container, containerPath))
        return 0;
    FinishProgress(job.progress);
    return 0;
}
