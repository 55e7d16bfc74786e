// Subclassing of existing windows (controls) and the reflection of their notifications.
//
// A subclassed control carries its window object as the reference data of ControlProc and, for
// its parent to find, as a window property. Its parent gets ReflectorProc, which hands every
// WM_NOTIFY from such a control back to the control's object first: a control sends its
// notifications (custom draw, for one) to its parent, yet the object that draws the control is
// the control's own.

#include "wnd.h"

#include <commctrl.h>

namespace {

const UINT_PTR kSubclassId = 1;
const char kObjectProperty[] = "OrvellaWindowObject";

// The window object subclassing `hwnd`, or null.
CWnd* SubclassingObject(HWND hwnd)
{
    return hwnd ? static_cast<CWnd*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data)
{
    CWnd* object = reinterpret_cast<CWnd*>(data);
    if (message == WM_NCDESTROY) {
        object->UnsubclassWindow();
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    try {
        LRESULT result = 0;
        if (object->Dispatch(message, wParam, lParam, &result))
            return result;
    } catch (...) {
        return 0;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ReflectorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, ReflectorProc, kSubclassId);
    } else if (message == WM_NOTIFY) {
        CWnd* control = SubclassingObject(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom);
        LRESULT result = 0;
        try {
            if (control && control->Dispatch(WM_REFLECT_NOTIFY, wParam, lParam, &result))
                return result;
        } catch (...) {
            return 0;
        }
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || !SetPropA(hwnd, kObjectProperty, this))
        return false;
    if (!SetWindowSubclass(hwnd, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropA(hwnd, kObjectProperty);
        return false;
    }
    m_hWnd = hwnd;
    HWND parent = GetParent(hwnd);
    // Setting it again on a parent that has it already changes nothing.
    return !parent || SetWindowSubclass(parent, ReflectorProc, kSubclassId, 0);
}

void CWnd::UnsubclassWindow()
{
    if (SubclassingObject(m_hWnd) != this)
        return;
    RemoveWindowSubclass(m_hWnd, ControlProc, kSubclassId);
    RemovePropA(m_hWnd, kObjectProperty);
    m_hWnd = nullptr;
}

CWnd::~CWnd() { UnsubclassWindow(); }
