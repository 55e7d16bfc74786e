#pragma once
// A dialog built from a numbered template, run modally (DoModal) or created modeless (Create).

#include "data_exchange.h"
#include "wnd.h"

// True while the thread's keyboard focus is on a control inside `dialog` (its pages included)
// that can take input: shown and enabled. False when the focus is on a hidden or disabled
// control, on the dialog itself or elsewhere.
bool HasUsableFocus(HWND dialog);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_templateId(templateId), m_parent(parent)
    {
    }
    ~CDialog() override;

    // Runs the dialog modally; its end code, or -1 when the dialog could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless; visible only if its template says so.
    bool Create(CWnd* parent = nullptr);
    // Ends a modal dialog with `result`; a modeless dialog is hidden, and its next activation
    // gives the focus back to the control that had it.
    void EndDialog(int result);

    // A message of the thread's message loop bound for this dialog or one of its controls,
    // before the dialog manager sees it; true when the dialog used it (it is then neither
    // translated nor dispatched). The default uses none.
    virtual bool PreTranslateMessage(MSG*) { return false; }
    // The dialog object of the framework bound to `hwnd`; null for any other window.
    static CDialog* FromDialogWindow(HWND hwnd);

    // Moves data between fields and controls (save: controls to fields).
    bool UpdateData(bool save = true);

protected:
    // Default: fields to controls; TRUE lets the dialog set the default focus.
    virtual BOOL OnInitDialog();
    // Default: controls to fields, then end with IDOK.
    virtual void OnOK();
    // Default: end with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}

    // The dialog procedure's work for this object: map first, then the defaults above.
    virtual INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Binds `dialog` to hwnd at WM_INITDIALOG and forwards every later message to it.
    static INT_PTR ForwardMessage(CDialog* dialog, HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam);

    UINT m_templateId;
    CWnd* m_parent;
    bool m_modal = false;  // while DoModal runs

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
