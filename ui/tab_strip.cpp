#include "tab_strip.h"

#include "../framework/dpi.h"
#include "../framework/win_app.h"

namespace {

HBITMAP LoadBitmapResource(UINT id, UINT dpi)
{
    return LoadBitmapForDpi(AfxGetInstanceHandle(), id, dpi);
}

}  // namespace

CTabStrip::~CTabStrip()
{
    for (const TabEntry& tab : m_tabs) {
        // A picture control that outlives its bitmap would draw a deleted one.
        if (IsWindow(m_owner.GetDlgItem(tab.controlId)))
            SetPicture(tab, nullptr);
        if (tab.normal)
            DeleteObject(tab.normal);
        if (tab.selected)
            DeleteObject(tab.selected);
    }
}

void CTabStrip::AddTab(int controlId, UINT normalBitmapId, UINT selectedBitmapId, HWND page)
{
    UINT dpi = WindowDpi(m_owner.m_hWnd);
    TabEntry tab = {controlId, normalBitmapId, selectedBitmapId,
                    LoadBitmapResource(normalBitmapId, dpi),
                    LoadBitmapResource(selectedBitmapId, dpi), page};
    m_tabs.push_back(tab);
    // The picture the control loaded from its template is replaced by the strip's own copy, and
    // once replaced it is no one's but ours to delete.
    HBITMAP templatePicture = reinterpret_cast<HBITMAP>(SendMessageA(
        m_owner.GetDlgItem(controlId), STM_SETIMAGE, IMAGE_BITMAP,
        reinterpret_cast<LPARAM>(tab.normal)));
    if (templatePicture && templatePicture != tab.normal && templatePicture != tab.selected)
        DeleteObject(templatePicture);
}

void CTabStrip::Rescale(UINT dpi)
{
    for (TabEntry& tab : m_tabs) {
        HBITMAP normal = LoadBitmapResource(tab.normalId, dpi);
        HBITMAP selected = LoadBitmapResource(tab.selectedId, dpi);
        if (!normal || !selected) {
            DeleteObject(normal);
            DeleteObject(selected);
            continue;
        }
        SetPicture(tab, tab.controlId == m_selected ? selected : normal);
        DeleteObject(tab.normal);
        DeleteObject(tab.selected);
        tab.normal = normal;
        tab.selected = selected;
    }
}

void CTabStrip::Select(int controlId)
{
    const TabEntry* chosen = Find(controlId);
    if (!chosen || controlId == m_selected)
        return;
    m_selected = controlId;
    for (const TabEntry& tab : m_tabs) {
        if (&tab == chosen)
            continue;
        SetPicture(tab, tab.normal);
        ShowWindow(tab.page, SW_HIDE);
    }
    ShowWindow(chosen->page, SW_SHOW);
    // Posted rather than set here, so that the selected picture is painted after the pictures
    // beside it have been given their normal ones.
    m_owner.PostMessage(WM_SHOW_SELECTED_TAB);
}

void CTabStrip::ShowSelectedPicture() const
{
    if (const TabEntry* tab = Find(m_selected))
        SetPicture(*tab, tab->selected);
}

HWND CTabStrip::GetSelectedPage() const
{
    const TabEntry* tab = Find(m_selected);
    return tab ? tab->page : nullptr;
}

int CTabStrip::GetNeighbour(int steps) const
{
    const TabEntry* tab = Find(m_selected);
    if (!tab)
        return 0;
    int count = int(m_tabs.size());
    int index = int(tab - m_tabs.data());
    return m_tabs[((index + steps) % count + count) % count].controlId;
}

const CTabStrip::TabEntry* CTabStrip::Find(int controlId) const
{
    for (const TabEntry& tab : m_tabs)
        if (tab.controlId == controlId)
            return &tab;
    return nullptr;
}

void CTabStrip::SetPicture(const TabEntry& tab, HBITMAP picture) const
{
    SendMessageA(m_owner.GetDlgItem(tab.controlId), STM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(picture));
}
