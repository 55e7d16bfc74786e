#pragma once
// The main frame of a scratch application (store on a scratch key, vaults root in a scratch
// folder), created as start-up creates it. The shell is replaced: every Shell_NotifyIconA call is
// recorded, with the image it carries told by its pixels, and answered with `notifyResult`; the
// tray menu is read instead of shown.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/main_frame.h"
#include "vault_dialog_host.h"

struct NotifyCall {
    DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
    DWORD size;
    HWND window;
    UINT id;
    UINT flags;
    UINT callback;
    UINT image;  // IDI_TRAY_UNLOCKED or IDI_TRAY_LOCKED; 0 without an icon, 1 for another one
};

struct TrayMenuSeen {
    int shown = 0;
    UINT flags = 0;
    HWND owner = nullptr;
    UINT defaultItem = 0;
    std::vector<std::string> items;  // "-" for a separator
};

class MainFrameTest : public VaultDialogTest {
protected:
    MainFrameTest();
    ~MainFrameTest() override;

    // Creates the frame window as the application's main window.
    bool CreateFrame();
    // Sends `message` to the frame, then handles everything that was posted meanwhile.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    static void PumpMessages();
    // Handles this thread's messages until `done` holds, for at most timeoutMs.
    static void PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    HWND MainDialog() { return frame.GetMainDialog().m_hWnd; }
    // A saved vault whose record says locked (only the record's state matters to the frame).
    void AddLockedVault(const std::string& name);
    // Marks every vault of the store locked.
    void LockAllVaults();
    void SetHotkeyOnly(bool on);
    // The calls recorded so far, as "ADD 169", "MODIFY 171", "DELETE".
    std::vector<std::string> CallSummary() const;

    std::vector<NotifyCall>& notifyCalls;
    BOOL& notifyResult;
    TrayMenuSeen& menuSeen;
    CMainFrame frame;
};
