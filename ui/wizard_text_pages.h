#pragma once
// The introduction wizard's pages that only show text: welcome, putting files into a vault,
// locking and managing vaults, and congratulations. Each sets the wizard's buttons when it
// becomes active; from putting files on, the vault exists and the wizard can no longer be
// cancelled.

#include "../framework/property_page.h"
#include "picture_in_line.h"

class CWelcomePage : public CPropertyPage {
public:
    CWelcomePage();

protected:
    BOOL OnSetActive() override;
};

// A page after the one that created the vault: the wizard ends only through Finish. Cancel is
// disabled, and Escape and the close box are refused too (a disabled Cancel alone does not stop
// them everywhere).
class CPageAfterVault : public CPropertyPage {
protected:
    using CPropertyPage::CPropertyPage;
    BOOL OnQueryCancel() override { return FALSE; }
};

class CPutFilesPage : public CPageAfterVault {
public:
    CPutFilesPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // The page before this one created the vault: there is no going back to it.
    LRESULT OnWizardBack() override;
    void OnDpiChanged(UINT dpi) override;

private:
    CPictureInLine unlock_;
};

class CLockPage : public CPageAfterVault {
public:
    CLockPage();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnDpiChanged(UINT dpi) override;

private:
    CPictureInLine lock_;
    CPictureInLine manage_;
};

class CCongratsPage : public CPageAfterVault {
public:
    CCongratsPage();

protected:
    BOOL OnSetActive() override;
};
