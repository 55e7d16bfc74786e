#pragma once
// What the vault dialogs tell the user when a name or a folder change is refused.

#include <windows.h>

#include <cstdint>
#include <string>

class VaultStore;

// Why name cannot be given to a vault now, or "" when it can: the name breaks a rule of
// CheckVaultName, another vault than exceptId bears it (in any letter case), or a file in root
// or another vault's container has it (VaultStore::IsNameFree decides).
std::string NameRefusalText(const VaultStore& store, const std::string& root,
                            const std::string& name, uint32_t exceptId);

// What failed, a blank line, and the system's reason (error from GetLastError) about path; the
// bare path in place of the reason when the system gave none. For "already exists", the reason
// names what exists: path, or the part of it that is a file in the way.
std::string FileFailureText(const std::string& what, DWORD error, const std::string& path);

// When another window or process holds the right to name vaults.
std::string NamesBusyText();
