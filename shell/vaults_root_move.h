#pragma once
// Moving the vaults root, with every vault folder and container in it, to another folder: the
// root's contents are copied there (keeping their relative paths) and only then deleted from the
// old root. Vault records are not touched: a vault's files are always found below the current
// root.

#include <string>

class CWnd;
class VaultStore;

enum class RootMoveResult {
    Moved,
    Refused,    // the user was told why; nothing was copied or deleted
    NotMoved,   // the copy failed or was cancelled (the progress dialog said so); the root stays
};

// Moves the contents of oldRoot into newRoot, telling the user (message boxes owned by `owner`)
// about a refusal and about files the old root kept. Refused: newRoot is oldRoot, lies inside
// it, a vault is in use by another window or process, or something under oldRoot cannot be
// listed. Every vault of `store` stays claimed for the whole move.
RootMoveResult MoveVaultsRoot(const CWnd& owner, const VaultStore& store,
                              const std::string& oldRoot, const std::string& newRoot);

// True when folder is root or lies inside it (compared as full paths, letter case aside).
bool IsSameOrInside(const std::string& folder, const std::string& root);
