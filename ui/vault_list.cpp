#include "vault_list.h"

#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "vault_state_images.h"

void CVaultList::Setup()
{
    HIMAGELIST images = CreateVaultStateImages();
    InsertColumn(0, LoadStringResource(IDS_NAME_COLUMN), LVCFMT_LEFT);
    SetImageList(images, LVSIL_STATE);
    SetExtendedStyle(LVS_EX_FULLROWSELECT);
}

int CVaultList::AppendVault(const VaultRecord& record)
{
    int row = InsertItem(GetItemCount(), record.Name());
    if (row < 0)
        return -1;
    SetItemData(row, record.id);
    SetCheck(row, record.IsLocked());
    return row;
}

void CVaultList::ShowLockState(const VaultRecord& record)
{
    int row = FindVault(record.id);
    if (row >= 0)
        SetCheck(row, record.IsLocked());
}

void CVaultList::SelectRow(int row)
{
    SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EnsureVisible(row, false);
}

int CVaultList::FindVault(uint32_t id) const
{
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = LPARAM(id);
    return int(SendMessage(LVM_FINDITEMA, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}
