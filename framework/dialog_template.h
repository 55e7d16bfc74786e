#pragma once
// The controls of the dialog templates in a module's resources, read from the templates
// themselves: each control's id and the help context id the template gives it. Windows gives
// each control its help id when it creates the dialog; Wine does not, so the dialogs do it
// themselves (ApplyTemplateHelpIds) and F1 finds the control's topic either way.

#include <windows.h>

#include <vector>

struct TemplateControl {
    DWORD id;       // as the template holds it: IDC_STATIC is 0xFFFFFFFF
    DWORD helpId;   // 0 when the control has none
    DWORD style;
    WORD picture;   // a picture control's (SS_BITMAP) bitmap resource number; 0 for any other
};

// The ids of the module's dialog templates that are numbered.
std::vector<int> DialogTemplateIds(HMODULE module);
// The controls of the extended (DIALOGEX) template templateId, in template order; false when the
// module has no such template or it is not an extended one.
bool ReadTemplateControls(HMODULE module, int templateId, std::vector<TemplateControl>* controls);
// Gives each control of dialog (made from templateId) the help context id its template holds.
void ApplyTemplateHelpIds(HWND dialog, HMODULE module, int templateId);
