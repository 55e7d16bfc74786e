#pragma once
// The application's main window. It is never shown: it keeps the program running, receives the
// requests to exit, and asks before leaving vaults unlocked.

#include "../framework/frame_wnd.h"

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();

protected:
    int OnCreate(CREATESTRUCTA* create);
    void OnClose();
    LRESULT OnShutdownRequest(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};

// The registered message "WM_ORVELLA_SHUTDOWN": another process asks the program to exit.
extern UINT WM_ORVELLA_SHUTDOWN;
