#pragma once
#include <string>

#include "../base/name_encoding.h"

// The longest vault name, in bytes: the record's name field holds it and a terminator.
enum { MAX_VAULT_NAME = 259 };

// What keeps a name from being a vault folder's name, as CheckVaultName finds it.
enum class VaultNameProblem {
    None,
    Empty,
    TooLong,             // more than MAX_VAULT_NAME bytes
    ReservedCharacter,   // one of \ / : * ? " < > | or a control character
    DeviceName,          // CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9 and COM, LPT
                         // with a superscript 1, 2 or 3 (any case, any extension)
    TrailingDotOrSpace,  // Windows trims those, so "x." would land on "x"
    ContainerFileName,   // a vault name only: the name of a container or of a file the program
                         // keeps beside one (IsContainerFileName)
};

// The first rule, in the order above, that keeps name from being one file or folder name on
// disk, so that what is written under it is found again under the same name; None when it
// breaks none. A reserved device name would reach a device, not a file. No length limit. The name
// is in `encoding` (vault names are ANSI; a vault encrypted with its password keeps UTF-8 names).
VaultNameProblem CheckNameComponent(const std::string& name,
                                    NameEncoding encoding = NameEncoding::ANSI);
// CheckNameComponent with the vault name's limits: TooLong for more than MAX_VAULT_NAME bytes,
// and ContainerFileName for a name that is another vault's container or one of the files beside
// it, or could be one day (a name in the root is a vault's folder). Every place that accepts a
// new vault name asks this one rule.
VaultNameProblem CheckVaultName(const std::string& name);

bool IsValidNameComponent(const std::string& name);
bool IsValidVaultName(const std::string& name);

// What a user is told when name cannot be a vault's name, for the problem CheckVaultName found;
// "" for None.
std::string VaultNameProblemText(VaultNameProblem problem, const std::string& name);

// True when a relative name read from a container stays inside the vault folder and names what
// it says: components separated by backslashes (or slashes), each a valid name component. So no
// drive or stream colon, no leading separator, no empty, "." or ".." component.
bool IsSafeRelativeName(const std::string& name, NameEncoding encoding = NameEncoding::ANSI);
