#pragma once
// The main window: a banner, three picture tabs (Options, Vaults, About) switching their pages,
// and Exit, Help and Hide. Modeless and created hidden; closing it only hides it.
//
// From the keyboard: Tab goes through the shown page's controls, then Exit, Help and Hide;
// Ctrl+Tab and Ctrl+Page Down show the next tab, Ctrl+Shift+Tab and Ctrl+Page Up the one
// before. The focus never stays on a page that is hidden: a tab change or a show of the dialog
// puts it on the shown page's first control (Hide when the page has none).

#include <memory>

#include "../framework/dialog.h"
#include "../framework/property_page.h"
#include "about_page.h"
#include "tab_strip.h"
#include "vaults_page.h"

class CVaultsDlg : public CDialog {
public:
    CVaultsDlg();
    ~CVaultsDlg() override;

    // Creates the hidden dialog, owned by the application's main window.
    bool Create();
    // Shows the page of the tab with this picture control id (1052 Options, 1053 Vaults,
    // 1054 About) and hides the others; the focus, when it was on the page that goes, moves to
    // the new one.
    void SelectTab(int tabId);
    // Selects tabId (0: keeps the current tab) and shows and activates the dialog.
    // False, bringing forward the window that is modal over this dialog instead, while one is
    // (a job's progress, a question, a vault dialog): the dialog and its tab stay as they are.
    bool ShowOnTab(int tabId);
    // The Vaults page, to which the main frame posts New (1062).
    CVaultsPage& GetVaultsPage();

    // Ctrl+Tab and its kin.
    bool PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    // The banner, the tabs, the bottom bar and the icon in the size for `dpi`, the tabs and the
    // pages placed again under the banner, and the pages told.
    void OnDpiChanged(UINT dpi) override;
    // Hides the dialog, unless the Cancel is Escape or Enter pressed inside a page.
    void OnCancel() override;

    void OnExit();
    void OnHelpButton();
    void OnOptionsTab();
    void OnVaultsTab();
    void OnAboutTab();
    LRESULT OnHelpRequest(WPARAM, LPARAM lParam);
    LRESULT OnShowSelectedTab(WPARAM, LPARAM);
    // The page colour, and the banner, tab row and bottom bar carried on to the right edge.
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);

    DECLARE_MESSAGE_MAP()

private:
    // The program's icon in the caption and in the task switcher, in the sizes for `dpi`.
    void ShowProgramIcon(UINT dpi);
    // Puts the tabs in a row under the banner, Options, Vaults, About, each touching the next,
    // and the bottom bar along the bottom edge; where the pages go: the bottom-left corner of
    // the first tab.
    POINT PlaceTabs();
    // Creates the pages at `topLeft` and adds their tabs, in tab order; stops at the first page
    // that cannot be created, so neither its tab nor the later ones are added. The pages come
    // before Exit, Help and Hide in the Tab order.
    void AddPages(POINT topLeft);
    // The tab that a Ctrl key combination of `msg` asks for, or 0.
    int TabForKey(const MSG& msg) const;
    // Puts the focus on the shown page's first control, or on Hide when the page has none.
    void FocusSelectedPage();
    // While the dialog is active: when the focus is on no control that can take input (on a
    // page that was hidden, say), FocusSelectedPage.
    void KeepFocusOnAControl();
    // True while the key that brought a Cancel is Escape or Enter and the focus is inside one
    // of the pages: the pages ignore their own Enter and Escape.
    bool IsKeyInsidePage() const;

    // Destroyed in the reverse order: the tab bitmaps, then the About, Options and Vaults pages.
    CVaultsPage m_vaultsPage;
    std::unique_ptr<CPropertyPage> m_optionsPage;  // the program's (GetAppServices)
    CAboutPage m_aboutPage;
    CTabStrip m_tabs;
};
