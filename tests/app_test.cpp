#include <gtest/gtest.h>

#include "engine/base/registry_key.h"
#include "program.h"
#include "scratch.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kAppKey[] = "Software\\Zovantri\\Zovantri Orvella";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool IsRunningNotice(HWND window) { return WindowText(window) == "Already running"; }

std::string AppDataFolder()
{
    CRegistryKey folders("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                         HKEY_CURRENT_USER);
    return folders.ReadString("AppData", "");
}

DWORD ProcessIdOf(HANDLE process) { return GetProcessId(process); }

}  // namespace

TEST(Program, FirstStartRegistersItselfAndShowsTheRunningNotice)
{
    ProgramUnderTest program;
    HANDLE first = program.Start();
    ASSERT_TRUE(first);
    // The introduction wizard comes first; cancelled, the start goes on.
    HWND wizard = WaitForDialog(
        [](HWND window) { return WindowText(window) == "Introduction to Zovantri Orvella"; },
        15000, ProcessIdOf(first));
    ASSERT_TRUE(wizard) << "the introduction wizard did not appear";
    PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
    HWND notice = WaitForDialog(IsRunningNotice, 15000, ProcessIdOf(first));
    ASSERT_TRUE(notice) << "the running notice did not appear";
    EXPECT_EQ(ItemText(notice, 1028),
              "Zovantri Orvella is running.\nTo access it, click on the icon in the taskbar, "
              "near system clock:");

    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
    EXPECT_EQ(app.ReadDword("FirstRun", 7), 0u);
    EXPECT_EQ(app.ReadDword("AutoRun", 7), 1u);
    CRegistryKey run(kRunKey, HKEY_CURRENT_USER);
    EXPECT_EQ(run.ReadString("Zovantri Orvella", ""), "\"" + ProgramUnderTest::ExePath() + "\"");
    EXPECT_TRUE(Exists(AppDataFolder() + "\\Zovantri\\Zovantri Orvella"));
    EXPECT_EQ(app.ReadString("VaultsRoot", "absent"), "absent") << "start-up never writes the root";

    // A second start gives way at once and leaves the first running.
    HANDLE second = program.Start();
    ASSERT_TRUE(second);
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(second, 15000));
    CloseHandle(second);
    EXPECT_EQ(WaitForSingleObject(first, 0), DWORD(WAIT_TIMEOUT));

    // Ticking the check box is written at once.
    SendMessageA(GetDlgItem(notice, 1031), BM_CLICK, 0, 0);
    EXPECT_EQ(app.ReadDword("DontShowRunningWarning", 7), 1u);
    PostMessageA(notice, WM_COMMAND, IDCANCEL, 0);

    ProgramUnderTest::RequestShutdown();
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(first)) << "the shutdown request did not end it";
    CloseHandle(first);
}

TEST(Program, ALaterStartKeepsTheSettingsAndSkipsTheNoticeWhenAsked)
{
    ProgramUnderTest program;
    {
        CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
        app.WriteDword("FirstRun", 0);
        app.WriteDword("AutoRun", 0);
        app.WriteDword("DontShowRunningWarning", 1);
    }
    ScratchFolder root;
    {
        CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
        app.WriteString("VaultsRoot", root / "vaults\\deeper");
    }
    HANDLE first = program.Start();
    ASSERT_TRUE(first);
    for (int i = 0; i < 500 && !Exists(root / "vaults\\deeper"); ++i)
        Sleep(ScaledMs(10));
    EXPECT_TRUE(Exists(root / "vaults\\deeper")) << "the stored root is created";
    EXPECT_FALSE(WaitForDialog(IsRunningNotice, 1500, ProcessIdOf(first)));
    CRegistryKey run(kRunKey, HKEY_CURRENT_USER);
    EXPECT_EQ(run.ReadString("Zovantri Orvella", "absent"), "absent")
        << "autorun present as 0 leaves the Run key alone";

    ProgramUnderTest::RequestShutdown();
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(first));
    CloseHandle(first);
}
