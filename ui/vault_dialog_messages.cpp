#include "vault_dialog_messages.h"

#include "../engine/files/file_error_text.h"
#include "../engine/names/vault_name.h"
#include "../engine/vault/vault_store.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"

namespace {

// path, or the longest leading part of it that exists. Making a folder under a file fails with
// "already exists" for that file, not for the folder.
std::string ExistingPartOf(std::string path)
{
    while (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::string::size_type slash = path.find_last_of("\\/");
        if (slash == std::string::npos)
            break;
        path.erase(slash);
    }
    return path;
}

}  // namespace

std::string NameRefusalText(const VaultStore& store, const std::string& root,
                            const std::string& name, uint32_t exceptId)
{
    VaultNameProblem problem = CheckVaultName(name);
    if (problem != VaultNameProblem::None)
        return VaultNameProblemText(problem, name);
    if (store.IsNameFree(name, root, exceptId))
        return "";
    if (store.IsVaultName(name, exceptId))
        return FormatStringResource(IDS_NAME_TAKEN, name);
    return "The name \"" + name +
           "\" is already taken in the vaults folder, by a file or by another vault's container "
           "file. Please choose another name.";
}

std::string FileFailureText(const std::string& what, DWORD error, const std::string& path)
{
    if (error == ERROR_SUCCESS)
        return what + "\r\n\r\n" + path;
    bool exists = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    return what + "\r\n\r\n" + FileErrorText(error, exists ? ExistingPartOf(path) : path);
}

std::string NamesBusyText()
{
    return "Vault names are being changed by another window or process. Try again when that "
           "operation has finished.";
}
