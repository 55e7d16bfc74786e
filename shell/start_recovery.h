#pragma once
// Start-up recovery as the program and the console companion both run it, and the program's part
// in it: what the user must know is shown in one message box.

#include <string>
#include <vector>

#include "../engine/base/registry_key.h"

class VaultStore;

// Puts right, before anything touches a vault, first a move of the vaults root that was cut
// short (RecoverRootMove), then every vault (RecoverVaults), given the root the settings name.
// Returns what the user must be told, one text per matter.
std::vector<std::string> RecoverAtStart(CRegistryKey& settings, const VaultStore& store,
                                        const std::string& root);

// RecoverAtStart, with its texts in one message box.
void RecoverVaultsAtStart(CRegistryKey& settings, const VaultStore& store,
                          const std::string& root);
