#include "property_page.h"

#include "win_app.h"

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId, UINT headerTitleId)
    : CDialog(templateId), m_psp()
{
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = AfxGetInstanceHandle();
    m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (captionId) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = MAKEINTRESOURCEA(captionId);
    }
    if (headerTitleId) {
        m_psp.dwFlags |= PSP_USEHEADERTITLE;
        m_psp.pszHeaderTitle = MAKEINTRESOURCEA(headerTitleId);
    } else {
        m_psp.dwFlags |= PSP_HIDEHEADER;
    }
}

bool CPropertyPage::Create(CWnd* parent)
{
    m_parent = parent;
    return CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_templateId),
                              parent ? parent->m_hWnd : nullptr, PageProc,
                              reinterpret_cast<LPARAM>(&m_psp)) != nullptr;
}

bool CPropertyPage::HandleSheetNotification(const NMHDR* header, LRESULT* result)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        *result = OnSetActive() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        *result = OnKillActive() ? FALSE : TRUE;
        return true;
    case PSN_WIZNEXT:
        *result = OnWizardNext();
        return true;
    case PSN_WIZBACK:
        *result = OnWizardBack();
        return true;
    case PSN_WIZFINISH:
        *result = OnWizardFinish() ? FALSE : TRUE;
        return true;
    case PSN_QUERYCANCEL:
        *result = OnQueryCancel() ? FALSE : TRUE;
        return true;
    default:
        return false;
    }
}

INT_PTR CPropertyPage::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (message == WM_NOTIFY &&
        HandleSheetNotification(reinterpret_cast<const NMHDR*>(lParam), &result)) {
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return CDialog::HandleDialogMessage(message, wParam, lParam);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* created = nullptr;
    if (message == WM_INITDIALOG)
        created = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
    return ForwardMessage(created, hwnd, message, wParam, lParam);
}
