#include "get_started_page.h"

#include "../engine/vault/vault_claim.h"
#include "../engine/vault/vault_store.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "app_services.h"
#include "password_hint.h"
#include "vault_creation.h"

CGetStartedPage::CGetStartedPage()
    : CPropertyPage(IDD_WIZARD_GET_STARTED, IDS_WIZARD_CAPTION, IDS_WIZARD_GET_STARTED_TITLE)
{
}

BEGIN_MESSAGE_MAP(CGetStartedPage, CPropertyPage)
    ON_EN_SETFOCUS(IDC_VAULT_PASSWORD, &CGetStartedPage::OnPasswordSetFocus)
    ON_EN_SETFOCUS(IDC_VAULT_CONFIRM, &CGetStartedPage::OnConfirmSetFocus)
    ON_EN_KILLFOCUS(IDC_VAULT_PASSWORD, &CGetStartedPage::OnPasswordKillFocus)
    ON_EN_KILLFOCUS(IDC_VAULT_CONFIRM, &CGetStartedPage::OnConfirmKillFocus)
END_MESSAGE_MAP()

void CGetStartedPage::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_VAULT_NAME, nameEdit_);
    DDX_Control(dx, IDC_VAULT_CONFIRM, confirmEdit_);
    DDX_Control(dx, IDC_VAULT_PASSWORD, passwordEdit_);
}

BOOL CGetStartedPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    nameEdit_.SetWindowText(LoadStringResource(IDS_NAME_HINT));
    passwordEdit_.SetWindowText(LoadStringResource(IDS_PASSWORD_HINT));
    confirmEdit_.SetWindowText(LoadStringResource(IDS_CONFIRM_HINT));
    SetDlgItemTextA(m_hWnd, IDC_PASSWORD_LABEL, LoadStringResource(IDS_PASSWORD_LABEL).c_str());
    // From here on "modified" means: the user typed into that field.
    nameEdit_.SetModify(FALSE);
    passwordEdit_.SetModify(FALSE);
    confirmEdit_.SetModify(FALSE);
    return TRUE;
}

BOOL CGetStartedPage::OnSetActive()
{
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    // The sheet then gives the name field the focus without selecting its text, as Tab would;
    // selected, the text (the hint, at first) goes as soon as the user types.
    ::PostMessageA(nameEdit_, EM_SETSEL, 0, -1);
    return TRUE;
}

void CGetStartedPage::OnPasswordSetFocus() { HideHintOnFocus(passwordEdit_); }

void CGetStartedPage::OnConfirmSetFocus() { HideHintOnFocus(confirmEdit_); }

void CGetStartedPage::OnPasswordKillFocus()
{
    ShowHintOnBlur(passwordEdit_, LoadStringResource(IDS_PASSWORD_HINT));
}

void CGetStartedPage::OnConfirmKillFocus()
{
    ShowHintOnBlur(confirmEdit_, LoadStringResource(IDS_CONFIRM_HINT));
}

LRESULT CGetStartedPage::OnWizardNext()
{
    // Untouched password fields hold two different hints, so they never match.
    std::string name = nameEdit_.GetWindowText();
    std::string password = passwordEdit_.GetWindowText();
    if (password != confirmEdit_.GetWindowText()) {
        MessageBox(LoadStringResource(IDS_PASSWORDS_DIFFER), MB_ICONHAND);
        return -1;
    }
    return CreateAndSaveVault(name, password) ? 0 : -1;
}

bool CGetStartedPage::CreateAndSaveVault(const std::string& name, const std::string& password)
{
    VaultsAppServices& app = GetAppServices();
    std::string problem;
    {
        // Held from the name check until the record is saved; let go before any message.
        VaultClaim names;
        VaultRecord record;
        problem = CreateVaultOrSayWhy(names, app.GetVaultStore(), app.GetVaultsRoot(), name,
                                      password, record);
        // The folder stays: a folder that no vault owns may become one when the user tries again.
        if (problem.empty() && !app.GetVaultStore().Save(record))
            problem = "The vault \"" + name +
                      "\" could not be recorded in the registry. Please try again.";
    }
    if (problem.empty())
        return true;
    MessageBox(problem, MB_ICONHAND);
    return false;
}
