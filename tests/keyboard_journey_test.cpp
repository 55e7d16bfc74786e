// A new user's journey with the installed program on the keyboard alone: every step is a key
// pressed through SendInput on the shell desktop, to whichever window has the focus, as the
// keyboard gives it. The wizard with Enter and mnemonics, the running notice, New, Lock,
// Unlock, Manage (rename) and Delete from the vault list's context menu and keys, an option
// switched on the Options tab, and Exit. The program's main window is brought up by starting the
// program again, as a keyboard user does from the Start menu (the notification area takes no
// keys under Wine). After each step the registry and the disk are checked.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "installed_program.h"
#include "journey_fixture.h"
#include "keyboard_input.h"
#include "program_windows.h"
#include "resources/resource.h"
#include "engine/base/registry_key.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

class KeyboardJourneyTest : public JourneyTest {
protected:
    // True once `window` is the foreground window, where the keys go.
    bool WaitForForeground(HWND window, DWORD timeoutMs = 10000)
    {
        return window && Eventually([&] { return GetForegroundWindow() == window; }, timeoutMs);
    }
    // The dialog titled `title` once it has come and is where the keys go; null otherwise.
    HWND ForegroundTitled(const char* title)
    {
        HWND window = WaitForTitled(title);
        return WaitForForeground(window) ? window : nullptr;
    }
    // The id of the control with the keyboard focus on the program's thread, or 0.
    int FocusId()
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog ? dialog : frame, nullptr), &info);
        return info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
    }
    // Types `text` into the field that has the focus, and Enter.
    void TypeAndEnter(const char* text)
    {
        TypeKeys(text);
        PressKey(VK_RETURN);
    }
    // Answers the password prompt with `password`; true once it has gone.
    bool EnterPassword(const char* password)
    {
        HWND prompt = ForegroundTitled("Enter Password");
        if (!prompt)
            return false;
        TypeAndEnter(password);
        return Eventually([&] { return !IsWindow(prompt); }, 15000);
    }
    // Opens the vault list's context menu with `modifiers`+`key` and chooses the item of
    // `letter`; the list must have the focus.
    void ChooseFromListMenu(UINT modifiers, WORD key, char letter)
    {
        EXPECT_EQ(FocusId(), IDC_VAULT_LIST);
        PressKeyCombination(modifiers, key);
        Sleep(ScaledMs(300));  // the menu opens
        TypeKeys(std::string(1, letter));
    }
    // The selected row of the vault list.
    int SelectedRow()
    {
        HWND list = FindVisibleDescendant(dialog, IDC_VAULT_LIST);
        return int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    }

    void WizardAndNotice();
    void BringUpTheMainWindow();
    void NewVault();
    void LockAndUnlock();
    void RenameAndDelete();
    void SwitchAnOption();
    void ExitTheProgram();
};

// The wizard: Enter on every page, the vault typed on the second with the labels' mnemonics,
// Finish with Enter; the running notice closed with Enter.
void KeyboardJourneyTest::WizardAndNotice()
{
    ASSERT_TRUE(desktop.IsJoined()) << "this thread could not join the shell desktop";
    ASSERT_TRUE(InstallProgram()) << SetupPath();
    exe = InstalledExePath();
    process = program.Start(ShellDesktop::kName, exe);
    ASSERT_TRUE(process) << exe;
    HWND wizard = ForegroundTitled("Introduction to Zovantri Orvella");
    ASSERT_TRUE(wizard) << "no wizard where the keys go";
    for (int page = 1; page <= 5; ++page) {
        ASSERT_TRUE(WaitForWizardPage(wizard, page)) << "page " << page << " did not come";
        Sleep(ScaledMs(300));  // a user reads the page
        if (page == 2) {
            TypeKeys("Papers");
            PressKeyCombination(MOD_ALT, 'P');
            TypeKeys("secret");
            PressKeyCombination(MOD_ALT, 'C');
            TypeKeys("secret");
        }
        PressKey(VK_RETURN);
    }
    ASSERT_TRUE(Eventually([&] { return !IsWindow(wizard); }, 10000)) << "Enter did not finish";
    HWND notice = ForegroundTitled("Already running");
    ASSERT_TRUE(notice) << "no running notice where the keys go";
    PressKey(VK_RETURN);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(notice); }, 10000)) << "Enter left the notice";
    VaultRecord vault = Vault();
    EXPECT_EQ(vault.Name(), "Papers");
    EXPECT_TRUE(vault.CheckPassword("secret"));
    EXPECT_TRUE(Exists(root / "Papers"));
}

// The main window, shown by a second start, on the Vaults tab by Ctrl+Tab, and Tab into the list.
void KeyboardJourneyTest::BringUpTheMainWindow()
{
    frame = WaitForMainFrame(Id(), 15000);
    dialog = WaitForMainDialog(Id(), 15000);
    ASSERT_TRUE(frame && dialog);
    HANDLE second = program.Start(ShellDesktop::kName, exe);
    ASSERT_TRUE(second);
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(second, 15000)) << "the second start stayed";
    CloseHandle(second);
    ASSERT_TRUE(WaitForForeground(dialog)) << "the main dialog did not come where the keys go";
    EXPECT_EQ(FocusId(), IDCANCEL) << "Hide has the focus, so Enter never exits";
    PressKeyCombination(MOD_CONTROL, VK_TAB);
    ASSERT_EQ(WaitForVisibleTab(dialog, IDC_TAB_VAULTS), IDC_TAB_VAULTS) << "Ctrl+Tab";
    PressKey(VK_TAB);
    ASSERT_TRUE(Eventually([&] { return FocusId() == IDC_VAULT_LIST; }, 5000)) << "Tab";
}

// New from the list's menu (Shift+F10, N): the dialog's fields by mnemonic, OK by Enter.
void KeyboardJourneyTest::NewVault()
{
    ChooseFromListMenu(MOD_SHIFT, VK_F10, 'N');
    HWND fresh = ForegroundTitled("New Vault");
    ASSERT_TRUE(fresh) << "New showed no dialog";
    TypeKeys("Diary");
    PressKeyCombination(MOD_ALT, 'P');
    TypeKeys("dear");
    PressKeyCombination(MOD_ALT, 'C');
    TypeAndEnter("dear");
    ASSERT_TRUE(Eventually([&] { return !IsWindow(fresh); }, 10000)) << "Enter left New open";
    ASSERT_TRUE(Eventually([&] { return RecordNamed("Diary").CheckPassword("dear"); }, 5000));
    EXPECT_TRUE(Exists(root / "Diary"));
    EXPECT_TRUE(WaitForForeground(dialog));
    EXPECT_TRUE(Eventually([&] { return FocusId() == IDC_VAULT_LIST; }, 5000))
        << "the focus came back to the list";
    EXPECT_EQ(SelectedRow(), 1) << "the new vault's row is selected";
}

// Lock from the context-menu key (L), the password, Enter; then Unlock and open (Shift+F10,
// U), whose file browser the user closes with Alt+F4.
void KeyboardJourneyTest::LockAndUnlock()
{
    WriteFileBytes(root / "Diary\\monday.txt", "Rain.");
    ChooseFromListMenu(0, VK_APPS, 'L');
    ASSERT_TRUE(EnterPassword("dear")) << "Lock asked for no password";
    ASSERT_TRUE(Eventually([&] { return RecordNamed("Diary").IsLocked(); }, 15000));
    // The record says locked before the folder goes: the delete step follows it.
    EXPECT_TRUE(Eventually([&] { return !Exists(root / "Diary"); }, 15000));
    ASSERT_TRUE(WaitForForeground(dialog));
    ASSERT_TRUE(Eventually([&] { return FocusId() == IDC_VAULT_LIST; }, 5000));

    ChooseFromListMenu(MOD_SHIFT, VK_F10, 'U');
    ASSERT_TRUE(EnterPassword("dear")) << "Unlock asked for no password";
    ASSERT_TRUE(Eventually([&] { return !RecordNamed("Diary").IsLocked(); }, 15000));
    EXPECT_EQ(ReadFileBytes(root / "Diary\\monday.txt"), "Rain.");
    HWND browser = nullptr;
    Eventually([&] {
        browser = GetForegroundWindow();
        DWORD owner = 0;
        GetWindowThreadProcessId(browser, &owner);
        return browser && owner != Id();
    }, 10000);
    if (browser && browser != dialog) {
        PressKeyCombination(MOD_ALT, VK_F4);
        Eventually([&] { return !IsWindow(browser); }, 10000);
    }
    ASSERT_TRUE(WaitForForeground(dialog)) << "the main dialog did not come back";
    ASSERT_TRUE(Eventually([&] { return FocusId() == IDC_VAULT_LIST; }, 5000));
}

// Manage (the menu's M) renames Papers: the name field has the focus with its text selected,
// Enter, the current password. Delete removes Diary after Yes (Y) and its password.
void KeyboardJourneyTest::RenameAndDelete()
{
    PressKey(VK_UP);
    ASSERT_TRUE(Eventually([&] { return SelectedRow() == 0; }, 5000)) << "Up";
    ChooseFromListMenu(MOD_SHIFT, VK_F10, 'M');
    HWND manage = ForegroundTitled("Manage Vault");
    ASSERT_TRUE(manage) << "Manage showed no dialog";
    TypeAndEnter("Letters");
    ASSERT_TRUE(EnterPassword("secret")) << "the new name asked for no password";
    ASSERT_TRUE(Eventually([&] { return RowOf("Letters") == 0; }, 10000)) << "not renamed";
    EXPECT_TRUE(Exists(root / "Letters"));
    ASSERT_TRUE(WaitForForeground(dialog));

    PressKey(VK_DOWN);
    ASSERT_TRUE(Eventually([&] { return SelectedRow() == 1; }, 5000)) << "Down";
    PressKey(VK_DELETE);
    HWND question = WaitForDialog(IsMessageBox, 10000, Id());
    ASSERT_TRUE(question) << "Delete asked nothing";
    EXPECT_EQ(ItemText(question, 0xFFFF),
              "Are you sure to remove vault 'Diary'?\r\nAll contents will be lost!");
    ASSERT_TRUE(WaitForForeground(question));
    TypeKeys("y");
    ASSERT_TRUE(EnterPassword("dear")) << "Delete asked for no password";
    ASSERT_TRUE(Eventually([&] { return VaultNames() == std::vector<std::string>{"Letters"}; }));
    EXPECT_FALSE(Exists(root / "Diary"));
    ASSERT_TRUE(WaitForForeground(dialog));
}

// The Options tab by Ctrl+Shift+Tab, where the focus moves on to the page's first control;
// "Show vaults window on start" switched on and off again by its mnemonic.
void KeyboardJourneyTest::SwitchAnOption()
{
    PressKeyCombination(MOD_CONTROL | MOD_SHIFT, VK_TAB);
    ASSERT_EQ(WaitForVisibleTab(dialog, IDC_TAB_OPTIONS), IDC_TAB_OPTIONS) << "Ctrl+Shift+Tab";
    EXPECT_TRUE(Eventually([&] { return FocusId() == IDC_ROOT_DIRECTORY; }, 5000));
    for (DWORD on : {1u, 0u}) {
        PressKeyCombination(MOD_ALT, 'V');
        EXPECT_TRUE(Eventually([&] { return Setting("ShowVaultsOnStart") == on; }, 5000)) << on;
    }
}

// Exit by its mnemonic; with a vault unlocked the program asks, and Enter (OK) ends it.
void KeyboardJourneyTest::ExitTheProgram()
{
    PressKeyCombination(MOD_ALT, 'X');
    HWND question = WaitForDialog(IsMessageBox, 10000, Id());
    ASSERT_TRUE(question) << "Exit did not ask";
    EXPECT_EQ(ItemText(question, 0xFFFF), kQuestion);
    ASSERT_TRUE(WaitForForeground(question));
    PressKey(VK_RETURN);
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(process, 15000)) << "Enter did not end the program";
    EXPECT_TRUE(Exists(root / "Letters")) << "Exit leaves the unlocked vault as it is";
}

}  // namespace

TEST_F(KeyboardJourneyTest, TheWholeProgramWithTheKeyboardAlone)
{
    ASSERT_NO_FATAL_FAILURE(WizardAndNotice());
    ASSERT_NO_FATAL_FAILURE(BringUpTheMainWindow());
    ASSERT_NO_FATAL_FAILURE(NewVault());
    ASSERT_NO_FATAL_FAILURE(LockAndUnlock());
    ASSERT_NO_FATAL_FAILURE(RenameAndDelete());
    ASSERT_NO_FATAL_FAILURE(SwitchAnOption());
    ExitTheProgram();
}
