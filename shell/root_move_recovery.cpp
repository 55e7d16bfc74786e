#include "root_move_recovery.h"

#include "../engine/files/directory_tree.h"
#include "../engine/files/file_error_text.h"
#include "../engine/files/file_list.h"
#include "../engine/vault/vault_claim.h"
#include "root_copies.h"
#include "root_move_journal.h"
#include "vaults_root_move.h"

namespace {

std::string CutShortText(const RootMoveJournal& journal)
{
    return "The vaults were being moved from \"" + journal.from + "\" to \"" + journal.to +
           "\" when the program ended.";
}

}  // namespace

std::string RecoverRootMove(CRegistryKey& settings, const VaultStore& store,
                            const std::string& root)
{
    RootMoveJournal journal;
    if (!ReadRootMoveJournal(settings, &journal)) {
        RemoveRootMoveJournal(settings);  // none, or none that this program wrote
        return "";
    }
    bool saved = IsSameFolder(root, journal.to);
    if (!saved && !IsSameFolder(root, journal.from)) {
        RemoveRootMoveJournal(settings);  // the root has been set since: neither side is ours
        return "";
    }
    VaultClaim claim;
    std::string refusal;
    if (!ClaimForRootMove(claim, store, journal.from, journal.to, &refusal) || !IsDirectory(root))
        return "";
    FileList entries;
    entries.Enumerate(journal.from, "*.*");
    if (!entries.problemPath.empty())
        return CutShortText(journal) + " The move could not be " +
               (saved ? "finished: " : "undone: ") +
               FileErrorText(entries.problemError, entries.problemPath) +
               " The program tries again at its next start.";
    RootCopyRemoval removal = RemoveRootCopy(entries, journal.from, journal.to,
                                             saved ? RootSide::Old : RootSide::New);
    if (!removal.ranToEnd)
        return "";
    RemoveRootMoveJournal(settings);
    if (removal.Complete())
        return "";
    return CutShortText(journal) +
           (saved ? " The move has been finished, but some of the vaults' files are still in "
                    "the old vaults folder: "
                  : " The vaults stay where they were, but some of what had been copied is still "
                    "in the new folder: ") +
           WhatStayedText(removal);
}
