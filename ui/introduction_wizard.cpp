#include "introduction_wizard.h"

#include "../resources/resource.h"

CIntroductionWizard::CIntroductionWizard() : CPropertySheet(IDS_WIZARD_CAPTION)
{
    AddPage(&welcome);
    AddPage(&getStarted);
    AddPage(&putFiles);
    AddPage(&lock);
    AddPage(&congrats);
    SetWizardMode();
    SetHeaderBitmap(IDB_WIZARD_HEADER);
    SetIcon(IDI_APP);
}
