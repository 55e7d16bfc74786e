#pragma once
// Thin wrappers of the common controls the program's dialogs bind with DDX_Control.

#include <windows.h>
#include <commctrl.h>

#include "wnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(int lower, int upper) { SendMessage(PBM_SETRANGE32, lower, upper); }
    int SetPos(int position) { return int(SendMessage(PBM_SETPOS, position)); }
};
