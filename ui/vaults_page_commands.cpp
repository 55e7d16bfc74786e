// The Vaults page's commands. Each reads its vault's record again before it acts and ends
// only when its whole flow (dialogs, the lock or unlock job, the save) is over; while one flow
// is under way, no other starts.

#include "vaults_page.h"

#include "../engine/vault/vault_check.h"
#include "../engine/vault/vault_claim.h"
#include "../engine/vault/vault_record.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "password_dialog.h"
#include "vault_properties_dialog.h"
#include "vault_removal.h"

void CVaultsPage::OnNew()
{
    if (IsBusy())
        return;
    VaultRecord record;
    // The dialog holds the vault names until it goes, which is after the save.
    CVaultPropertiesDlg dialog(this);
    dialog.Setup(&record, &Store(), VAULT_DIALOG_NEW);
    if (dialog.DoModal() != IDOK)
        return;
    // The dialog ends with IDOK only once the vault has been created.
    Store().Save(record);
    int row = m_list.AppendVault(record);
    if (row < 0)
        return;
    m_list.FitColumns();
    m_list.SelectRow(row);
}

void CVaultsPage::OnManage()
{
    if (IsBusy())
        return;
    VaultClaim claim;
    VaultRecord record;
    if (!ClaimSelected(claim, record))
        return;
    CVaultPropertiesDlg dialog(this);
    dialog.Setup(&record, &Store(), VAULT_DIALOG_MANAGE);
    INT_PTR result = dialog.DoModal();
    // The row is found again by its vault: while the dialog was up, its message loop may have
    // run another command of the page (New, from the tray menu).
    if (result == IDC_VAULT_REMOVE) {
        RemoveConfirmed(record);
    } else if (result == IDOK) {
        Store().Save(record);
        int row = m_list.FindVault(record.id);
        if (row >= 0) {
            m_list.SetItemText(row, 0, record.Name());
            m_list.FitColumns();
        }
    }
}

void CVaultsPage::OnRemove()
{
    if (IsBusy())
        return;
    VaultClaim claim;
    VaultRecord record;
    if (ClaimSelected(claim, record) &&
        ConfirmVaultRemoval(*this, record, LoadStringResource(IDS_MANAGE_VAULT_CAPTION)))
        RemoveConfirmed(record);
}

void CVaultsPage::RemoveConfirmed(VaultRecord& record)
{
    Store().Remove(record, Root());
    int row = m_list.FindVault(record.id);
    if (row >= 0)
        DeleteRow(row);
}

void CVaultsPage::OnLock()
{
    if (IsBusy())
        return;
    VaultClaim claim;
    VaultRecord record;
    if (!ClaimSelected(claim, record))
        return;
    CPasswordDlg password(record, this);
    // A failed lock has been explained by the engine already; the vault stays as it was.
    if (password.DoModal() != IDOK || !record.Lock(Root(), password.password.c_str()))
        return;
    Store().Save(record);
    ShowLockState(record);
    RefreshTrayIcon();
}

void CVaultsPage::OnCheck()
{
    if (IsBusy())
        return;
    VaultClaim claim;
    VaultRecord record;
    if (!ClaimSelected(claim, record))
        return;
    CPasswordDlg password(record, this);
    if (password.DoModal() != IDOK)
        return;
    // A check that could not be made has been explained by the engine already.
    std::string result;
    CheckOutcome outcome = CheckLockedVault(record, Root(), password.password.c_str(), &result);
    if (outcome != CheckOutcome::NOT_CHECKED)
        MessageBox(WidenName(result, NamesOf(record)),
                   WidenName(AfxGetAppName(), NameEncoding::ANSI), MB_OK | (outcome == CheckOutcome::SOUND ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void CVaultsPage::OnUnlockAndOpen()
{
    if (IsBusy())
        return;
    VaultClaim claim;
    VaultRecord record;
    if (!LoadSelected(record))
        return;
    // An unlocked vault opens at once, without a password.
    if (record.IsLocked() && !(ClaimAndReload(claim, record) && UnlockClaimed(record)))
        return;
    openFolder(record, Root());
    RefreshTrayIcon();
}

bool CVaultsPage::UnlockClaimed(VaultRecord& record)
{
    if (record.IsLocked()) {
        CPasswordDlg password(record, this);
        if (password.DoModal() != IDOK || !record.Unlock(Root(), password.password.c_str()))
            return false;
        Store().Save(record);
    }
    ShowLockState(record);
    return true;
}

bool CVaultsPage::IsBusy()
{
    // A command can arrive here while a window is modal over the page (posted by the tray menu
    // before a job started, say): one flow at a time, so that window comes forward instead.
    return AfxBringModalForward(m_hWnd);
}

bool CVaultsPage::ClaimSelected(VaultClaim& claim, VaultRecord& record)
{
    return LoadSelected(record) && ClaimAndReload(claim, record);
}

bool CVaultsPage::ClaimAndReload(VaultClaim& claim, VaultRecord& record)
{
    if (!claim.ClaimVault(Root(), record.id)) {
        MessageBox(VaultInUseText(record.Name()), MB_OK | MB_ICONSTOP);
        return false;
    }
    // The record may have changed before the claim was had.
    int row = m_list.FindVault(record.id);
    return row >= 0 && LoadRow(row, record);
}
