#pragma once
// A property sheet over the platform's PropertySheetA, in wizard mode when asked.
//
// Two things the platform leaves to chance are settled here for every sheet: a button pressed
// by message (PSM_PRESSBUTTON, as accessibility and automation tools press it) does what a click
// on that button does whenever the button is shown and enabled; and when the buttons change
// (PSM_SETWIZBUTTONS) and the focus was on one that is now hidden or disabled (Next, where Finish
// takes its place), or on no control at all, it moves to the default button, so that Enter and
// the keyboard go on working.

#include <vector>

#include "property_page.h"

class CPropertySheet : public CWnd {
public:
    CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT startPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page) { m_pages.push_back(page); }
    // Wizard mode in the newer look (a header area at the top of each page).
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD97 | PSH_HEADER; }
    // The picture at the right of the wizard's header (49 x 49 pixels at every DPI): a bitmap
    // resource of the program, loaded here and handed over as a handle, which every platform
    // draws.
    void SetHeaderBitmap(UINT bitmapId);
    // The icon of the sheet's caption and taskbar button: an icon resource of the program.
    void SetIcon(UINT iconId)
    {
        m_psh.dwFlags |= PSH_USEICONID;
        m_psh.pszIcon = MAKEINTRESOURCEA(iconId);
    }

    // Runs the sheet modally: IDOK (finished), IDCANCEL, or -1 when it could not be shown.
    INT_PTR DoModal();

    PROPSHEETHEADERA m_psh;

private:
    static int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM);

    std::vector<CPropertyPage*> m_pages;
    CWnd* m_parent;
    HBITMAP m_headerBitmap = nullptr;
};
