#include "hotkey.h"


UINT RegistrationModifiers(BYTE controlFlags)
{
    UINT modifiers = 0;
    if (controlFlags & HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    if (controlFlags & HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (controlFlags & HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    if (controlFlags & HOTKEYF_EXT)
        modifiers |= MOD_WIN;
    return modifiers;
}

HotkeyRegistration RegistrationFor(WORD controlWord)
{
    return {RegistrationModifiers(HIBYTE(controlWord)), LOBYTE(controlWord)};
}
