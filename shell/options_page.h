#pragma once
// The Options page of the main dialog (template 103). Every click takes effect and is saved at
// once; there is no OK or Apply. Besides plain settings it switches autorun (the per-user Run
// value), the global hotkey with hotkey-only mode (no tray icon), stealth mode (the Start-menu
// group moved into the hidden installation folder) and moves the vaults root with every vault.

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "../framework/property_page.h"

// The shell's folder browser, as SHBrowseForFolderA is called.
typedef PIDLIST_ABSOLUTE(WINAPI* BrowseForFolderFunction)(LPBROWSEINFOA);

class COptionsPage : public CPropertyPage {
public:
    COptionsPage();

    // Registers the hotkey the control shows on the main window (identifier 1), or only
    // unregisters it when enable is false. An empty control gets the default combination first.
    // False when the system refused the combination; the control is then emptied.
    bool ApplyHotkey(bool enable);

    // The folder browser the Select button opens; tests put a stand-in here.
    static BrowseForFolderFunction browseForFolder;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnSelectRoot();
    void OnAutorun();
    void OnDontShowRunningWarning();
    void OnShowVaultsOnStart();
    void OnHideIcons();
    void OnHotkeyOnly();
    void OnHotkeyChange();

    DECLARE_MESSAGE_MAP()

private:
    // The folder the user chose in the browser: "" when cancelled, and *unusable set when the
    // chosen item is no file-system folder.
    std::string ChooseFolder(bool* unusable);
    WORD HotkeyWord() const;
    void SetHotkeyWord(WORD word);

    std::string m_rootDirectory;
    BOOL m_autoRun = FALSE;
    BOOL m_dontShowRunningWarning = FALSE;
    BOOL m_showVaultsOnStart = FALSE;
    BOOL m_hideIcons = FALSE;
    CWnd m_hotkey;
    BOOL m_hotkeyOnly = FALSE;
};
