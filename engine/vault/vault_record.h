#pragma once
// One vault: its 300-byte persisted record, followed in memory by the companion that does its
// disk work and by the store's enumeration index. Operations change memory only; the caller saves
// the record with VaultStore::Save after a true result.
//
// A record never holds an absolute path: the vault's folder is root\name and its container is
// root\valueName, with root the vaults root passed to each disk operation.

#include <cstddef>
#include <cstdint>
#include <string>

#include "../base/name_encoding.h"
#include "vault_folder.h"

class RecordKeeper;
struct ContainerBinding;

enum : uint32_t {
    VAULT_UNLOCKED = 1,
    VAULT_LOCKED = 2,
    // Chosen at creation, or later for a classic vault (Protect), never taken back: the contents
    // are encrypted with a key derived from the password (StrongContainerWriter) and the digest
    // bytes hold a slow verifier (MakePasswordVerifier) instead of the password's MD5.
    VAULT_STRONG = 0x100,
};

enum { VAULT_RECORD_SIZE = 300, VALUE_NAME_SIZE = 13, VAULT_NAME_SIZE = 260 };

class VaultRecord {
public:
    VaultRecord();
    VaultRecord(const VaultRecord& other);
    VaultRecord& operator=(const VaultRecord& other);

    // Makes a new unlocked vault: creates root\name, takes an id that neither a record in store
    // nor a name in root already uses (ContainerFilesOf), and sets the password. False (record
    // untouched, nothing created) for a name IsValidVaultName or store.IsNameFree refuses or a
    // folder that cannot be created. Callers hold VaultClaim::ClaimNames from the name check
    // until the record is saved.
    // `strong`: a vault of the VAULT_STRONG kind.
    bool Create(const RecordKeeper& store, const std::string& root, const std::string& name,
                const char* password, bool strong = false);

    // Takes a new name. An unlocked vault's folder is moved first; if the name is refused (by
    // IsValidVaultName, or by store.IsNameFree for any vault but this one) or the move fails,
    // nothing changes and the result is false, so name and folder always agree.
    bool Rename(const RecordKeeper& store, const std::string& root, const std::string& newName);

    // Lock and Unlock take the password already checked against the digest. Each runs its job
    // behind the progress dialog; true on success or when the vault is already in that state.
    // On failure the vault keeps its previous state, on disk and in flags. Before either deletes
    // anything (the folder after a lock, the container after an unlock) it saves the record in
    // the state it reached into `store`, flushed, so that wherever the process ends the record
    // and the disk agree (RecoverVaults puts them right at the next start).
    bool Lock(const std::string& root, const char* password);
    bool Unlock(const std::string& root, const char* password);
    // Takes `state` (VAULT_LOCKED or VAULT_UNLOCKED) in place of either bit and saves the record
    // into `store`, when it has one (SaveOrRestore). False when it is not surely on the disk:
    // then, with *unsure set, the registry may hold either state (the flags follow the one it
    // holds now), and whatever either state needs must be kept for the next start to settle;
    // else the registry holds the state as it was, and so do the flags.
    bool CommitState(uint32_t state, bool* unsure = nullptr);
    // Deletes the vault's folder, its container and the working files beside it that go with
    // the vault (VaultFolder::DiscardWorkingFiles), but no folder of a vault of `store`. Always
    // true.
    bool DeleteFiles(const RecordKeeper& store, const std::string& root);
    // Opens the vault's folder in the shell's file browser.
    bool OpenFolder(const std::string& root);

    // Sets the digest from the password. False only when the platform's cryptography fails (a
    // strong vault's verifier); the digest is then as it was.
    bool SetPassword(const char* password);
    // Strong vaults take a slow derivation here (about a second or two; the wait cursor shows).
    bool CheckPassword(const char* password) const;
    // Takes a new password, given the one already checked. A locked strong vault's container
    // gets the content key wrapped under the new password first (its header is rewritten; the
    // user is told when that fails, and then nothing has changed, unless the disk may hold either
    // password: then the container stays under both, for the next unlock to settle).
    bool ChangePassword(const std::string& root, const char* password, const char* newPassword);
    // Makes a classic vault strong (vault_protect.h), given its password already checked, in the
    // form the classic vault takes, and the UTF-8 password that is to protect it (one that
    // StrongPasswordProblem accepts: the same password, or a new one). An unlocked vault's record
    // alone changes, and its next lock writes a strong container; a locked vault's container is
    // rewritten as a stream first. The record is saved into `store`, flushed. True when done, or
    // at once for a vault that is strong already. Otherwise the user is told why, and nothing
    // has changed, unless the disk may hold either record: then both containers stay for the
    // next start or unlock to settle (SettleConvertedContainer). There is no way back.
    bool Protect(const std::string& root, const char* password, const char* strongPassword);
    bool IsLocked() const { return (flags & VAULT_LOCKED) != 0; }
    bool IsStrong() const { return (flags & VAULT_STRONG) != 0; }

    // The fields as strings, bounded by their widths (a foreign record may lack a terminator).
    std::string Name() const;
    std::string ValueName() const;

    // What a strong container of this vault binds it to: its id and container name.
    ContainerBinding Binding() const;

    // The "%8.8x.vlt" registry value and container file name of an id.
    static std::string ValueNameOf(uint32_t id);

    // Persisted layout, byte for byte.
    uint32_t flags;
    uint32_t id;                      // creation time in seconds since 1970, or the next free one
    uint8_t passwordDigest[16];       // raw MD5 of the password; strong: its verifier
    char valueName[VALUE_NAME_SIZE];  // "%8.8x.vlt" of id
    char name[VAULT_NAME_SIZE];       // folder name under the root, zero-filled
    uint8_t padding[3];

    // Never persisted.
    VaultFolder folder;
    uint32_t enumIndex;
    // The store the record was read from (or created against), which outlives it; null for a
    // record that belongs to none.
    const RecordKeeper* store;

private:
    typedef bool (VaultFolder::*ContentsJob)(const std::string&, const char*, BlockCipher&) const;
    // Runs the lock or unlock job; the flags end with the bit of the state reached, or of the
    // state the registry holds when the job could not tell (CommitState).
    bool MoveToState(uint32_t target, ContentsJob job, const std::string& root,
                     const char* password);
    // Saves the record into `store`, flushed. A failed flush leaves the record in the registry
    // and maybe on the disk: `before` is then written back and flushed, so that the disk surely
    // holds the record as it was. True when saved; false otherwise, with LastStatus from the
    // first failure and the record as the registry holds it now (this one or `before`); *unsure
    // is set when the disk may hold either.
    bool SaveOrRestore(const VaultRecord& before, bool* unsure);
    void SetId(uint32_t newId);
    void SetName(const std::string& newName);
};

// The encoding a vault's jobs hold its names in: a classic container keeps ANSI names, a strong
// one UTF-8, so that its names may be any Windows allows.
inline NameEncoding NamesOf(const VaultRecord& record)
{
    return record.IsStrong() ? NameEncoding::UTF8 : NameEncoding::ANSI;
}

static_assert(offsetof(VaultRecord, flags) == 0, "flags at 0");
static_assert(offsetof(VaultRecord, id) == 4, "id at 4");
static_assert(offsetof(VaultRecord, passwordDigest) == 8, "digest at 8");
static_assert(offsetof(VaultRecord, valueName) == 24, "valueName at 24");
static_assert(offsetof(VaultRecord, name) == 37, "name at 37");
static_assert(offsetof(VaultRecord, padding) == 297, "padding at 297");
static_assert(offsetof(VaultRecord, padding) + sizeof(VaultRecord::padding) == VAULT_RECORD_SIZE,
              "the persisted record is 300 bytes");
static_assert(offsetof(VaultRecord, folder) >= VAULT_RECORD_SIZE, "nothing in memory overlaps it");
