#pragma once
// A thin wrapper of an edit control, bound with DDX_Control or Attach.

#include <windows.h>

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
};
