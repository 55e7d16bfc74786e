#pragma once
// Checking a locked vault's container without unlocking it (CheckContainerProc behind the
// progress dialog or the console front end). Nothing is written: no file, no registry value, no
// journal. A new password's change cut short is not settled either: of the container and the
// copy beside it, the one that opens with the password is checked, as the next unlock keeps it.

#include <string>

class VaultRecord;

enum class CheckOutcome {
    SOUND,        // read to its end, and nothing wrong
    DAMAGED,      // *result says what is wrong
    NOT_CHECKED,  // the vault is unlocked, its container missing or unreadable (the user has
                  // been told), or the user cancelled
};

// Checks the container of `record` under `root` with the password already checked against the
// record. *result: what was checked and found (CheckResultText) unless NOT_CHECKED, in the
// encoding of the vault's names (NamesOf), since it may name an entry.
CheckOutcome CheckLockedVault(const VaultRecord& record, const std::string& root,
                              const char* password, std::string* result);
