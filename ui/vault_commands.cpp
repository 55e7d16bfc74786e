#include "vault_commands.h"

#include "../engine/vault/vault_record.h"
#include "../resources/resource.h"

VaultCommandStates CommandStatesFor(const VaultRecord* selected)
{
    if (!selected)
        return {false, false, false, false};
    return {true, true, !selected->IsLocked(), selected->IsLocked()};
}

namespace {

void EnableItem(HMENU menu, UINT command, bool enable)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

void PrepareVaultMenu(HMENU menu, const VaultCommandStates& states)
{
    EnableItem(menu, IDC_VAULT_MANAGE, states.manage);
    EnableItem(menu, IDC_VAULT_UNLOCK, states.unlock);
    EnableItem(menu, IDC_VAULT_LOCK, states.lock);
    EnableItem(menu, IDC_VAULT_CHECK, states.check);
    SetMenuDefaultItem(menu, states.unlock ? IDC_VAULT_UNLOCK : IDC_VAULT_NEW, FALSE);
}
