#pragma once
// The disk work of one vault: its folder root\name and its container root\valueName.
// Holds nothing but the reference to its record.

#include <cstdint>
#include <string>

class BlockCipher;
class VaultRecord;
class VaultNameCheck;

enum { DISCARD_FOLDER = 1, DISCARD_CONTAINER = 2 };

// Whether the disk of the vaults root has `bytes` free; else the user is told, and false.
bool HasRoomFor(const std::string& root, uint64_t bytes);

class VaultFolder {
public:
    explicit VaultFolder(VaultRecord& record) : record_(&record) {}

    std::string FolderPath(const std::string& root) const;
    std::string ContainerPath(const std::string& root) const;
    // Where a lock writes the container until it is complete and on the disk.
    std::string PartialContainerPath(const std::string& root) const;

    // Moves root\name to root\newName; true on success.
    bool MoveFolder(const std::string& root, const std::string& newName) const;
    // Creates root\name and missing parents; true when it exists afterwards.
    bool EnsureFolder(const std::string& root) const;

    // Writes the folder into the container behind the progress dialog, commits the record as
    // locked (VaultRecord::CommitState), then deletes what was written. False (folder untouched,
    // no container left) when there is not enough space, the job fails, the user cancels or the
    // record cannot be saved; when the disk may hold the record as locked or not, the container
    // stays beside the folder for the next start to settle.
    bool LockContents(const std::string& root, const char* password, BlockCipher& cipher) const;
    // Restores the folder from the container behind the progress dialog, under a journal
    // (RestoreJournal), commits the record as unlocked, then deletes the container. False
    // (container untouched, nothing restored left behind) otherwise, except where the user is
    // told: a restored file that cannot be removed yet, or a record that the disk may hold as
    // unlocked or not, stays with the journal for the next unlock or start to settle.
    bool UnlockContents(const std::string& root, const char* password, BlockCipher& cipher) const;
    // Deletes the folder with everything in it and/or the container, in one delete job.
    bool Discard(const std::string& root, int mode) const;
    // Deletes, in one delete job, the working files beside the container that go with the vault
    // (GoesWithItsVault: all but a kept partial container), whatever state a command cut short
    // left them in. A name that is some vault's of `store` is that vault's folder and stays.
    void DiscardWorkingFiles(const std::string& root, const VaultNameCheck& store) const;
    // Opens the folder in the shell's file browser.
    bool OpenInShell(const std::string& root) const;

private:
    friend class VaultRecord;
    VaultRecord* record_;
};
