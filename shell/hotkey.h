#pragma once
// The global hotkey in its two encodings: the hotkey control's word (virtual key in the low byte,
// HOTKEYF_* flags in the high byte), which the "Hotkey" setting stores, and the system's
// registration (MOD_* flags and a virtual key).

#include <windows.h>
#include <commctrl.h>

struct HotkeyRegistration {
    UINT modifiers;  // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN
    UINT virtualKey;
};

// The combination used when the user has chosen none: Ctrl+Shift+V. Ctrl+Alt is what Windows
// makes of AltGr, so Ctrl+Alt+V would swallow a character that several keyboard layouts type
// with AltGr+V.
const WORD kDefaultHotkeyWord = MAKEWORD('V', HOTKEYF_CONTROL | HOTKEYF_SHIFT);

// The control's flags translated flag by flag (ALT, CONTROL, SHIFT, EXT → WIN).
UINT RegistrationModifiers(BYTE controlFlags);
// The registration that names the same keys as the control's word.
HotkeyRegistration RegistrationFor(WORD controlWord);
