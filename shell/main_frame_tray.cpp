// The main frame's tray icon: its image, its mouse events and its menu.

#include "main_frame.h"

#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "settings.h"
#include "vaults_app.h"

TrackPopupFunction CMainFrame::trackPopupMenu = TrackPopupMenu;

bool CMainFrame::IsHotkeyOnly()
{
    return GetVaultsApp().GetSettingsKey().ReadDword(SETTING_HOTKEY_ONLY, 0) != 0;
}

UINT CMainFrame::CurrentTrayImage()
{
    return GetVaultsApp().GetVaultStore().HasUnlockedVault() ? IDI_TRAY_UNLOCKED
                                                             : IDI_TRAY_LOCKED;
}

bool CMainFrame::AddTrayIcon()
{
    return m_trayIcon.Add(m_hWnd, WM_TRAYICON_NOTIFY, CurrentTrayImage());
}

LRESULT CMainFrame::OnRefreshTrayIcon(WPARAM, LPARAM)
{
    if (IsHotkeyOnly())
        m_trayIcon.Remove();
    else if (m_trayIcon.IsAdded())
        m_trayIcon.Modify(CurrentTrayImage());
    else
        AddTrayIcon();
    return 0;
}

LRESULT CMainFrame::OnTaskbarCreated(WPARAM, LPARAM)
{
    // A new notification area knows none of the old icons: the icon is added afresh.
    if (IsHotkeyOnly())
        return 0;
    m_trayIcon.Remove();
    AddTrayIcon();
    return 0;
}

LRESULT CMainFrame::OnTrayNotify(WPARAM, LPARAM event)
{
    switch (LOWORD(event)) {
    case WM_LBUTTONDBLCLK:
        OutputDebugStringA("WM_LBUTTONDOWN\n");
        PostMessage(WM_COMMAND, ID_MANAGE_VAULTS);
        break;
    case WM_RBUTTONDOWN:
        OutputDebugStringA("WM_RBUTTONDOWN\n");
        // While a window is modal over the main dialog (a job's progress, say), that window
        // comes forward instead of a menu that could start something else. (A double click
        // opens the main dialog, which does the same.)
        if (!AfxBringModalForward(m_mainDialog.m_hWnd))
            ShowTrayMenu();
        break;
    }
    return 0;
}

void CMainFrame::ShowTrayMenu()
{
    POINT cursor = {};
    GetCursorPos(&cursor);
    // The menu closes when the user clicks elsewhere only if its owner is the foreground window.
    SetForegroundWindow(m_hWnd);
    HMENU menu = m_trayMenu.SubMenu(0);
    if (!menu)
        return;
    SetMenuDefaultItem(menu, ID_MANAGE_VAULTS, FALSE);
    trackPopupMenu(menu, 0, cursor.x, cursor.y, 0, m_hWnd, nullptr);
    // Lets the foreground switch complete, so that the menu opens again at the next click.
    PostMessage(WM_NULL);
}
