#pragma once
// Claims that keep two operations, in this process or another (the program and the console
// companion, say), from working on one vault at the same time. A claim lasts from before the
// record is read for an operation until after it is saved, and ends with the object (or with
// the process, however it ends).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class VaultClaim {
public:
    VaultClaim() = default;
    ~VaultClaim();
    VaultClaim(const VaultClaim&) = delete;
    VaultClaim& operator=(const VaultClaim&) = delete;

    // Claims the vault with this id under this vaults root (together they name its files) for a
    // lock, unlock, rename, new password or removal. False at once, changing nothing, when any
    // window or process already holds it.
    bool ClaimVault(const std::string& root, uint32_t id);
    // Claims the right to give names to vaults (create and rename), so that the check that a
    // name is free, the change and the save happen as one. Names change quickly, so this waits
    // a few seconds for another holder; false when it could not be had.
    bool ClaimNames();

private:
    std::vector<HANDLE> vaults_;
    std::vector<HANDLE> names_;
};

// What a user is told when a vault is claimed elsewhere.
std::string VaultInUseText(const std::string& name);
