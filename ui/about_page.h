#pragma once
// The About page of the main dialog (template 104): the program's picture with its name and
// version beside it, and a plain account of what a vault protects against and what it does not.

#include "../framework/property_page.h"

class CAboutPage : public CPropertyPage {
public:
    CAboutPage();
    ~CAboutPage() override;

protected:
    BOOL OnInitDialog() override;
    // The product name's font is made again from the page's font for the new DPI.
    void OnDpiChanged(UINT dpi) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);

    DECLARE_MESSAGE_MAP()

private:
    void ShowTitleFont();

    // The product name's font: the page's own, bold and half as large again; null until made.
    HFONT m_titleFont = nullptr;
};
