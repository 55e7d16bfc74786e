// A new user's journey with the installed program, driven only as a person drives it: a silent
// setup, the first start's wizard, the Vaults page's Lock and Unlock with the password prompt,
// New and the Manage dialog (remove, rename, new password), autorun in Options, a second start,
// the registered shutdown message from another process, Exit, and a silent uninstall. The
// program runs on Wine's desktop with a taskbar, so its tray icon can be read. After each step
// the registry and the disk are checked, not only the windows.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "engine/vault_store.h"
#include "installed_program.h"
#include "program.h"
#include "program_windows.h"
#include "resources/resource.h"
#include "scratch.h"
#include "shell/main_frame.h"
#include "shell/registry_key.h"
#include "shell_desktop.h"
#include "ui_driver.h"

namespace {

const char kAppKey[] = "Software\\Zovantri\\Zovantri Orvella";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kQuestion[] = "There are unlocked Vaults. Close anyway?";
const int kNext = 0x3024, kFinish = 0x3025;
const UINT kUnlockedImage = 169, kLockedImage = 171;

// The files the user keeps in the vault, name to contents; one is empty, one spans many blocks.
std::map<std::string, std::string> UserFiles()
{
    std::string big;
    for (int i = 0; i < 70000; ++i)
        big += char('a' + i * 7 % 26);
    return {{"letter.txt", "Dear user"}, {"empty.bin", ""}, {"Photos\\big.raw", big}};
}

// Polls `done` every 50 ms; false when it is still not true after timeoutMs.
template <typename Condition>
bool Eventually(Condition done, DWORD timeoutMs = 30000)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (done())
            return true;
    return done();
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM parameter)
{
    ControlSearch* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child))
        return TRUE;
    search->found = child;
    return FALSE;
}

// The visible control `id` anywhere inside `window` (the pages are children of the main dialog).
HWND FindVisibleDescendant(HWND window, int id)
{
    ControlSearch search = {id, nullptr};
    EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits until the wizard shows its page `number` (1 to 5).
bool WaitForWizardPage(HWND wizard, int number)
{
    return Eventually([&] {
        HWND page = reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
        return page && SendMessageA(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0) ==
                           number - 1;
    }, 10000);
}

// Clicks the wizard's button once the page offers it (pages post their buttons as they show).
void ClickWhenOffered(HWND wizard, int id)
{
    HWND button = GetDlgItem(wizard, id);
    Eventually([&] { return IsWindowVisible(button) && IsWindowEnabled(button); }, 5000);
    PostMessageA(button, BM_CLICK, 0, 0);
}

// Presses a button of the program's windows: the notification its click sends to its parent
// (BM_CLICK is unreliable across processes while the dialog is not the active window).
void PressButton(HWND button)
{
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

// Types `text` into edit `id` of another process's dialog; the edit is marked modified, as typing
// marks it (the Manage dialog changes only what the user typed into).
void TypeText(HWND dialog, int id, const char* text)
{
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
}

// The text of another process's edit (GetWindowText does not ask a window of another process).
std::string EditText(HWND edit)
{
    char text[256] = "";
    SendMessageA(edit, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

// The journey's fixture: a fresh installation on the shell desktop, a vaults root of its own
// and no settings, so that the installed program's first start is a first start. Whatever is
// left installed is removed at the end.
class JourneyTest : public ::testing::Test {
protected:
    JourneyTest()
    {
        RemoveInstallation();
        ProgramUnderTest::SetVaultsRoot(root.Path());
    }
    ~JourneyTest() override
    {
        if (process)
            CloseHandle(process);
        RemoveInstallation();
    }

    DWORD Id() const { return GetProcessId(process); }
    HWND WaitForTitled(const char* title, DWORD timeoutMs = 15000)
    {
        return WaitForDialog([&](HWND w) { return WindowText(w) == title; }, timeoutMs, Id());
    }
    // The first vault's record as the program saved it.
    VaultRecord Vault()
    {
        std::vector<std::string> names;
        VaultRecord first = Vaults(names);
        EXPECT_FALSE(names.empty()) << "no vault record";
        return first;
    }
    // The names of the saved vaults, in the store's order; returns the first record.
    VaultRecord Vaults(std::vector<std::string>& names)
    {
        CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
        VaultStore store;
        VaultRecord first, vault;
        if (!store.Open(app))
            return first;
        for (bool more = store.First(vault); more; more = store.Next(vault)) {
            if (names.empty())
                first = vault;
            names.push_back(vault.Name());
        }
        return first;
    }
    std::vector<std::string> VaultNames()
    {
        std::vector<std::string> names;
        Vaults(names);
        return names;
    }
    std::string RunValue()
    {
        return CRegistryKey(kRunKey, HKEY_CURRENT_USER).ReadString("Zovantri Orvella", "");
    }

    // Shows the Vaults page through the tray menu's command and selects row `row` as a user
    // does, with a click on the first row and the Down key; the page's command button `id` once
    // it is enabled.
    HWND VaultsPageButton(int id, int row = 0)
    {
        PostMessageA(frame, WM_COMMAND, ID_MANAGE_VAULTS, 0);
        if (WaitForVisibleTab(dialog, IDC_TAB_VAULTS) != IDC_TAB_VAULTS)
            return nullptr;
        HWND list = FindVisibleDescendant(dialog, IDC_VAULT_LIST);
        HWND header = list ? FindWindowExA(list, nullptr, "SysHeader32", nullptr) : nullptr;
        HWND button = FindVisibleDescendant(dialog, id);
        if (!header || !button)
            return nullptr;
        RECT below;
        GetWindowRect(header, &below);
        // The first click may come before the page is active; a user clicks again.
        for (int attempt = 0; attempt < 3; ++attempt) {
            SetForegroundWindow(dialog);
            Sleep(200);
            ShellDesktop::Click({below.left + 30, below.bottom + 7}, false);
            for (int down = 0; down < row; ++down) {
                Sleep(200);
                ShellDesktop::PressKey(VK_DOWN);
            }
            if (Eventually([&] { return IsWindowEnabled(button) != FALSE; }, 3000))
                return button;
        }
        return nullptr;
    }
    // Answers the password prompt: a wrong password first (only a beep: the prompt stays and
    // nothing on the disk changes), then the right one. False when the prompt did not come.
    bool AnswerPasswordPrompt(const std::string& before)
    {
        HWND prompt = WaitForTitled("Enter Password");
        if (!prompt)
            return false;
        HWND edit = GetDlgItem(prompt, IDC_VAULT_PASSWORD);
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("wrong"));
        DWORD_PTR result = 0;
        SendMessageTimeoutA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
        Sleep(300);
        EXPECT_TRUE(IsWindowVisible(prompt)) << "a wrong password closed the prompt";
        EXPECT_FALSE(WaitForDialog(IsMessageBox, 0, Id())) << "a wrong password only beeps";
        EXPECT_EQ(Listing(), before) << "a wrong password changed the disk";
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        return true;
    }
    // Opens the Manage dialog on the vault in row `row` of the Vaults page; null when it did not
    // come or shows another vault than `name`.
    HWND OpenManage(int row, const std::string& name)
    {
        HWND manage = VaultsPageButton(IDC_VAULT_MANAGE, row);
        if (!manage)
            return nullptr;
        PressButton(manage);
        HWND shown = WaitForTitled("Manage Vault");
        std::string shownName = shown ? EditText(GetDlgItem(shown, IDC_VAULT_NAME)) : "";
        EXPECT_EQ(shownName, name) << "row " << row;
        return shownName == name ? shown : nullptr;
    }
    // Answers the current message box of the program with `button`; its text ("" when none came).
    std::string AnswerBox(int button)
    {
        HWND box = WaitForDialog(IsMessageBox, 10000, Id());
        if (!box)
            return "";
        std::string text = ItemText(box, 0xFFFF);
        PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
        Eventually([&] { return !IsWindow(box); }, 10000);
        return text;
    }
    // Proves the password `password` to the prompt the program shows now.
    bool ProvePassword(const char* password)
    {
        HWND prompt = WaitForTitled("Enter Password");
        if (!prompt)
            return false;
        TypeText(prompt, IDC_VAULT_PASSWORD, password);
        PostMessageA(GetDlgItem(prompt, IDOK), BM_CLICK, 0, 0);
        return Eventually([&] { return !IsWindow(prompt); }, 10000);
    }

    // The names under the vaults root, hidden ones included, with their attributes.
    std::string Listing()
    {
        std::string names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((root / "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do
            names += std::string(found.cFileName) + ":" + std::to_string(found.dwFileAttributes) + ";";
        while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

    // Joined first and left last: the setup, the program and the uninstaller all run there.
    ShellDesktop desktop;
    ProgramUnderTest program;  // no settings: the first start shows the wizard
    ScratchFolder root;
    HANDLE process = nullptr;
    HWND frame = nullptr;
    HWND dialog = nullptr;
};

}  // namespace

TEST_F(JourneyTest, InstallCreateLockUnlockManageExitAndUninstall)
{
    ASSERT_TRUE(desktop.IsJoined()) << "this thread could not join the shell desktop";
    ASSERT_TRUE(InstallProgram()) << SetupPath();
    std::string folder = InstallFolder(), group = GroupFolder(), exe = InstalledExePath();

    // 1. First start: the wizard, a vault created on its second page, Finish; the running
    // notice; the tray icon of an unlocked vault; the installed copy set to start with Windows.
    process = program.Start(ShellDesktop::kName, exe);
    ASSERT_TRUE(process) << exe;
    HWND wizard = WaitForTitled("Introduction to Zovantri Orvella");
    ASSERT_TRUE(wizard) << "the first start showed no wizard";
    ClickWhenOffered(wizard, kNext);
    ASSERT_TRUE(WaitForWizardPage(wizard, 2));
    HWND page = reinterpret_cast<HWND>(SendMessageA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
    SendMessageA(GetDlgItem(page, IDC_VAULT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Papers"));
    SendMessageA(GetDlgItem(page, IDC_VAULT_PASSWORD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
    SendMessageA(GetDlgItem(page, IDC_VAULT_CONFIRM), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
    for (int next = 3; next <= 5; ++next) {
        ClickWhenOffered(wizard, kNext);
        ASSERT_TRUE(WaitForWizardPage(wizard, next)) << "page " << next << " did not come";
    }
    ClickWhenOffered(wizard, kFinish);
    HWND notice = WaitForTitled("Already running");
    ASSERT_TRUE(notice) << "no running notice after the wizard";
    PostMessageA(notice, WM_COMMAND, IDCANCEL, 0);
    frame = WaitForMainFrame(Id(), 15000);
    dialog = WaitForMainDialog(Id(), 15000);
    ASSERT_TRUE(frame && dialog);
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(kUnlockedImage), kUnlockedImage);
    {
        CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
        EXPECT_EQ(app.ReadDword("FirstRun", 7), 0u);
    }
    EXPECT_NE(RunValue().find(exe), std::string::npos) << RunValue();
    VaultRecord vault = Vault();
    EXPECT_EQ(vault.Name(), "Papers");
    EXPECT_FALSE(vault.IsLocked());
    ASSERT_TRUE(Exists(root / "Papers"));
    std::string container = root / vault.ValueName();

    // 2. Files copied into the vault; Lock from the Vaults page with the password: the folder
    // gone, the container hidden in the root, the record locked, the tray image locked.
    CreateDirectoryA((root / "Papers\\Photos").c_str(), nullptr);
    for (const auto& file : UserFiles())
        WriteFileBytes(root / ("Papers\\" + file.first), file.second);
    HWND lock = VaultsPageButton(IDC_VAULT_LOCK);
    ASSERT_TRUE(lock) << "the Vaults page offered no Lock for the vault";
    std::string unlockedListing = Listing();
    PressButton(lock);
    ASSERT_TRUE(AnswerPasswordPrompt(unlockedListing)) << "Lock asked for no password";
    ASSERT_TRUE(Eventually([&] { return !Exists(root / "Papers") && Exists(container); }))
        << Listing();
    EXPECT_TRUE(GetFileAttributesA(container.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(Eventually([&] { return Vault().IsLocked(); }, 5000));
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(kLockedImage), kLockedImage);

    // 3. Unlock and open with the password (a wrong one first): the folder back byte for byte,
    // the container gone.
    HWND unlock = VaultsPageButton(IDC_VAULT_UNLOCK);
    ASSERT_TRUE(unlock) << "the Vaults page offered no Unlock for the locked vault";
    std::string lockedListing = Listing();
    PressButton(unlock);
    ASSERT_TRUE(AnswerPasswordPrompt(lockedListing)) << "Unlock asked for no password";
    ASSERT_TRUE(Eventually([&] { return Exists(root / "Papers") && !Exists(container); }))
        << Listing();
    EXPECT_TRUE(Eventually([&] { return !Vault().IsLocked(); }, 5000));
    for (const auto& file : UserFiles())
        EXPECT_EQ(ReadFileBytes(root / ("Papers\\" + file.first)), file.second) << file.first;
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(kUnlockedImage), kUnlockedImage);

    // 4. Manage: a second vault made with New, then removed through its Manage dialog (No to
    // the question keeps it; Yes and its password remove its record and folder); the first
    // renamed and given a new password, proven with the current one.
    HWND make = VaultsPageButton(IDC_VAULT_NEW);
    ASSERT_TRUE(make) << "the Vaults page offered no New";
    PressButton(make);
    HWND fresh = WaitForTitled("New Vault");
    ASSERT_TRUE(fresh) << "New showed no dialog";
    TypeText(fresh, IDC_VAULT_NAME, "Scratch");
    TypeText(fresh, IDC_VAULT_PASSWORD, "other");
    TypeText(fresh, IDC_VAULT_CONFIRM, "other");
    PressButton(GetDlgItem(fresh, IDOK));
    ASSERT_TRUE(Eventually([&] { return VaultNames().size() == 2; }, 10000));
    EXPECT_TRUE(Exists(root / "Scratch"));
    HWND manage = OpenManage(1, "Scratch");
    ASSERT_TRUE(manage);
    const char removal[] = "Are you sure to remove vault 'Scratch'?\r\nAll contents will be lost!";
    PressButton(GetDlgItem(manage, IDC_VAULT_REMOVE));
    EXPECT_EQ(AnswerBox(IDNO), removal);
    EXPECT_TRUE(IsWindowVisible(manage)) << "No closed the Manage dialog";
    EXPECT_EQ(VaultNames().size(), 2u) << "No removed the vault";
    PressButton(GetDlgItem(manage, IDC_VAULT_REMOVE));
    EXPECT_EQ(AnswerBox(IDYES), removal);
    ASSERT_TRUE(ProvePassword("other")) << "Remove asked for no password";
    ASSERT_TRUE(Eventually([&] { return VaultNames() == std::vector<std::string>{"Papers"}; }, 10000));
    EXPECT_FALSE(Exists(root / "Scratch")) << "the removed vault's folder stayed";
    manage = OpenManage(0, "Papers");
    ASSERT_TRUE(manage);
    TypeText(manage, IDC_VAULT_NAME, "Letters");
    TypeText(manage, IDC_VAULT_PASSWORD, "secret2");
    TypeText(manage, IDC_VAULT_CONFIRM, "secret2");
    PressButton(GetDlgItem(manage, IDOK));
    ASSERT_TRUE(ProvePassword("secret")) << "the changes asked for no password";
    ASSERT_TRUE(Eventually([&] { return VaultNames() == std::vector<std::string>{"Letters"}; }, 10000));
    EXPECT_TRUE(Vault().CheckPassword("secret2"));
    EXPECT_FALSE(Vault().CheckPassword("secret"));
    EXPECT_FALSE(Exists(root / "Papers"));
    for (const auto& file : UserFiles())
        EXPECT_EQ(ReadFileBytes(root / ("Letters\\" + file.first)), file.second) << file.first;

    // 5. Options: autorun off takes the Run value away, on puts it back.
    PostMessageA(frame, WM_COMMAND, ID_SHOW_OPTIONS, 0);
    ASSERT_EQ(WaitForVisibleTab(dialog, IDC_TAB_OPTIONS), IDC_TAB_OPTIONS);
    HWND autorun = nullptr;
    ASSERT_TRUE(Eventually([&] { return (autorun = FindVisibleDescendant(dialog, IDC_AUTORUN)); }, 5000));
    EXPECT_EQ(SendMessageA(autorun, BM_GETCHECK, 0, 0), BST_CHECKED);
    for (bool on : {false, true}) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(autorun, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
        EXPECT_EQ(SendMessageA(autorun, BM_GETCHECK, 0, 0), on ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(RunValue().find(exe) != std::string::npos, on) << RunValue();
        EXPECT_EQ(CRegistryKey(kAppKey, HKEY_CURRENT_USER).ReadDword("AutoRun", 7), on ? 1u : 0u);
    }

    // 6. A second start brings the main dialog forward and gives way.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(WaitForVisibleTab(dialog, 0), 0);
    HANDLE second = program.Start(ShellDesktop::kName, exe);
    ASSERT_TRUE(second);
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(second, 15000)) << "the second start stayed";
    CloseHandle(second);
    EXPECT_NE(WaitForVisibleTab(dialog, IDC_TAB_VAULTS), 0) << "the main dialog did not come";

    // The shutdown message from another process asks first, with a vault unlocked: Cancel keeps
    // the program; Exit asks again and OK ends it.
    ProgramUnderTest::RequestShutdown();
    HWND question = WaitForDialog(IsMessageBox, 10000, Id());
    ASSERT_TRUE(question) << "the shutdown request did not ask";
    EXPECT_EQ(ItemText(question, 0xFFFF), kQuestion);
    PostMessageA(GetDlgItem(question, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(question); }, 10000));
    EXPECT_FALSE(ProgramUnderTest::WaitForExit(process, 1000)) << "Cancel ended the program";
    PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    question = WaitForDialog(IsMessageBox, 10000, Id());
    ASSERT_TRUE(question) << "Exit did not ask";
    EXPECT_EQ(ItemText(question, 0xFFFF), kQuestion);
    PostMessageA(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(ProgramUnderTest::WaitForExit(process)) << "OK did not end the program";
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(0), 0u) << "the tray icon stayed";
    EXPECT_TRUE(Exists(root / "Letters")) << "Exit leaves the unlocked vault as it is";

    // 7. Silent uninstall: the program, its group and its Run value gone; the vault kept.
    EXPECT_EQ(UninstallProgram(), 0);
    EXPECT_FALSE(IsInstalled());
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(group));
    EXPECT_EQ(RunValue(), "");
    for (const auto& file : UserFiles())
        EXPECT_EQ(ReadFileBytes(root / ("Letters\\" + file.first)), file.second) << file.first;
    EXPECT_EQ(Vault().Name(), "Letters") << "the vault's record is kept";
}
