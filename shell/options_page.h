#pragma once
// The Options page of the main dialog (template 103): for now an empty page in the page colours,
// so that its tab has a page to show.

#include "../framework/property_page.h"

class COptionsPage : public CPropertyPage {
public:
    COptionsPage();

protected:
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);

    DECLARE_MESSAGE_MAP()
};
