#include "page_colours.h"

#include "vaults_app.h"

HBRUSH PageColours(const CWnd& window, HDC dc, HWND control, UINT type)
{
    window.DefaultCtlColor(dc, control, type);
    SetBkMode(dc, TRANSPARENT);
    return GetVaultsApp().GetPageBrush();
}
