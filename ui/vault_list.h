#pragma once
// The vault list of the Vaults page: one row per vault, holding the vault's name, its record's
// id as the item data, its lock state as the state picture (the check state: cleared shows the
// open padlock, set the closed one) and in a second column its kind: whether its contents are
// encrypted with its password.

#include <cstdint>

#include "../engine/vault/vault_record.h"
#include "../framework/controls.h"

class CVaultList : public CListCtrl {
public:
    // The "Name" and "Encryption" columns, the state pictures and full-row select, on an empty
    // list.
    void Setup();
    // Gives the list state pictures in the size for `dpi` (the old ones are deleted) and fits
    // the columns again.
    void Rescale(UINT dpi);
    // Appends a row for `record`; its index, or -1 when no row could be inserted.
    int AppendVault(const VaultRecord& record);
    // Shows the lock state of `record` on its row, if it has one.
    void ShowLockState(const VaultRecord& record);
    // Sizes the name column to fit both its heading and its contents; the kind column takes the
    // rest of the width.
    void FitColumns();

    // The selected row, or -1.
    int SelectedRow() const { return GetNextItem(-1, LVNI_SELECTED); }
    // Selects and focuses `row` and scrolls it into view.
    void SelectRow(int row);
    uint32_t VaultId(int row) const { return uint32_t(GetItemData(row)); }
    // The row of the vault with `id`, or -1.
    int FindVault(uint32_t id) const;
};
