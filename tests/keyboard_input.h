#pragma once
// Key presses as the keyboard gives them (SendInput): to whichever window has the focus on the
// calling thread's desktop, through its thread's message loop, with the key state set as it goes.

#include <windows.h>

#include <string>

// Presses `key` with the MOD_* `modifiers` held (the system, not a window, sees it first: a
// registered hotkey takes it).
void PressKeyCombination(UINT modifiers, WORD key);
// Presses `key` alone.
void PressKey(WORD key);
// Types each character of `text` with the key that makes it (Shift held where needed).
void TypeKeys(const std::string& text);
