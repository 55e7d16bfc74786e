#include "data_exchange.h"

#include "wnd.h"

void DDX_Text(CDataExchange* dx, int id, std::string& value)
{
    CWnd control;
    control.Attach(dx->dialog->GetDlgItem(id));
    if (dx->save)
        value = control.GetWindowText();
    else
        control.SetWindowText(value);
}

void DDX_Check(CDataExchange* dx, int id, BOOL& value)
{
    HWND control = dx->dialog->GetDlgItem(id);
    if (dx->save)
        value = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    else
        SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    control.Attach(dx->dialog->GetDlgItem(id));
}
