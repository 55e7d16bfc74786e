#include "vault_list.h"

#include "../framework/dpi.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "vault_state_images.h"

namespace {

// What the second column says of a vault's kind.
const char* KindText(const VaultRecord& record)
{
    return record.IsStrong() ? "With the password" : "Classic";
}

}  // namespace

void CVaultList::Setup()
{
    HIMAGELIST images = CreateVaultStateImages(WindowDpi(m_hWnd));
    InsertColumn(0, LoadStringResource(IDS_NAME_COLUMN), LVCFMT_LEFT);
    InsertColumn(1, "Encryption", LVCFMT_LEFT);
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
    SetItemText(row, 1, KindText(record));
    return row;
}

void CVaultList::Rescale(UINT dpi)
{
    if (HIMAGELIST images = CreateVaultStateImages(dpi))
        if (HIMAGELIST old = SetImageList(images, LVSIL_STATE))
            ImageList_Destroy(old);
    FitColumns();
}

void CVaultList::FitColumns()
{
    // Only the last column fills the rest with LVSCW_AUTOSIZE_USEHEADER; any other fits just
    // its heading with it, so the name column takes the wider of heading and contents. Wine
    // leaves the state picture out of the contents' width: it is added here.
    SetColumnWidth(0, LVSCW_AUTOSIZE);
    int pictureWidth = 0, pictureHeight = 0;
    auto states = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_STATE));
    if (states)
        ImageList_GetIconSize(states, &pictureWidth, &pictureHeight);
    int contents = int(SendMessage(LVM_GETCOLUMNWIDTH, 0, 0)) + pictureWidth;
    SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
    if (int(SendMessage(LVM_GETCOLUMNWIDTH, 0, 0)) < contents)
        SetColumnWidth(0, contents);
    SetColumnWidth(1, LVSCW_AUTOSIZE_USEHEADER);
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
