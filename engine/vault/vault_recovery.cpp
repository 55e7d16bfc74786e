#include "vault_recovery.h"

#include "../base/registry_key.h"
#include "../container/container_compare.h"
#include "../container/strong_container.h"
#include "../files/directory_tree.h"
#include "../files/file_list.h"
#include "../files/win_file.h"
#include "../jobs/restore_journal.h"
#include "../names/container_files.h"
#include "../names/vault_name.h"
#include "vault_claim.h"
#include "vault_protect.h"

namespace {

bool Exists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

// A working file is a file: a folder of its name is not the program's (it may be a vault's).
bool IsFile(const std::string& path)
{
    DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string TheVault(const VaultRecord& record) { return "The vault \"" + record.Name() + "\""; }

std::string Joined(const std::string& first, const std::string& second)
{
    return first.empty() ? second : second.empty() ? first : first + " " + second;
}

std::string NotSavedText(const VaultRecord& record)
{
    return TheVault(record) + " could not be put right after the program ended unexpectedly: its "
                              "record could not be saved in the registry (error " +
           std::to_string(LastStatus) + "). The program tries again at its next start.";
}

std::string LeftInFolderText(const std::string& folder)
{
    if (!IsDirectory(folder))
        return "";
    return "Files that are not in its container, or differ from it, are still in " + folder +
           ", unencrypted.";
}

// Removes from the folder what the container holds just as it is there (each file with the very
// same bytes, each folder once empty), then the folder itself once empty. True when something
// was removed.
bool RemoveWhatTheContainerHolds(const std::string& folder,
                                 const std::vector<ComparedEntry>& entries)
{
    FileList same;
    same.Enumerate(folder, "");
    for (const ComparedEntry& entry : entries) {
        std::string path = folder + "\\" + entry.relative;
        DWORD attributes = AttributesOf(path);
        if (entry.same && attributes != INVALID_FILE_ATTRIBUTES)
            same.Append(FileEntry{attributes, 0, path});
    }
    same.DeleteAll();
    for (const FileEntry& entry : same)
        if (!Exists(entry.path))
            return true;
    return false;
}

// Ends the vault's partial container (EndPartialContainer). Tells of every one kept for the vault,
// now or at an earlier start, until the user has deleted or moved it, and of one that could not
// be moved there (the next start tries again).
std::string PartialContainerText(const VaultRecord& record, const std::string& root)
{
    std::string partial = record.folder.PartialContainerPath(root);
    std::string kept, text;
    if (!EndPartialContainer(record, root, &kept) && IsFile(partial) &&
        !IsDirectory(record.folder.FolderPath(root)))
        text = TheVault(record) + " has an unfinished container, " + partial +
               ", and no folder. It has been left as it is: it may hold the only copy of some of "
               "the vault's files.";
    std::string container = record.folder.ContainerPath(root);
    ContainerFile kind;
    for (const std::string& path : ContainerFilesOf(container))
        if (KindOfContainerFile(container, path, &kind) && kind == ContainerFile::Kept &&
            IsFile(path))
            text = Joined(text, KeptContainerText(record.Name(), path));
    return text;
}

// A new password cut short (WriteRewrappedContainer): its copy goes when it is certainly not
// needed: beside a vault that is unlocked with its folder, since the unlock settled the change
// before it restored anything, or when the copy was cut short while it was written, since the
// record never took its password then. A complete copy beside a locked vault stays: only the
// password tells which of the two the record accepts, and the next unlock settles that.
void EndNewPassword(const VaultRecord& record, const std::string& folder,
                    const std::string& container)
{
    std::string copy = RewrappedContainerPath(container);
    if (IsFile(copy) && ((!record.IsLocked() && IsDirectory(folder)) ||
                         IsCutShortRewrappedCopy(container)))
        RemoveAnyFile(copy);
}

// An unlock cut short, with its journal. Done when the record says unlocked (or the container has
// gone, so the folder is all there is): then only its leftovers go. Otherwise it is undone.
std::string EndUnlock(VaultRecord& record, const std::string& folder, const std::string& container)
{
    if (!record.IsLocked() || !Exists(container)) {
        if (record.IsLocked() && !record.CommitState(VAULT_UNLOCKED))
            return NotSavedText(record);
        RestoreJournal::Resume(folder, container, true, record.store);
        return "";
    }
    UndoLeft left;
    if (RestoreJournal::Resume(folder, container, false, record.store, &left))
        return "";
    // The notes of recovery are ANSI: a name the code page lacks shows as near as it can.
    std::string undone;
    NarrowName(WidenName(left.Text(), left.encoding).c_str(), NameEncoding::ANSI, &undone);
    return TheVault(record) + " was being unlocked when the program ended, and that could not be "
                              "undone completely (a file may be in use). The vault stays locked; "
                              "the program tries again at its next start.\r\n" + undone;
}

// EndLock for a vault whose container cannot be read without its password, so nothing in it can
// be compared with the folder. Still unlocked: the lock deleted nothing before it saved the record
// as locked, so the folder is whole and the container only a copy of it. Locked: the folder was
// being deleted, and either may hold the only copy of a file; both stay, and the user is told.
std::string EndStrongLock(VaultRecord& record, const std::string& folder,
                          const std::string& container)
{
    if (!record.IsLocked()) {
        RemoveAnyFile(container);
        return "";
    }
    return TheVault(record) + " is locked, but its folder " + folder +
           " was still there beside its container when the program ended. Both have been kept, "
           "since the container of a vault encrypted with its password cannot be compared with "
           "the folder. Move the files you still need out of the folder, delete it, then unlock "
           "the vault.";
}

// The container and the folder are both there, and no unlock was under way: a lock was cut
// short. Before the record said locked, the folder was whole; after, it was being deleted.
std::string EndLock(VaultRecord& record, const std::string& folder, const std::string& container)
{
    if (record.IsStrong())
        return EndStrongLock(record, folder, container);
    std::vector<ComparedEntry> entries;
    if (!CompareContainerWithFolder(container, folder, &entries))
        return "";  // not a container this program can read: both stay for the user to see
    if (!record.IsLocked()) {
        bool folderHasEveryFile = true;
        for (const ComparedEntry& entry : entries)
            folderHasEveryFile = folderHasEveryFile && (entry.isDirectory || entry.inFolder);
        if (folderHasEveryFile) {
            RemoveAnyFile(container);  // a copy of the folder as it was
            return "";
        }
        // Only the container still has some files: the lock had deleted them (as programs before
        // this one did, before saving the record). It is finished.
        if (!record.CommitState(VAULT_LOCKED))
            return NotSavedText(record);
        RemoveWhatTheContainerHolds(folder, entries);
        return Joined(TheVault(record) + " was being locked when the program ended, and only its "
                                         "container still holds some of its files. It is locked "
                                         "now: unlock it to get all of them back.",
                      LeftInFolderText(folder));
    }
    if (!RemoveWhatTheContainerHolds(folder, entries) || !IsDirectory(folder))
        return "";
    return Joined(TheVault(record) + " is locked, but not everything had been deleted from its "
                                     "folder when the program ended.",
                  LeftInFolderText(folder));
}

}  // namespace

bool EndPartialContainer(const VaultRecord& record, const std::string& root, std::string* kept)
{
    kept->clear();
    std::string partial = record.folder.PartialContainerPath(root);
    if (IsDirectory(partial)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    if (!IsFile(partial))
        return true;
    if (IsDirectory(record.folder.FolderPath(root)))
        return RemoveAnyFile(partial);
    std::string container = record.folder.ContainerPath(root);
    std::string place = ContainerFilePath(container, ContainerFile::Kept);
    for (int number = 2; Exists(place); ++number)
        place = ContainerFilePath(container, ContainerFile::Kept, number);
    if (!MovePath(partial, place, MOVEFILE_WRITE_THROUGH))
        return false;
    *kept = place;
    return true;
}

std::string KeptContainerText(const std::string& name, const std::string& path)
{
    return "The vault \"" + name + "\" has an unfinished container, " + path +
           ", from a lock that was cut short, and its folder was gone. The container is kept "
           "there and the program never deletes it: it may hold the only copy of some of the "
           "vault's files. Delete it yourself once you no longer need it.";
}

std::string RecoverVault(VaultRecord& record, const std::string& root)
{
    // Only a record that names its own files: a damaged one could name the root itself. A name
    // like a container's file was accepted before the name rule refused such names, and still
    // names a folder of the vault's own.
    VaultNameProblem problem = CheckVaultName(record.Name());
    if ((problem != VaultNameProblem::None && problem != VaultNameProblem::ContainerFileName) ||
        record.ValueName() != VaultRecord::ValueNameOf(record.id))
        return "";
    std::string folder = record.folder.FolderPath(root);
    std::string container = record.folder.ContainerPath(root);
    // A change into a strong vault cut short: the record decides (SettleConvertedContainer); a
    // copy that cannot be moved yet stays for the next start or unlock.
    SettleConvertedContainer(record, root);
    std::string note = PartialContainerText(record, root);
    if (record.IsStrong())
        EndNewPassword(record, folder, container);
    if (IsFile(RestoreJournal::PathFor(container)))
        return Joined(note, EndUnlock(record, folder, container));
    bool hasContainer = Exists(container);
    bool hasFolder = IsDirectory(folder);
    if (hasContainer && hasFolder)
        return Joined(note, EndLock(record, folder, container));
    // One of the two: the record follows the disk.
    if (hasContainer != hasFolder && record.IsLocked() != hasContainer &&
        !record.CommitState(hasContainer ? VAULT_LOCKED : VAULT_UNLOCKED))
        return Joined(note, NotSavedText(record));
    return note;
}

std::vector<std::string> RecoverVaults(const VaultStore& store, const std::string& root)
{
    std::vector<uint32_t> ids;
    VaultRecord record;
    for (bool found = store.First(record); found; found = store.Next(record))
        ids.push_back(record.id);
    std::vector<std::string> notes;
    for (uint32_t id : ids) {
        VaultClaim claim;
        // A vault held elsewhere is at work there; its record is read again once claimed.
        if (!claim.ClaimVault(root, id) || !store.Load(id, record))
            continue;
        std::string note = RecoverVault(record, root);
        if (!note.empty())
            notes.push_back(note);
    }
    return notes;
}
