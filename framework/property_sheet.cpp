#include "property_sheet.h"

#include <commctrl.h>

#include "dpi.h"
#include "win_app.h"

namespace {

const UINT_PTR kSheetSubclassId = 1;

// The control ids of the platform's own sheet buttons besides OK, Cancel and Help.
enum { kApplyButton = 0x3021, kBackButton = 0x3023, kNextButton = 0x3024, kFinishButton = 0x3025 };

// The sheet's own button for a PSBTN_* index; 0 for none.
int ButtonId(WPARAM index)
{
    const struct {
        WPARAM index;
        int id;
    } buttons[] = {{PSBTN_BACK, kBackButton},   {PSBTN_NEXT, kNextButton},
                   {PSBTN_FINISH, kFinishButton}, {PSBTN_OK, IDOK},
                   {PSBTN_APPLYNOW, kApplyButton}, {PSBTN_CANCEL, IDCANCEL},
                   {PSBTN_HELP, IDHELP}};
    for (const auto& button : buttons)
        if (button.index == index)
            return button.id;
    return 0;
}

bool CanTakeInput(HWND window) { return IsWindowVisible(window) && IsWindowEnabled(window); }

// A click on the sheet's button `index` when it is shown and enabled; false otherwise.
bool ClickButton(HWND sheet, WPARAM index)
{
    int id = ButtonId(index);
    HWND button = id ? GetDlgItem(sheet, id) : nullptr;
    if (!button || !CanTakeInput(button))
        return false;
    SendMessageA(sheet, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

// While the sheet is active: a focus on no control, or on one that can no longer take input,
// moves to the default button.
void KeepFocusOnAControl(HWND sheet)
{
    if (GetActiveWindow() != sheet || HasUsableFocus(sheet))
        return;
    DWORD defaultId = DWORD(SendMessageA(sheet, DM_GETDEFID, 0, 0));
    HWND button = HIWORD(defaultId) == DC_HASDEFID ? GetDlgItem(sheet, LOWORD(defaultId)) : nullptr;
    if (button && CanTakeInput(button))
        SendMessageA(sheet, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
}

LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(sheet, SheetProc, kSheetSubclassId);
    } else if (message == PSM_PRESSBUTTON) {
        if (ClickButton(sheet, wParam))
            return 0;
    } else if (message == PSM_SETWIZBUTTONS) {
        LRESULT result = DefSubclassProc(sheet, message, wParam, lParam);
        KeepFocusOnAControl(sheet);
        return result;
    }
    return DefSubclassProc(sheet, message, wParam, lParam);
}

}  // namespace

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
    m_psh.dwFlags |= PSH_DEFAULT | PSH_USECALLBACK;
    m_psh.pfnCallback = SheetCallback;
    m_psh.hwndParent = m_parent ? m_parent->m_hWnd : nullptr;
    m_psh.nPages = UINT(pages.size());
    m_psh.phpage = pages.data();
    INT_PTR result = PropertySheetA(&m_psh);
    if (result < 0)
        return -1;
    return result > 0 ? IDOK : IDCANCEL;
}

int CALLBACK CPropertySheet::SheetCallback(HWND sheet, UINT message, LPARAM)
{
    if (message == PSCB_INITIALIZED)
        SetWindowSubclass(sheet, SheetProc, kSheetSubclassId, 0);
    return 0;
}
