#pragma once
// The Vaults page: the list of vaults (name, locked or unlocked picture) and the four vault
// commands (New, Manage, Unlock and open, Lock), as picture buttons above the list, in its
// context menu and on double click. Each row keeps only its vault's id; every command reads the
// record again from the store before it acts.

#include "../framework/property_page.h"

class CVaultsPage : public CPropertyPage {
public:
    CVaultsPage();
    ~CVaultsPage() override;
};
