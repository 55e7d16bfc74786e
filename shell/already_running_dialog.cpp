#include "already_running_dialog.h"

#include "../resources/resource.h"
#include "settings.h"
#include "vaults_app.h"

BEGIN_MESSAGE_MAP(CAlreadyRunningDlg, CDialog)
    ON_BN_CLICKED(IDC_DONT_SHOW_AGAIN, &CAlreadyRunningDlg::OnDontShowAgainClicked)
END_MESSAGE_MAP()

CAlreadyRunningDlg::CAlreadyRunningDlg() : CDialog(IDD_ALREADY_RUNNING) {}

void CAlreadyRunningDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Check(dx, IDC_DONT_SHOW_AGAIN, m_dontShowAgain);
}

BOOL CAlreadyRunningDlg::OnInitDialog()
{
    m_dontShowAgain =
        GetVaultsApp().GetSettingsKey().ReadDword(SETTING_DONT_SHOW_RUNNING_WARNING, 0) != 0;
    return CDialog::OnInitDialog();
}

void CAlreadyRunningDlg::OnDontShowAgainClicked()
{
    UpdateData(true);
    GetVaultsApp().GetSettingsKey().WriteDword(SETTING_DONT_SHOW_RUNNING_WARNING,
                                               m_dontShowAgain ? 1 : 0);
}
