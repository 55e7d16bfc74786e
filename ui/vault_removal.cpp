#include "vault_removal.h"

#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "password_dialog.h"

bool ConfirmVaultRemoval(CWnd& owner, const VaultRecord& record, const std::string& caption)
{
    std::string question = FormatStringResource(IDS_CONFIRM_REMOVE, record.Name());
    if (owner.MessageBox(question, caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    CPasswordDlg proof(record, &owner);
    return proof.DoModal() == IDOK;
}
