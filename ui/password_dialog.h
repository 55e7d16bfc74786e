#pragma once
// "Enter Password": asks for a vault's password and ends with IDOK only when the typed text
// matches the vault's stored digest; a wrong one sounds the stop beep and keeps the dialog open.

#include <string>

#include "../engine/vault_record.h"
#include "../framework/dialog.h"

class CPasswordDlg : public CDialog {
public:
    explicit CPasswordDlg(const VaultRecord& record, CWnd* parent = nullptr);
    ~CPasswordDlg() override;

    std::string password;  // the typed password, once the dialog has ended with IDOK
    std::string message;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);

    DECLARE_MESSAGE_MAP()

private:
    const VaultRecord* record_;
};
