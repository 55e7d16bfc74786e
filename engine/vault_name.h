#pragma once
#include <string>

// The longest vault name, in bytes: the record's name field holds it and a terminator.
enum { MAX_VAULT_NAME = 259 };

// True when name can be a folder directly under the vaults root: not empty, at most
// MAX_VAULT_NAME bytes, none of \ / : * ? " < > | or control characters, not ending in a dot or a
// space, and not a reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an
// extension). Every place that accepts a vault name asks this one rule.
bool IsValidVaultName(const std::string& name);

// True when a relative name read from a container stays inside the vault folder: not empty,
// no drive or stream colon, no leading separator, no empty, "." or ".." component (backslash and
// slash both separate), no control characters.
bool IsSafeRelativeName(const std::string& name);
