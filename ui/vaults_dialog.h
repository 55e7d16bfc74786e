#pragma once
// The main window: a banner, three picture tabs (Options, Vaults, About) switching their pages,
// and Exit, Help and Hide. Modeless and created hidden; closing it only hides it.

#include "../framework/dialog.h"

class CVaultsPage;

class CVaultsDlg : public CDialog {
public:
    CVaultsDlg();
    ~CVaultsDlg() override;

    // Creates the hidden dialog, owned by the application's main window.
    bool Create();
    // Shows the page of the tab with this picture control id (1052 Options, 1053 Vaults,
    // 1054 About) and hides the others.
    void SelectTab(int tabId);
    // Selects tabId (0: keeps the current tab) and shows and activates the dialog.
    void ShowOnTab(int tabId);
    // The Vaults page, to which the main frame posts New (1062).
    CVaultsPage& GetVaultsPage();
};
