// The main frame's ways to the main dialog: the tray menu's commands and the global hotkey.

#include "main_frame.h"

#include "../resources/resource.h"

void CMainFrame::OnNewVault()
{
    // Nothing starts while a window is modal over the main dialog (a job runs, say): that window
    // comes forward instead.
    if (m_mainDialog.ShowOnTab(IDC_TAB_VAULTS))
        m_mainDialog.GetVaultsPage().PostMessage(WM_COMMAND, IDC_VAULT_NEW);
}

void CMainFrame::OnShowOptions() { m_mainDialog.ShowOnTab(IDC_TAB_OPTIONS); }

void CMainFrame::OnManageVaults() { m_mainDialog.ShowOnTab(IDC_TAB_VAULTS); }

void CMainFrame::OnShowAbout() { m_mainDialog.ShowOnTab(IDC_TAB_ABOUT); }

LRESULT CMainFrame::OnHotKey(WPARAM id, LPARAM)
{
    if (id == MAIN_DIALOG_HOTKEY_ID)
        m_mainDialog.ShowOnTab(0);
    return 0;
}
