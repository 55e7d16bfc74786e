#pragma once
// The application's main window. It is never shown: it keeps the program reachable from the
// notification area. It owns the tray icon with its menu and the main dialog, shows the dialog
// for the tray's commands and the global hotkey, and turns every exit (the tray's Exit, the main
// dialog's Exit, the shutdown request of another process) into a close that asks before leaving
// vaults unlocked. Logging off or shutting Windows down ends it without asking.

#include "../framework/frame_wnd.h"
#include "../ui/vaults_dialog.h"
#include "owned_menu.h"
#include "tray_icon.h"

// The tray icon's callback message: the mouse event is in the low word of lParam.
enum { WM_TRAYICON_NOTIFY = WM_APP + 1 };

// The global hotkey's identifier on the main frame.
enum { MAIN_DIALOG_HOTKEY_ID = 1 };

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();

    // How the tray menu is shown (TrackPopupMenu, which sends the chosen item to the frame as
    // its command); tests replace it to read the menu.
    static TrackPopupFunction trackPopupMenu;

    CVaultsDlg& GetMainDialog() { return m_mainDialog; }

protected:
    int OnCreate(CREATESTRUCTA* create);
    void OnClose();
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM ending, LPARAM);
    LRESULT OnShutdownRequest(WPARAM, LPARAM);
    LRESULT OnWaitTimer(WPARAM timer, LPARAM);

    LRESULT OnTrayNotify(WPARAM, LPARAM event);
    LRESULT OnRefreshTrayIcon(WPARAM, LPARAM);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);

    void OnNewVault();
    void OnShowOptions();
    void OnManageVaults();
    void OnShowAbout();
    LRESULT OnHotKey(WPARAM id, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    // The running notice, when this start is the first one or the user has not turned it off.
    static void ShowRunningNoticeIfDue();
    static bool IsHotkeyOnly();
    // The tray icon's image for the vaults' state: unlocked while any vault is not locked.
    static UINT CurrentTrayImage();
    bool AddTrayIcon();
    void ShowTrayMenu();

    CTrayIcon m_trayIcon;
    COwnedMenu m_trayMenu;
    CVaultsDlg m_mainDialog;
    // Polls until what the flags below wait for is over.
    void StartWaiting();
    bool IsMainDialogFree() const;

    // While the unlocked-vaults question is open, further close requests are ignored.
    bool m_askingToClose = false;
    // An exit asked for while a window was modal over the main dialog: it goes on once that
    // window has gone.
    bool m_closeWhenFree = false;
    // The end of the session is refused while a job runs: a vault is half locked or unlocked.
    bool m_blockingSessionEnd = false;
};

// The registered message "WM_ORVELLA_SHUTDOWN": another process asks the program to exit.
extern UINT WM_ORVELLA_SHUTDOWN;
// The registered message "TaskbarCreated": the shell (re)created the notification area, and
// every icon it had is gone.
extern UINT WM_TASKBAR_CREATED;
