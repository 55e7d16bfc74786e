#pragma once
// The vault records, kept as 300-byte binary values of the "Vaults" key below the application
// key, each named by its record's valueName. Holds no list in memory: every call reads the
// registry again.

#include <cstdint>
#include <string>

#include "../base/registry_key.h"
#include "record_keeper.h"
#include "vault_record.h"
#include "vault_seals.h"

class VaultStore : public RecordKeeper {
public:
    // Creates or opens "Vaults" below appKey, and the seals kept beside the records
    // (VaultSeals). True when a handle to the records was obtained.
    bool Open(const CRegistryKey& appKey);

    // Load, First and Next make the store the record's `store`, where its lock and unlock save
    // the state they reach.
    bool Load(uint32_t id, VaultRecord& record) const override;
    // Writes the record and flushes the key to disk (RegFlushKey) before returning: a lock or
    // unlock deletes the folder or the container only after this. Const: the store holds nothing
    // in memory, only the registry changes. False when either step fails (LastStatus says why);
    // *written then tells whether the write had been done, so that the registry holds the record
    // though the disk may not: a failed write changes nothing.
    bool Save(const VaultRecord& record, bool* written = nullptr) const override;
    // Deletes the vault's folder, container and working files under root
    // (VaultRecord::DeleteFiles), then its record (even when some file could not be deleted)
    // and its seals.
    void Remove(VaultRecord& record, const std::string& root);

    // Enumeration from index 0 upwards. A value that is missing, larger than a record, or whose
    // name differs from the valueName inside its data ends the enumeration.
    bool First(VaultRecord& record) const;
    bool Next(VaultRecord& record) const;

    // True when name can be given to a vault without touching another vault's files: no
    // enumerated record other than exceptId has it as its name or its container's name, compared
    // as the file system compares names (letter case aside), and nothing but a folder bears the
    // name in root, under that name itself rather than as its short alias. A plain folder that
    // belongs to no vault may become a vault.
    bool IsNameFree(const std::string& name, const std::string& root,
                    uint32_t exceptId = 0) const override;
    // True when an enumerated record other than exceptId has name as its name (its folder's
    // name), compared as the file system compares names.
    bool IsVaultName(const std::string& name, uint32_t exceptId = 0) const override;
    // True when some enumerated record is not locked.
    bool HasUnlockedVault() const;

    const CRegistryKey& Key() const { return key_; }
    // What strong vaults keep beside their records; written through, like the records.
    const VaultSeals& Seals() const override { return seals_; }

private:
    // The Win32 status of reading the value at record.enumIndex into record; 13 (invalid data)
    // when the value's name is not the record's valueName.
    LONG ReadAt(VaultRecord& record) const;

    mutable CRegistryKey key_;  // written through by Save
    VaultSeals seals_;
};

// What the user is told when a record (or what is kept beside it) could not be saved: the
// sentence with LastStatus.
std::string RecordNotSavedText();

// The registry's fault seam, in the spirit of file_faults: each Save writes the value, then
// flushes the key, and both are counted; an armed fault makes the operations whose numbers it
// names fail with `status`. A failed write changes nothing; a failed flush leaves the value
// written, as RegFlushKey does when the hive cannot be written. The program never arms it; tests
// do.
namespace registry_faults {
// From now on operation number n (counted from 1) fails when bit n - 1 of `failing` is set.
// Restarts the count.
void Arm(uint32_t failing, LONG status = ERROR_REGISTRY_IO_FAILED);
// No fault from now on. Restarts the count.
void Disarm();
// The operations counted since the last Arm or Disarm.
uint32_t Count();
}  // namespace registry_faults
