#pragma once
// The application object: runs the start-up sequence, keeps one instance running, and owns the
// settings key, the vault store, the page brush and the task menu for the whole run.

#include <memory>
#include <string>

#include "../engine/base/registry_key.h"
#include "../engine/vault/vault_store.h"
#include "../framework/win_app.h"
#include "../ui/app_services.h"

class CMainFrame;

class CVaultsApp : public CWinApp, public VaultsAppServices {
public:
    CVaultsApp();
    ~CVaultsApp() override;

    bool InitInstance() override;

    // The objects every window shares: the page brush, the task menu, the settings key (at
    // settingsPath below settingsParent), the vaults root it names (created if missing) and the
    // vault store. Start-up begins with this; a test host calls only this, on a scratch key.
    bool OpenSharedObjects(HKEY settingsParent, const std::string& settingsPath);

    CRegistryKey& GetSettingsKey() { return m_settingsKey; }
    VaultStore& GetVaultStore() override { return m_vaultStore; }
    const std::string& GetVaultsRoot() const override { return m_vaultRoot; }
    // Takes path as the vaults root: creates it (and its parents) and saves "VaultsRoot", flushed
    // to the disk. False when the value could not be saved (LastStatus says why).
    bool SetVaultsRoot(const std::string& path);
    const std::string& GetAppTitle() const { return m_appTitle; }
    const std::string& GetHelpFilePath() const override { return m_helpFilePath; }
    bool IsFirstRun() const { return m_firstRun; }
    HBRUSH GetPageBrush() const override { return m_pageBrush; }
    // Menu 128: submenu 0 is the tray's [task], submenu 1 the vault list's [vault].
    HMENU GetTaskMenu() const override { return m_taskMenu; }
    std::unique_ptr<CPropertyPage> MakeOptionsPage() override;

private:
    void ApplyAutorunDefault();
    // False when another instance is running; that one's main dialog is brought to the screen.
    bool ClaimSingleInstance() const;
    void RunIntroductionWizard();
    bool CreateMainFrame();

    HMENU m_taskMenu = nullptr;
    HBRUSH m_pageBrush = nullptr;
    CRegistryKey m_settingsKey;
    std::string m_brandName;
    std::string m_appTitle;
    std::string m_defaultVaultRoot;
    std::string m_vaultRoot;
    std::string m_helpFilePath;
    VaultStore m_vaultStore;
    bool m_firstRun = false;
    std::unique_ptr<CMainFrame> m_mainFrame;
};

// The one application object of the process.
CVaultsApp& GetVaultsApp();
