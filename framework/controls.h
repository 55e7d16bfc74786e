#pragma once
// Thin wrappers of the common controls the program's dialogs bind with DDX_Control.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "wnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(int lower, int upper) { SendMessage(PBM_SETRANGE32, lower, upper); }
    int SetPos(int position) { return int(SendMessage(PBM_SETPOS, position)); }
};

// A list view. Item indexes count from 0; -1 means none (and, as a start, "from the beginning").
class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return int(SendMessage(LVM_GETITEMCOUNT)); }
    // Inserts an item with `text` at `index`; its index, or -1 on failure.
    int InsertItem(int index, const std::string& text)
    {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<char*>(text.c_str());
        return int(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    bool DeleteItem(int index) { return SendMessage(LVM_DELETEITEM, index) != 0; }
    bool SetItemText(int index, int subItem, const std::string& text)
    {
        LVITEMA item = {};
        item.iSubItem = subItem;
        item.pszText = const_cast<char*>(text.c_str());
        return SendMessage(LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    bool SetItemData(int index, DWORD_PTR data)
    {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        item.lParam = LPARAM(data);
        return SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    DWORD_PTR GetItemData(int index) const
    {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return DWORD_PTR(item.lParam);
    }
    bool SetItemState(int index, UINT state, UINT mask)
    {
        LVITEMA item = {};
        item.state = state;
        item.stateMask = mask;
        return SendMessage(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    UINT GetItemState(int index, UINT mask) const
    {
        return UINT(SendMessage(LVM_GETITEMSTATE, index, mask));
    }
    // The check state is the state image: cleared shows image 1, set shows image 2.
    bool SetCheck(int index, bool check)
    {
        return SetItemState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
    }
    // The next item after `start` with the LVNI_* `flags` (LVNI_SELECTED, say), or -1.
    int GetNextItem(int start, int flags) const
    {
        return int(SendMessage(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
    }
    bool EnsureVisible(int index, bool partialOK)
    {
        return SendMessage(LVM_ENSUREVISIBLE, index, partialOK) != 0;
    }
    int InsertColumn(int column, const std::string& heading, int format)
    {
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_FMT;
        info.fmt = format;
        info.pszText = const_cast<char*>(heading.c_str());
        return int(SendMessage(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
    }
    // width: pixels, or LVSCW_AUTOSIZE / LVSCW_AUTOSIZE_USEHEADER.
    bool SetColumnWidth(int column, int width)
    {
        return SendMessage(LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0)) != 0;
    }
    // type: LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE; the previous list of that type.
    HIMAGELIST SetImageList(HIMAGELIST images, int type)
    {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, type, reinterpret_cast<LPARAM>(images)));
    }
    void SetExtendedStyle(DWORD style) { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
};

// A list view's column header.
class CHeaderCtrl : public CWnd {
public:
    // Fills the fields of `item` named by its mask; false when there is no such item.
    bool GetItem(int index, HDITEMA* item) const
    {
        return SendMessage(HDM_GETITEMA, index, reinterpret_cast<LPARAM>(item)) != 0;
    }
};
