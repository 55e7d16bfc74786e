#pragma once
// A simulated user of the program's modal dialogs. It works from a helper thread while the
// test's own thread runs the modal loop, and acts as a person would: the focus moves inside the
// dialog (so focus notifications come), characters are typed (so the edit's modified flag is
// set by the edit itself) and buttons are clicked.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/dialog.h"

// Runs dialog.DoModal() on this thread and `user` on a helper thread with the dialog's window
// once a dialog titled `caption` shows; the dialog's end code. Whatever the user leaves open (a
// failed step, say) is cancelled, so a failing test ends instead of hanging.
INT_PTR RunModalWithUser(CDialog& dialog, const std::string& caption,
                         const std::function<void(HWND)>& user);

// A visible dialog of this process titled `caption` that is not a message box, or null after
// waiting for it in vain.
HWND WaitForTitledDialog(const std::string& caption);

// Moves the focus to control `id`, as the Tab key does (an edit gets its text selected).
void FocusControl(HWND dialog, int id);
// Focuses edit `id` and types `text` over its selected text, one character at a time; an empty
// text erases it with Backspace.
void TypeInto(HWND dialog, int id, const std::string& text);
// Types the UTF-16 characters one by one, as a keyboard of any language would.
void TypeWideInto(HWND dialog, int id, const std::wstring& text);
// Clicks button `id`; the button takes the focus, as under the mouse. Returns at once, while the
// dialog still handles the click.
void Click(HWND dialog, int id);

// True when `dialog` is still shown once its thread has finished all it was doing (call it after
// any window the click opened is gone).
bool StaysOpen(HWND dialog);
// Waits until `window` is destroyed; false when it still exists after timeoutMs.
bool WaitUntilGone(HWND window, DWORD timeoutMs = 10000);

// The edit's text, its mask character (0: shown as typed) and its modified flag.
struct EditState {
    std::string text;
    char mask = 0;
    bool modified = false;
};
EditState ReadEdit(HWND dialog, int id);

struct AnsweredMessageBox {
    bool seen = false;
    std::string caption;
    std::string text;
    UINT icon = 0;  // MB_ICONSTOP, MB_ICONQUESTION, ... as MessageBoxIcon reads it
};
// Waits for this process's next message box, reads it, answers it with `button` and waits until
// it is gone.
AnsweredMessageBox AnswerMessageBox(int button);
