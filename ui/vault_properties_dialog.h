#pragma once
// "New Vault" and "Manage Vault": names a vault and sets its password (New), or renames it,
// changes its password, encrypts a classic vault's contents with its password or removes it
// (Manage). On IDOK the record has been created or changed
// in memory and the caller saves it; on IDC_VAULT_REMOVE (1006) the user confirmed the removal
// and proved the password, and the caller removes the vault.

#include <optional>
#include <string>

#include "../engine/vault/vault_claim.h"
#include "../engine/vault/vault_store.h"
#include "../framework/dialog.h"
#include "../framework/edit.h"

enum { VAULT_DIALOG_NEW = 0, VAULT_DIALOG_MANAGE = 1 };

class CVaultPropertiesDlg : public CDialog {
public:
    explicit CVaultPropertiesDlg(CWnd* parent = nullptr);
    ~CVaultPropertiesDlg() override;

    // record: the fresh record to create (New) or the vault to manage; store: where names are
    // checked; mode: VAULT_DIALOG_NEW or VAULT_DIALOG_MANAGE.
    void Setup(VaultRecord* record, VaultStore* store, int mode);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnRemove();
    // The password hints of New; nothing in Manage.
    void OnPasswordSetFocus();
    void OnConfirmSetFocus();
    void OnPasswordKillFocus();
    void OnConfirmKillFocus();

    DECLARE_MESSAGE_MAP()

private:
    void ShowNewVault();
    void ShowManagedVault();
    // What OnOK does once the passwords match: checks the name unless a managed vault keeps
    // it, then creates or changes the vault. False, after telling the user why, when the dialog
    // is to stay open with the record unchanged; the helpers below answer the same way.
    bool Apply(const std::string& name, const std::string& password);
    // Whether a vault encrypted with its password may take the UTF-8 password; else the user is
    // told why and the password field takes the focus.
    bool AcceptsStrongPassword(const std::string& utf8);
    // Claims the right to name vaults (held in names_) and checks name.
    bool ClaimAndCheckName(const std::string& name);
    bool CreateVault(const std::string& name, const std::string& password);
    bool ChangeVault(const std::string& name, const std::string& password);
    bool RenameVault(const std::string& name);
    // Whether the vault's current password (UTF-8) may protect it once it is encrypted with
    // it; else the user is told to type a new one, and the password field takes the focus.
    bool AcceptsCurrentPassword(const std::string& utf8);

    CEdit nameEdit_;
    CEdit confirmEdit_;
    CEdit passwordEdit_;
    VaultRecord* record_ = nullptr;
    VaultStore* store_ = nullptr;
    int mode_ = VAULT_DIALOG_NEW;
    // Held from the name check in OnOK until this object goes, after the caller has saved; let
    // go at once when the dialog stays open, so a user thinking over a refused name keeps no
    // other window or process from naming vaults.
    std::optional<VaultClaim> names_;
};
