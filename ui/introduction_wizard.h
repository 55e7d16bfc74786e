#pragma once
// The first-run wizard: five pages that explain the program, create the user's first vault and
// show how vaults are unlocked, locked and managed. It has no owner window and is run once,
// modally, by the application's start-up; what it returns is not used.

#include "../framework/property_sheet.h"
#include "get_started_page.h"
#include "wizard_text_pages.h"

class CIntroductionWizard : public CPropertySheet {
public:
    CIntroductionWizard();

    CWelcomePage welcome;
    CGetStartedPage getStarted;
    CPutFilesPage putFiles;
    CLockPage lock;
    CCongratsPage congrats;
};
