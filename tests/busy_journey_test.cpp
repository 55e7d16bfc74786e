// The installed program while it locks a large vault: every other way in (the Vaults page's
// commands, the tray icon and its menu, the hotkey, a second start, the end of the session and
// the shutdown request) brings the lock's progress forward or waits for it, and never starts
// anything else; afterwards every vault comes back byte for byte.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "engine/base/registry_key.h"
#include "engine/vault/vault_store.h"
#include "installed_program.h"
#include "journey_fixture.h"
#include "program.h"
#include "program_windows.h"
#include "resources/resource.h"
#include "shell/main_frame.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const size_t kPiece = 4 << 20;
// Large enough that the lock outlasts every step below (2 GiB: about 10 s under Wine here). On a
// slower machine (the 32-bit build under emulation) the lock takes longer, but the program's
// windows slow down more than its cipher does, so the file is twice as large there.
int Pieces() { return ScaledMs(1) > 1 ? 1024 : 512; }

std::string Piece(int index) { return PatternBytes(kPiece, unsigned(index) + 7); }

void WriteLargeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << " (error " << GetLastError() << ")";
    for (int i = 0; i < Pieces(); ++i) {
        std::string piece = Piece(i);
        DWORD written = 0;
        WriteFile(file, piece.data(), DWORD(piece.size()), &written, nullptr);
    }
    CloseHandle(file);
}

// True when the file holds exactly what WriteLargeFile wrote.
bool IsTheLargeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool same = true;
    std::string piece(kPiece, '\0');
    for (int i = 0; i < Pieces() && same; ++i) {
        DWORD read = 0;
        same = ReadFile(file, &piece[0], DWORD(kPiece), &read, nullptr) && read == kPiece &&
               piece == Piece(i);
    }
    char extra;
    DWORD read = 0;
    same = same && ReadFile(file, &extra, 1, &read, nullptr) && read == 0;
    CloseHandle(file);
    return same;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM parameter)
{
    auto* found = reinterpret_cast<std::pair<DWORD, std::set<HWND>>*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (process == found->first && IsWindowVisible(window) && std::string(className) == "#32770")
        found->second.insert(window);
    return TRUE;
}

// The visible dialogs and message boxes of the process.
std::set<HWND> VisibleDialogs(DWORD process)
{
    std::pair<DWORD, std::set<HWND>> found(process, {});
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

class BusyProgramTest : public JourneyTest {
protected:
    // Installed, past its first start, with an unlocked vault "Big" holding one large file
    // and a locked vault "Small"; started, with its windows found.
    void StartWithTwoVaults()
    {
        ASSERT_NO_FATAL_FAILURE(InstallPastFirstStart());
        for (const char* name : {"Big", "Small"}) {
            CliRun created = RunCli({"create", name}, "secret\n");
            ASSERT_EQ(created.exitCode, 0) << created.err;
        }
        ASSERT_NO_FATAL_FAILURE(WriteLargeFile(root / "Big\\large.bin"));
        for (int i = 0; i < 20; ++i)
            WriteFileBytes(root / ("Small\\note" + std::to_string(i) + ".txt"),
                           Piece(i).substr(0, 999));
        CliRun locked = RunCli({"lock", "Small"}, "secret\n");
        ASSERT_EQ(locked.exitCode, 0) << locked.err;
        ASSERT_NO_FATAL_FAILURE(StartInstalled());
    }

    // Asserts that nothing but the main dialog and the lock's progress (of its encryption or,
    // later, of its deletion of the folder) is shown, that the main dialog is still disabled on
    // the Vaults tab, and that the lock still runs. Between its two steps the lock closes one
    // progress window and opens the next, and the main dialog is enabled for that instant: a
    // view caught then is looked at again.
    void ExpectOnlyTheLock(const char* what)
    {
        // Time for a window that should not come. It does not grow with a slower machine: the
        // lock must outlast every step, and a window that comes later stays, so a later look (or
        // the program's exit at the end) still finds it.
        Sleep(400);
        std::set<HWND> shown;
        HWND progress = nullptr;
        for (int look = 0; look < 20; ++look) {
            shown = VisibleDialogs(Id());
            progress = WaitForDialog(IsProgressDialog, 0, Id());
            if (progress && shown == std::set<HWND>{dialog, progress} &&
                !IsWindowEnabled(dialog) && GetWindow(progress, GW_OWNER) == dialog)
                break;
            Sleep(100);
        }
        ASSERT_TRUE(progress) << what << ": the lock ended before the test was done";
        EXPECT_EQ(shown, (std::set<HWND>{dialog, progress})) << what << ": something else opened";
        EXPECT_EQ(GetWindow(progress, GW_OWNER), dialog) << what << ": the progress's owner";
        EXPECT_FALSE(IsWindowEnabled(dialog)) << what;
        EXPECT_EQ(VisibleTab(dialog), IDC_TAB_VAULTS) << what;
    }
};

}  // namespace

TEST_F(BusyProgramTest, NothingElseStartsWhileALockRunsAndEveryVaultComesBack)
{
    ASSERT_NO_FATAL_FAILURE(StartWithTwoVaults());
    HWND lock = VaultsPageButton(IDC_VAULT_LOCK, RowOf("Big"));
    ASSERT_TRUE(lock);
    HWND page = GetParent(lock);
    PressButton(lock);
    ASSERT_TRUE(ProvePassword("secret"));
    ASSERT_TRUE(WaitForDialog(IsProgressDialog, 15000, Id())) << "the lock showed no progress";

    // The slowest first, while the lock has the longest way to go.
    HANDLE second = program.Start(ShellDesktop::kName, exe);
    ASSERT_TRUE(second);
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(second, 15000)) << "the second start stayed";
    CloseHandle(second);
    ASSERT_NO_FATAL_FAILURE(ExpectOnlyTheLock("a second start"));

    struct Way {
        const char* what;
        HWND* window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } ways[] = {
        {"the page's Lock", &page, WM_COMMAND, IDC_VAULT_LOCK, 0},
        {"the page's Unlock", &page, WM_COMMAND, IDC_VAULT_UNLOCK, 0},
        {"the page's New", &page, WM_COMMAND, IDC_VAULT_NEW, 0},
        {"the page's Manage (and Remove)", &page, WM_COMMAND, IDC_VAULT_MANAGE, 0},
        {"the icon's double click", &frame, WM_TRAYICON_NOTIFY, 0, WM_LBUTTONDBLCLK},
        {"the icon's menu", &frame, WM_TRAYICON_NOTIFY, 0, WM_RBUTTONDOWN},
        {"the menu's New vault", &frame, WM_COMMAND, ID_NEW_VAULT, 0},
        {"the menu's Manage vaults", &frame, WM_COMMAND, ID_MANAGE_VAULTS, 0},
        {"the menu's Options", &frame, WM_COMMAND, ID_SHOW_OPTIONS, 0},
        {"the menu's About", &frame, WM_COMMAND, ID_SHOW_ABOUT, 0},
        {"the hotkey", &frame, WM_HOTKEY, MAIN_DIALOG_HOTKEY_ID,
         MAKELPARAM(MOD_CONTROL | MOD_SHIFT, 'V')},
    };
    for (const Way& way : ways) {
        PostMessageA(*way.window, way.message, way.wParam, way.lParam);
        ASSERT_NO_FATAL_FAILURE(ExpectOnlyTheLock(way.what));
    }

    DWORD_PTR agrees = TRUE;
    ASSERT_TRUE(SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                    SMTO_ABORTIFHUNG, 5000, &agrees));
    EXPECT_EQ(agrees, DWORD_PTR(FALSE)) << "the session may not end in the middle of a lock";

    // The shutdown request (the uninstaller's) waits for the lock, then ends the program: every
    // vault is locked then, so nothing is asked.
    ProgramUnderTest::RequestShutdown();
    ASSERT_NO_FATAL_FAILURE(ExpectOnlyTheLock("the shutdown request"));
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(process, 120000)) << "the program did not exit";

    for (const char* name : {"Big", "Small"}) {
        EXPECT_TRUE(RecordNamed(name).IsLocked()) << name;
        EXPECT_FALSE(Exists(root / name)) << name;
        CliRun unlocked = RunCli({"unlock", name}, "secret\n");
        EXPECT_EQ(unlocked.exitCode, 0) << name << ": " << unlocked.err;
    }
    EXPECT_TRUE(IsTheLargeFile(root / "Big\\large.bin"));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(ReadFileBytes(root / ("Small\\note" + std::to_string(i) + ".txt")),
                  Piece(i).substr(0, 999));
}
