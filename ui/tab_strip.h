#pragma once
// A row of picture tabs: each tab is a picture control of the owning dialog with a normal and a
// selected bitmap, and the child page it shows. Selecting a tab shows its page and hides the
// others. The strip owns the bitmaps (loaded when a tab is added, deleted with the strip); the
// pages belong to the dialog.

#include <windows.h>

#include <vector>

#include "../framework/wnd.h"

// Select posts this to the owner (no parameters); the owner answers it with
// ShowSelectedPicture, so the selected picture is drawn after its neighbours have been redrawn.
enum { WM_SHOW_SELECTED_TAB = WM_APP + 2 };

class CTabStrip {
public:
    explicit CTabStrip(CWnd& owner) : m_owner(owner) {}
    ~CTabStrip();
    CTabStrip(const CTabStrip&) = delete;
    CTabStrip& operator=(const CTabStrip&) = delete;

    // Adds the tab of the owner's picture control `controlId`, which shows `page`. Its bitmaps
    // come from the program's resources, in the size of the owner's DPI; one that does not load
    // leaves the picture blank.
    void AddTab(int controlId, UINT normalBitmapId, UINT selectedBitmapId, HWND page);
    // Shows the page of tab `controlId`, hides every other page and gives every other picture its
    // normal bitmap; the selected bitmap follows through WM_SHOW_SELECTED_TAB. An id that no tab
    // has, or the selected tab's own, changes nothing.
    void Select(int controlId);
    // The selected tab's control id; 0 before the first selection.
    int GetSelected() const { return m_selected; }
    // The selected tab's page; null before the first selection.
    HWND GetSelectedPage() const;
    // The tab `steps` places after the selected one in the order the tabs were added (before it
    // when negative), counted round the row; 0 while there is no selected tab.
    int GetNeighbour(int steps) const;
    // Gives the selected tab its selected bitmap.
    void ShowSelectedPicture() const;
    // Shows every tab's bitmaps in the size for `dpi`; a tab whose bitmaps do not load keeps its
    // old ones.
    void Rescale(UINT dpi);

private:
    struct TabEntry {
        int controlId;
        UINT normalId;
        UINT selectedId;
        HBITMAP normal;
        HBITMAP selected;
        HWND page;
    };

    const TabEntry* Find(int controlId) const;
    void SetPicture(const TabEntry& tab, HBITMAP picture) const;

    CWnd& m_owner;
    std::vector<TabEntry> m_tabs;
    int m_selected = 0;
};
