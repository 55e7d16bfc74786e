// A vault encrypted with its password, made at the console and opened in the program's window,
// and the other way round, with a password that the ANSI code page cannot hold: both take the
// same key from it.

#include <gtest/gtest.h>

#include <windows.h>

#include "installed_program.h"
#include "journey_fixture.h"
#include "resources/resource.h"

namespace {

const char kPassword[] = u8"Grüße-Ωμέγα-2026";

}  // namespace

TEST_F(JourneyTest, AStrongVaultsPasswordIsTheSameInTheWindowAndAtTheConsole)
{
    ASSERT_NO_FATAL_FAILURE(InstallPastFirstStart());
    const std::string line = std::string(kPassword) + "\n";
    CliRun created = RunCli({"create", "--strong", "Diary"}, line);
    ASSERT_EQ(created.exitCode, 0) << created.err;
    WriteFileBytes(root / "Diary\\today.txt", "dear diary");
    CliRun locked = RunCli({"lock", "Diary"}, line);
    ASSERT_EQ(locked.exitCode, 0) << locked.err;
    ASSERT_NO_FATAL_FAILURE(StartInstalled());

    // Made at the console, opened in the window.
    ASSERT_TRUE(LockOrUnlock("Diary", false, kPassword));
    EXPECT_EQ(ReadFileBytes(root / "Diary\\today.txt"), "dear diary");
    // Locked in the window, opened at the console.
    ASSERT_TRUE(LockOrUnlock("Diary", true, kPassword));
    ProgramUnderTest::RequestShutdown();
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(process, 30000)) << "the program did not exit";
    CliRun unlocked = RunCli({"unlock", "Diary"}, line);
    EXPECT_EQ(unlocked.exitCode, 0) << unlocked.err;
    EXPECT_EQ(ReadFileBytes(root / "Diary\\today.txt"), "dear diary");
}
