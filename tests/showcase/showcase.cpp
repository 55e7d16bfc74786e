// Shows one of the program's vault windows on sample vaults of its own, so that
// scripts/screenshots can photograph it:
//   orvella-showcase page | new | manage [strong] | password | main [options|vaults|about]
//   orvella-showcase wizard N        the introduction wizard on its page N (1 to 5)
//   orvella-showcase remove          the Manage dialog asking whether to remove its vault
//   orvella-showcase progress        the progress dialog of a lock, part of the way through
// The samples live in a settings key and a vaults root of their own, never the user's.

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "engine/jobs/progress_dialog.h"
#include "engine/jobs/vault_job.h"
#include "engine/vault/vault_check.h"
#include "resources/resource.h"
#include "shell/vaults_app.h"
#include "ui/introduction_wizard.h"
#include "ui/password_dialog.h"
#include "ui/vault_properties_dialog.h"
#include "ui/vaults_dialog.h"
#include "ui/vaults_page.h"

namespace {

const char kSettings[] = "Software\\Zovantri\\Orvella Showcase";

std::string SampleRoot()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    return std::string(temp) + "Orvella Showcase";
}

enum SampleKind { CLASSIC, STRONG };

// Finds the sample vault of this name, creating it (of the kind given, and locked when asked) the
// first time.
VaultRecord SampleVault(CVaultsApp& app, const char* name, bool locked, SampleKind kind = CLASSIC)
{
    VaultStore& store = app.GetVaultStore();
    VaultRecord record;
    for (bool found = store.First(record); found; found = store.Next(record))
        if (record.Name() == name)
            return record;
    record.Create(store, app.GetVaultsRoot(), name, "sample", kind == STRONG);
    HANDLE file = CreateFileA((record.folder.FolderPath(app.GetVaultsRoot()) + "\\readme.txt").c_str(),
                              GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    if (locked)
        record.Lock(app.GetVaultsRoot(), "sample");
    store.Save(record);
    return record;
}

// Waits up to ten seconds for a dialog with this caption to appear.
HWND WaitForDialog(const std::string& caption)
{
    HWND dialog = nullptr;
    for (int tries = 0; !dialog && tries < 500; ++tries, Sleep(20))
        dialog = FindWindowA("#32770", caption.c_str());
    return dialog;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The page in a plain captioned window of its size, until that window is closed.
int ShowPage(CVaultsApp& app)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = app.m_hInstance;
    windowClass.hbrBackground = app.GetPageBrush();
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(app.m_hInstance, MAKEINTRESOURCE(IDI_APP));
    windowClass.lpszClassName = "OrvellaShowcaseHost";
    RegisterClassA(&windowClass);
    HWND hostWindow = CreateWindowExA(0, windowClass.lpszClassName, "Zovantri Orvella",
                                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                      80, 60, 100, 100, nullptr, nullptr, app.m_hInstance, nullptr);
    CWnd host;
    host.Attach(hostWindow);
    CVaultsPage page;
    if (!page.Create(&host))
        return 1;
    RECT pageRect;
    GetWindowRect(page.m_hWnd, &pageRect);
    RECT frame = {0, 0, pageRect.right - pageRect.left, pageRect.bottom - pageRect.top};
    AdjustWindowRectEx(&frame, GetWindowLongA(hostWindow, GWL_STYLE), FALSE, 0);
    SetWindowPos(hostWindow, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(page.m_hWnd, SW_SHOW);
    ShowWindow(hostWindow, SW_SHOW);
    // The unlocked vault selected, so that every command shows enabled.
    HWND list = page.GetDlgItem(IDC_VAULT_LIST);
    SetFocus(list);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return app.Run();
}

// The hidden main window: the main dialog's owner, which ends the showcase on Exit.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == ID_APP_EXIT) {
        DestroyWindow(window);
        return 0;
    }
    return HostProc(window, message, wParam, lParam);
}

// The main dialog on the tab named (options, vaults or about), until Exit is pressed.
int ShowMainDialog(CVaultsApp& app, const std::string& tab)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = app.m_hInstance;
    windowClass.lpszClassName = "OrvellaShowcaseMain";
    RegisterClassA(&windowClass);
    CWnd mainWindow;
    mainWindow.Attach(CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, app.m_hInstance, nullptr));
    app.m_pMainWnd = &mainWindow;
    CVaultsDlg dialog;
    if (!dialog.Create())
        return 1;
    int tabId = tab == "vaults" ? IDC_TAB_VAULTS : tab == "about" ? IDC_TAB_ABOUT : IDC_TAB_OPTIONS;
    SetWindowPos(dialog.m_hWnd, nullptr, 80, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowOnTab(tabId);
    if (tabId == IDC_TAB_VAULTS) {
        HWND list = dialog.GetVaultsPage().GetDlgItem(IDC_VAULT_LIST);
        SetFocus(list);
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    int result = app.Run();
    app.m_pMainWnd = nullptr;
    return result;
}

// The introduction wizard on its page `page` (1 to 5), until it is finished or cancelled. The
// pages after the vault's are reached from the first of them with Next, as a user reaches them,
// so that the wizard's buttons show as they would then.
int ShowWizardPage(int page)
{
    page = page >= 1 && page <= 5 ? page : 1;
    CIntroductionWizard wizard;
    wizard.m_psh.nStartPage = UINT(page >= 3 ? 2 : page - 1);
    std::thread walker([page] {
        HWND sheet = WaitForDialog(LoadStringResource(IDS_WIZARD_CAPTION));
        for (int next = 3; sheet && next < page; ++next)
            PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    });
    INT_PTR result = wizard.DoModal();
    walker.join();
    return int(result);
}

// The Manage dialog of `record` with its Remove button pressed, so that it asks its question.
int ShowRemoveQuestion(CVaultsApp& app, VaultRecord record)
{
    CVaultPropertiesDlg dialog;
    dialog.Setup(&record, &app.GetVaultStore(), VAULT_DIALOG_MANAGE);
    std::thread presser([] {
        HWND manage = WaitForDialog(LoadStringResource(IDS_MANAGE_VAULT_CAPTION));
        if (manage)
            PostMessageA(manage, WM_COMMAND, MAKEWPARAM(IDC_VAULT_REMOVE, BN_CLICKED),
                         LPARAM(GetDlgItem(manage, IDC_VAULT_REMOVE)));
    });
    INT_PTR result = dialog.DoModal();
    presser.join();
    return int(result);
}

// A lock's job as the progress dialog shows it two fifths of the way through, held there until
// the user cancels. The texts are the ones the encrypt job reports.
DWORD WINAPI HeldLockJob(void* parameter)
{
    VaultJob& job = *static_cast<VaultJob*>(parameter);
    const uint64_t total = uint64_t(48) << 20;
    StartProgress(job.progress, "Encrypt vault " + job.vaultName, total);
    std::string status = "Processing " + job.folderPath + "\\readme.txt";
    vault_job::Report(job, &status, total / 5 * 2);
    while (!job.progress.IsCancelRequested())
        Sleep(50);
    return 0;
}

int ShowLockProgress(VaultRecord record)
{
    VaultJob job;
    job.vaultName = record.Name();
    job.folderPath = record.folder.FolderPath(GetVaultsApp().GetVaultsRoot());
    CProgressDlg dialog(job.progress);
    return dialog.Run(HeldLockJob, &job) ? 0 : 1;
}

// What Check... on the Vaults page shows for a sound vault: the check runs behind the progress
// window, then its result comes as the page's message box.
int ShowCheckResult(CVaultsApp& app, const VaultRecord& record)
{
    std::string result;
    if (CheckLockedVault(record, app.GetVaultsRoot(), "sample", &result) != CheckOutcome::SOUND)
        return 1;
    // The program's message boxes take its module's name for their caption.
    return MessageBoxA(nullptr, result.c_str(), "Orvella", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string what = argc > 1 ? argv[1] : "page";
    CVaultsApp app;
    if (!app.OpenSharedObjects(HKEY_CURRENT_USER, kSettings) ||
        !app.SetVaultsRoot(SampleRoot()))
        return 1;
    VaultRecord letters = SampleVault(app, "Letters", false);
    VaultRecord taxes = SampleVault(app, "Tax returns 2026", true);
    SampleVault(app, "Photos", false);
    VaultRecord medical = SampleVault(app, "Medical records", true, STRONG);

    if (what == "page")
        return ShowPage(app);
    if (what == "main")
        return ShowMainDialog(app, argc > 2 ? argv[2] : "options");
    if (what == "wizard")
        return ShowWizardPage(argc > 2 ? std::atoi(argv[2]) : 1);
    if (what == "password")
        return int(CPasswordDlg(taxes).DoModal());
    if (what == "remove")
        return ShowRemoveQuestion(app, letters);
    if (what == "progress")
        return ShowLockProgress(letters);
    if (what == "check")
        return ShowCheckResult(app, medical);
    // "manage strong": a vault encrypted with its password, whose check box is ticked and greyed.
    bool strong = argc > 2 && std::string(argv[2]) == "strong";
    VaultRecord record = what != "manage" ? VaultRecord() : strong ? medical : letters;
    CVaultPropertiesDlg dialog;
    dialog.Setup(&record, &app.GetVaultStore(),
                 what == "manage" ? VAULT_DIALOG_MANAGE : VAULT_DIALOG_NEW);
    return int(dialog.DoModal());
}
