#pragma once
// A thin wrapper of an edit control, bound with DDX_Control or Attach.

#include <windows.h>

#include <string>

#include "wnd.h"

class CEdit : public CWnd {
public:
    // The modified flag: set when the user changes the text, cleared by SetModify(FALSE) and by
    // setting the text from code.
    BOOL GetModify() const { return SendMessage(EM_GETMODIFY) != 0; }
    void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified); }
    // Shows every character as mask (masking on), or the text itself when mask is 0; the control
    // redraws its text.
    void SetPasswordChar(char mask)
    {
        SendMessage(EM_SETPASSWORDCHAR, static_cast<unsigned char>(mask));
    }
    // From now on the control takes what is typed into it as UTF-16, also in a dialog made from
    // an ANSI template: characters that the ANSI code page lacks are kept, not made '?'.
    void TakeWideInput();
    // The text as UTF-16.
    std::wstring GetWideText() const;
};
