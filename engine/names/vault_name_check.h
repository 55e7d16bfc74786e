#pragma once
// Whether a name is a vault's: asked by what must never touch another vault's folder (the unlock's
// journal, the discarding of working files). The store of records answers it; those who ask know
// nothing more of the store.

#include <cstdint>
#include <string>

class VaultNameCheck {
public:
    // True when a vault other than exceptId has `name` as its name (its folder's name), compared
    // as the file system compares names.
    virtual bool IsVaultName(const std::string& name, uint32_t exceptId = 0) const = 0;

protected:
    ~VaultNameCheck() = default;
};
