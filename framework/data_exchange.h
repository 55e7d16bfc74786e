#pragma once
// Data exchange between a dialog's fields and its controls, in either direction.

#include <windows.h>

#include <string>

class CWnd;

struct CDataExchange {
    CWnd* dialog;
    bool save;  // true: controls to fields; false: fields to controls
};

void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Check(CDataExchange* dx, int id, BOOL& value);
// Binds the control's window to `control` (both directions; a new window replaces an old one).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
