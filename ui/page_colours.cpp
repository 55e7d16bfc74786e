#include "page_colours.h"

#include "app_services.h"

HBRUSH PageColours(const CWnd& window, HDC dc, HWND control, UINT type)
{
    window.DefaultCtlColor(dc, control, type);
    SetBkMode(dc, TRANSPARENT);
    return GetAppServices().GetPageBrush();
}
