#include "edit.h"

#include <vector>

namespace {

const wchar_t kOwnProcedure[] = L"OrvellaEditProcedure";

// Passes every message on to the control's own procedure, as UTF-16: a window whose procedure
// was set through the wide call is a Unicode window, so typed characters reach it unconverted.
LRESULT CALLBACK WideEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC own = reinterpret_cast<WNDPROC>(GetPropW(edit, kOwnProcedure));
    if (message == WM_NCDESTROY) {
        RemovePropW(edit, kOwnProcedure);
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    }
    return own ? CallWindowProcW(own, edit, message, wParam, lParam)
               : DefWindowProcW(edit, message, wParam, lParam);
}

}  // namespace

void CEdit::TakeWideInput()
{
    if (!m_hWnd || GetPropW(m_hWnd, kOwnProcedure))
        return;
    LONG_PTR own = GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC);
    SetPropW(m_hWnd, kOwnProcedure, reinterpret_cast<HANDLE>(own));
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WideEditProc));
}

std::wstring CEdit::GetWideText() const
{
    std::vector<wchar_t> text(size_t(::GetWindowTextLengthW(m_hWnd)) + 1);
    ::GetWindowTextW(m_hWnd, text.data(), int(text.size()));
    std::wstring result(text.data());
    SecureZeroMemory(text.data(), text.size() * sizeof(wchar_t));
    return result;
}
