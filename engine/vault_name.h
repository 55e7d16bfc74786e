#pragma once
#include <string>

// The longest vault name, in bytes: the record's name field holds it and a terminator.
enum { MAX_VAULT_NAME = 259 };

// True when name can be one file or folder name on disk under every Windows rule, so that what
// is written under it is found again under the same name: not empty, none of \ / : * ? " < > |
// or control characters, not ending in a dot or a space (Windows trims those, so "x." would
// land on "x"), and not a reserved device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9,
// LPT1-9, in any case, with or without an extension), which would reach a device, not a file.
bool IsValidNameComponent(const std::string& name);

// True when name can be a folder directly under the vaults root: a valid name component of at
// most MAX_VAULT_NAME bytes. Every place that accepts a vault name asks this one rule.
bool IsValidVaultName(const std::string& name);

// True when a relative name read from a container stays inside the vault folder and names what
// it says: components separated by backslashes (or slashes), each a valid name component. So no
// drive or stream colon, no leading separator, no empty, "." or ".." component.
bool IsSafeRelativeName(const std::string& name);
