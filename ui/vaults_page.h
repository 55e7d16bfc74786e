#pragma once
// The Vaults page: the list of vaults (name, locked or unlocked picture) and the four vault
// commands (New, Manage, Unlock and open, Lock), as picture buttons above the list, in its
// context menu (the right button, the context-menu key or Shift+F10) and on double click; the
// context menu also checks a locked vault's container (Check...); the
// Delete key removes the selected vault, after the Manage dialog's question and the password. Each row keeps only its vault's id; every command reads the
// record again from the store before it acts, and a row whose record is gone is deleted then.
// The commands that change a vault claim it first (VaultClaim) and hold the claim until the
// record is saved.

#include <string>

#include "../engine/vault/vault_record.h"
#include "../framework/property_page.h"
#include "command_picture.h"
#include "vault_commands.h"
#include "vault_list.h"
#include "vaults_header_ctrl.h"

class VaultClaim;
class VaultStore;

typedef BOOL(WINAPI* TrackPopupFunction)(HMENU, UINT, int, int, int, HWND, const RECT*);
typedef bool (*OpenFolderFunction)(VaultRecord& record, const std::string& root);

class CVaultsPage : public CPropertyPage {
public:
    CVaultsPage();
    ~CVaultsPage() override;

    // How the context menu is shown (TrackPopupMenu, which sends the chosen item to the page as
    // its command); tests replace it to read the menu and choose.
    static TrackPopupFunction trackPopupMenu;
    // How a vault's folder is opened (VaultRecord::OpenFolder, which starts the shell's file
    // browser); tests replace it to see the call.
    static OpenFolderFunction openFolder;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnDpiChanged(UINT dpi) override;

    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnDoubleClick(NMHDR* header, LRESULT* result);
    void OnRightClick(NMHDR* header, LRESULT* result);
    void OnListKeyDown(NMHDR* header, LRESULT* result);
    // The context menu asked for from the keyboard (or a right click the list did not report).
    LRESULT OnContextMenu(WPARAM window, LPARAM point);
    void OnNew();
    void OnManage();
    void OnUnlockAndOpen();
    void OnLock();
    void OnCheck();
    void OnRemove();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);

    DECLARE_MESSAGE_MAP()

private:
    static VaultStore& Store();
    static const std::string& Root();

    void FillList();
    // The vault list's context menu at `at` (screen coordinates), for the selected row.
    void ShowVaultMenu(POINT at);
    // Removes the claimed vault the user confirmed removing, with its row.
    void RemoveConfirmed(VaultRecord& record);
    void ShowCommands(const VaultCommandStates& states);
    // Reads the record of `row` again; a row whose record is gone is deleted, and false returned.
    bool LoadRow(int row, VaultRecord& record);
    // The selected row's record, read again as LoadRow does; false without a selection.
    bool LoadSelected(VaultRecord& record);
    // Claims the vault of `record` for this command and reads its record again. A vault claimed
    // elsewhere is refused with a message; false then, or when the record is gone.
    bool ClaimAndReload(VaultClaim& claim, VaultRecord& record);
    // True, bringing it forward, while a window is modal over the page.
    bool IsBusy();
    // The selected row's vault, claimed and read again (LoadSelected, then ClaimAndReload).
    bool ClaimSelected(VaultClaim& claim, VaultRecord& record);
    // Unlocks the claimed vault after asking for its password (unless it is unlocked already)
    // and saves it; false when the user cancels or the unlock fails.
    bool UnlockClaimed(VaultRecord& record);
    void DeleteRow(int row);
    // Shows a changed lock state on the vault's row and on the commands.
    void ShowLockState(const VaultRecord& record);
    // Tells the main window that a vault's lock state may have changed.
    void RefreshTrayIcon() const;

    CVaultList m_list;
    CVaultsHeaderCtrl m_header;
    CCommandPicture m_manage;
    CCommandPicture m_unlock;
    CCommandPicture m_lock;
};
