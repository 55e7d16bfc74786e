#include "dialog.h"

#include "dialog_template.h"
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

INT_PTR CDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    bool handled = Dispatch(message, wParam, lParam, &result);
    if (!handled) {
        if (message == WM_INITDIALOG) {
            ApplyTemplateHelpIds(m_hWnd, AfxGetInstanceHandle(), int(m_templateId));
            result = OnInitDialog();
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
