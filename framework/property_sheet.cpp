#include "property_sheet.h"

#include "dpi.h"
#include "win_app.h"

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT startPage)
    : m_psh(), m_parent(parent)
{
    m_psh.dwSize = sizeof(m_psh);
    m_psh.hInstance = AfxGetInstanceHandle();
    m_psh.pszCaption = MAKEINTRESOURCEA(captionId);
    m_psh.nStartPage = startPage;
}

CPropertySheet::~CPropertySheet()
{
    if (m_headerBitmap)
        DeleteObject(m_headerBitmap);
}

void CPropertySheet::SetHeaderBitmap(UINT bitmapId)
{
    if (m_headerBitmap)
        DeleteObject(m_headerBitmap);
    // The sheet gives the picture a place of 49 x 49 pixels at every DPI (Wine cuts a larger
    // picture to that), so the picture drawn for 96 dpi is the one that fits it.
    m_headerBitmap = LoadBitmapForDpi(AfxGetInstanceHandle(), bitmapId, kDefaultDpi);
    m_psh.hbmHeader = m_headerBitmap;
    if (m_headerBitmap)
        m_psh.dwFlags |= PSH_USEHBMHEADER;
    else
        m_psh.dwFlags &= ~DWORD(PSH_USEHBMHEADER);
}

INT_PTR CPropertySheet::DoModal()
{
    std::vector<HPROPSHEETPAGE> pages;
    for (CPropertyPage* page : m_pages) {
        HPROPSHEETPAGE handle = CreatePropertySheetPageA(&page->m_psp);
        if (!handle) {
            for (HPROPSHEETPAGE created : pages)
                DestroyPropertySheetPage(created);
            return -1;
        }
        pages.push_back(handle);
    }
    m_psh.dwFlags |= PSH_DEFAULT;
    m_psh.hwndParent = m_parent ? m_parent->m_hWnd : nullptr;
    m_psh.nPages = UINT(pages.size());
    m_psh.phpage = pages.data();
    INT_PTR result = PropertySheetA(&m_psh);
    if (result < 0)
        return -1;
    return result > 0 ? IDOK : IDCANCEL;
}
