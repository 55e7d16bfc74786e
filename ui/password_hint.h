#pragma once
// A hint that stands in a password field as plain text until the user types there. While the
// field's modified flag is clear (nothing typed yet), gaining the focus empties and masks it and
// losing the focus shows the hint again; once the user has typed, the text stays as typed.
// Either way the modified flag is left clear or as the user set it, so it keeps meaning "typed".

#include <string>

#include "../framework/edit.h"

void HideHintOnFocus(CEdit& field);
void ShowHintOnBlur(CEdit& field, const std::string& hint);
