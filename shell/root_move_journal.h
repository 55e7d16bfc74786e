#pragma once
// The note in the settings that the vaults root is being moved (SETTING_VAULTS_ROOT_MOVE): the
// root the vaults come from and the one they go to. A move writes it, flushed to the disk, before
// it copies anything, and removes it once the copy it gives up is gone; a start that finds it
// knows that a move was cut short and between which two folders (RecoverRootMove).

#include <string>

#include "../engine/base/registry_key.h"

struct RootMoveJournal {
    std::string from;
    std::string to;
};

// Writes the journal and flushes the key; false when either failed (LastStatus says why).
bool WriteRootMoveJournal(CRegistryKey& settings, const RootMoveJournal& journal);
// False when there is no journal, or none that names two roots.
bool ReadRootMoveJournal(const CRegistryKey& settings, RootMoveJournal* journal);
// Removes the journal and flushes the key. True when there is none afterwards.
bool RemoveRootMoveJournal(CRegistryKey& settings);
