// The main frame's tray icon, tray menu and ways to the main dialog, in this process with the
// shell replaced (main_frame_fixture.h).

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host_tools.h"
#include "main_frame_fixture.h"
#include "program_windows.h"
#include "resources/resource.h"
#include "shell/settings.h"
#include "ui/app_messages.h"

using Calls = std::vector<std::string>;

TEST_F(MainFrameTest, CreationAddsTheIconWithTheImageOfTheVaults)
{
    struct Case {
        const char* vaults;
        std::function<void()> arrange;
        Calls calls;
    } cases[] = {
        {"none", [] {}, {"ADD 171"}},
        {"all locked", [this] { AddLockedVault("Papers"); }, {"ADD 171"}},
        {"one unlocked",
         [this] {
             AddLockedVault("Bills");
             AddVault("Letters", "pw");
         },
         {"ADD 169"}},
        {"hotkey-only mode",
         [this] {
             AddVault("Photos", "pw");
             SetHotkeyOnly(true);
         },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vaults);
        c.arrange();
        notifyCalls.clear();
        {
            CMainFrame started;
            app.m_pMainWnd = &started;
            ASSERT_TRUE(started.LoadFrame(IDR_MAINFRAME));
            EXPECT_EQ(CallSummary(), c.calls);
            EXPECT_FALSE(IsWindowVisible(started.m_hWnd));
            HWND dialog = started.GetMainDialog().m_hWnd;
            ASSERT_TRUE(dialog);
            EXPECT_FALSE(IsWindowVisible(dialog)) << "the main dialog starts hidden";
            EXPECT_EQ(GetWindow(dialog, GW_OWNER), started.m_hWnd);
            app.m_pMainWnd = nullptr;
            DestroyWindow(started.m_hWnd);
            PumpMessages();
        }
        SetHotkeyOnly(false);
        LockAllVaults();
    }
}

TEST_F(MainFrameTest, TheAddedIconCallsBackTheFrame)
{
    ASSERT_TRUE(CreateFrame());
    ASSERT_EQ(notifyCalls.size(), 1u);
    const NotifyCall& add = notifyCalls[0];
    EXPECT_EQ(add.message, DWORD(NIM_ADD));
    EXPECT_EQ(add.size, DWORD(NOTIFYICONDATAA_V1_SIZE));
    EXPECT_EQ(add.window, frame.m_hWnd);
    EXPECT_EQ(add.id, 0u);
    EXPECT_EQ(add.flags, UINT(NIF_MESSAGE | NIF_ICON));
    EXPECT_EQ(add.callback, UINT(WM_TRAYICON_NOTIFY));
}

TEST_F(MainFrameTest, RefreshFollowsTheVaultsAndHotkeyOnlyMode)
{
    VaultRecord papers = AddVault("Papers", "pw");
    ASSERT_TRUE(CreateFrame());

    LockAllVaults();
    Send(WM_REFRESH_TRAY_ICON);
    papers.flags = VAULT_UNLOCKED;
    Store().Save(papers);
    Send(WM_REFRESH_TRAY_ICON);
    SetHotkeyOnly(true);
    Send(WM_REFRESH_TRAY_ICON);
    LockAllVaults();
    SetHotkeyOnly(false);
    Send(WM_REFRESH_TRAY_ICON);
    Send(WM_REFRESH_TRAY_ICON);

    EXPECT_EQ(CallSummary(), (Calls{"ADD 169", "MODIFY 171", "MODIFY 169", "DELETE", "ADD 171",
                                    "MODIFY 171"}));
    for (const NotifyCall& call : notifyCalls) {
        EXPECT_EQ(call.window, frame.m_hWnd);
        EXPECT_EQ(call.id, 0u);
    }
}

TEST_F(MainFrameTest, AnIconTheShellRefusedIsAddedAgainAtTheNextRefresh)
{
    notifyResult = FALSE;
    ASSERT_TRUE(CreateFrame());
    Send(WM_REFRESH_TRAY_ICON);
    notifyResult = TRUE;
    Send(WM_REFRESH_TRAY_ICON);
    Send(WM_REFRESH_TRAY_ICON);
    EXPECT_EQ(CallSummary(), (Calls{"ADD 171", "ADD 171", "ADD 171", "MODIFY 171"}));
}

TEST_F(MainFrameTest, ANewTaskbarGetsTheIconAgainUnlessHotkeyOnly)
{
    AddVault("Papers", "pw");
    ASSERT_TRUE(CreateFrame());
    notifyCalls.clear();
    Send(WM_TASKBAR_CREATED);
    Calls expected = {"DELETE", "ADD 169"};
    EXPECT_EQ(CallSummary(), expected) << "re-added although the frame took it as added";

    SetHotkeyOnly(true);
    Send(WM_REFRESH_TRAY_ICON);
    notifyCalls.clear();
    Send(WM_TASKBAR_CREATED);
    EXPECT_EQ(CallSummary(), Calls{});
}

TEST_F(MainFrameTest, DestroyingTheFrameTakesTheIconAway)
{
    ASSERT_TRUE(CreateFrame());
    HWND window = frame.m_hWnd;
    notifyCalls.clear();
    app.m_pMainWnd = nullptr;
    DestroyWindow(window);
    ASSERT_EQ(CallSummary(), Calls{"DELETE"});
    EXPECT_EQ(notifyCalls[0].window, window);
    EXPECT_EQ(notifyCalls[0].id, 0u);
}

TEST_F(MainFrameTest, OnlyADoubleClickOrARightPressOnTheIconDoesSomething)
{
    ASSERT_TRUE(CreateFrame());
    for (UINT event : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                       WM_MBUTTONDOWN}) {
        Send(WM_TRAYICON_NOTIFY, 0, event);
        EXPECT_EQ(menuSeen.shown, 0) << "event " << event;
        EXPECT_EQ(VisibleTab(MainDialog()), 0) << "event " << event;
    }

    Send(WM_TRAYICON_NOTIFY, 0, WM_LBUTTONDBLCLK);
    EXPECT_EQ(VisibleTab(MainDialog()), IDC_TAB_VAULTS);
    EXPECT_EQ(menuSeen.shown, 0);
}

TEST_F(MainFrameTest, ARightPressShowsTheTrayMenuWithManageVaultsAsItsDefault)
{
    ASSERT_TRUE(CreateFrame());
    Send(WM_TRAYICON_NOTIFY, 0, WM_RBUTTONDOWN);
    ASSERT_EQ(menuSeen.shown, 1);
    EXPECT_EQ(menuSeen.items, (std::vector<std::string>{"&New vault...", "-", "&Options",
                                                         "&Manage vaults", "&About", "-",
                                                         "E&xit"}));
    EXPECT_EQ(menuSeen.defaultItem, UINT(ID_MANAGE_VAULTS));
    EXPECT_EQ(menuSeen.flags, 0u);
    EXPECT_EQ(menuSeen.owner, frame.m_hWnd);
    EXPECT_EQ(VisibleTab(MainDialog()), 0) << "the menu alone shows nothing";
}

TEST_F(MainFrameTest, TrayCommandsAndTheHotkeyShowTheMainDialog)
{
    ASSERT_TRUE(CreateFrame());
    struct Step {
        const char* what;
        UINT message;
        WPARAM wParam;
        int tab;  // the dialog's page afterwards; 0: hidden
    } steps[] = {
        {"hotkey at first", WM_HOTKEY, MAIN_DIALOG_HOTKEY_ID, IDC_TAB_OPTIONS},
        {"About", WM_COMMAND, ID_SHOW_ABOUT, IDC_TAB_ABOUT},
        {"Manage vaults", WM_COMMAND, ID_MANAGE_VAULTS, IDC_TAB_VAULTS},
        {"Options", WM_COMMAND, ID_SHOW_OPTIONS, IDC_TAB_OPTIONS},
        {"About again", WM_COMMAND, ID_SHOW_ABOUT, IDC_TAB_ABOUT},
        {"hotkey keeps the tab", WM_HOTKEY, MAIN_DIALOG_HOTKEY_ID, IDC_TAB_ABOUT},
        {"another hotkey id", WM_HOTKEY, MAIN_DIALOG_HOTKEY_ID + 1, 0},
    };
    for (const Step& step : steps) {
        ShowWindow(MainDialog(), SW_HIDE);
        Send(step.message, step.wParam);
        EXPECT_EQ(VisibleTab(MainDialog()), step.tab) << step.what;
    }
}

TEST_F(MainFrameTest, ShowVaultsOnStartOpensTheVaultsTabOnceMessagesRun)
{
    app.GetSettingsKey().WriteDword(SETTING_SHOW_VAULTS_ON_START, 1);
    ASSERT_TRUE(CreateFrame());
    PumpMessages();
    EXPECT_EQ(VisibleTab(MainDialog()), IDC_TAB_VAULTS);
}

TEST_F(MainFrameTest, ThePressedHotkeyShowsTheMainDialog)
{
    if (!HostToolExists("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    ASSERT_TRUE(CreateFrame());
    ASSERT_TRUE(RegisterHotKey(frame.m_hWnd, MAIN_DIALOG_HOTKEY_ID,
                               MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'K'));
    // Wine sees the keys that the X server gives one of its windows: this one takes the focus.
    HWND focus = CreateWindowExA(0, "STATIC", "OrvellaHotkeyFocus", WS_POPUP | WS_VISIBLE, 10, 10,
                                 60, 30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(StartHostTool("xdotool", "search --sync --name ^OrvellaHotkeyFocus$ windowfocus"));
    PumpMessagesUntil([&] { return GetForegroundWindow() == focus; });
    ASSERT_EQ(GetForegroundWindow(), focus);
    ASSERT_TRUE(StartHostTool("xdotool", "key ctrl+alt+shift+k"));
    PumpMessagesUntil([&] { return IsWindowVisible(MainDialog()) != FALSE; });
    EXPECT_EQ(VisibleTab(MainDialog()), IDC_TAB_OPTIONS);
    UnregisterHotKey(frame.m_hWnd, MAIN_DIALOG_HOTKEY_ID);
    DestroyWindow(focus);
}
