#include "options_page.h"

#include "../resources/resource.h"
#include "page_colours.h"

BEGIN_MESSAGE_MAP(COptionsPage, CPropertyPage)
    ON_WM_CTLCOLOR(&COptionsPage::OnCtlColor)
END_MESSAGE_MAP()

COptionsPage::COptionsPage() : CPropertyPage(IDD_OPTIONS_PAGE) {}

HBRUSH COptionsPage::OnCtlColor(HDC dc, HWND control, UINT type)
{
    return PageColours(*this, dc, control, type);
}
