// The real console companion, locking, unlocking or converting into one encrypted with its
// password a vault of a few hundred files, killed at varied instants (TerminateProcess: a real
// process death). The next start of the companion puts the vault right, and every file comes back
// byte for byte through its own commands. The same for the Options page's move of the vaults
// root, run by orvella-move-host.
//
// ORVELLA_KILL_ROUNDS sets the number of kills of each kind (8 unless set); ORVELLA_KILL_SEED the
// seed of the instants, which every failure names so that it can be replayed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "companion_process.h"
#include "companion_vault.h"
#include "engine/vault/vault_store.h"
#include "program.h"
#include "program_windows.h"
#include "ui_driver.h"

namespace {

const char kAppKey[] = "Software\\Zovantri\\Zovantri Orvella";

uint32_t Setting(const char* name, uint32_t fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? uint32_t(std::strtoul(text, nullptr, 10)) : fallback;
}

// 300 files in 12 folders, most of them small, three of a megabyte.
std::map<std::string, std::string> ManyFiles()
{
    std::map<std::string, std::string> files;
    uint32_t x = 7;
    for (int i = 0; i < 300; ++i) {
        x = x * 1103515245u + 12345u;
        size_t size = i % 100 == 50 ? (1 << 20) + i : x % 16384;
        std::string bytes(size, '\0');
        for (char& c : bytes) {
            x = x * 1103515245u + 12345u;
            c = char(x >> 24);
        }
        files["folder " + std::to_string(i % 12) + "\\file " + std::to_string(i) + ".bin"] = bytes;
    }
    return files;
}

// Milliseconds the companion takes for a lock or unlock that runs to its end.
DWORD TimeOf(bool (CompanionVault::*command)() const, const CompanionVault& vault)
{
    DWORD start = GetTickCount();
    EXPECT_TRUE((vault.*command)());
    return GetTickCount() - start;
}

uint32_t IdOf(const CompanionVault& vault)
{
    return uint32_t(std::stoul(vault.containerName.substr(0, 8), nullptr, 16));
}

// The vaults root the program's settings name, as the companion reads it.
std::string CurrentRoot()
{
    std::string out = RunCli({"root"}).out;
    return out.substr(0, out.find('\n'));
}

// Everything in a vaults root, hidden containers included.
WideTree RootTree(const std::string& root) { return SnapshotTree(Prefixed(root)); }

// Milliseconds a move of the vaults root to `to` takes when it runs to its end.
DWORD MoveTime(const std::string& to)
{
    DWORD start = GetTickCount();
    EXPECT_EQ(CompanionProcess(MoveHostPath(), {to}, "").Wait(), 0);
    return GetTickCount() - start;
}

}  // namespace

TEST(Killed, ALockOrUnlockKilledAtAnyInstantLosesNoFile)
{
    uint32_t seed = Setting("ORVELLA_KILL_SEED", 20261210);
    uint32_t rounds = Setting("ORVELLA_KILL_ROUNDS", 8);
    CompanionVault vault("Killed", ManyFiles());
    DWORD lockMs = TimeOf(&CompanionVault::Lock, vault);
    DWORD unlockMs = TimeOf(&CompanionVault::Unlock, vault);
    ASSERT_EQ(vault.Files(), vault.original);
    std::printf("ORVELLA_KILL_SEED=%u, %u rounds; a whole lock takes %lu ms, an unlock %lu ms\n",
                unsigned(seed), unsigned(rounds), static_cast<unsigned long>(lockMs),
                static_cast<unsigned long>(unlockMs));

    std::mt19937 random(seed);
    int killedAtWork = 0;
    for (uint32_t round = 0; round < rounds; ++round) {
        bool lock = round % 2 == 0;
        if (!lock) {
            ASSERT_TRUE(vault.Lock());
        }
        // Instants up to a little past the job's usual end, process start included.
        DWORD delay = DWORD(random() % ((lock ? lockMs : unlockMs) * 5 / 4 + 1));
        SCOPED_TRACE("ORVELLA_KILL_SEED=" + std::to_string(seed) + ", round " +
                     std::to_string(round) + ": the " + (lock ? "lock" : "unlock") +
                     " killed after " + std::to_string(delay) + " ms");
        {
            CompanionProcess job(CompanionPath(), {lock ? "lock" : "unlock", vault.name}, "pw\n");
            ASSERT_TRUE(job.Started());
            Sleep(delay);
            killedAtWork += job.Kill();
        }
        std::string notes;
        std::string state = vault.ListedState(&notes);
        EXPECT_EQ(notes, "") << "what a killed job leaves puts nothing at risk";
        ASSERT_TRUE(state == "locked" || state == "unlocked") << state;
        vault.ExpectOneForm(state == "locked");
        if (state == "locked") {
            ASSERT_TRUE(vault.Unlock());
        }
        ASSERT_EQ(vault.Files(), vault.original);
    }
    EXPECT_GT(killedAtWork, 0) << "every kill came after the job had ended";
}

// A locked classic vault turned into one encrypted with its password, the companion killed at
// varied instants: the next start finds the vault locked with one container, the classic one or
// the strong one, that unlocks with the password to every file.
TEST(Killed, AConversionKilledAtAnyInstantLeavesOneContainerThatOpens)
{
    uint32_t seed = Setting("ORVELLA_KILL_SEED", 20261210);
    uint32_t rounds = Setting("ORVELLA_KILL_ROUNDS", 8);
    const std::string password = "protect me well";
    DWORD protectMs = 0;
    {
        CompanionVault vault("Killed", ManyFiles(), password);
        ASSERT_TRUE(vault.Lock());
        DWORD start = GetTickCount();
        ASSERT_EQ(RunCli({"protect", vault.name}, password + "\n").exitCode, 0);
        protectMs = GetTickCount() - start;
    }
    std::printf("ORVELLA_KILL_SEED=%u, %u rounds; a whole conversion takes %lu ms\n",
                unsigned(seed), unsigned(rounds), static_cast<unsigned long>(protectMs));

    std::mt19937 random(seed);
    int killedAtWork = 0, strong = 0;
    for (uint32_t round = 0; round < rounds; ++round) {
        CompanionVault vault("Killed", ManyFiles(), password);
        ASSERT_TRUE(vault.Lock());
        DWORD delay = DWORD(random() % (protectMs * 5 / 4 + 1));
        SCOPED_TRACE("ORVELLA_KILL_SEED=" + std::to_string(seed) + ", round " +
                     std::to_string(round) + ": the conversion killed after " +
                     std::to_string(delay) + " ms");
        {
            CompanionProcess job(CompanionPath(), {"protect", vault.name}, password + "\n");
            ASSERT_TRUE(job.Started());
            Sleep(delay);
            killedAtWork += job.Kill();
        }
        std::string notes;
        EXPECT_EQ(vault.ListedState(&notes), "locked");
        EXPECT_EQ(notes, "") << "what a killed conversion leaves puts nothing at risk";
        vault.ExpectOneForm(true);
        strong += ReadFileBytes(vault.Container()).compare(0, 8, "OVSTRONG") == 0;
        ASSERT_TRUE(vault.Unlock());
        ASSERT_EQ(vault.Files(), vault.original);
    }
    std::printf("%d of %u conversions were killed at work; %d vaults ended strong\n",
                killedAtWork, unsigned(rounds), strong);
    EXPECT_GT(killedAtWork, 0) << "every kill came after the conversion had ended";
}

// Moved back and forth between two folders and killed at varied instants, the vaults root is
// found by the next start of the companion whole, in the folder the settings name, with nothing
// of the move left in the other folder.
TEST(Killed, AMoveOfTheVaultsRootKilledAtAnyInstantLosesNoVault)
{
    uint32_t seed = Setting("ORVELLA_KILL_SEED", 20261210);
    uint32_t rounds = Setting("ORVELLA_KILL_ROUNDS", 8);
    ProgramUnderTest settings;  // the program's settings go before and after
    ScratchFolder first, second;
    ProgramUnderTest::SetVaultsRoot(first.Path());
    for (const char* name : {"Open", "Sealed"}) {
        ASSERT_EQ(RunCli({"create", name}, "pw\n").exitCode, 0);
        WriteTree(first / name, ManyFiles());
    }
    ASSERT_EQ(RunCli({"lock", "Sealed"}, "pw\n").exitCode, 0);
    WriteFileBytes(first / "notes.txt", "the user's own");
    const WideTree original = RootTree(first.Path());
    const std::string listed = RunCli({"list"}).out;
    DWORD moveMs = MoveTime(second.Path());
    moveMs = std::max(moveMs, MoveTime(first.Path()));
    ASSERT_EQ(CurrentRoot(), first.Path());
    ASSERT_EQ(RootTree(first.Path()), original);
    std::printf("ORVELLA_KILL_SEED=%u, %u rounds; a whole move of the root takes %lu ms\n",
                unsigned(seed), unsigned(rounds), static_cast<unsigned long>(moveMs));

    std::mt19937 random(seed);
    int killedAtWork = 0;
    for (uint32_t round = 0; round < rounds; ++round) {
        std::string from = CurrentRoot();
        std::string to = from == first.Path() ? second.Path() : first.Path();
        DWORD delay = DWORD(random() % (moveMs * 5 / 4 + 1));
        SCOPED_TRACE("ORVELLA_KILL_SEED=" + std::to_string(seed) + ", round " +
                     std::to_string(round) + ": the move to " + to + " killed after " +
                     std::to_string(delay) + " ms");
        {
            CompanionProcess move(MoveHostPath(), {to}, "");
            ASSERT_TRUE(move.Started());
            Sleep(delay);
            killedAtWork += move.Kill();
        }
        CliRun list = RunCli({"list"});  // its start finishes or undoes the move
        EXPECT_EQ(CompanionNotes(list.err), "") << "what a killed move leaves puts nothing at risk";
        EXPECT_EQ(list.out, listed);
        std::string root = CurrentRoot();
        ASSERT_TRUE(root == from || root == to) << root;
        ASSERT_EQ(RootTree(root), original);
        EXPECT_TRUE(RootTree(root == from ? to : from).empty());
        EXPECT_EQ(CRegistryKey(kAppKey, HKEY_CURRENT_USER).ReadString("VaultsRootMove", ""), "");
    }
    EXPECT_GT(killedAtWork, 0) << "every kill came after the move had ended";
}

namespace {

// Starts the program as at a later start of the user's (no wizard, no notice) and finds the
// message it shows before anything else.
void StartToItsMessage(ProgramUnderTest& program, CRegistryKey& app, HANDLE* process, HWND* box)
{
    app.WriteDword("FirstRun", 0);
    app.WriteDword("AutoRun", 0);
    app.WriteDword("DontShowRunningWarning", 1);
    *process = program.Start();
    ASSERT_TRUE(*process);
    *box = WaitForDialog(IsMessageBox, 20000, GetProcessId(*process));
    ASSERT_TRUE(*box) << "no message at the start";
}

}  // namespace

// The program, too, puts right at its start what it finds, and tells the user where they must
// know: here a lock by an earlier program that had deleted files before it saved its record.
TEST(Killed, TheProgramPutsTheVaultsRightAtItsStart)
{
    ProgramUnderTest program;
    CompanionVault vault("Started", {{"a.txt", "alpha"}, {"sub\\b.txt", "beta"}});
    ASSERT_TRUE(vault.Lock());
    CreateDirectoryA(vault.Folder().c_str(), nullptr);
    WriteFileBytes(vault.Folder() + "\\new.txt", "added meanwhile");
    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
    {
        VaultStore store;
        ASSERT_TRUE(store.Open(app));
        VaultRecord record;
        ASSERT_TRUE(store.Load(IdOf(vault), record));
        record.flags = VAULT_UNLOCKED;
        ASSERT_TRUE(store.Save(record));
    }
    HANDLE process = nullptr;
    HWND box = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartToItsMessage(program, app, &process, &box));
    EXPECT_EQ(WindowText(box), "Orvella");
    EXPECT_EQ(ItemText(box, 0xFFFF),
              "The vault \"Started\" was being locked when the program ended, and only its "
              "container still holds some of its files. It is locked now: unlock it to get all of "
              "them back. Files that are not in its container, or differ from it, are still in " +
                  vault.Folder() + ", unencrypted.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    {
        VaultStore store;
        ASSERT_TRUE(store.Open(app));
        VaultRecord record;
        ASSERT_TRUE(store.Load(IdOf(vault), record));
        EXPECT_EQ(record.flags, uint32_t(VAULT_LOCKED));
    }
    // The start goes on once the message is answered.
    EXPECT_TRUE(WaitForMainFrame(GetProcessId(process)));
    ProgramUnderTest::RequestShutdown();
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(process, 15000));
    CloseHandle(process);

    ASSERT_TRUE(vault.Unlock());
    WideTree expected = vault.original;
    expected[L"new.txt"] = {0, "added meanwhile"};
    EXPECT_EQ(vault.Files(), expected);
}

// The program, too, finishes at its start a move of the vaults root that was cut short after it
// had saved the new root, and names what it leaves in the old folder.
TEST(Killed, TheProgramFinishesAMoveOfTheVaultsRootAtItsStart)
{
    ProgramUnderTest program;
    ScratchFolder oldRoot, newRoot;
    ProgramUnderTest::SetVaultsRoot(newRoot.Path());
    ASSERT_EQ(RunCli({"create", "Papers"}, "pw\n").exitCode, 0);
    WriteFileBytes(newRoot / "Papers\\letter.txt", "Dear Sir");
    ASSERT_EQ(RunCli({"lock", "Papers"}, "pw\n").exitCode, 0);  // nothing to ask at the exit
    std::string listed = RunCli({"list"}).out;
    std::string container = listed.substr(listed.rfind('\t') + 1, 12);
    // The copy the move had not deleted yet, and a file put into the old root meanwhile.
    ASSERT_TRUE(CopyFileA((newRoot / container).c_str(), (oldRoot / container).c_str(), TRUE));
    WriteFileBytes(oldRoot / "stray.txt", "not moved");
    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
    app.WriteString("VaultsRootMove", oldRoot.Path() + "|" + newRoot.Path());
    HANDLE process = nullptr;
    HWND box = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartToItsMessage(program, app, &process, &box));
    EXPECT_EQ(ItemText(box, 0xFFFF),
              "The vaults were being moved from \"" + oldRoot.Path() + "\" to \"" +
                  newRoot.Path() + "\" when the program ended. The move has been finished, but "
                  "some of the vaults' files are still in the old vaults folder: " +
                  oldRoot / "stray.txt" + " has been kept: the other folder holds no copy of it.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForMainFrame(GetProcessId(process)));
    ProgramUnderTest::RequestShutdown();
    EXPECT_TRUE(ProgramUnderTest::WaitForExit(process, 15000));
    CloseHandle(process);

    EXPECT_FALSE(Exists(oldRoot / container));
    EXPECT_EQ(ReadFileBytes(oldRoot / "stray.txt"), "not moved");
    EXPECT_EQ(app.ReadString("VaultsRootMove", "(none)"), "(none)");
    ASSERT_EQ(RunCli({"unlock", "Papers"}, "pw\n").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(newRoot / "Papers\\letter.txt"), "Dear Sir");
}
