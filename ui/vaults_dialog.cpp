#include "vaults_dialog.h"

#include "../framework/dpi.h"
#include "../framework/win_app.h"
#include "../resources/resource.h"
#include "app_services.h"
#include "help.h"
#include "page_colours.h"
#include "picture_bands.h"

namespace {

// A child window's rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Moves a child window, keeping its size, so that its top-left corner is at `at`.
void MoveChild(HWND child, POINT at)
{
    SetWindowPos(child, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

BEGIN_MESSAGE_MAP(CVaultsDlg, CDialog)
    ON_COMMAND(IDC_EXIT, &CVaultsDlg::OnExit)
    ON_COMMAND(IDC_HELP_BUTTON, &CVaultsDlg::OnHelpButton)
    ON_STN_CLICKED(IDC_TAB_OPTIONS, &CVaultsDlg::OnOptionsTab)
    ON_STN_CLICKED(IDC_TAB_VAULTS, &CVaultsDlg::OnVaultsTab)
    ON_STN_CLICKED(IDC_TAB_ABOUT, &CVaultsDlg::OnAboutTab)
    ON_MESSAGE(WM_HELP, &CVaultsDlg::OnHelpRequest)
    ON_MESSAGE(WM_SHOW_SELECTED_TAB, &CVaultsDlg::OnShowSelectedTab)
    ON_MESSAGE(WM_ERASEBKGND, &CVaultsDlg::OnEraseBackground)
    ON_WM_CTLCOLOR(&CVaultsDlg::OnCtlColor)
END_MESSAGE_MAP()

CVaultsDlg::CVaultsDlg() : CDialog(IDD_VAULTS_DIALOG), m_tabs(*this) {}

CVaultsDlg::~CVaultsDlg() = default;

bool CVaultsDlg::Create()
{
    CWinApp* app = AfxGetApp();
    return CDialog::Create(app ? app->m_pMainWnd : nullptr);
}

void CVaultsDlg::SelectTab(int tabId)
{
    HWND page = m_tabs.GetSelectedPage();
    HWND focus = ::GetFocus();
    bool focusOnPage = page && focus && (focus == page || IsChild(page, focus));
    m_tabs.Select(tabId);
    if (focusOnPage && m_tabs.GetSelectedPage() != page)
        FocusSelectedPage();
}

bool CVaultsDlg::PreTranslateMessage(MSG* msg)
{
    int tab = TabForKey(*msg);
    if (!tab)
        return false;
    SelectTab(tab);
    return true;
}

int CVaultsDlg::TabForKey(const MSG& msg) const
{
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0)
        return 0;
    bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (msg.wParam) {
    case VK_TAB:
        return m_tabs.GetNeighbour(shift ? -1 : 1);
    case VK_NEXT:
        return m_tabs.GetNeighbour(1);
    case VK_PRIOR:
        return m_tabs.GetNeighbour(-1);
    default:
        return 0;
    }
}

void CVaultsDlg::FocusSelectedPage()
{
    HWND page = m_tabs.GetSelectedPage();
    HWND first = page ? GetNextDlgTabItem(page, nullptr, FALSE) : nullptr;
    if (!first || !IsChild(page, first))
        first = GetDlgItem(IDCANCEL);
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

void CVaultsDlg::KeepFocusOnAControl()
{
    if (GetActiveWindow() == m_hWnd && !HasUsableFocus(m_hWnd))
        FocusSelectedPage();
}

bool CVaultsDlg::ShowOnTab(int tabId)
{
    if (AfxBringModalForward(m_hWnd))
        return false;
    if (tabId)
        SelectTab(tabId);
    ShowWindow(IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(m_hWnd);
    KeepFocusOnAControl();
    return true;
}

CVaultsPage& CVaultsDlg::GetVaultsPage() { return m_vaultsPage; }

BOOL CVaultsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(LoadStringResource(IDS_MAIN_DIALOG_TITLE));
    ShowProgramIcon(GetDpi());
    AddPages(PlaceTabs());
    SelectTab(IDC_TAB_OPTIONS);
    // The focus starts on Hide, the default button, so that an Enter right after the dialog
    // opens hides it instead of pressing Exit, the first button in the tab order.
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDCANCEL)), TRUE);
    return FALSE;
}

void CVaultsDlg::OnDpiChanged(UINT dpi)
{
    CDialog::OnDpiChanged(dpi);
    m_tabs.Rescale(dpi);
    ShowProgramIcon(dpi);
    POINT topLeft = PlaceTabs();
    for (CPropertyPage* page : {m_optionsPage.get(), static_cast<CPropertyPage*>(&m_vaultsPage),
                                static_cast<CPropertyPage*>(&m_aboutPage)}) {
        if (!page || !page->m_hWnd)
            continue;
        MoveChild(page->m_hWnd, topLeft);
        page->FollowDpi();
    }
}

void CVaultsDlg::ShowProgramIcon(UINT dpi)
{
    // Shared icons: the system keeps them, so they are never destroyed.
    for (WPARAM which : {ICON_SMALL, ICON_BIG}) {
        int size = SystemMetricForDpi(which == ICON_SMALL ? SM_CXSMICON : SM_CXICON, dpi);
        HANDLE icon = LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                 size, size, LR_SHARED);
        SendMessage(WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

POINT CVaultsDlg::PlaceTabs()
{
    // The bottom bar runs along the bottom edge, however tall the dialog's font makes it.
    HWND bar = GetDlgItem(IDC_BOTTOM_BAR);
    RECT client, barRect = ChildRect(m_hWnd, bar);
    GetClientRect(m_hWnd, &client);
    MoveChild(bar, {barRect.left, client.bottom - (barRect.bottom - barRect.top)});

    RECT banner = ChildRect(m_hWnd, GetDlgItem(IDC_BANNER));
    MoveChild(GetDlgItem(IDC_TAB_OPTIONS), {banner.left, banner.bottom});
    RECT first = ChildRect(m_hWnd, GetDlgItem(IDC_TAB_OPTIONS));
    MoveChild(GetDlgItem(IDC_TAB_VAULTS), {first.right, first.top});
    RECT second = ChildRect(m_hWnd, GetDlgItem(IDC_TAB_VAULTS));
    MoveChild(GetDlgItem(IDC_TAB_ABOUT), {second.right, second.top});
    return {first.left, first.bottom};
}

void CVaultsDlg::AddPages(POINT topLeft)
{
    struct PageTab {
        CPropertyPage* page;
        int tabId;
        UINT normalBitmap;
        UINT selectedBitmap;
    };
    if (!m_optionsPage)
        m_optionsPage = GetAppServices().MakeOptionsPage();
    const PageTab pages[] = {
        {m_optionsPage.get(), IDC_TAB_OPTIONS, IDB_TAB_OPTIONS, IDB_TAB_OPTIONS_SELECTED},
        {&m_vaultsPage, IDC_TAB_VAULTS, IDB_TAB_VAULTS, IDB_TAB_VAULTS_SELECTED},
        {&m_aboutPage, IDC_TAB_ABOUT, IDB_TAB_ABOUT, IDB_TAB_ABOUT_SELECTED},
    };
    // Tab goes through the controls in the order of the windows: each page right after the
    // tab row, before the buttons at the bottom.
    HWND previous = GetDlgItem(IDC_TAB_ABOUT);
    for (const PageTab& tab : pages) {
        if (!tab.page || !tab.page->Create(this))
            return;
        SetWindowPos(tab.page->m_hWnd, previous, topLeft.x, topLeft.y, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
        previous = tab.page->m_hWnd;
        m_tabs.AddTab(tab.tabId, tab.normalBitmap, tab.selectedBitmap, tab.page->m_hWnd);
    }
}

void CVaultsDlg::OnCancel()
{
    if (!IsKeyInsidePage())
        CDialog::OnCancel();
}

bool CVaultsDlg::IsKeyInsidePage() const
{
    // The dialog manager turns Escape, and Enter through the default button (Hide), into Cancel
    // for the dialog wherever the focus is; the key is still down while the Cancel is handled.
    bool key = GetKeyState(VK_ESCAPE) < 0 || GetKeyState(VK_RETURN) < 0;
    HWND focus = GetFocus();
    return key && focus && IsChild(m_hWnd, focus) && GetParent(focus) != m_hWnd;
}

void CVaultsDlg::OnExit() { AfxPostToMainWindow(WM_COMMAND, ID_APP_EXIT); }

void CVaultsDlg::OnHelpButton() { ShowHelpContents(m_hWnd); }

void CVaultsDlg::OnOptionsTab() { SelectTab(IDC_TAB_OPTIONS); }

void CVaultsDlg::OnVaultsTab() { SelectTab(IDC_TAB_VAULTS); }

void CVaultsDlg::OnAboutTab() { SelectTab(IDC_TAB_ABOUT); }

LRESULT CVaultsDlg::OnHelpRequest(WPARAM, LPARAM lParam)
{
    // F1 here, in a page (whose own help requests go on to its parent) or in a window this
    // dialog owns.
    const HELPINFO* request = reinterpret_cast<const HELPINFO*>(lParam);
    ShowHelpForContext(m_hWnd, request ? DWORD(request->dwContextId) : 0);
    return TRUE;
}

LRESULT CVaultsDlg::OnShowSelectedTab(WPARAM, LPARAM)
{
    m_tabs.ShowSelectedPicture();
    return 0;
}

LRESULT CVaultsDlg::OnEraseBackground(WPARAM wParam, LPARAM)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT client;
    GetClientRect(m_hWnd, &client);
    FillRect(dc, &client, OnCtlColor(dc, m_hWnd, CTLCOLOR_DLG));
    ExtendPictureBands(m_hWnd, dc);
    return TRUE;
}

HBRUSH CVaultsDlg::OnCtlColor(HDC dc, HWND control, UINT type)
{
    return PageColours(*this, dc, control, type);
}
