#include "wizard_text_pages.h"

#include "../resources/resource.h"

CWelcomePage::CWelcomePage()
    : CPropertyPage(IDD_WIZARD_WELCOME, IDS_WIZARD_CAPTION, IDS_WIZARD_WELCOME_TITLE)
{
}

BOOL CWelcomePage::OnSetActive()
{
    SetWizardButtons(PSWIZB_NEXT);
    return TRUE;
}

CPutFilesPage::CPutFilesPage()
    : CPageAfterVault(IDD_WIZARD_PUT_FILES, IDS_WIZARD_CAPTION, IDS_WIZARD_PUT_FILES_TITLE)
{
}

BOOL CPutFilesPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    unlock_.Bind(m_hWnd, IDC_WIZARD_UNLOCK_TEXT, IDC_WIZARD_UNLOCK_PICTURE,
                 IDC_WIZARD_UNLOCK_TAIL);
    return TRUE;
}

BOOL CPutFilesPage::OnSetActive()
{
    SetWizardButtons(PSWIZB_NEXT);
    CancelToClose();
    return TRUE;
}

LRESULT CPutFilesPage::OnWizardBack() { return -1; }

void CPutFilesPage::OnDpiChanged(UINT dpi)
{
    CPageAfterVault::OnDpiChanged(dpi);
    unlock_.Rescale(dpi);
}

CLockPage::CLockPage()
    : CPageAfterVault(IDD_WIZARD_LOCK, IDS_WIZARD_CAPTION, IDS_WIZARD_LOCK_TITLE)
{
}

BOOL CLockPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    lock_.Bind(m_hWnd, IDC_WIZARD_LOCK_TEXT, IDC_WIZARD_LOCK_PICTURE, IDC_WIZARD_LOCK_TAIL);
    manage_.Bind(m_hWnd, IDC_WIZARD_MANAGE_TEXT, IDC_WIZARD_MANAGE_PICTURE,
                 IDC_WIZARD_MANAGE_TAIL);
    return TRUE;
}

void CLockPage::OnDpiChanged(UINT dpi)
{
    CPageAfterVault::OnDpiChanged(dpi);
    lock_.Rescale(dpi);
    manage_.Rescale(dpi);
}

BOOL CLockPage::OnSetActive()
{
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    CancelToClose();
    return TRUE;
}

CCongratsPage::CCongratsPage()
    : CPageAfterVault(IDD_WIZARD_CONGRATS, IDS_WIZARD_CAPTION, IDS_WIZARD_CONGRATS_TITLE)
{
}

BOOL CCongratsPage::OnSetActive()
{
    SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return TRUE;
}
