#include "dialog.h"

#include "dialog_template.h"
#include "dpi.h"
#include "template_pictures.h"
#include "win_app.h"

namespace {

// Where a dialog window keeps its object for FromDialogWindow: a property, which no window of
// another kind has (DWLP_USER may hold anything in a dialog that is not ours).
const char kDialogProperty[] = "OrvellaDialogObject";

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

bool HasUsableFocus(HWND dialog)
{
    HWND focus = GetFocus();
    return focus && IsChild(dialog, focus) && IsWindowVisible(focus) && IsWindowEnabled(focus);
}

CDialog::~CDialog()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        RemovePropA(m_hWnd, kDialogProperty);
        DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialog::DoModal()
{
    m_modal = true;
    INT_PTR result = DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId),
                                     m_parent ? m_parent->m_hWnd : nullptr, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    m_modal = false;
    return result;
}

void CDialog::EndDialog(int result)
{
    if (m_modal) {
        ::EndDialog(m_hWnd, result);
        return;
    }
    // The platform's EndDialog would mark a modeless dialog as ended for good, and such a dialog
    // no longer gets its focus back when it is activated again (after a window it owns closes,
    // or when it is shown again). Hidden, it is deactivated, and the dialog manager keeps the
    // control that had the focus for the next activation.
    ::ShowWindow(m_hWnd, SW_HIDE);
}

CDialog* CDialog::FromDialogWindow(HWND hwnd)
{
    return hwnd ? static_cast<CDialog*>(GetPropA(hwnd, kDialogProperty)) : nullptr;
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
        SetPropA(hwnd, kDialogProperty, dialog);
    }
    dialog = static_cast<CDialog*>(FromHandle(hwnd, DWLP_USER));
    if (!dialog)
        return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        RemovePropA(hwnd, kDialogProperty);
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
