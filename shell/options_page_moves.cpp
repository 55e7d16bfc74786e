// The Options page's two handlers that move folders behind the progress dialog: stealth mode
// and the vaults root.

#include "options_page.h"

#include "../resources/resource.h"
#include "settings.h"
#include "stealth_mode.h"
#include "vaults_app.h"
#include "vaults_root_move.h"

namespace {

// COM for the folder browser, for as long as the handler runs.
class ComScope {
public:
    ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (initialised_)
            CoUninitialize();
    }

private:
    bool initialised_;
};

}  // namespace

void COptionsPage::OnHideIcons()
{
    BOOL before = m_hideIcons;
    UpdateData(true);
    bool hide = m_hideIcons != FALSE;
    InstallerPlaces places = ReadInstallerPlaces();
    std::string problem = StealthMoveProblem(places, hide);
    if (!problem.empty())
        MessageBox(problem, MB_ICONHAND);
    if (problem.empty() && MoveStartMenuGroup(places, hide)) {
        GetVaultsApp().GetSettingsKey().WriteDword(SETTING_HIDE_ICONS, hide ? 1 : 0);
        return;
    }
    m_hideIcons = before;
    UpdateData(false);
}

std::string COptionsPage::ChooseFolder(bool* unusable)
{
    *unusable = false;
    std::string title = LoadStringResource(IDS_CHOOSE_ROOT);
    BROWSEINFOA browse = {};
    browse.hwndOwner = m_hWnd;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_SHAREABLE;
    PIDLIST_ABSOLUTE item = browseForFolder(&browse);
    if (!item)
        return "";
    char path[MAX_PATH] = "";
    *unusable = !SHGetPathFromIDListA(item, path) || path[0] == '\0';
    CoTaskMemFree(item);
    return *unusable ? "" : path;
}

void COptionsPage::OnSelectRoot()
{
    ComScope com;
    bool unusable = false;
    std::string chosen = ChooseFolder(&unusable);
    if (unusable)
        MessageBox(LoadStringResource(IDS_ROOT_UNUSABLE), MB_ICONHAND);
    if (chosen.empty())
        return;
    CVaultsApp& app = GetVaultsApp();
    RootMoveReport report =
        MoveVaultsRoot(app.GetSettingsKey(), app.GetVaultStore(), m_rootDirectory, chosen,
                       [&app](const std::string& root) { return app.SetVaultsRoot(root); });
    if (!report.text.empty())
        MessageBox(report.text, report.icon);
    if (report.result != RootMoveResult::Moved)
        return;
    m_rootDirectory = chosen;
    UpdateData(false);
}
