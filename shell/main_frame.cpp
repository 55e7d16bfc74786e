#include "main_frame.h"

#include "../engine/jobs/job_front_end.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "../ui/app_messages.h"
#include "already_running_dialog.h"
#include "session_block.h"
#include "settings.h"
#include "vaults_app.h"

UINT WM_ORVELLA_SHUTDOWN = 0;
UINT WM_TASKBAR_CREATED = 0;

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE(&CMainFrame::OnCreate)
    ON_WM_CLOSE(&CMainFrame::OnClose)
    ON_MESSAGE(WM_DESTROY, &CMainFrame::OnDestroy)
    ON_MESSAGE(WM_QUERYENDSESSION, &CMainFrame::OnQueryEndSession)
    ON_MESSAGE(WM_ENDSESSION, &CMainFrame::OnEndSession)
    ON_REGISTERED_MESSAGE(WM_ORVELLA_SHUTDOWN, &CMainFrame::OnShutdownRequest)
    ON_MESSAGE(WM_TRAYICON_NOTIFY, &CMainFrame::OnTrayNotify)
    ON_MESSAGE(WM_REFRESH_TRAY_ICON, &CMainFrame::OnRefreshTrayIcon)
    ON_REGISTERED_MESSAGE(WM_TASKBAR_CREATED, &CMainFrame::OnTaskbarCreated)
    ON_COMMAND(ID_NEW_VAULT, &CMainFrame::OnNewVault)
    ON_COMMAND(ID_SHOW_OPTIONS, &CMainFrame::OnShowOptions)
    ON_COMMAND(ID_MANAGE_VAULTS, &CMainFrame::OnManageVaults)
    ON_COMMAND(ID_SHOW_ABOUT, &CMainFrame::OnShowAbout)
    ON_MESSAGE(WM_HOTKEY, &CMainFrame::OnHotKey)
    ON_MESSAGE(WM_TIMER, &CMainFrame::OnWaitTimer)
END_MESSAGE_MAP()

namespace {
const UINT_PTR kWaitTimer = 1;
const UINT kWaitMilliseconds = 250;
}  // namespace

CMainFrame::CMainFrame()
{
    WM_ORVELLA_SHUTDOWN = RegisterWindowMessageA("WM_ORVELLA_SHUTDOWN");
    WM_TASKBAR_CREATED = RegisterWindowMessageA("TaskbarCreated");
}

int CMainFrame::OnCreate(CREATESTRUCTA* create)
{
    if (CFrameWnd::OnCreate(create) == -1)
        return -1;
    if (!IsHotkeyOnly())
        AddTrayIcon();
    // The main dialog is created only after the notice is closed.
    ShowRunningNoticeIfDue();
    m_trayMenu.Load(IDR_MAINFRAME);
    m_mainDialog.Create();
    if (GetVaultsApp().GetSettingsKey().ReadDword(SETTING_SHOW_VAULTS_ON_START, 0) != 0)
        PostMessage(WM_COMMAND, ID_MANAGE_VAULTS);
    return 0;
}

void CMainFrame::ShowRunningNoticeIfDue()
{
    CVaultsApp& app = GetVaultsApp();
    bool due = app.IsFirstRun() ||
               app.GetSettingsKey().ReadDword(SETTING_DONT_SHOW_RUNNING_WARNING, 0) == 0;
    if (due) {
        CAlreadyRunningDlg notice;
        notice.DoModal();
    }
}

void CMainFrame::OnClose()
{
    if (m_askingToClose)
        return;
    // Whatever is modal over the main dialog (a lock or unlock under way, a question) ends
    // first; the exit follows, asking as usual.
    if (AfxBringModalForward(m_mainDialog.m_hWnd)) {
        m_closeWhenFree = true;
        StartWaiting();
        return;
    }
    if (GetVaultsApp().GetVaultStore().HasUnlockedVault()) {
        m_askingToClose = true;
        int answer = MessageBox("There are unlocked Vaults. Close anyway?",
                                MB_OKCANCEL | MB_ICONEXCLAMATION);
        m_askingToClose = false;
        if (answer != IDOK)
            return;
    }
    // Nothing is locked on the way out: unlocked vaults stay unlocked on disk.
    CFrameWnd::OnClose();
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM)
{
    // The shell is told while the window still exists.
    m_trayIcon.Remove();
    return 0;
}

LRESULT CMainFrame::OnQueryEndSession(WPARAM, LPARAM)
{
    if (!IsJobRunning())
        return TRUE;
    // A job cut short by the session's end would leave its vault for the next start to put
    // right: Windows waits, showing why, and the user can log off once the job is done.
    BlockSessionEnd(m_hWnd, L"A vault is being locked or unlocked. Please wait until it is done.");
    m_blockingSessionEnd = true;
    StartWaiting();
    return FALSE;
}

void CMainFrame::StartWaiting() { SetTimer(m_hWnd, kWaitTimer, kWaitMilliseconds, nullptr); }

bool CMainFrame::IsMainDialogFree() const
{
    return !m_mainDialog.m_hWnd || IsWindowEnabled(m_mainDialog.m_hWnd);
}

LRESULT CMainFrame::OnWaitTimer(WPARAM timer, LPARAM)
{
    if (timer != kWaitTimer)
        return 0;
    if (m_blockingSessionEnd && !IsJobRunning()) {
        m_blockingSessionEnd = false;
        UnblockSessionEnd(m_hWnd);
    }
    if (m_closeWhenFree && IsMainDialogFree()) {
        m_closeWhenFree = false;
        PostMessage(WM_CLOSE);
    }
    if (!m_blockingSessionEnd && !m_closeWhenFree)
        KillTimer(m_hWnd, kWaitTimer);
    return 0;
}

LRESULT CMainFrame::OnEndSession(WPARAM ending, LPARAM)
{
    // The session ends whatever the vaults' state: no question, the program just ends.
    if (ending && m_hWnd)
        DestroyWindow(m_hWnd);
    return 0;
}

LRESULT CMainFrame::OnShutdownRequest(WPARAM, LPARAM)
{
    PostMessage(WM_COMMAND, ID_APP_EXIT);
    return 0;
}
