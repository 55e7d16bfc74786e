#pragma once
// A menu loaded from the program's resources and destroyed with the object.

#include <windows.h>

#include "../framework/win_app.h"

class COwnedMenu {
public:
    COwnedMenu() = default;
    ~COwnedMenu()
    {
        if (m_menu)
            DestroyMenu(m_menu);
    }
    COwnedMenu(const COwnedMenu&) = delete;
    COwnedMenu& operator=(const COwnedMenu&) = delete;

    // Loads menu resource `id` in place of the menu held; false when it does not load.
    bool Load(UINT id)
    {
        HMENU loaded = LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id));
        if (m_menu)
            DestroyMenu(m_menu);
        m_menu = loaded;
        return loaded != nullptr;
    }
    // Popup `position` of the menu, or null when the menu did not load.
    HMENU SubMenu(int position) const { return m_menu ? GetSubMenu(m_menu, position) : nullptr; }

private:
    HMENU m_menu = nullptr;
};
