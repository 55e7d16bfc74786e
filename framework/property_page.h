#pragma once
// A page: either a plain child window of a dialog (Create) or a page of a property sheet or
// wizard (CPropertySheet::AddPage). Sheet notifications (PSN_*) arrive as the virtuals below;
// their results go back through DWLP_MSGRESULT. Enter and Esc inside a page do nothing.

#include <windows.h>
#include <prsht.h>

#include "dialog.h"

class CPropertyPage : public CDialog {
public:
    // captionId: the page's title in a sheet; headerTitleId: its wizard header (0: none).
    explicit CPropertyPage(UINT templateId, UINT captionId = 0, UINT headerTitleId = 0);

    // Creates the page as a child window of `parent`.
    bool Create(CWnd* parent);
    // The platform's page description, used by CPropertySheet.
    PROPSHEETPAGEA m_psp;

protected:
    // PSN_SETACTIVE: FALSE refuses the activation.
    virtual BOOL OnSetActive() { return TRUE; }
    // PSN_KILLACTIVE: FALSE keeps the page active.
    virtual BOOL OnKillActive() { return TRUE; }
    // PSN_WIZNEXT, PSN_WIZBACK: 0 moves on, -1 stays, a template id jumps to that page.
    virtual LRESULT OnWizardNext() { return 0; }
    virtual LRESULT OnWizardBack() { return 0; }
    // PSN_WIZFINISH: FALSE keeps the wizard open.
    virtual BOOL OnWizardFinish() { return TRUE; }
    // PSN_QUERYCANCEL: FALSE refuses the cancel.
    virtual BOOL OnQueryCancel() { return TRUE; }

    void OnOK() override {}
    void OnCancel() override {}

    // The sheet (or parent dialog) that holds this page.
    HWND GetSheet() const { return ::GetParent(m_hWnd); }
    // Posts the wizard buttons to enable (PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH) to the sheet.
    void SetWizardButtons(DWORD buttons) const
    {
        ::PostMessageA(GetSheet(), PSM_SETWIZBUTTONS, 0, buttons);
    }
    // For a step that cannot be undone: the sheet's Cancel becomes Close (in a wizard, Cancel is
    // disabled) for the rest of the sheet's run.
    void CancelToClose() const { ::SendMessageA(GetSheet(), PSM_CANCELTOCLOSE, 0, 0); }

    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool HandleSheetNotification(const NMHDR* header, LRESULT* result);
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
