#include "password_hint.h"

void HideHintOnFocus(CEdit& field)
{
    if (field.GetModify())
        return;
    field.SetWindowText("");
    field.SetPasswordChar('*');
    field.SetModify(FALSE);
}

void ShowHintOnBlur(CEdit& field, const std::string& hint)
{
    if (field.GetModify())
        return;
    field.SetWindowText(hint);
    field.SetPasswordChar(0);
    field.SetModify(FALSE);
}
