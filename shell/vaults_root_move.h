#pragma once
// Moving the vaults root, with every vault folder and container in it, to another folder, so that
// a crash or a power cut at any instant loses nothing and the next start finds every vault:
//   1. the move is noted in the settings (RootMoveJournal), flushed to the disk;
//   2. the root's contents are copied into the new folder (keeping their relative paths), each
//      copied file flushed to the disk;
//   3. the new root is saved as the setting, flushed to the disk;
//   4. only then are the originals deleted from the old root, and the note removed.
// Until step 3 the old root is whole and named by the settings; from then on the new one is. A
// start that finds the note finishes or undoes the move by that (RecoverRootMove). Vault records
// are not touched: a vault's files are always found below the current root.

#include <windows.h>

#include <functional>
#include <string>

#include "../engine/base/registry_key.h"

class VaultClaim;
class VaultStore;

enum class RootMoveResult {
    Moved,
    Refused,   // nothing was copied or deleted
    NotMoved,  // the copy failed or was cancelled, or the new root could not be saved
};

struct RootMoveReport {
    RootMoveResult result;
    std::string text;  // what the user must be told, "" when nothing
    UINT icon;         // the message box's icon for text
};

// Saves root as the vaults root setting, flushed to the disk; true on success.
typedef std::function<bool(const std::string& root)> SaveRootFunction;

// Moves the contents of oldRoot into newRoot, saving newRoot through saveRoot between the copy
// and the deletion (and oldRoot again if that fails). Refused: newRoot is oldRoot or lies inside
// it, a vault is in use by another window or process, something under oldRoot cannot be listed,
// or newRoot already holds a file or folder of a name that oldRoot holds. A copy that fails or is
// cancelled is removed again. Every vault of `store` stays claimed, under both roots, for the
// whole move, and so does the right to name vaults.
RootMoveReport MoveVaultsRoot(CRegistryKey& settings, const VaultStore& store,
                              const std::string& oldRoot, const std::string& newRoot,
                              const SaveRootFunction& saveRoot);

// Claims what a move between the two roots claims; false, with what to tell the user in
// *refusal, when a vault or the right to name vaults is held elsewhere.
bool ClaimForRootMove(VaultClaim& claim, const VaultStore& store, const std::string& oldRoot,
                      const std::string& newRoot, std::string* refusal);

// True when folder is root or lies inside it (compared as full paths, letter case aside).
bool IsSameOrInside(const std::string& folder, const std::string& root);
// True when the two name the same folder.
bool IsSameFolder(const std::string& one, const std::string& other);
