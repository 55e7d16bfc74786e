// The Vaults page: setting up and filling the list, following its selection, double clicks and
// right clicks, and the page's colours. The commands themselves are in vaults_page_commands.cpp.

#include "vaults_page.h"

#include "../engine/vault/vault_store.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "app_messages.h"
#include "app_services.h"
#include "page_colours.h"

namespace {

bool OpenInShell(VaultRecord& record, const std::string& root) { return record.OpenFolder(root); }

}  // namespace

TrackPopupFunction CVaultsPage::trackPopupMenu = TrackPopupMenu;
OpenFolderFunction CVaultsPage::openFolder = OpenInShell;

BEGIN_MESSAGE_MAP(CVaultsPage, CPropertyPage)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_VAULT_LIST, &CVaultsPage::OnItemChanged)
    ON_NOTIFY(NM_DBLCLK, IDC_VAULT_LIST, &CVaultsPage::OnDoubleClick)
    ON_NOTIFY(NM_RCLICK, IDC_VAULT_LIST, &CVaultsPage::OnRightClick)
    ON_NOTIFY(LVN_KEYDOWN, IDC_VAULT_LIST, &CVaultsPage::OnListKeyDown)
    ON_MESSAGE(WM_CONTEXTMENU, &CVaultsPage::OnContextMenu)
    // The pictures' clicks (STN_CLICKED is 0), the menu's items and posted commands alike.
    ON_COMMAND(IDC_VAULT_NEW, &CVaultsPage::OnNew)
    ON_COMMAND(IDC_VAULT_MANAGE, &CVaultsPage::OnManage)
    ON_COMMAND(IDC_VAULT_UNLOCK, &CVaultsPage::OnUnlockAndOpen)
    ON_COMMAND(IDC_VAULT_LOCK, &CVaultsPage::OnLock)
    ON_COMMAND(IDC_VAULT_CHECK, &CVaultsPage::OnCheck)
    ON_COMMAND(IDC_VAULT_REMOVE, &CVaultsPage::OnRemove)
    ON_WM_CTLCOLOR(&CVaultsPage::OnCtlColor)
END_MESSAGE_MAP()

CVaultsPage::CVaultsPage() : CPropertyPage(IDD_VAULTS_PAGE) {}

CVaultsPage::~CVaultsPage() = default;

VaultStore& CVaultsPage::Store() { return GetAppServices().GetVaultStore(); }

const std::string& CVaultsPage::Root() { return GetAppServices().GetVaultsRoot(); }

void CVaultsPage::DoDataExchange(CDataExchange* dx) { DDX_Control(dx, IDC_VAULT_LIST, m_list); }

BOOL CVaultsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_list.Setup();
    FillList();
    m_list.FitColumns();
    m_header.SubclassWindow(m_list.GetHeaderCtrl());
    m_manage.Bind(*this, IDC_VAULT_MANAGE);
    m_unlock.Bind(*this, IDC_VAULT_UNLOCK);
    m_lock.Bind(*this, IDC_VAULT_LOCK);
    ShowCommands(CommandStatesFor(nullptr));  // nothing is selected yet
    return TRUE;
}

void CVaultsPage::OnDpiChanged(UINT dpi)
{
    CPropertyPage::OnDpiChanged(dpi);
    m_manage.Rescale(dpi);
    m_unlock.Rescale(dpi);
    m_lock.Rescale(dpi);
    m_list.Rescale(dpi);
}

void CVaultsPage::FillList()
{
    VaultRecord record;
    for (bool found = Store().First(record); found; found = Store().Next(record))
        if (m_list.AppendVault(record) < 0)
            break;
}

void CVaultsPage::ShowCommands(const VaultCommandStates& states)
{
    m_manage.Enable(states.manage);
    m_unlock.Enable(states.unlock);
    m_lock.Enable(states.lock);
}

void CVaultsPage::OnItemChanged(NMHDR* header, LRESULT*)
{
    const NMLISTVIEW& change = *reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change.uChanged & LVIF_STATE))
        return;
    bool wasSelected = change.uOldState & LVIS_SELECTED;
    bool isSelected = change.uNewState & LVIS_SELECTED;
    if (wasSelected && !isSelected) {
        ShowCommands(CommandStatesFor(nullptr));
    } else if (isSelected && !wasSelected) {
        // Selecting never deletes a row: a gone record leaves the other two as they were.
        m_manage.Enable(true);
        VaultRecord record;
        if (Store().Load(m_list.VaultId(change.iItem), record))
            ShowCommands(CommandStatesFor(&record));
    }
}

void CVaultsPage::OnDoubleClick(NMHDR*, LRESULT*)
{
    // The selected row counts, not the one under the pointer; the command runs after this
    // notification has been answered.
    int row = m_list.SelectedRow();
    VaultRecord record;
    if (row < 0)
        PostMessage(WM_COMMAND, IDC_VAULT_NEW);
    else if (LoadRow(row, record))
        PostMessage(WM_COMMAND, IDC_VAULT_UNLOCK);
}

void CVaultsPage::OnRightClick(NMHDR* header, LRESULT* result)
{
    POINT at = reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction;
    ClientToScreen(m_list, &at);
    ShowVaultMenu(at);
    *result = TRUE;  // handled: the list sends no WM_CONTEXTMENU for the same click
}

LRESULT CVaultsPage::OnContextMenu(WPARAM window, LPARAM point)
{
    if (reinterpret_cast<HWND>(window) != m_list.m_hWnd)
        return 0;
    // Signed screen coordinates: a second screen may lie left of or above the first.
    POINT at = {short(LOWORD(point)), short(HIWORD(point))};
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: at the selected row, or at the list's corner without one.
        RECT place = {LVIR_LABEL, 0, 0, 0};
        int row = m_list.SelectedRow();
        if (row < 0 || !m_list.SendMessage(LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&place)))
            place = RECT();
        at = {place.left, place.bottom};
        ClientToScreen(m_list, &at);
    }
    ShowVaultMenu(at);
    return 0;
}

void CVaultsPage::ShowVaultMenu(POINT at)
{
    int row = m_list.SelectedRow();
    VaultRecord record;
    if (row >= 0 && !LoadRow(row, record))
        return;
    HMENU menu = GetSubMenu(GetAppServices().GetTaskMenu(), 1);
    PrepareVaultMenu(menu, CommandStatesFor(row >= 0 ? &record : nullptr));
    trackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, nullptr);
}

void CVaultsPage::OnListKeyDown(NMHDR* header, LRESULT*)
{
    // Posted, so that the question comes after the list has finished with the key.
    if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE)
        PostMessage(WM_COMMAND, IDC_VAULT_REMOVE);
}

HBRUSH CVaultsPage::OnCtlColor(HDC dc, HWND control, UINT type)
{
    return PageColours(*this, dc, control, type);
}

bool CVaultsPage::LoadRow(int row, VaultRecord& record)
{
    if (Store().Load(m_list.VaultId(row), record))
        return true;
    DeleteRow(row);
    return false;
}

bool CVaultsPage::LoadSelected(VaultRecord& record)
{
    int row = m_list.SelectedRow();
    return row >= 0 && LoadRow(row, record);
}

void CVaultsPage::DeleteRow(int row)
{
    m_list.DeleteItem(row);
    if (m_list.SelectedRow() < 0)
        ShowCommands(CommandStatesFor(nullptr));
}

void CVaultsPage::ShowLockState(const VaultRecord& record)
{
    m_list.ShowLockState(record);
    ShowCommands(CommandStatesFor(&record));
}

void CVaultsPage::RefreshTrayIcon() const { AfxPostToMainWindow(WM_REFRESH_TRAY_ICON); }
