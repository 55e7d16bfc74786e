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
    // Brings the dialog's pictures, fonts and layout to the DPI it is shown at now (WindowDpi),
    // when that is not the one they were made for; nothing otherwise. A dialog calls it at each
    // DPI change; a dialog that holds child dialogs calls it on them from its OnDpiChanged.
    void FollowDpi();

protected:
    // Default: fields to controls; TRUE lets the dialog set the default focus.
    virtual BOOL OnInitDialog();
    // Default: controls to fields, then end with IDOK.
    virtual void OnOK();
    // Default: end with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange*) {}
    // The dialog is shown at `dpi` now. Default: the template's pictures that the dialog still
    // shows are given their copies for `dpi`. A dialog that made pictures, fonts or layout of
    // its own for the old DPI remakes them here, after calling this.
    virtual void OnDpiChanged(UINT dpi);
    // The DPI the dialog's pictures and fonts are made for.
    UINT GetDpi() const { return m_dpi; }

    // The dialog procedure's work for this object: map first, then the defaults above.
    virtual INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Binds `dialog` to hwnd at WM_INITDIALOG and forwards every later message to it.
    static INT_PTR ForwardMessage(CDialog* dialog, HWND hwnd, UINT message, WPARAM wParam,
                                  LPARAM lParam);

    UINT m_templateId;
    CWnd* m_parent;
    bool m_modal = false;  // while DoModal runs

private:
    // WM_DPICHANGED (a top-level dialog moved to a screen of another DPI): takes the size the
    // system suggests and follows the new DPI once the system's own handling is done.
    void OnDpiChangedMessage(WPARAM wParam, LPARAM lParam);

    UINT m_dpi = 0;
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
