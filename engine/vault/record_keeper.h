#pragma once
// What a vault's record needs of the store that keeps it: to be saved, to check a new name, to
// find whether an id is taken, and the seals kept beside it. The store (VaultStore) is the one
// keeper; a record knows only this.

#include <cstdint>
#include <string>

#include "../names/vault_name_check.h"

class VaultRecord;
class VaultSeals;

class RecordKeeper : public VaultNameCheck {
public:
    virtual bool Load(uint32_t id, VaultRecord& record) const = 0;
    virtual bool Save(const VaultRecord& record, bool* written = nullptr) const = 0;
    virtual bool IsNameFree(const std::string& name, const std::string& root,
                            uint32_t exceptId = 0) const = 0;
    virtual const VaultSeals& Seals() const = 0;

protected:
    ~RecordKeeper() = default;
};
