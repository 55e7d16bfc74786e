#pragma once
// The two copies that a move of the vaults root makes of everything in it, one in the old root
// and one in the new, and how one of them goes: an entry is removed from one root only where the
// other root holds it too (a file as a file, a folder as a folder), so that nothing found in one
// root alone is ever touched.

#include <cstdint>
#include <string>

#include "../engine/files/file_list.h"

enum class RootSide { Old, New };

struct RootCopyRemoval {
    bool ranToEnd = true;     // false when the delete job was cancelled
    std::string kept;         // the first entry that stayed because the other root lacks it
    std::string failedPath;   // the first entry that could not be removed, and why
    uint32_t failedError = 0;

    bool Complete() const { return ranToEnd && kept.empty() && failedPath.empty(); }
};

// Which entry stayed, and why, for a removal that is not complete and ran to its end.
std::string WhatStayedText(const RootCopyRemoval& removal);

// path (a path under root) relative to root, without a leading backslash.
std::string RelativeToRoot(const std::string& root, const std::string& path);

// Removes the `side` copy of every entry of oldEntries (what Enumerate listed under oldRoot with
// "*.*"), where the other root holds the entry too; the folders above an entry that stays, stay.
// Runs one delete job behind the progress front end, none when there is nothing to remove.
RootCopyRemoval RemoveRootCopy(const FileList& oldEntries, const std::string& oldRoot,
                               const std::string& newRoot, RootSide side);
