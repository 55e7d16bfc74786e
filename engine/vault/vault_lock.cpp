// Locking and unlocking a vault's contents: the launchers of the two vault jobs.

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "../base/registry_key.h"
#include "../container/container_format.h"
#include "../container/strong_container.h"
#include "../files/file_error_text.h"
#include "../files/win_file.h"
#include "../jobs/job_front_end.h"
#include "../jobs/vault_job.h"
#include "../names/vault_name.h"
#include "vault_protect.h"
#include "vault_recovery.h"

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

// Why an entry of the folder could not be restored as it is, or empty when it could; in the
// list's encoding.
std::string WhyNotRestorable(const FileEntry& entry, const std::string& relative,
                             NameEncoding names)
{
    if (!IsSafeRelativeName(relative, names))
        return entry.path + " has a name that Windows reserves or changes (a device name such as "
                            "NUL or COM1, or a name that ends in a dot or a space).";
    // Paths deeper than MAX_PATH are fine (LongPath); the container's name field is the limit.
    if (relative.size() > MAX_ENTRY_NAME_LENGTH)
        return "The path " + entry.path + " is too long: a vault can keep paths of at most " +
               std::to_string(int(MAX_ENTRY_NAME_LENGTH)) + " characters below its folder.";
    return std::string();
}

// Why the enumerated folder cannot be locked without leaving something out, or empty when it
// can: a folder that could not be searched, or an entry that could not come back as it is. In
// the list's encoding.
std::string WhyNotLockable(const FileList& files, const std::string& folder)
{
    if (!files.problemPath.empty()) {
        std::string why = FileErrorText(files.problemError, files.problemPath);
        // A classic container keeps ANSI names only; one encrypted with its password keeps any.
        if (files.problemError == ERROR_NO_UNICODE_TRANSLATION &&
            files.encoding == NameEncoding::ANSI)
            why += " A vault whose contents are encrypted with its password can keep such names.";
        return why;
    }
    for (const FileEntry& entry : files) {
        std::string why =
            WhyNotRestorable(entry, entry.path.substr(folder.size() + 1), files.encoding);
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

std::string NotUnlockedText(const std::string& name, const std::string& why)
{
    return "The vault \"" + name + "\" has not been unlocked:\r\n" + why +
           "\r\nThe vault has been left locked.";
}

// A lock or unlock whose record may or may not be on the disk: `kept` says what stays for the next
// start to settle.
std::string RecordUnsureText(const std::string& name, const std::string& job,
                             const std::string& kept)
{
    return "The vault \"" + name + "\" may not have been " + job + "ed:\r\n" +
           RecordNotSavedText() + "\r\n" + kept + "; the program finishes or undoes the " + job +
           " at its next start, as the record says.";
}

// The container's size. False when it cannot be opened: silently when it is missing (there is
// nothing to unlock), else telling the user why (another program holds it, say).
bool ContainerSize(const std::string& container, uint64_t* size)
{
    WinFile file;
    if (file.OpenForReading(container) && file.Size(size))
        return true;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        ShowError(FileErrorText(error, container));
    return false;
}

// What the user is told on Cancel while a locked vault's folder is being deleted.
std::string LockedAlreadyText(const std::string& name)
{
    return "The vault \"" + name + "\" is locked already: all of its files are in its container. "
           "They are being deleted from its folder now, and that goes on to the end, so that no "
           "file stays there unencrypted.";
}

std::string PathLines(const std::vector<std::string>& paths)
{
    const size_t kShown = 10;
    std::string lines;
    for (size_t i = 0; i < paths.size() && i < kShown; ++i)
        lines += paths[i] + "\r\n";
    if (paths.size() > kShown)
        lines += "and " + std::to_string(paths.size() - kShown) + " more\r\n";
    return lines;
}

// What stayed in the folder of a vault that has just been locked, and why, or "" when it is gone.
std::string WhatStayedText(const std::string& name, const FileList& deleted)
{
    std::string head = "The vault \"" + name + "\" has been locked, but ";
    std::string text;
    if (!deleted.changedPaths.empty())
        text = head + "these files were changed after they had gone into its container. They "
               "have been left in its folder with their new contents, unencrypted:\r\n" +
               PathLines(deleted.changedPaths) +
               "Move them out of the folder before you unlock the vault: unlocking it restores "
               "their earlier contents.";
    if (deleted.failedPath.empty() ||
        (deleted.failedError == ERROR_DIR_NOT_EMPTY && !text.empty()))
        return text;
    if (!text.empty())
        text += "\r\n\r\n";
    if (deleted.failedError == ERROR_DIR_NOT_EMPTY)
        return text + head + "files were saved into its folder while it was being locked. They "
                             "are still in " + deleted.failedPath + ", unencrypted.";
    return text + head + "not everything could be deleted from its folder:\r\n" +
           FileErrorText(deleted.failedError, deleted.failedPath) +
           "\r\nWhat is left there is not encrypted. Close the program that uses it and delete it.";
}

// The last step of a lock: deletes exactly what went into the container, each file only while
// it is as it was read. Anything saved into the folder while the lock ran stays where it is, and
// the user is told of everything that stayed.
void DeleteWhatWasLocked(const std::string& folder, const FileList& files,
                         const std::vector<FileStamp>& stamps, const std::string& name)
{
    FileList written(files.encoding);
    written.Enumerate(folder, "");
    auto stamp = stamps.begin();
    for (const FileEntry& entry : files) {
        FileEntry read = entry;
        read.stamp = *stamp++;
        written.Append(read);
    }
    written.DeleteAll(LockedAlreadyText(name));
    std::string stayed = WhatStayedText(name, written);
    if (!stayed.empty())
        ShowError(stayed, written.encoding);
}

// What a job needs to know of the vault it works on, in the encoding of the vault's names.
void DescribeVault(const VaultRecord& record, const std::string& root, VaultJob* job)
{
    NameEncoding names = NamesOf(record);
    job->names = names;
    job->progress.encoding = names;
    job->closer.encoding = names;
    job->vaultName = InEncoding(record.Name(), names);
    job->folderPath = InEncoding(record.folder.FolderPath(root), names);
    job->containerPath = InEncoding(record.folder.ContainerPath(root), names);
    job->partialPath = InEncoding(record.folder.PartialContainerPath(root), names);
    job->binding = record.Binding();
}

// A strong vault's lock writes its container with a new stream id (NoteNewStream). The user is
// told when it cannot be kept, and nothing is locked then.
bool NoteLockStream(const VaultRecord& record, uint8_t streamId[STRONG_STREAM_ID_SIZE])
{
    std::string why;
    if (NoteNewStream(record.store ? &record.store->Seals() : nullptr, record.ValueName(),
                      streamId, &why))
        return true;
    ShowError(NotLockedText(record.Name(), why));
    return false;
}

void SetKeyFromPassword(BlockCipher& cipher, const char* password)
{
    cipher.SetKey(password, uint32_t(std::strlen(password)));
}

}  // namespace

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

bool VaultFolder::LockContents(const std::string& root, const char* password,
                               BlockCipher& cipher) const
{
    std::string folder = FolderPath(root);
    std::string container = ContainerPath(root);
    // What an earlier unlock or lock of this vault could not clean up goes first: the vault is
    // unlocked, so an unlock's journal is a finished one's (its container is a leftover), and a
    // partial container is stale, or kept when the folder has gone (EndPartialContainer).
    if (!RestoreJournal::Resume(folder, container, true, record_->store)) {
        ShowError(NotLockedText(record_->Name(), FileErrorText(GetLastError(),
                                                               RestoreJournal::PathFor(container))));
        return false;
    }
    std::string kept;
    if (!EndPartialContainer(*record_, root, &kept)) {
        ShowError(NotLockedText(record_->Name(),
                                FileErrorText(GetLastError(), PartialContainerPath(root))));
        return false;
    }
    if (!kept.empty())
        ShowError(KeptContainerText(record_->Name(), kept));
    // Any other container beside an unlocked vault may hold files the folder no longer has.
    if (AttributesOf(container) != INVALID_FILE_ATTRIBUTES) {
        ShowError(NotLockedText(record_->Name(),
                                container + " already exists and may hold files that are not in "
                                            "the vault's folder; it has been left as it is."));
        return false;
    }
    // From here on the folder, its files and what the user is told of them are in the encoding
    // of the vault's names.
    NameEncoding names = NamesOf(*record_);
    std::string shownName = InEncoding(record_->Name(), names);
    std::string namedFolder = InEncoding(folder, names);
    FileList files(names);
    files.Enumerate(namedFolder, "*");
    std::string why = WhyNotLockable(files, namedFolder);
    if (!why.empty()) {
        ShowError(NotLockedText(shownName, why), names);
        return false;
    }
    uint64_t estimate = ContainerSizeEstimate(shownName, files, namedFolder.size() + 1);
    if (record_->IsStrong())
        estimate = StrongContainerSize(estimate);
    if (!HasRoomFor(root, estimate))
        return false;
    SetKeyFromPassword(cipher, password);

    VaultJob job;
    job.total = estimate;
    job.files = &files;
    job.cipher = &cipher;
    job.strong = record_->IsStrong();
    job.password = password;
    DescribeVault(*record_, root, &job);
    if (record_->IsStrong() && !NoteLockStream(*record_, job.streamId))
        return false;
    if (!RunJob(job.progress, EncryptVaultProc, &job)) {
        RemoveAnyFile(PartialContainerPath(root));
        if (job.placed)
            RemoveAnyFile(container);  // completed, but the user cancelled at the last moment
        return false;
    }
    // The container is on the disk; the folder goes only once the record, on the disk too, says
    // that the files are in the container.
    bool unsure = false;
    if (!record_->CommitState(VAULT_LOCKED, &unsure)) {
        if (!unsure)
            RemoveAnyFile(container);
        ShowError(unsure ? RecordUnsureText(record_->Name(), "lock",
                                            "Its folder has been left as it is, and its container "
                                            "kept beside it")
                         : NotLockedText(record_->Name(), RecordNotSavedText()));
        return false;
    }
    DeleteWhatWasLocked(namedFolder, files, job.stamps, shownName);
    return true;
}

bool VaultFolder::UnlockContents(const std::string& root, const char* password,
                                 BlockCipher& cipher) const
{
    std::string folder = FolderPath(root);
    std::string container = ContainerPath(root);
    // A new password or a change into a strong vault that was cut short is finished or dropped
    // before the container is read.
    if (!SettleConvertedContainer(*record_, root) ||
        (record_->IsStrong() &&
         !SettleRewrappedContainer(container, record_->Binding(), password))) {
        ShowError(NotUnlockedText(record_->Name(), FileErrorText(GetLastError(), container)));
        return false;
    }
    uint64_t size = 0;
    if (!ContainerSize(container, &size))
        return false;
    SetKeyFromPassword(cipher, password);

    // The journal of an earlier unlock that could not be undone completely is undone first.
    UndoLeft earlier;
    if (!RestoreJournal::Resume(folder, container, false, record_->store, &earlier)) {
        NameEncoding names = earlier.encoding;
        ShowError(NotUnlockedText(InEncoding(record_->Name(), names),
                                  InEncoding("An earlier unlock of it could not be undone "
                                             "completely yet:\r\n", names) + earlier.Text()),
                  names);
        return false;
    }
    VaultJob job;
    job.total = size;
    job.cipher = &cipher;
    job.strong = record_->IsStrong();
    job.password = password;
    DescribeVault(*record_, root, &job);
    job.folderIsNew = AttributesOf(folder) == INVALID_FILE_ATTRIBUTES;
    job.streamKnown = record_->IsStrong() && record_->store &&
                      record_->store->Seals().ReadStream(record_->ValueName(), job.streamId);
    if (!job.journal.Begin(job.folderPath, job.containerPath, job.folderIsNew, job.names)) {
        ShowError(NotUnlockedText(record_->Name(), FileErrorText(GetLastError(),
                                                                 RestoreJournal::PathFor(container))));
        job.journal.Rollback();
        return false;
    }
    bool restored = RunJob(job.progress, DecryptVaultProc, &job);
    std::string unflushed;
    if (!job.closer.Finish(&unflushed) && restored) {
        ShowError(FileErrorText(GetLastError(), unflushed), job.names);
        restored = false;
    }
    // The folder is complete and on the disk; the container goes only once the record, on the
    // disk too, says so. Until the disk surely holds one state or the other, the journal, the
    // folder and the container all stay, for the next start to finish or undo the unlock.
    bool unsure = false;
    if (restored && !record_->CommitState(VAULT_UNLOCKED, &unsure)) {
        if (unsure) {
            ShowError(RecordUnsureText(record_->Name(), "unlock",
                                       "Its files have been restored, and its container kept"));
            return false;
        }
        ShowError(NotUnlockedText(record_->Name(), RecordNotSavedText()));
        restored = false;
    }
    if (!restored) {
        // Removes what this unlock restored; whatever was in the folder before stays as it was.
        // What cannot go yet (a file in use) stays with the journal, and the user is told.
        UndoLeft left;
        if (!job.journal.Rollback(&left))
            ShowError(InEncoding("The vault \"" + record_->Name() + "\" has been left locked, but "
                                 "its unlock could not be undone completely:\r\n", left.encoding) +
                          left.Text() +
                          "\r\nClose the program that uses it; the undo is finished when the "
                          "vault is next unlocked or the program next starts.",
                      left.encoding);
        return false;
    }
    job.journal.Commit();
    return true;
}

bool VaultFolder::Discard(const std::string& root, int mode) const
{
    // The folder of a vault encrypted with its password may hold names the code page lacks.
    NameEncoding names = NamesOf(*record_);
    FileList list(names);
    if (mode & DISCARD_FOLDER) {
        list.Enumerate(InEncoding(FolderPath(root), names), "");
        list.Enumerate(InEncoding(FolderPath(root), names), "*.*");
    }
    if (mode & DISCARD_CONTAINER)
        list.Enumerate(InEncoding(ContainerPath(root), names), "");
    // Stopped halfway, a removal would leave part of the vault behind with no record of it.
    list.DeleteAll(InEncoding("The vault \"" + record_->Name() + "\" is being removed, and that "
                              "goes on to the end, so that nothing of it is left behind.",
                              names));
    return true;
}

bool VaultFolder::OpenInShell(const std::string& root) const
{
    ShellExecuteA(nullptr, "open", record_->Name().c_str(), nullptr, root.c_str(), SW_SHOWNORMAL);
    return true;
}
