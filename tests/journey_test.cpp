// A new user's journey with the installed program, driven only as a person drives it: a silent
// setup, the first start's wizard, the Vaults page's Lock and Unlock with the password prompt,
// New and the Manage dialog (remove, rename, new password), Options (autorun, hotkey-only mode
// with the hotkey pressed on the keyboard, stealth mode, the vaults root moved through the
// folder browser), a second start, the registered shutdown message from another process, Exit,
// and a silent uninstall. After each step the registry and the disk are checked, not only the
// windows. Each step builds on the one before, so the journey is one test on one installation.

#include <windows.h>
#include <commctrl.h>

#include "installed_program.h"
#include "journey_fixture.h"
#include "journey_user.h"
#include "program_windows.h"
#include "resources/resource.h"
#include "shell/main_frame.h"
#include "shell/registry_key.h"
#include "ui_driver.h"

TEST_F(JourneyTest, InstallCreateLockUnlockManageExitAndUninstall)
{
    ASSERT_NO_FATAL_FAILURE(InstallAndStartFirstTime());
    ASSERT_NO_FATAL_FAILURE(LockTheVault());
    ASSERT_NO_FATAL_FAILURE(UnlockTheVault());
    ASSERT_NO_FATAL_FAILURE(ManageVaults());
    ASSERT_NO_FATAL_FAILURE(SwitchAutorun());
    ASSERT_NO_FATAL_FAILURE(SwitchHotkeyOnlyMode());
    ASSERT_NO_FATAL_FAILURE(SwitchStealthMode());
    ASSERT_NO_FATAL_FAILURE(AddALockedVault());
    ASSERT_NO_FATAL_FAILURE(MoveTheVaultsRoot());
    ASSERT_NO_FATAL_FAILURE(UseTheMovedRoot());
    ASSERT_NO_FATAL_FAILURE(StartAgainAndExit());
    Uninstall();
}

// 1. The silent setup, then the first start: the wizard, a vault created on its second page,
// Finish; the running notice; the tray icon of an unlocked vault; the installed copy set to
// start with Windows.
void JourneyTest::InstallAndStartFirstTime()
{
    ASSERT_TRUE(desktop.IsJoined()) << "this thread could not join the shell desktop";
    ASSERT_TRUE(InstallProgram()) << SetupPath();
    folder = InstallFolder();
    group = GroupFolder();
    exe = InstalledExePath();
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
}

// 2. Files copied into the vault; Lock from the Vaults page with the password: the folder
// gone, the container hidden in the root, the record locked, the tray image locked.
void JourneyTest::LockTheVault()
{
    std::string container = root / Vault().ValueName();
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
}

// 3. Unlock and open with the password (a wrong one first): the folder back byte for byte,
// the container gone.
void JourneyTest::UnlockTheVault()
{
    std::string container = root / Vault().ValueName();
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
}

// 4. Manage: a second vault made with New, then removed through its Manage dialog (No to
// the question keeps it; Yes and its password remove its record and folder); the first
// renamed and given a new password, proven with the current one.
void JourneyTest::ManageVaults()
{
    ASSERT_TRUE(CreateWithNew("Scratch", "other")) << "New showed no dialog";
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
}

// 5. Options: autorun off takes the Run value away, on puts it back.
void JourneyTest::SwitchAutorun()
{
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
}

// 5. Options, hotkey-only mode on: the tray icon goes and the default hotkey is the program's;
// pressed on the keyboard (input to the desktop, as a keyboard gives it), it brings the hidden
// main dialog back. Off again: the icon comes back and the hotkey is let go.
void JourneyTest::SwitchHotkeyOnlyMode()
{
    const UINT kHotkeyModifiers = MOD_CONTROL | MOD_SHIFT, kHotkey = 'V';
    ASSERT_EQ(ClickOption(IDC_HOTKEY_ONLY), BST_CHECKED);
    EXPECT_EQ(Setting("HotkeyOnly"), 1u);
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(0), 0u) << "the tray icon stayed";
    EXPECT_TRUE(HotkeyTaken(kHotkeyModifiers, kHotkey));
    ASSERT_TRUE(CloseMainDialog());
    PressKeyCombination(kHotkeyModifiers, kHotkey);
    EXPECT_EQ(WaitForVisibleTab(dialog, IDC_TAB_OPTIONS), IDC_TAB_OPTIONS)
        << "Ctrl+Shift+V did not bring the main dialog";
    ASSERT_EQ(ClickOption(IDC_HOTKEY_ONLY), BST_UNCHECKED);
    EXPECT_EQ(Setting("HotkeyOnly"), 0u);
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(kUnlockedImage), kUnlockedImage);
    EXPECT_FALSE(HotkeyTaken(kHotkeyModifiers, kHotkey)) << "the hotkey was not let go";
}

// 5. Options, stealth mode on: the Start-menu group moves into the installation folder, which
// is hidden; off: the group is back in the Start menu and the folder shown.
void JourneyTest::SwitchStealthMode()
{
    std::string hiddenGroup = folder + "\\" + GroupName();
    ASSERT_EQ(ClickOption(IDC_HIDE_ICONS), BST_CHECKED);
    EXPECT_EQ(Setting("HideIcons"), 1u);
    EXPECT_FALSE(Exists(group)) << "the group stayed in the Start menu";
    for (const char* shortcut : kShortcuts)
        EXPECT_TRUE(Exists(hiddenGroup + "\\" + shortcut)) << shortcut;
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(Exists(exe)) << "the program left its folder";
    ASSERT_EQ(ClickOption(IDC_HIDE_ICONS), BST_UNCHECKED);
    EXPECT_EQ(Setting("HideIcons"), 0u);
    EXPECT_FALSE(Exists(hiddenGroup));
    for (const char* shortcut : kShortcuts)
        EXPECT_TRUE(Exists(group + "\\" + shortcut)) << shortcut;
    EXPECT_FALSE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// 5. Before the root moves: a second vault "Diary" made with New, a file put in, and locked,
// so that the root holds a locked vault beside the unlocked one.
void JourneyTest::AddALockedVault()
{
    ASSERT_TRUE(CreateWithNew("Diary", "dear")) << "New showed no dialog";
    // The folder comes before the vault's record.
    ASSERT_TRUE(Eventually([&] { return Exists(root / "Diary") && RowOf("Diary") >= 0; }, 10000));
    WriteFileBytes(root / "Diary\\monday.txt", "Rain.");
    ASSERT_TRUE(LockOrUnlock("Diary", true, "dear")) << "the new vault could not be locked";
    std::string diaryContainer = RecordNamed("Diary").ValueName();
    ASSERT_TRUE(Eventually([&] {
        return !Exists(root / "Diary") && Exists(root / diaryContainer);
    })) << Listing();
}

// 5. Options, the vaults root moved: Select opens the folder browser and the user chooses an
// empty folder. The setting, the page and the disk follow, the locked vault's container and
// the unlocked vault's folder as they were; no message comes.
void JourneyTest::MoveTheVaultsRoot()
{
    std::string before = Listing();
    HWND select = OptionsControl(IDC_SELECT_ROOT);
    ASSERT_TRUE(select);
    PressButton(select);
    HWND browser = WaitForFolderBrowser(Id());
    ASSERT_TRUE(browser) << "Select opened no folder browser";
    std::string chosen = ChooseInFolderBrowser(process, browser, movedRoot.Path());
    if (!chosen.empty())
        PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_EQ(chosen, "");
    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
    ASSERT_TRUE(Eventually([&] {
        return _stricmp(app.ReadString("VaultsRoot", "").c_str(), movedRoot.Path().c_str()) == 0;
    })) << "the root setting did not change";
    EXPECT_FALSE(WaitForDialog(IsMessageBox, 500, Id())) << "the move said something";
    EXPECT_STRCASEEQ(EditText(FindVisibleDescendant(dialog, IDC_ROOT_DIRECTORY)).c_str(),
                     movedRoot.Path().c_str());
    EXPECT_EQ(FolderListing(movedRoot.Path()), before) << "the vaults did not move as they were";
    EXPECT_EQ(Listing(), "") << "the old root kept something";
    for (const auto& file : UserFiles())
        EXPECT_EQ(ReadFileBytes(movedRoot / ("Letters\\" + file.first)), file.second) << file.first;
}

// 5. At the new root the locked vault unlocks with its files and locks again there.
void JourneyTest::UseTheMovedRoot()
{
    std::string diaryContainer = RecordNamed("Diary").ValueName();
    ASSERT_TRUE(LockOrUnlock("Diary", false, "dear")) << "Diary did not unlock at the new root";
    // The record is saved as unlocked before the container goes.
    EXPECT_TRUE(Eventually([&] { return !Exists(movedRoot / diaryContainer); }, 5000));
    EXPECT_EQ(ReadFileBytes(movedRoot / "Diary\\monday.txt"), "Rain.");
    ASSERT_TRUE(LockOrUnlock("Diary", true, "dear")) << "Diary did not lock at the new root";
    EXPECT_TRUE(Eventually([&] { return !Exists(movedRoot / "Diary"); }, 5000));
    EXPECT_TRUE(GetFileAttributesA((movedRoot / diaryContainer).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Listing(), "") << "the old root was used again";
}

// 6. A second start brings the main dialog forward and gives way; the shutdown message and
// Exit ask while a vault is unlocked.
void JourneyTest::StartAgainAndExit()
{
    ASSERT_TRUE(CloseMainDialog());
    HANDLE second = program.Start(ShellDesktop::kName, exe);
    ASSERT_TRUE(second);
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(second, 15000)) << "the second start stayed";
    CloseHandle(second);
    EXPECT_NE(WaitForVisibleTab(dialog, IDC_TAB_VAULTS), 0) << "the main dialog did not come";

    // The shutdown message from another process asks first, with a vault unlocked: Cancel keeps
    // the program.
    ProgramUnderTest::RequestShutdown();
    HWND question = WaitForDialog(IsMessageBox, 10000, Id());
    ASSERT_TRUE(question) << "the shutdown request did not ask";
    EXPECT_EQ(ItemText(question, 0xFFFF), kQuestion);
    PostMessageA(GetDlgItem(question, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(question); }, 10000));
    EXPECT_FALSE(ProgramUnderTest::WaitForExit(process, 1000)) << "Cancel ended the program";

    // Exit, the tray menu's command, asks the same: Cancel keeps the program and its icon, OK
    // ends both.
    for (int answer : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
        PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
        question = WaitForDialog(IsMessageBox, 10000, Id());
        ASSERT_TRUE(question) << "Exit did not ask";
        EXPECT_EQ(ItemText(question, 0xFFFF), kQuestion);
        PostMessageA(GetDlgItem(question, answer), BM_CLICK, 0, 0);
        EXPECT_TRUE(Eventually([&] { return !IsWindow(question); }, 10000));
        if (answer == IDCANCEL) {
            EXPECT_FALSE(ProgramUnderTest::WaitForExit(process, 1000)) << "Cancel ended it";
            EXPECT_EQ(ShellDesktop::WaitForTrayImage(kUnlockedImage), kUnlockedImage);
        }
    }
    ASSERT_TRUE(ProgramUnderTest::WaitForExit(process)) << "OK did not end the program";
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(0), 0u) << "the tray icon stayed";
    EXPECT_TRUE(Exists(movedRoot / "Letters")) << "Exit leaves the unlocked vault as it is";
}

// 7. Silent uninstall: the program, its group and its Run value gone; the vaults kept.
void JourneyTest::Uninstall()
{
    std::string vaultsBefore = FolderListing(movedRoot.Path());
    EXPECT_EQ(UninstallProgram(), 0);
    EXPECT_FALSE(IsInstalled());
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(group));
    EXPECT_EQ(RunValue(), "");
    EXPECT_EQ(FolderListing(movedRoot.Path()), vaultsBefore);
    for (const auto& file : UserFiles())
        EXPECT_EQ(ReadFileBytes(movedRoot / ("Letters\\" + file.first)), file.second) << file.first;
    EXPECT_EQ(VaultNames(), (std::vector<std::string>{"Letters", "Diary"}))
        << "the vaults' records are kept";
}
