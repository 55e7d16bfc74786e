#include "dialog.h"

#include "dialog_template.h"
#include "dpi.h"
#include "template_pictures.h"
#include "win_app.h"

namespace {

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_INITDIALOG || message == WM_COMPAREITEM ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON;
}

// Posted by a dialog to itself at WM_DPICHANGED: it follows the new DPI once the system has
// scaled the dialog's own controls and fonts.
UINT FollowDpiMessage()
{
    static const UINT message = RegisterWindowMessageA("OrvellaFollowDpi");
    return message;
}

}  // namespace

CDialog::~CDialog()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialog::DoModal()
{
    return DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId),
                           m_parent ? m_parent->m_hWnd : nullptr, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(CWnd* parent)
{
    if (parent)
        m_parent = parent;
    return CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId),
                              m_parent ? m_parent->m_hWnd : nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool CDialog::UpdateData(bool save)
{
    CDataExchange exchange = {this, save};
    DoDataExchange(&exchange);
    return true;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::FollowDpi()
{
    UINT dpi = WindowDpi(m_hWnd);
    if (!m_hWnd || dpi == m_dpi)
        return;
    m_dpi = dpi;
    OnDpiChanged(dpi);
}

void CDialog::OnDpiChanged(UINT dpi)
{
    RescaleTemplatePictures(m_hWnd, AfxGetInstanceHandle(), dpi);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CDialog::OnDpiChangedMessage(WPARAM wParam, LPARAM lParam)
{
    NoteDpiChange(m_hWnd, HIWORD(wParam));
    if (const RECT* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessage(FollowDpiMessage());
}

INT_PTR CDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    bool handled = Dispatch(message, wParam, lParam, &result);
    if (!handled) {
        if (message == WM_INITDIALOG) {
            ApplyTemplateHelpIds(m_hWnd, AfxGetInstanceHandle(), int(m_templateId));
            m_dpi = WindowDpi(m_hWnd);
            ShowTemplatePictures(m_hWnd, AfxGetInstanceHandle(), int(m_templateId), m_dpi);
            result = OnInitDialog();
            handled = true;
        } else if (message == WM_DPICHANGED) {
            // Not reported as handled: the system goes on to scale the dialog's own controls.
            OnDpiChangedMessage(wParam, lParam);
            return FALSE;
        } else if (message == WM_DPICHANGED_AFTERPARENT || message == FollowDpiMessage()) {
            FollowDpi();
            handled = true;
        } else if (message == WM_COMMAND && HIWORD(wParam) == 0 && LOWORD(wParam) == IDOK) {
            OnOK();
            handled = true;
        } else if (message == WM_COMMAND && HIWORD(wParam) == 0 && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            handled = true;
        }
    }
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return result;
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CDialog::ForwardMessage(CDialog* dialog, HWND hwnd, UINT message, WPARAM wParam,
                                LPARAM lParam)
{
    if (message == WM_INITDIALOG && dialog) {
        dialog->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
    }
    dialog = static_cast<CDialog*>(FromHandle(hwnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        return FALSE;
    }
    try {
        return dialog->HandleDialogMessage(message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* created =
        message == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam) : nullptr;
    return ForwardMessage(created, hwnd, message, wParam, lParam);
}
