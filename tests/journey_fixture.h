#pragma once
// The fixture of a new user's journey with the installed program: a fresh installation on Wine's
// desktop with a taskbar (where the tray icon can be read), a vaults root of its own and no
// settings, so that the installed program's first start is a first start; and the user's ways
// through the program's windows, each checked where it ends. Whatever is left installed is
// removed at the end.

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "engine/vault/vault_record.h"
#include "program.h"
#include "scratch.h"
#include "shell_desktop.h"
#include "wait_scale.h"

const char kAppKey[] = "Software\\Zovantri\\Zovantri Orvella";
const char kQuestion[] = "There are unlocked Vaults. Close anyway?";
const int kNext = 0x3024, kFinish = 0x3025;
const UINT kUnlockedImage = 169, kLockedImage = 171;
const char kShortcuts[][32] = {"Zovantri Orvella.lnk", "Zovantri Orvella Help.lnk",
                               "Uninstall Zovantri Orvella.lnk"};

// The files the user keeps in the vault, name to contents; one is empty, one spans many blocks.
std::map<std::string, std::string> UserFiles();

// The visible control `id` anywhere inside `window` (the pages are children of the main dialog).
HWND FindVisibleDescendant(HWND window, int id);

// Waits until the wizard shows its page `number` (1 to 5).
bool WaitForWizardPage(HWND wizard, int number);

// Clicks the wizard's button once the page offers it (pages post their buttons as they show).
void ClickWhenOffered(HWND wizard, int id);

// Presses a button of the program's windows: the notification its click sends to its parent
// (BM_CLICK is unreliable across processes while the dialog is not the active window).
void PressButton(HWND button);

// Types `text` (UTF-8) into edit `id` of another process's dialog; the edit is marked modified,
// as typing marks it (the Manage dialog changes only what the user typed into).
void TypeText(HWND dialog, int id, const char* text);

// The text of another process's edit (GetWindowText does not ask a window of another process).
std::string EditText(HWND edit);

// True while some program holds the global hotkey: this thread cannot register it then.
bool HotkeyTaken(UINT modifiers, UINT key);

// The names in `folder`, hidden ones included, with the attributes of each.
std::string FolderListing(const std::string& folder);

// Polls `done` every 50 ms; false when it is still not true after timeoutMs.
template <typename Condition>
bool Eventually(Condition done, DWORD timeoutMs = 30000)
{
    timeoutMs = ScaledMs(timeoutMs);
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (done())
            return true;
    return done();
}

// An empty folder of the test's own at the top of the system drive, where the folder browser
// shows it a few levels down; removed with everything in it when the object goes.
class DriveFolder {
public:
    DriveFolder();
    ~DriveFolder() { RemoveTree(path_); }
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
    std::string path_;
};

// The journey's fixture: a fresh installation, no settings and a vaults root of its own; the
// test's thread is on the shell desktop, where the setup, the program and the uninstaller run.
class JourneyTest : public ::testing::Test {
protected:
    JourneyTest();
    ~JourneyTest() override;

    DWORD Id() const { return GetProcessId(process); }
    HWND WaitForTitled(const char* title, DWORD timeoutMs = 15000);
    // The saved vaults' records as the program saved them, in the store's order; the first
    // one; their names.
    std::vector<VaultRecord> Records();
    VaultRecord Vault();
    std::vector<std::string> VaultNames();
    // The saved vault named `name` (an empty record when there is none) and its row on the
    // Vaults page, which lists the vaults in the store's order (-1 when none).
    VaultRecord RecordNamed(const std::string& name);
    int RowOf(const std::string& name);
    DWORD Setting(const char* name);
    std::string RunValue();

    // Shows the Vaults page through the tray menu's command and selects row `row` with a click
    // on it, as a user does; the page's command button `id` once that row is selected and the
    // button enabled (null when not).
    HWND VaultsPageButton(int id, int row = 0);
    // Makes vault `name` with `password` through New on the Vaults page and its dialog; false
    // when the page offered no New or the dialog did not come.
    bool CreateWithNew(const char* name, const char* password);
    // Answers the password prompt: a wrong password first (only a beep: the prompt stays and
    // nothing on the disk changes), then the right one. False when the prompt did not come.
    bool AnswerPasswordPrompt(const std::string& before);
    // Opens the Manage dialog on the vault in row `row` of the Vaults page; null when it did not
    // come or shows another vault than `name`.
    HWND OpenManage(int row, const std::string& name);
    // Answers the current message box of the program with `button`; its text ("" when none came).
    std::string AnswerBox(int button);
    // Locks (or unlocks) vault `name` from the Vaults page, proving `password`; true once its
    // record says it is locked (unlocked).
    bool LockOrUnlock(const std::string& name, bool lock, const char* password);
    // The control `id` of the Options page, shown through the tray menu's command.
    HWND OptionsControl(int id);
    // Clicks check box `id` of the Options page; its state once the program has handled the
    // click (a move behind a progress dialog included), or -1 when it could not be clicked.
    LRESULT ClickOption(int id);
    // Hides the main dialog with its close button; true once it is hidden.
    bool CloseMainDialog();
    // Proves the password `password` (UTF-8) to the prompt the program shows now.
    bool ProvePassword(const char* password);
    // Installs the program as one past its first start: no wizard, no autorun, no notice.
    void InstallPastFirstStart();
    // Starts the installed program and finds its windows.
    void StartInstalled();

    // The names in the first vaults root, as FolderListing gives them.
    std::string Listing() { return FolderListing(root.Path()); }

    // The journey's steps, in the order a new user takes them; each starts where the one
    // before left the program, the registry and the disk.
    void InstallAndStartFirstTime();
    void LockTheVault();
    void UnlockTheVault();
    void ManageVaults();
    void SwitchAutorun();
    void SwitchHotkeyOnlyMode();
    void SwitchStealthMode();
    void AddALockedVault();
    void MoveTheVaultsRoot();
    void UseTheMovedRoot();
    void StartAgainAndExit();
    void Uninstall();

    // Joined first and left last: the setup, the program and the uninstaller all run there.
    ShellDesktop desktop;
    ProgramUnderTest program;  // no settings: the first start shows the wizard
    ScratchFolder root;
    DriveFolder movedRoot;  // where the user moves the vaults root
    // Where the setup put the program and its Start-menu group.
    std::string folder, group, exe;
    HANDLE process = nullptr;
    HWND frame = nullptr;
    HWND dialog = nullptr;
};
