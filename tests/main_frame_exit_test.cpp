// Every way out of the main frame, in this process with the shell replaced
// (main_frame_fixture.h): the exit command and the shutdown request ask before leaving vaults
// unlocked; the end of the Windows session does not ask.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "main_frame_fixture.h"
#include "resources/resource.h"
#include "shell/settings.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kQuestion[] = "There are unlocked Vaults. Close anyway?";

BOOL CALLBACK CountMessageBox(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsMessageBox(window))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The message boxes this process shows.
int CountMessageBoxes()
{
    int count = 0;
    EnumWindows(CountMessageBox, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

TEST_F(MainFrameTest, ExitAndTheShutdownRequestAskOnlyWhileAVaultIsUnlocked)
{
    struct Case {
        const char* what;
        bool shutdownRequest;  // else the exit command
        const char* vault;     // "unlocked", "locked" or "none"
        int answer;
        bool asked;
        bool ends;
    } cases[] = {
        {"exit, no vaults", false, "none", IDOK, false, true},
        {"exit, all locked", false, "locked", IDOK, false, true},
        {"exit, unlocked, Cancel", false, "unlocked", IDCANCEL, true, false},
        {"exit, unlocked, OK", false, "unlocked", IDOK, true, true},
        {"shutdown request, no vaults", true, "none", IDOK, false, true},
        {"shutdown request, unlocked, Cancel", true, "unlocked", IDCANCEL, true, false},
        {"shutdown request, unlocked, OK", true, "unlocked", IDOK, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LockAllVaults();
        std::string vaultName = std::string("Vault ") + std::to_string(&c - cases);
        if (std::string(c.vault) == "locked")
            AddLockedVault(vaultName);
        else if (std::string(c.vault) == "unlocked")
            AddVault(vaultName, "pw");

        CMainFrame started;
        app.m_pMainWnd = &started;
        ASSERT_TRUE(started.LoadFrame(IDR_MAINFRAME));
        {
            MessageBoxAnswerer answer(c.answer, c.asked ? 10000 : 500);
            if (c.shutdownRequest)
                started.SendMessage(WM_ORVELLA_SHUTDOWN);
            else
                started.SendMessage(WM_COMMAND, ID_APP_EXIT);
            PumpMessages();
            EXPECT_EQ(answer.Wait(), c.asked);
            if (c.asked) {
                EXPECT_EQ(answer.text, kQuestion);
                EXPECT_EQ(answer.icon, UINT(MB_ICONWARNING));
            }
        }
        EXPECT_EQ(IsWindow(started.m_hWnd) == FALSE, c.ends);
        if (std::string(c.vault) == "unlocked") {
            EXPECT_TRUE(Exists(root / vaultName)) << "nothing is locked on the way out";
        }
        EXPECT_EQ(Store().HasUnlockedVault(), std::string(c.vault) == "unlocked");

        app.m_pMainWnd = nullptr;
        if (started.m_hWnd)
            DestroyWindow(started.m_hWnd);
        PumpMessages();
    }
}

TEST_F(MainFrameTest, ACloseRequestedWhileTheQuestionIsOpenAsksNoSecondTime)
{
    AddVault("Papers", "pw");
    ASSERT_TRUE(CreateFrame());
    std::atomic<int> mostBoxes{0};
    std::thread user([&] {
        HWND box = WaitForDialog(IsMessageBox);
        if (!box)
            return;
        PostMessageA(frame.m_hWnd, WM_CLOSE, 0, 0);
        PostMessageA(frame.m_hWnd, WM_COMMAND, ID_APP_EXIT, 0);
        for (int i = 0; i < 25; ++i) {
            mostBoxes = std::max(mostBoxes.load(), CountMessageBoxes());
            Sleep(ScaledMs(20));
        }
        // Every box is cancelled, so that a failing run ends.
        while (HWND open = WaitForDialog(IsMessageBox, 200))
            SendMessageA(open, WM_COMMAND, IDCANCEL, 0);
    });
    Send(WM_COMMAND, ID_APP_EXIT);
    user.join();
    EXPECT_EQ(mostBoxes, 1);
    EXPECT_TRUE(IsWindow(frame.m_hWnd));
}

TEST_F(MainFrameTest, TheEndOfTheSessionEndsTheFrameWithoutAsking)
{
    AddVault("Papers", "pw");
    ASSERT_TRUE(CreateFrame());
    HWND window = frame.m_hWnd;
    EveryMessageBoxAnswerer answers(IDCANCEL);

    EXPECT_EQ(Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    Send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(IsWindow(window)) << "a session that goes on keeps the program";
    notifyCalls.clear();
    Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CallSummary(), std::vector<std::string>{"DELETE"});
    EXPECT_EQ(answers.Stop(), std::vector<std::string>{}) << "nothing was asked";
    EXPECT_TRUE(Store().HasUnlockedVault());
}

TEST_F(MainFrameTest, TheRunningNoticeComesAfterTheIconAndBeforeTheMainDialog)
{
    app.GetSettingsKey().WriteDword(SETTING_DONT_SHOW_RUNNING_WARNING, 0);
    std::vector<std::string> callsAtNotice;
    bool dialogAtNotice = true;
    std::thread user([&] {
        HWND notice = WaitForDialog([](HWND w) { return WindowText(w) == "Already running"; });
        if (!notice)
            return;
        callsAtNotice = CallSummary();
        dialogAtNotice = frame.GetMainDialog().m_hWnd != nullptr;
        PostMessageA(notice, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_TRUE(CreateFrame());
    user.join();
    EXPECT_EQ(callsAtNotice, std::vector<std::string>{"ADD 171"});
    EXPECT_FALSE(dialogAtNotice);
    EXPECT_TRUE(MainDialog());
}
