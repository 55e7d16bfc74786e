#include "options_page.h"

#include <commctrl.h>

#include "../framework/data_exchange.h"
#include "../resources/resource.h"
#include "../ui/app_messages.h"
#include "../ui/page_colours.h"
#include "autorun.h"
#include "hotkey.h"
#include "settings.h"
#include "stealth_mode.h"
#include "vaults_app.h"
#include "vaults_root_move.h"

namespace {

const COLORREF kHeadingColour = RGB(2, 70, 213);
const int kHotkeyId = 1;

HWND MainWindow()
{
    CWnd* main = GetVaultsApp().m_pMainWnd;
    return main ? main->GetSafeHwnd() : nullptr;
}

CRegistryKey& Settings() { return GetVaultsApp().GetSettingsKey(); }

}  // namespace

BrowseForFolderFunction COptionsPage::browseForFolder = SHBrowseForFolderA;

BEGIN_MESSAGE_MAP(COptionsPage, CPropertyPage)
    ON_WM_CTLCOLOR(&COptionsPage::OnCtlColor)
    ON_BN_CLICKED(IDC_SELECT_ROOT, &COptionsPage::OnSelectRoot)
    ON_BN_CLICKED(IDC_AUTORUN, &COptionsPage::OnAutorun)
    ON_BN_CLICKED(IDC_DONT_SHOW_RUNNING, &COptionsPage::OnDontShowRunningWarning)
    ON_BN_CLICKED(IDC_SHOW_VAULTS_ON_START, &COptionsPage::OnShowVaultsOnStart)
    ON_BN_CLICKED(IDC_HIDE_ICONS, &COptionsPage::OnHideIcons)
    ON_BN_CLICKED(IDC_HOTKEY_ONLY, &COptionsPage::OnHotkeyOnly)
    ON_EN_CHANGE(IDC_HOTKEY, &COptionsPage::OnHotkeyChange)
END_MESSAGE_MAP()

COptionsPage::COptionsPage() : CPropertyPage(IDD_OPTIONS_PAGE) {}

void COptionsPage::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_ROOT_DIRECTORY, m_rootDirectory);
    DDX_Check(dx, IDC_AUTORUN, m_autoRun);
    DDX_Check(dx, IDC_DONT_SHOW_RUNNING, m_dontShowRunningWarning);
    DDX_Check(dx, IDC_SHOW_VAULTS_ON_START, m_showVaultsOnStart);
    DDX_Check(dx, IDC_HIDE_ICONS, m_hideIcons);
    DDX_Control(dx, IDC_HOTKEY, m_hotkey);
    DDX_Check(dx, IDC_HOTKEY_ONLY, m_hotkeyOnly);
}

BOOL COptionsPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_rootDirectory = GetVaultsApp().GetVaultsRoot();
    m_autoRun = Settings().ReadDword(SETTING_AUTO_RUN, 0);
    m_dontShowRunningWarning = Settings().ReadDword(SETTING_DONT_SHOW_RUNNING_WARNING, 0);
    m_showVaultsOnStart = Settings().ReadDword(SETTING_SHOW_VAULTS_ON_START, 0);
    m_hideIcons = Settings().ReadDword(SETTING_HIDE_ICONS, 0);
    m_hotkeyOnly = Settings().ReadDword(SETTING_HOTKEY_ONLY, 0);
    UpdateData(false);
    SetHotkeyWord(static_cast<WORD>(Settings().ReadDword(SETTING_HOTKEY, 0)));
    ::EnableWindow(m_hotkey, m_hotkeyOnly);
    ApplyHotkey(m_hotkeyOnly != FALSE);
    return TRUE;
}

HBRUSH COptionsPage::OnCtlColor(HDC dc, HWND control, UINT type)
{
    HBRUSH brush = PageColours(*this, dc, control, type);
    int id = GetDlgCtrlID(control);
    if (id == IDC_ROOT_HEADING || id == IDC_MISC_HEADING || id == IDC_STEALTH_HEADING)
        SetTextColor(dc, kHeadingColour);
    return brush;
}

WORD COptionsPage::HotkeyWord() const
{
    return static_cast<WORD>(::SendMessageA(m_hotkey, HKM_GETHOTKEY, 0, 0));
}

void COptionsPage::SetHotkeyWord(WORD word) { ::SendMessageA(m_hotkey, HKM_SETHOTKEY, word, 0); }

bool COptionsPage::ApplyHotkey(bool enable)
{
    UnregisterHotKey(MainWindow(), kHotkeyId);
    if (!enable)
        return true;
    WORD word = HotkeyWord();
    if (word == 0) {
        word = kDefaultHotkeyWord;
        SetHotkeyWord(word);
    }
    HotkeyRegistration registration = RegistrationFor(word);
    if (RegisterHotKey(MainWindow(), kHotkeyId, registration.modifiers, registration.virtualKey))
        return true;
    SetHotkeyWord(0);
    return false;
}

void COptionsPage::OnHotkeyOnly()
{
    UpdateData(true);
    if (m_hotkeyOnly) {
        ::EnableWindow(m_hotkey, TRUE);
        ::SetFocus(m_hotkey);
        if (!ApplyHotkey(true))
            return;
    } else {
        ::EnableWindow(m_hotkey, FALSE);
        ApplyHotkey(false);
    }
    Settings().WriteDword(SETTING_HOTKEY_ONLY, m_hotkeyOnly);
    ::SendMessageA(MainWindow(), WM_REFRESH_TRAY_ICON, 0, 0);
}

void COptionsPage::OnHotkeyChange()
{
    WORD word = HotkeyWord();
    if (ApplyHotkey(true))
        Settings().WriteDword(SETTING_HOTKEY, word);
}

void COptionsPage::OnAutorun()
{
    UpdateData(true);
    SetAutorun(GetVaultsApp().GetAppTitle(), m_autoRun != FALSE);
    Settings().WriteDword(SETTING_AUTO_RUN, m_autoRun);
}

void COptionsPage::OnDontShowRunningWarning()
{
    UpdateData(true);
    Settings().WriteDword(SETTING_DONT_SHOW_RUNNING_WARNING, m_dontShowRunningWarning);
}

void COptionsPage::OnShowVaultsOnStart()
{
    UpdateData(true);
    Settings().WriteDword(SETTING_SHOW_VAULTS_ON_START, m_showVaultsOnStart);
}
