#include "main_frame.h"

#include "already_running_dialog.h"
#include "settings.h"
#include "vaults_app.h"

UINT WM_ORVELLA_SHUTDOWN = 0;

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE(&CMainFrame::OnCreate)
    ON_WM_CLOSE(&CMainFrame::OnClose)
    ON_REGISTERED_MESSAGE(WM_ORVELLA_SHUTDOWN, &CMainFrame::OnShutdownRequest)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() { WM_ORVELLA_SHUTDOWN = RegisterWindowMessageA("WM_ORVELLA_SHUTDOWN"); }

int CMainFrame::OnCreate(CREATESTRUCTA* create)
{
    if (CFrameWnd::OnCreate(create) == -1)
        return -1;
    CVaultsApp& app = GetVaultsApp();
    bool noticeDue = app.IsFirstRun() ||
                     app.GetSettingsKey().ReadDword(SETTING_DONT_SHOW_RUNNING_WARNING, 0) == 0;
    if (noticeDue) {
        CAlreadyRunningDlg notice;
        notice.DoModal();
    }
    return 0;
}

void CMainFrame::OnClose()
{
    if (GetVaultsApp().GetVaultStore().HasUnlockedVault() &&
        MessageBox("There are unlocked Vaults. Close anyway?", MB_OKCANCEL | MB_ICONEXCLAMATION) !=
            IDOK)
        return;
    CFrameWnd::OnClose();
}

LRESULT CMainFrame::OnShutdownRequest(WPARAM, LPARAM)
{
    PostMessage(WM_COMMAND, ID_APP_EXIT);
    return 0;
}
