#pragma once
// The lock and unlock jobs: the worker procedures that write a vault folder into its container
// and restore it, and what their launcher hands them. Each job reports through its own progress
// state and streams everything through a transfer buffer of its own, so nothing of one job is
// shared with another. The buffer holds many 32 KiB content chunks, so a gigabyte takes about a
// thousand reads and writes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../base/progress_state.h"
#include "../base/secret_memory.h"
#include "../container/container_format.h"
#include "../container/strong_container.h"
#include "../crypto/block_cipher.h"
#include "../files/file_list.h"
#include "../files/file_stamp.h"
#include "../files/flushing_closer.h"
#include "restore_journal.h"

enum { VAULT_JOB_FAILED = 6001, TRANSFER_BUFFER_SIZE = 64 * CONTENT_CHUNK };

struct VaultJob {
    ProgressState progress;
    // TRANSFER_BUFFER_SIZE bytes, taken by the job's classic stream when it starts (AllocateBuffer).
    // It holds the vault's plaintext, so it is wiped when the job ends.
    WipedBlock transferBuffer;
    uint64_t total = 0;                 // lock: the size estimate; unlock: the container's size
    const FileList* files = nullptr;    // lock: the entries to write, in order
    // Lock: for each entry of files, in order, the stamp of the file as its contents were read
    // (unknown for a folder); the delete step removes a file only while it still has it.
    std::vector<FileStamp> stamps;
    BlockCipher* cipher = nullptr;      // set up already
    // A strong vault's container is written and read with the password instead of the cipher.
    bool strong = false;
    const char* password = nullptr;
    // A strong vault's lock: the stream id its container is written with, kept beside the
    // record before the job starts. Its unlock: with streamKnown, the one the record keeps; a
    // container written by another lock (an earlier one put back) is refused.
    uint8_t streamId[STRONG_STREAM_ID_SIZE] = {};
    bool streamKnown = false;
    // The encoding of every path and text of the job (the vault's name, its folder, its
    // container, the entries' paths, the progress texts and messages): ANSI for a classic vault,
    // whose container holds ANSI names, UTF-8 for a strong one, whose names may be any Windows
    // allows. files, progress, journal and closer are in it too.
    NameEncoding names = NameEncoding::ANSI;
    // The vault: its name (for titles and messages), its folder and its container, and what a
    // strong container binds it to. The job knows nothing else of the vault's record.
    std::string vaultName;
    std::string folderPath;
    std::string containerPath;
    ContainerBinding binding;
    // Lock: the container is written under this name and takes its own only when complete, so
    // a failed lock never leaves (or overwrites) a file under the container's name.
    std::string partialPath;
    bool placed = false;  // the complete container has taken its own name
    // Unlock: whether the vault folder was missing, so that the job makes it (then all of it is
    // new); and the journal, begun by the launcher, in which a job into a folder that was there
    // notes what it makes and replaces.
    bool folderIsNew = false;
    RestoreJournal journal;
    // Unlock: every restored file is handed here to be flushed and closed; the launcher waits
    // for it before the record may say unlocked.
    FlushingCloser closer;
};

// Writes root\valueName from job.files, through job.partialPath. Ends as failed (without a
// container) when an entry cannot be read, a file's length no longer matches its enumeration, a
// file has been written to since its contents were read (checked once the container is on the
// disk), a write fails, or a file of the container's name has appeared meanwhile.
DWORD WINAPI EncryptVaultProc(void* job);
// Restores root\name from root\valueName. A damaged or hostile container (a header that is not
// of type 1, a truncated entry, a name that would leave the vault folder or that Windows would
// change), an entry that cannot be made, or a vault folder that cannot be one fails the job.
DWORD WINAPI DecryptVaultProc(void* job);

// Shared by the two workers.
namespace vault_job {
// The job's transfer buffer, allocated on first use; null (with ERROR_NOT_ENOUGH_MEMORY as the
// last error) when there is no memory for it.
uint8_t* TransferBuffer(VaultJob& job);
void Report(VaultJob& job, const std::string* status, uint64_t done);
// Ends the job as failed; with a path, first tells the user why it could not be accessed. Paths
// and texts are in the job's encoding.
void Fail(VaultJob& job, DWORD error = 0, const std::string& path = std::string());
// Ends the job as failed, first telling the user `text`.
void FailWith(VaultJob& job, const std::string& text);
}  // namespace vault_job
