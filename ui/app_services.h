#pragma once
// What the windows of the vaults take from the running program: its store of vaults, the vaults
// root, the help file, the page brush, the task menu and the Options page. The application
// object provides them and registers itself when it is made, so these windows never name the
// application itself (the dependency runs from the program to its windows only).

#include <windows.h>

#include <memory>
#include <string>

class CPropertyPage;
class VaultStore;

class VaultsAppServices {
public:
    virtual VaultStore& GetVaultStore() = 0;
    virtual const std::string& GetVaultsRoot() const = 0;
    virtual const std::string& GetHelpFilePath() const = 0;
    virtual HBRUSH GetPageBrush() const = 0;
    // Menu 128: submenu 0 is the tray's [task], submenu 1 the vault list's [vault].
    virtual HMENU GetTaskMenu() const = 0;
    // A new Options page for the main dialog.
    virtual std::unique_ptr<CPropertyPage> MakeOptionsPage() = 0;

protected:
    ~VaultsAppServices() = default;
};

// The services of the running program; set before any window of the vaults is made.
VaultsAppServices& GetAppServices();
void SetAppServices(VaultsAppServices* services);
