#pragma once
// The introduction wizard's second page: the user names the first vault and gives it a password
// (typed twice), and Next creates the vault and saves its record in the application's store.
// The password fields show hints until the user types there, as in the New Vault dialog.

#include <string>

#include "../framework/edit.h"
#include "../framework/property_page.h"

class CGetStartedPage : public CPropertyPage {
public:
    CGetStartedPage();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Creates the vault from the texts as they stand (hints included) and moves on; stays on the
    // page, after telling the user why, when the passwords differ or no vault could be made.
    LRESULT OnWizardNext() override;
    void OnPasswordSetFocus();
    void OnConfirmSetFocus();
    void OnPasswordKillFocus();
    void OnConfirmKillFocus();

    DECLARE_MESSAGE_MAP()

private:
    // Creates the vault and saves its record; false, after telling the user why, when no vault
    // was recorded.
    bool CreateAndSaveVault(const std::string& name, const std::string& password);

    CEdit nameEdit_;
    CEdit confirmEdit_;
    CEdit passwordEdit_;
};
