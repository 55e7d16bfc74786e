#pragma once
// "Enter Password": asks for a vault's password and ends with IDOK only when the typed text
// matches the vault's stored digest; a wrong one sounds the stop beep and keeps the dialog open.

#include <string>

#include "../engine/vault/vault_record.h"
#include "../framework/dialog.h"
#include "../framework/edit.h"

class CPasswordDlg : public CDialog {
public:
    explicit CPasswordDlg(const VaultRecord& record, CWnd* parent = nullptr);
    ~CPasswordDlg() override;

    // The typed password, once the dialog has ended with IDOK, in the form the vault's kind
    // takes (PasswordBytes); wiped with the dialog.
    std::string password;
    // The same password's UTF-8 form, whatever the vault's kind: what it would take as the
    // password of a vault encrypted with it. Wiped with the dialog.
    std::string utf8;
    std::string message;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);

    DECLARE_MESSAGE_MAP()

private:
    const VaultRecord* record_;
    CEdit passwordEdit_;
};
