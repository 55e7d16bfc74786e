#include "about_page.h"

#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "page_colours.h"

namespace {

// The product name's colour, the one the pages use for their headings.
const COLORREF kTitleColour = RGB(2, 70, 213);

// A new font (the caller's to delete) like `font`, bold and half as large again; null when it
// cannot be made.
HFONT MakeTitleFont(HFONT font)
{
    LOGFONTA description = {};
    if (!font || !GetObjectA(font, sizeof(description), &description))
        return nullptr;
    description.lfHeight = description.lfHeight * 3 / 2;
    description.lfWidth = 0;
    description.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&description);
}

}  // namespace

BEGIN_MESSAGE_MAP(CAboutPage, CPropertyPage)
    ON_WM_CTLCOLOR(&CAboutPage::OnCtlColor)
END_MESSAGE_MAP()

CAboutPage::CAboutPage() : CPropertyPage(IDD_ABOUT_PAGE) {}

CAboutPage::~CAboutPage()
{
    // The page's window, and with it the control that uses the font, goes first.
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    if (m_titleFont)
        DeleteObject(m_titleFont);
}

BOOL CAboutPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    HWND title = GetDlgItem(IDC_ABOUT_PRODUCT);
    ::SetWindowTextA(title, LoadStringResource(IDS_APP_TITLE).c_str());
    ShowTitleFont();
    return TRUE;
}

void CAboutPage::OnDpiChanged(UINT dpi)
{
    CPropertyPage::OnDpiChanged(dpi);
    ShowTitleFont();
}

void CAboutPage::ShowTitleFont()
{
    HFONT font = MakeTitleFont(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    if (!font)
        return;
    ::SendMessageA(GetDlgItem(IDC_ABOUT_PRODUCT), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (m_titleFont)
        DeleteObject(m_titleFont);
    m_titleFont = font;
}

HBRUSH CAboutPage::OnCtlColor(HDC dc, HWND control, UINT type)
{
    HBRUSH brush = PageColours(*this, dc, control, type);
    if (control == GetDlgItem(IDC_ABOUT_PRODUCT))
        SetTextColor(dc, kTitleColour);
    return brush;
}
