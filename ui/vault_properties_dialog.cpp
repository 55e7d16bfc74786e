#include "vault_properties_dialog.h"

#include "../engine/base/secret_memory.h"
#include "../engine/crypto/password_rule.h"
#include "../engine/crypto/password_text.h"
#include "../engine/files/vault_path.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "app_services.h"
#include "password_dialog.h"
#include "password_hint.h"
#include "vault_creation.h"
#include "vault_dialog_messages.h"
#include "vault_removal.h"

namespace {

// What the password fields of Manage show until the user types a new password.
const char kUnchangedPassword[] = "*********";

}  // namespace

CVaultPropertiesDlg::CVaultPropertiesDlg(CWnd* parent) : CDialog(IDD_VAULT_PROPERTIES, parent) {}

CVaultPropertiesDlg::~CVaultPropertiesDlg() = default;

void CVaultPropertiesDlg::Setup(VaultRecord* record, VaultStore* store, int mode)
{
    record_ = record;
    store_ = store;
    mode_ = mode;
}

BEGIN_MESSAGE_MAP(CVaultPropertiesDlg, CDialog)
    ON_BN_CLICKED(IDC_VAULT_REMOVE, &CVaultPropertiesDlg::OnRemove)
    ON_EN_SETFOCUS(IDC_VAULT_PASSWORD, &CVaultPropertiesDlg::OnPasswordSetFocus)
    ON_EN_SETFOCUS(IDC_VAULT_CONFIRM, &CVaultPropertiesDlg::OnConfirmSetFocus)
    ON_EN_KILLFOCUS(IDC_VAULT_PASSWORD, &CVaultPropertiesDlg::OnPasswordKillFocus)
    ON_EN_KILLFOCUS(IDC_VAULT_CONFIRM, &CVaultPropertiesDlg::OnConfirmKillFocus)
END_MESSAGE_MAP()

void CVaultPropertiesDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_VAULT_NAME, nameEdit_);
    DDX_Control(dx, IDC_VAULT_CONFIRM, confirmEdit_);
    DDX_Control(dx, IDC_VAULT_PASSWORD, passwordEdit_);
}

BOOL CVaultPropertiesDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    passwordEdit_.TakeWideInput();
    confirmEdit_.TakeWideInput();
    if (mode_ == VAULT_DIALOG_NEW)
        ShowNewVault();
    else if (mode_ == VAULT_DIALOG_MANAGE)
        ShowManagedVault();
    // From here on "modified" means: the user typed into that field.
    nameEdit_.SetModify(FALSE);
    passwordEdit_.SetModify(FALSE);
    confirmEdit_.SetModify(FALSE);
    return TRUE;  // the name field takes the focus with its text selected, so typing replaces it
}

void CVaultPropertiesDlg::ShowNewVault()
{
    SetWindowText(LoadStringResource(IDS_NEW_VAULT_CAPTION));
    nameEdit_.SetWindowText(LoadStringResource(IDS_NAME_HINT));
    passwordEdit_.SetWindowText(LoadStringResource(IDS_PASSWORD_HINT));
    confirmEdit_.SetWindowText(LoadStringResource(IDS_CONFIRM_HINT));
    SetDlgItemTextA(m_hWnd, IDC_PASSWORD_LABEL, LoadStringResource(IDS_PASSWORD_LABEL).c_str());
    ::ShowWindow(GetDlgItem(IDC_VAULT_REMOVE), SW_HIDE);
}

void CVaultPropertiesDlg::ShowManagedVault()
{
    SetWindowText(LoadStringResource(IDS_MANAGE_VAULT_CAPTION));
    nameEdit_.SetWindowText(record_->Name());
    for (CEdit* field : {&passwordEdit_, &confirmEdit_}) {
        field->SetWindowText(kUnchangedPassword);
        field->SetPasswordChar('*');
    }
    SetDlgItemTextA(m_hWnd, IDC_PASSWORD_LABEL, LoadStringResource(IDS_NEW_PASSWORD_LABEL).c_str());
    // A classic vault may become one encrypted with its password; there is no way back.
    if (record_->IsStrong()) {
        CheckDlgButton(m_hWnd, IDC_VAULT_STRONG, BST_CHECKED);
        ::EnableWindow(GetDlgItem(IDC_VAULT_STRONG), FALSE);
    }
}

void CVaultPropertiesDlg::OnPasswordSetFocus()
{
    if (mode_ == VAULT_DIALOG_NEW)
        HideHintOnFocus(passwordEdit_);
}

void CVaultPropertiesDlg::OnConfirmSetFocus()
{
    if (mode_ == VAULT_DIALOG_NEW)
        HideHintOnFocus(confirmEdit_);
}

void CVaultPropertiesDlg::OnPasswordKillFocus()
{
    if (mode_ == VAULT_DIALOG_NEW)
        ShowHintOnBlur(passwordEdit_, LoadStringResource(IDS_PASSWORD_HINT));
}

void CVaultPropertiesDlg::OnConfirmKillFocus()
{
    if (mode_ == VAULT_DIALOG_NEW)
        ShowHintOnBlur(confirmEdit_, LoadStringResource(IDS_CONFIRM_HINT));
}

void CVaultPropertiesDlg::OnOK()
{
    // The texts as they stand, hints included: untouched New fields hold two different hints.
    std::string name = nameEdit_.GetWindowText();
    std::wstring typed = passwordEdit_.GetWideText();
    std::wstring confirmed = confirmEdit_.GetWideText();
    bool same = typed == confirmed;
    WipeString(confirmed);
    if (!same) {
        WipeString(typed);
        MessageBox(LoadStringResource(IDS_PASSWORDS_DIFFER), MB_ICONHAND);
        return;
    }
    // A managed classic vault with the box ticked takes a new password as a strong vault's.
    bool strong = IsDlgButtonChecked(m_hWnd, IDC_VAULT_STRONG) == BST_CHECKED;
    std::string password = PasswordBytes(typed, strong);
    WipeString(typed);
    StringWiper wipe(password);
    bool settingPassword = mode_ == VAULT_DIALOG_NEW || passwordEdit_.GetModify() != FALSE;
    if (strong && settingPassword && !AcceptsStrongPassword(password))
        return;
    if (Apply(name, password))
        EndDialog(IDOK);
    else
        names_.reset();
}

bool CVaultPropertiesDlg::AcceptsStrongPassword(const std::string& utf8)
{
    std::string problem = StrongPasswordProblem(utf8);
    if (problem.empty())
        return true;
    MessageBox(problem, MB_ICONHAND);
    ::SetFocus(passwordEdit_.m_hWnd);
    passwordEdit_.SendMessage(EM_SETSEL, 0, -1);
    return false;
}

bool CVaultPropertiesDlg::Apply(const std::string& name, const std::string& password)
{
    // A managed vault that keeps its name exactly needs no check.
    bool naming = mode_ != VAULT_DIALOG_MANAGE || name != record_->Name();
    if (naming && !ClaimAndCheckName(name))
        return false;
    if (mode_ == VAULT_DIALOG_NEW)
        return CreateVault(name, password);
    if (mode_ == VAULT_DIALOG_MANAGE)
        return ChangeVault(name, password);
    return true;
}

bool CVaultPropertiesDlg::ClaimAndCheckName(const std::string& name)
{
    names_.emplace();
    if (!names_->ClaimNames()) {
        MessageBox(NamesBusyText(), MB_ICONHAND);
        return false;
    }
    uint32_t exceptId = mode_ == VAULT_DIALOG_MANAGE ? record_->id : 0;
    std::string refusal =
        NameRefusalText(*store_, GetAppServices().GetVaultsRoot(), name, exceptId);
    if (refusal.empty())
        return true;
    MessageBox(refusal, MB_ICONHAND);
    return false;
}

bool CVaultPropertiesDlg::CreateVault(const std::string& name, const std::string& password)
{
    bool strong = IsDlgButtonChecked(m_hWnd, IDC_VAULT_STRONG) == BST_CHECKED;
    std::string failure = CreateCheckedVaultOrSayWhy(*store_, GetAppServices().GetVaultsRoot(),
                                                     name, password, *record_, strong);
    if (failure.empty())
        return true;
    MessageBox(failure, MB_ICONHAND);
    return false;
}

bool CVaultPropertiesDlg::ChangeVault(const std::string& name, const std::string& password)
{
    // A field counts as changed once the user typed into it, even if its text ends up as before.
    bool renaming = nameEdit_.GetModify() != FALSE;
    bool repasswording = passwordEdit_.GetModify() != FALSE;
    bool protecting = !record_->IsStrong() &&
                      IsDlgButtonChecked(m_hWnd, IDC_VAULT_STRONG) == BST_CHECKED;
    if (!renaming && !repasswording && !protecting)
        return true;
    CPasswordDlg proof(*record_, this);  // owned by this dialog, which takes no input meanwhile
    if (proof.DoModal() != IDOK)
        return false;
    // The new password protects the vault when one was typed (OnOK checked it), else the one it
    // has, which must then pass the same rule before anything changes.
    const std::string& protector = repasswording ? password : proof.utf8;
    if (protecting && !repasswording && !AcceptsCurrentPassword(proof.utf8))
        return false;
    if (renaming && !RenameVault(name))
        return false;
    const std::string& root = GetAppServices().GetVaultsRoot();
    // A vault that could not be changed (the user has been told why) keeps the dialog open,
    // unless it was renamed already: that the caller saves. Protect sets the new password too.
    if (protecting)
        return record_->Protect(root, proof.password.c_str(), protector.c_str()) || renaming;
    if (repasswording &&
        !record_->ChangePassword(root, proof.password.c_str(), password.c_str()))
        return renaming;
    return true;
}

bool CVaultPropertiesDlg::AcceptsCurrentPassword(const std::string& utf8)
{
    std::string problem = StrongPasswordProblem(utf8);
    if (problem.empty())
        return true;
    MessageBox(problem + "\r\nType a new password for the vault and confirm it: its contents are "
                         "then encrypted with that one.",
               MB_ICONHAND);
    ::SetFocus(passwordEdit_.m_hWnd);
    passwordEdit_.SendMessage(EM_SETSEL, 0, -1);
    return false;
}

bool CVaultPropertiesDlg::RenameVault(const std::string& name)
{
    const std::string& root = GetAppServices().GetVaultsRoot();
    std::string from = JoinPath(root, record_->Name());
    if (record_->Rename(*store_, root, name))
        return true;
    DWORD error = GetLastError();
    // A move fails for "already exists" on its target, for anything else on the vault's folder.
    bool targetExists = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    std::string what =
        "The vault \"" + record_->Name() + "\" could not be renamed to \"" + name + "\".";
    MessageBox(FileFailureText(what, error, targetExists ? JoinPath(root, name) : from),
               MB_ICONHAND);
    return false;
}

void CVaultPropertiesDlg::OnRemove()
{
    if (ConfirmVaultRemoval(*this, *record_, GetWindowText()))
        EndDialog(IDC_VAULT_REMOVE);
}
