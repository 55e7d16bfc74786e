#include "vaults_root_move.h"

#include <windows.h>

#include "../engine/ansi_name.h"
#include "../engine/file_error_text.h"
#include "../engine/file_list.h"
#include "../engine/vault_claim.h"
#include "../engine/vault_store.h"
#include "../framework/wnd.h"

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

}  // namespace

bool IsSameOrInside(const std::string& folder, const std::string& root)
{
    std::wstring inner = FileNameKey(FullFolderPath(folder));
    std::wstring outer = FileNameKey(FullFolderPath(root));
    if (inner.compare(0, outer.size(), outer) != 0)
        return false;
    return inner.size() == outer.size() || outer.back() == L'\\' || inner[outer.size()] == L'\\';
}

RootMoveResult MoveVaultsRoot(const CWnd& owner, const VaultStore& store,
                              const std::string& oldRoot, const std::string& newRoot)
{
    if (IsSameOrInside(newRoot, oldRoot)) {
        bool same = IsSameOrInside(oldRoot, newRoot);
        owner.MessageBox(same ? "\"" + newRoot + "\" already is the vaults folder.\r\n"
                                "Nothing has been changed."
                              : NotMovedText("\"" + newRoot + "\" lies inside the vaults "
                                             "folder. Choose a folder outside it."),
                         same ? MB_ICONINFORMATION : MB_ICONHAND);
        return RootMoveResult::Refused;
    }
    VaultClaim claim;
    std::string busyName;
    if (!ClaimEveryVault(claim, store, oldRoot, &busyName)) {
        owner.MessageBox(VaultInUseText(busyName), MB_ICONHAND);
        return RootMoveResult::Refused;
    }
    FileList files;
    files.Enumerate(oldRoot, "*.*");
    // A folder that could not be listed would stay behind, split from the rest of its vault.
    if (!files.problemPath.empty()) {
        owner.MessageBox(NotMovedText(FileErrorText(files.problemError, files.problemPath)),
                         MB_ICONHAND);
        return RootMoveResult::Refused;
    }
    if (!files.CopyTo(newRoot, false)) {
        // A cancel needs no words; a failure says which file stopped the copy.
        if (files.lastError != 0)
            owner.MessageBox("The vaults have not been moved:\r\n" +
                                 FileErrorText(files.failedError, files.failedPath) +
                                 "\r\nThe vaults folder has not been changed; what was copied "
                                 "so far stays in \"" + newRoot + "\".",
                             MB_ICONHAND);
        return RootMoveResult::NotMoved;
    }
    files.DeleteAll();
    // Everything is at the new place; what the old one kept is a second copy the user should
    // know about, as it may hold private files.
    if (!files.failedPath.empty())
        owner.MessageBox("The vaults have been moved to \"" + newRoot + "\", but some of their "
                         "files could not be removed from the old vaults folder:\r\n" +
                             FileErrorText(files.failedError, files.failedPath),
                         MB_ICONEXCLAMATION);
    return RootMoveResult::Moved;
}
