#pragma once
// Which vault commands a selection in the vault list allows, as the page's command pictures
// and its context menu show them. New is always allowed.

#include <windows.h>

class VaultRecord;

struct VaultCommandStates {
    bool manage;
    bool unlock;  // Unlock and open
    bool lock;
    bool check;  // Check...: a locked vault's container
};

// No selected vault (null): none. Otherwise Manage and Unlock and open, Lock unless the vault
// is locked already, and Check only when it is.
VaultCommandStates CommandStatesFor(const VaultRecord* selected);

// Greys the items of the vault list's context menu that `states` does not allow, enables the
// others, and makes Unlock and open the default item when it is allowed, New otherwise.
void PrepareVaultMenu(HMENU menu, const VaultCommandStates& states);
