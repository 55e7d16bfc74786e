#include "vaults_root_move.h"

#include "../engine/files/ansi_name.h"
#include "../engine/files/directory_tree.h"
#include "../engine/files/file_error_text.h"
#include "../engine/files/file_list.h"
#include "../engine/files/vault_path.h"
#include "../engine/files/win_file.h"
#include "../engine/vault/vault_claim.h"
#include "../engine/vault/vault_store.h"
#include "../ui/vault_dialog_messages.h"
#include "root_copies.h"
#include "root_move_journal.h"

namespace {

// The full path without a trailing backslash (a drive's root keeps its own).
std::string FullFolderPath(const std::string& path)
{
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    std::string result = (length == 0 || length >= MAX_PATH) ? path : std::string(full, length);
    while (result.size() > 3 && (result.back() == '\\' || result.back() == '/'))
        result.pop_back();
    return result;
}

// Claims every vault of the store; on failure the name of the vault held elsewhere.
bool ClaimEveryVault(VaultClaim& claim, const VaultStore& store, const std::string& root,
                     std::string* busyName)
{
    VaultRecord record;
    for (bool more = store.First(record); more; more = store.Next(record)) {
        if (!claim.ClaimVault(root, record.id)) {
            *busyName = record.Name();
            return false;
        }
    }
    return true;
}

std::string NotMovedText(const std::string& why)
{
    return "The vaults have not been moved:\r\n" + why + "\r\nNothing has been changed.";
}

std::string RegistryErrorText(const std::string& what)
{
    return what + " in the registry (error " + std::to_string(LastStatus) + ").";
}

RootMoveReport Refusal(const std::string& why)
{
    return {RootMoveResult::Refused, NotMovedText(why), MB_ICONHAND};
}

// The first name at the top of the old root that the new root holds already, as a path in the
// new root; "" when there is none. The move copies nothing beside such a name, so that whatever
// it removes again from the new root is a copy of its own.
std::string FirstNameTaken(const FileList& entries, const std::string& oldRoot,
                           const std::string& newRoot)
{
    for (const FileEntry& entry : entries) {
        std::string relative = RelativeToRoot(oldRoot, entry.path);
        std::string there = JoinPath(newRoot, relative);
        if (relative.find('\\') == std::string::npos &&
            AttributesOf(there) != INVALID_FILE_ATTRIBUTES)
            return there;
    }
    return "";
}

// Gives the move up while the settings still name the old root: the copies in the new root go,
// and the journal once that ran to its end (otherwise the next start goes on with it). `why` is
// what failed, "" after a cancel.
RootMoveReport GiveUp(CRegistryKey& settings, const FileList& entries, const std::string& oldRoot,
                      const std::string& newRoot, const std::string& why)
{
    RootCopyRemoval removal = RemoveRootCopy(entries, oldRoot, newRoot, RootSide::New);
    if (removal.ranToEnd)
        RemoveRootMoveJournal(settings);
    if (why.empty() && removal.Complete())
        return {RootMoveResult::NotMoved, "", 0};  // a cancel needs no words
    std::string text = why.empty() ? "The vaults have not been moved.\r\n"
                                   : "The vaults have not been moved:\r\n" + why + "\r\n";
    if (removal.Complete())
        text += "Nothing has been changed.";
    else if (!removal.ranToEnd)
        text += "The vaults folder has not been changed. What has been copied to \"" + newRoot +
                "\" is removed at the next start.";
    else
        text += "The vaults folder has not been changed, but some of what has been copied is "
                "still in \"" + newRoot + "\":\r\n" + WhatStayedText(removal);
    return {RootMoveResult::NotMoved, text, MB_ICONHAND};
}

// The new root is saved (the old one again if that fails), and only then do the originals go.
RootMoveReport Finish(CRegistryKey& settings, const FileList& entries, const std::string& oldRoot,
                      const std::string& newRoot, const SaveRootFunction& saveRoot)
{
    if (!saveRoot(newRoot)) {
        std::string why = RegistryErrorText("The new vaults folder could not be saved");
        if (saveRoot(oldRoot))
            return GiveUp(settings, entries, oldRoot, newRoot, why);
        // Which of the two the settings name is not known: both copies stay, and the next
        // start keeps the one they name.
        return {RootMoveResult::NotMoved,
                RegistryErrorText("The vaults have been copied to \"" + newRoot + "\", but "
                                  "neither that folder nor the old one could be saved as the "
                                  "vaults folder") +
                    "\r\nBoth folders hold every vault; the program keeps one of them at its "
                    "next start.",
                MB_ICONHAND};
    }
    RootCopyRemoval removal = RemoveRootCopy(entries, oldRoot, newRoot, RootSide::Old);
    if (removal.ranToEnd)
        RemoveRootMoveJournal(settings);
    if (removal.Complete())
        return {RootMoveResult::Moved, "", 0};
    // Everything is at the new place; what the old one kept is a second copy the user should
    // know about, as it may hold private files.
    std::string text = "The vaults have been moved to \"" + newRoot + "\", ";
    text += removal.ranToEnd ? "but some of their files could not be removed from the old vaults "
                               "folder:\r\n" + WhatStayedText(removal)
                             : "and what is left of them in the old vaults folder is removed at "
                               "the next start.";
    return {RootMoveResult::Moved, text, MB_ICONEXCLAMATION};
}

}  // namespace

bool IsSameOrInside(const std::string& folder, const std::string& root)
{
    std::wstring inner = FileNameKey(FullFolderPath(folder));
    std::wstring outer = FileNameKey(FullFolderPath(root));
    if (inner.compare(0, outer.size(), outer) != 0)
        return false;
    return inner.size() == outer.size() || outer.back() == L'\\' || inner[outer.size()] == L'\\';
}

bool IsSameFolder(const std::string& one, const std::string& other)
{
    return IsSameOrInside(one, other) && IsSameOrInside(other, one);
}

bool ClaimForRootMove(VaultClaim& claim, const VaultStore& store, const std::string& oldRoot,
                      const std::string& newRoot, std::string* refusal)
{
    std::string busyName;
    if (!ClaimEveryVault(claim, store, oldRoot, &busyName) ||
        !ClaimEveryVault(claim, store, newRoot, &busyName)) {
        *refusal = VaultInUseText(busyName);
        return false;
    }
    if (!claim.ClaimNames()) {
        *refusal = NotMovedText(NamesBusyText());
        return false;
    }
    return true;
}

RootMoveReport MoveVaultsRoot(CRegistryKey& settings, const VaultStore& store,
                              const std::string& oldRoot, const std::string& newRoot,
                              const SaveRootFunction& saveRoot)
{
    if (IsSameOrInside(newRoot, oldRoot)) {
        if (IsSameOrInside(oldRoot, newRoot))
            return {RootMoveResult::Refused,
                    "\"" + newRoot + "\" already is the vaults folder.\r\n"
                    "Nothing has been changed.",
                    MB_ICONINFORMATION};
        return Refusal("\"" + newRoot + "\" lies inside the vaults folder. Choose a folder "
                       "outside it.");
    }
    VaultClaim claim;
    std::string refusal;
    if (!ClaimForRootMove(claim, store, oldRoot, newRoot, &refusal))
        return {RootMoveResult::Refused, refusal, MB_ICONHAND};
    FileList entries;
    entries.Enumerate(oldRoot, "*.*");
    // A folder that could not be listed would stay behind, split from the rest of its vault.
    if (!entries.problemPath.empty())
        return Refusal(FileErrorText(entries.problemError, entries.problemPath));
    std::string taken = FirstNameTaken(entries, oldRoot, newRoot);
    if (!taken.empty())
        return Refusal(FileErrorText(ERROR_FILE_EXISTS, taken));
    if (!WriteRootMoveJournal(settings, {oldRoot, newRoot})) {
        std::string why = RegistryErrorText("The move could not be noted");
        RemoveRootMoveJournal(settings);
        return Refusal(why);
    }
    CreateDirectoryTree(newRoot);
    if (!entries.CopyTo(newRoot, false))
        return GiveUp(settings, entries, oldRoot, newRoot,
                      entries.lastError ? FileErrorText(entries.failedError, entries.failedPath)
                                        : "");
    return Finish(settings, entries, oldRoot, newRoot, saveRoot);
}
