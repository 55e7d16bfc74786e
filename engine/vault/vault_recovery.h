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

// Ends a partial container of the vault (VaultFolder::PartialContainerPath) that a lock cut
// short, or one that could not clean up, left. With the vault's folder there it is deleted: a
// lock changes nothing in the folder before its container is complete. Without, it may hold the
// only copy of some files: it is moved to the first free name of ContainerFile::Kept, which no
// command of the program deletes, and *kept says where ("" otherwise). False when something is
// still at the partial container's path: a file that could not be moved or deleted (the
// system's error says why), or a folder (ERROR_ALREADY_EXISTS; a vault named so before the name
// rule refused such names), which stays as it is.
bool EndPartialContainer(const VaultRecord& record, const std::string& root, std::string* kept);
// What the user is told of a partial container of the vault `name` kept at `path`.
std::string KeptContainerText(const std::string& name, const std::string& path);
