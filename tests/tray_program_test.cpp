// The real program in Wine's desktop with a taskbar (shell_desktop.h): its tray icon as the
// notification area draws it, the icon's mouse events through the shell, the tray commands, the
// hotkey message, the exits, and a second start. The program is driven as other programs and
// the shell drive it: with window messages across processes and with hardware input.

#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "engine/base/registry_key.h"
#include "keyboard_input.h"
#include "program.h"
#include "program_windows.h"
#include "resources/resource.h"
#include "scratch.h"
#include "shell/main_frame.h"
#include "shell_desktop.h"
#include "ui/app_messages.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kAppKey[] = "Software\\Zovantri\\Zovantri Orvella";
const char kQuestion[] = "There are unlocked Vaults. Close anyway?";

class TrayProgramTest : public ::testing::Test {
protected:
    TrayProgramTest()
    {
        CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
        app.WriteDword("FirstRun", 0);
        app.WriteDword("AutoRun", 0);
        app.WriteDword("DontShowRunningWarning", 1);
        ProgramUnderTest::SetVaultsRoot(root.Path());
    }
    ~TrayProgramTest() override
    {
        if (process)
            CloseHandle(process);
    }

    // Starts the program on the shell desktop and finds its frame and main dialog.
    void Start()
    {
        ASSERT_TRUE(desktop.IsJoined()) << "this thread could not join the shell desktop";
        process = program.Start(ShellDesktop::kName);
        ASSERT_TRUE(process);
        frame = WaitForMainFrame(GetProcessId(process), 20000);
        dialog = WaitForMainDialog(GetProcessId(process), 20000);
        ASSERT_TRUE(frame && dialog) << "the program's windows did not come";
    }
    bool Ends(DWORD timeoutMs = 10000) { return ProgramUnderTest::WaitForExit(process, timeoutMs); }
    // The program's message box, once it shows.
    HWND WaitForMessageBox() { return WaitForDialog(IsMessageBox, 10000, GetProcessId(process)); }
    void Hide()
    {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        WaitForVisibleTab(dialog, 0);
    }
    // The tray menu, once it shows.
    HWND WaitForTrayMenu()
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < ScaledMs(10000); Sleep(20)) {
            HWND menu = WaitForTopWindow(GetProcessId(process), "#32768", nullptr, 0);
            if (menu && IsWindowVisible(menu))
                return menu;
        }
        return nullptr;
    }
    // Starts the program again and waits until the second instance has given way.
    void StartSecond()
    {
        HANDLE second = program.Start(ShellDesktop::kName);
        ASSERT_TRUE(second);
        EXPECT_TRUE(ProgramUnderTest::WaitForExit(second, 15000));
        CloseHandle(second);
    }
    static void CreateVault(const char* name)
    {
        CliRun created = RunCli({"create", name}, "secret\n");
        ASSERT_EQ(created.exitCode, 0) << created.err;
    }

    // Joined first and left last: the program is asked to exit on this desktop.
    ShellDesktop desktop;
    ProgramUnderTest program;
    ScratchFolder root;
    HANDLE process = nullptr;
    HWND frame = nullptr;
    HWND dialog = nullptr;
};

}  // namespace

TEST_F(TrayProgramTest, TheIconShowsTheVaultsStateAndGoesWithTheProgram)
{
    CreateVault("Papers");
    Start();
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(169), 169u) << "a vault is unlocked";

    ASSERT_EQ(RunCli({"lock", "Papers"}, "secret\n").exitCode, 0);
    EXPECT_EQ(ShellDesktop::TrayImage(), 169u) << "the image follows the vaults when told";
    PostMessageA(frame, WM_REFRESH_TRAY_ICON, 0, 0);
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(171), 171u);

    PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_TRUE(Ends()) << "with every vault locked, Exit asks nothing";
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(0), 0u);
}

TEST_F(TrayProgramTest, ANewNotificationAreaGetsTheIconAgain)
{
    Start();
    ASSERT_EQ(ShellDesktop::WaitForTrayImage(171), 171u);

    // The shell loses the icon, as a restarting Explorer does; the new one announces itself.
    NOTIFYICONDATAA lost = {};
    lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
    lost.hWnd = frame;
    lost.uID = 0;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost));
    ASSERT_EQ(ShellDesktop::WaitForTrayImage(0), 0u);
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(171), 171u);
}

TEST_F(TrayProgramTest, ExitAndTheShutdownRequestAskFirstWhileAVaultIsUnlocked)
{
    CreateVault("Papers");
    Start();
    ASSERT_EQ(ShellDesktop::WaitForTrayImage(169), 169u);

    PostMessageA(frame, WM_COMMAND, ID_APP_EXIT, 0);
    HWND box = WaitForMessageBox();
    ASSERT_TRUE(box) << "Exit did not ask";
    EXPECT_EQ(ItemText(box, 0xFFFF), kQuestion);
    EXPECT_EQ(WindowText(box), "Orvella");
    SendMessageA(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_FALSE(Ends(1000)) << "Cancel keeps the program";
    EXPECT_EQ(ShellDesktop::TrayImage(), 169u);

    ProgramUnderTest::RequestShutdown();
    box = WaitForMessageBox();
    ASSERT_TRUE(box) << "the shutdown request did not ask";
    EXPECT_EQ(ItemText(box, 0xFFFF), kQuestion);
    SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(Ends());
    EXPECT_EQ(ShellDesktop::WaitForTrayImage(0), 0u);
    EXPECT_TRUE(Exists(root / "Papers"));
    EXPECT_EQ(RunCli({"list"}).out.find("Papers\tunlocked\t"), 0u) << "left unlocked";
}

TEST_F(TrayProgramTest, TheEndOfTheSessionEndsTheProgramWithoutAsking)
{
    CreateVault("Papers");
    Start();
    DWORD_PTR agrees = 0;
    ASSERT_TRUE(SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &agrees));
    EXPECT_EQ(agrees, DWORD_PTR(TRUE));
    EXPECT_FALSE(Ends(500)) << "the question alone ends nothing";
    SendMessageTimeoutA(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    EXPECT_TRUE(Ends()) << "something held the program (a question?)";
    EXPECT_TRUE(Exists(root / "Papers"));
}

TEST_F(TrayProgramTest, TrayCommandsAndTheHotkeyOpenTheMainDialogOnTheirTab)
{
    Start();
    EXPECT_EQ(VisibleTab(dialog), 0) << "hidden after start";
    struct Step {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int tab;
    } steps[] = {
        {"Manage vaults", WM_COMMAND, ID_MANAGE_VAULTS, 0, IDC_TAB_VAULTS},
        {"About", WM_COMMAND, ID_SHOW_ABOUT, 0, IDC_TAB_ABOUT},
        {"hotkey", WM_HOTKEY, MAIN_DIALOG_HOTKEY_ID, MAKELPARAM(MOD_CONTROL | MOD_SHIFT, 'V'),
         IDC_TAB_ABOUT},
        {"Options", WM_COMMAND, ID_SHOW_OPTIONS, 0, IDC_TAB_OPTIONS},
        {"double click", WM_TRAYICON_NOTIFY, 0, WM_LBUTTONDBLCLK, IDC_TAB_VAULTS},
    };
    for (const Step& step : steps) {
        Hide();
        PostMessageA(frame, step.message, step.wParam, step.lParam);
        EXPECT_EQ(WaitForVisibleTab(dialog, step.tab), step.tab) << step.what;
    }

    Hide();
    PostMessageA(frame, WM_HOTKEY, MAIN_DIALOG_HOTKEY_ID + 1, 0);
    PostMessageA(frame, WM_TRAYICON_NOTIFY, 0, WM_LBUTTONDOWN);
    EXPECT_EQ(WaitForVisibleTab(dialog, IDC_TAB_VAULTS, 500), 0) << "other hotkeys and clicks";

    PostMessageA(frame, WM_COMMAND, ID_SHOW_ABOUT, 0);
    PostMessageA(frame, WM_COMMAND, ID_NEW_VAULT, 0);
    HWND newVault = WaitForDialog([](HWND w) { return WindowText(w) == "New Vault"; }, 10000,
                                  GetProcessId(process));
    ASSERT_TRUE(newVault) << "New vault... did not open the New Vault dialog";
    EXPECT_EQ(VisibleTab(dialog), IDC_TAB_VAULTS);
    PostMessageA(newVault, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(TrayProgramTest, TheIconAnswersTheMouseThroughTheShell)
{
    Start();
    ASSERT_EQ(ShellDesktop::WaitForTrayImage(171), 171u);
    POINT icon = ShellDesktop::TrayIconPoint();

    ShellDesktop::Click(icon, false, 2);
    EXPECT_EQ(WaitForVisibleTab(dialog, IDC_TAB_VAULTS), IDC_TAB_VAULTS) << "double click";
    Hide();
    ShellDesktop::Click(icon, false);
    EXPECT_EQ(WaitForVisibleTab(dialog, IDC_TAB_VAULTS, 700), 0) << "a single click does nothing";

    ShellDesktop::Click(icon, true);
    HWND menu = WaitForTrayMenu();
    ASSERT_TRUE(menu) << "no tray menu";
    PressKey('A');
    EXPECT_EQ(WaitForVisibleTab(dialog, IDC_TAB_ABOUT), IDC_TAB_ABOUT) << "&About from the menu";
}

TEST_F(TrayProgramTest, ASecondStartShowsTheMainDialogAndNeverTheFrame)
{
    // While the running notice is open the main dialog does not exist yet: nothing is shown.
    CRegistryKey(kAppKey, HKEY_CURRENT_USER).WriteDword("DontShowRunningWarning", 0);
    ASSERT_TRUE(desktop.IsJoined());
    process = program.Start(ShellDesktop::kName);
    ASSERT_TRUE(process);
    HWND notice = WaitForDialog([](HWND w) { return WindowText(w) == "Already running"; }, 20000,
                                GetProcessId(process));
    ASSERT_TRUE(notice);
    frame = WaitForMainFrame(GetProcessId(process));
    StartSecond();
    EXPECT_FALSE(IsWindowVisible(frame)) << "the hidden frame was shown";
    PostMessageA(notice, WM_COMMAND, IDCANCEL, 0);
    dialog = WaitForMainDialog(GetProcessId(process));
    ASSERT_TRUE(dialog);

    // The tray menu makes the frame the foreground window.
    ASSERT_EQ(ShellDesktop::WaitForTrayImage(171), 171u);
    ShellDesktop::Click(ShellDesktop::TrayIconPoint(), true);
    HWND menu = WaitForTrayMenu();
    ASSERT_TRUE(menu) << "no tray menu";
    PressKey(VK_ESCAPE);
    for (int i = 0; i < 100 && IsWindowVisible(menu); ++i)
        Sleep(ScaledMs(20));
    StartSecond();
    EXPECT_EQ(WaitForVisibleTab(dialog, IDC_TAB_OPTIONS), IDC_TAB_OPTIONS);
    EXPECT_EQ(GetForegroundWindow(), dialog);
    EXPECT_FALSE(IsWindowVisible(frame));

    // Minimised on another tab, it comes back as it was left.
    PostMessageA(frame, WM_COMMAND, ID_SHOW_ABOUT, 0);
    ASSERT_EQ(WaitForVisibleTab(dialog, IDC_TAB_ABOUT), IDC_TAB_ABOUT);
    ShowWindow(dialog, SW_MINIMIZE);
    StartSecond();
    for (int i = 0; i < 100 && IsIconic(dialog); ++i)
        Sleep(ScaledMs(20));
    EXPECT_FALSE(IsIconic(dialog));
    EXPECT_EQ(VisibleTab(dialog), IDC_TAB_ABOUT);
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ(WaitForSingleObject(process, 0), DWORD(WAIT_TIMEOUT)) << "the first one runs on";
}
