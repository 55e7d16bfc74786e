#include "password_dialog.h"

#include "../engine/base/secret_memory.h"
#include "../engine/crypto/password_text.h"
#include "../framework/edit.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "page_colours.h"

CPasswordDlg::CPasswordDlg(const VaultRecord& record, CWnd* parent)
    : CDialog(IDD_ENTER_PASSWORD, parent), record_(&record)
{
}

CPasswordDlg::~CPasswordDlg()
{
    WipeString(password);
    WipeString(utf8);
}

BEGIN_MESSAGE_MAP(CPasswordDlg, CDialog)
    ON_WM_CTLCOLOR(&CPasswordDlg::OnCtlColor)
END_MESSAGE_MAP()

void CPasswordDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_VAULT_PASSWORD, passwordEdit_);
    DDX_Text(dx, IDC_PASSWORD_MESSAGE, message);
}

BOOL CPasswordDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    message = FormatStringResource(IDS_PASSWORD_MESSAGE, record_->Name());
    WipeString(password);
    UpdateData(false);
    passwordEdit_.TakeWideInput();
    passwordEdit_.SetPasswordChar('*');
    return TRUE;
}

void CPasswordDlg::OnOK()
{
    std::wstring typed = passwordEdit_.GetWideText();
    WipeString(password);
    std::string bytes = PasswordBytes(typed, record_->IsStrong());
    password.assign(bytes);
    WipeString(bytes);
    WipeString(utf8);
    bytes = PasswordBytes(typed, true);
    utf8.assign(bytes);
    WipeString(bytes);
    WipeString(typed);
    if (record_->CheckPassword(password.c_str()))
        EndDialog(IDOK);
    else
        MessageBeep(MB_ICONHAND);  // no message: the typed text stays for another try
}

HBRUSH CPasswordDlg::OnCtlColor(HDC dc, HWND control, UINT type)
{
    if (control != GetDlgItem(IDC_VAULT_PASSWORD))
        return PageColours(*this, dc, control, type);
    // The field keeps the platform's own brush, so what is typed stands on white.
    HBRUSH standard = DefaultCtlColor(dc, control, type);
    SetBkMode(dc, TRANSPARENT);
    return standard;
}
