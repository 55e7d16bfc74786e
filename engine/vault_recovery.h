#pragma once
// Start-up recovery: brings each vault to a consistent state from what is on disk, after a lock
// or unlock was cut short by a crash, a power cut or a killed process. The program and the
// console companion run it at every start, before anything else touches a vault.
//
// A lock deletes the vault folder only after its container is complete on the disk and the
// record, flushed, says locked; an unlock deletes the container only after every restored file
// is on the disk and the record says unlocked, and keeps a journal meanwhile (RestoreJournal).
// So whatever is found, one copy of every file is complete: recovery keeps it and removes only
// what is certainly a copy or a leftover. It never deletes the only copy of anything. The README
// has the table of situations and what recovery does with each.

#include <string>
#include <vector>

#include "vault_store.h"

// Recovers every vault of the store that no other window or process holds (those are at work and
// are left alone). Returns what the user must be told, one text per vault that needs it; where
// nothing was at risk recovery is silent.
std::vector<std::string> RecoverVaults(const VaultStore& store, const std::string& root);

// Recovers one vault whose claim the caller holds; the record is saved (into its store) when
// its state changes. Returns what the user must be told, or "".
std::string RecoverVault(VaultRecord& record, const std::string& root);
