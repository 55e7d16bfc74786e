#pragma once
// The notice that the program now runs in the notification area, with a check box that turns
// the notice off for later starts (written at each click).

#include "../framework/dialog.h"

class CAlreadyRunningDlg : public CDialog {
public:
    CAlreadyRunningDlg();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnDontShowAgainClicked();

    DECLARE_MESSAGE_MAP()

private:
    BOOL m_dontShowAgain = FALSE;
};
