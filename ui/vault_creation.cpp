#include "vault_creation.h"

#include <windows.h>

#include "../engine/files/vault_path.h"
#include "../engine/vault/vault_claim.h"
#include "../engine/vault/vault_store.h"
#include "vault_dialog_messages.h"

std::string CreateVaultOrSayWhy(VaultClaim& names, const VaultStore& store,
                                const std::string& root, const std::string& name,
                                const std::string& password, VaultRecord& record)
{
    if (!names.ClaimNames())
        return NamesBusyText();
    std::string refusal = NameRefusalText(store, root, name, 0);
    if (!refusal.empty())
        return refusal;
    return CreateCheckedVaultOrSayWhy(store, root, name, password, record);
}

std::string CreateCheckedVaultOrSayWhy(const VaultStore& store, const std::string& root,
                                       const std::string& name, const std::string& password,
                                       VaultRecord& record, bool strong)
{
    if (record.Create(store, root, name, password.c_str(), strong))
        return "";
    DWORD error = GetLastError();
    return FileFailureText("The vault's folder could not be created.", error,
                           JoinPath(root, name));
}
