#pragma once
// Creating a new vault from what a user typed, with the checks and the words of the vault
// dialogs, for every window that creates vaults.

#include <string>

class VaultClaim;
class VaultRecord;
class VaultStore;

// Makes record a new vault named name with password, its folder under root: claims the right
// to name vaults in names (the caller keeps the claim until the record is saved), refuses a
// name by the vault dialogs' rule (NameRefusalText) and creates the folder. "" on success;
// otherwise what to tell the user, with record unchanged.
std::string CreateVaultOrSayWhy(VaultClaim& names, const VaultStore& store,
                                const std::string& root, const std::string& name,
                                const std::string& password, VaultRecord& record);

// The last step of the above, for a caller that has claimed and checked the name itself: makes
// the record and the folder; "" on success, otherwise what to tell the user. `strong`: a vault
// whose contents are encrypted with its password.
std::string CreateCheckedVaultOrSayWhy(const VaultStore& store, const std::string& root,
                                       const std::string& name, const std::string& password,
                                       VaultRecord& record, bool strong = false);
