#pragma once
// "New Vault" and "Manage Vault": names a vault and sets its password (New), or renames it,
// changes its password or removes it (Manage). On IDOK the record has been created or changed
// in memory and the caller saves it; on IDC_VAULT_REMOVE (1006) the user confirmed the removal
// and proved the password, and the caller removes the vault.

#include "../engine/vault_claim.h"
#include "../engine/vault_store.h"
#include "../framework/dialog.h"

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

    DECLARE_MESSAGE_MAP()

private:
    VaultRecord* record_ = nullptr;
    VaultStore* store_ = nullptr;
    int mode_ = VAULT_DIALOG_NEW;
    // Held from the name check in OnOK until this object goes, after the caller has saved.
    VaultClaim names_;
};
