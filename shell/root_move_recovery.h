#pragma once
// Start-up recovery of a move of the vaults root that was cut short (see vaults_root_move.h).
// The journal names the two roots; the settings name the one that is whole. When they name the
// new root, the move had saved it after every copy was on the disk, so what is left in the old
// root goes; when they still name the old root, the old root was never touched, so the copies in
// the new root go. Either way only an entry that the other root holds too is removed.

#include <string>

#include "../engine/base/registry_key.h"

class VaultStore;

// Finishes or undoes a cut-short move, given the root the settings name now, and removes the
// journal. Leaves everything, journal included, to a later start while another window or process
// holds a vault or the right to name vaults (a move may be at work there), while the root the
// settings name is no folder (a drive that is not attached, say), or when the removal is
// cancelled. Returns what the user must be told, or "".
std::string RecoverRootMove(CRegistryKey& settings, const VaultStore& store,
                            const std::string& root);
