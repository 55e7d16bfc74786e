#include <gtest/gtest.h>

#include "engine/vault/vault_claim.h"
#include "program.h"
#include "scratch.h"

namespace {

// The names in a folder, "." and ".." left out.
std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

class CliTest : public ::testing::Test {
protected:
    CliTest()
    {
        ProgramUnderTest::ForgetSettings();
        ProgramUnderTest::SetVaultsRoot(root.Path());
    }
    ~CliTest() override { ProgramUnderTest::ForgetSettings(); }

    std::string Folder(const std::string& name) const { return root / name; }

    ScratchFolder root;
};

}  // namespace

// Both kinds of vault: classic, and encrypted with its password (create --strong).
TEST_F(CliTest, EveryCommandWorksOnTheProgramsOwnStore)
{
    EXPECT_EQ(RunCli({"root"}).out, root.Path() + "\n");
    for (bool strong : {false, true}) {
        SCOPED_TRACE(strong ? "strong" : "classic");
        // A vault encrypted with its password needs a long one.
        const std::string secret = strong ? "secret words\n" : "secret\n";
        const std::string newer = strong ? "newer words\n" : "newer\n";
        CliRun created = RunCli(strong ? std::vector<std::string>{"create", "--strong", "Papers"}
                                       : std::vector<std::string>{"create", "Papers"},
                                secret);
        ASSERT_EQ(created.exitCode, 0) << created.err;
        WriteFileBytes(Folder("Papers") + "\\letter.txt", "dear");

        CliRun list = RunCli({"list"});
        ASSERT_EQ(list.exitCode, 0);
        ASSERT_EQ(list.out.find("Papers\tunlocked\t"), 0u) << list.out;
        std::string container = list.out.substr(list.out.rfind('\t') + 1, 12);

        EXPECT_EQ(RunCli({"lock", "Papers"}, secret).exitCode, 0);
        EXPECT_FALSE(Exists(Folder("Papers")));
        EXPECT_TRUE(Exists(root / container));
        EXPECT_EQ(RunCli({"list"}).out, "Papers\tlocked\t" + container + "\n");

        EXPECT_EQ(RunCli({"rename", "Papers", "Letters"}, secret).exitCode, 0);
        EXPECT_EQ(RunCli({"passwd", "Letters"}, secret + newer).exitCode, 0);
        CliRun unlocked = RunCli({"unlock", "Letters"}, newer);
        EXPECT_EQ(unlocked.exitCode, 0) << unlocked.err;
        EXPECT_EQ(ReadFileBytes(Folder("Letters") + "\\letter.txt"), "dear");
        EXPECT_FALSE(Exists(root / container));

        EXPECT_EQ(RunCli({"remove", "Letters"}, newer).exitCode, 0);
        EXPECT_FALSE(Exists(Folder("Letters")));
        EXPECT_EQ(RunCli({"list"}).out, "");
    }
}

TEST_F(CliTest, RefusalsHaveTheirExitCodesAndChangeNothing)
{
    ASSERT_EQ(RunCli({"create", "Mine"}, "pw\n").exitCode, 0);
    ASSERT_EQ(RunCli({"create", "Other"}, "pw\n").exitCode, 0);
    struct Case {
        std::vector<std::string> arguments;
        std::string input;
        int exitCode;
    } const cases[] = {
        {{"lock", "Mine"}, "wrong\n", 3},
        {{"remove", "Mine"}, "PW\n", 3},
        {{"passwd", "Mine"}, "pw \nx\n", 3},
        {{"lock", "Missing"}, "pw\n", 4},
        {{"create", "Mine"}, "pw\n", 1},
        {{"create", "bad|name"}, "pw\n", 1},
        {{"create", "trailing."}, "pw\n", 1},
        {{"create", std::string(260, 'n')}, "pw\n", 1},
        {{"rename", "Mine", "Other"}, "pw\n", 1},
        {{"rename", "Mine", "a\\b"}, "pw\n", 1},
        {{"lock"}, "", 2},
        {{"frobnicate", "Mine"}, "", 2},
        {{}, "", 2},
        // A vault encrypted with its password takes no empty, short or common one.
        {{"create", "--strong", "Weak"}, "\n", 1},
        {{"create", "--strong", "Weak"}, "seven c\n", 1},
        {{"create", "--strong", "Weak"}, "Password1\n", 1},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli(c.arguments, c.input);
        std::string line = c.arguments.empty() ? "(none)" : c.arguments[0];
        EXPECT_EQ(run.exitCode, c.exitCode) << line << ": " << run.err;
        if (c.exitCode != 2) {
            EXPECT_NE(run.err.find("orvella-cli: "), std::string::npos) << line;
        }
    }
    EXPECT_EQ(RunCli({"list"}).out.find("Mine\tunlocked"), 0u);
    EXPECT_TRUE(Exists(Folder("Mine")));
    EXPECT_FALSE(Exists(Folder("Weak")));
    EXPECT_EQ(RunCli({"lock", "Mine"}, "pw\n").exitCode, 0) << "the password is unchanged";
    EXPECT_EQ(RunCli({"--help"}).exitCode, 0);
}

TEST_F(CliTest, ANewVaultCannotTakeOverAnotherVaultsFiles)
{
    ASSERT_EQ(RunCli({"create", "Alpha"}, "pw\n").exitCode, 0);
    WriteFileBytes(Folder("Alpha") + "\\a.txt", "alpha's");
    ASSERT_EQ(RunCli({"lock", "Alpha"}, "pw\n").exitCode, 0);
    std::string list = RunCli({"list"}).out;
    std::string container = list.substr(list.rfind('\t') + 1, 12);
    ASSERT_EQ(RunCli({"create", "Beta"}, "pw\n").exitCode, 0);
    WriteFileBytes(Folder("Beta") + "\\b.txt", "beta's");

    const char* const taken[] = {"Beta", "beta", "ALPHA"};
    for (const char* name : taken)
        EXPECT_EQ(RunCli({"create", name}, "pw\n").exitCode, 1) << name;
    EXPECT_EQ(RunCli({"create", container}, "pw\n").exitCode, 1);
    EXPECT_EQ(RunCli({"rename", "Beta", container}, "pw\n").exitCode, 1);
    // Nor the name of a file kept beside a container, which the naming rule refuses.
    for (const char* suffix : {".partial", ".unlocking", ".replaced", ".new", ".unfinished"}) {
        CliRun created = RunCli({"create", container + suffix}, "pw\n");
        EXPECT_EQ(created.exitCode, 1) << suffix;
        EXPECT_NE(created.err.find("\" cannot be a vault name: names that begin with eight "
                                   "hexadecimal digits"),
                  std::string::npos)
            << created.err;
    }
    EXPECT_EQ(RunCli({"rename", "Beta", container + ".replaced"}, "pw\n").exitCode, 1);
    EXPECT_EQ(RunCli({"remove", "beta"}, "pw\n").exitCode, 4) << "no vault has that exact name";

    EXPECT_EQ(ReadFileBytes(Folder("Beta") + "\\b.txt"), "beta's");
    ASSERT_EQ(RunCli({"unlock", "Alpha"}, "pw\n").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(Folder("Alpha") + "\\a.txt"), "alpha's");
}

// Another process holds the vault (as a running lock would): every command that changes it is
// refused at once and changes nothing; once it is free the same command works.
TEST_F(CliTest, AVaultInUseElsewhereIsRefusedAtOnce)
{
    ASSERT_EQ(RunCli({"create", "Race"}, "pw\n").exitCode, 0);
    WriteFileBytes(Folder("Race") + "\\r.txt", "race");
    std::string list = RunCli({"list"}).out;
    uint32_t id = std::stoul(list.substr(list.rfind('\t') + 1, 8), nullptr, 16);
    {
        VaultClaim elsewhere;
        ASSERT_TRUE(elsewhere.ClaimVault(root.Path(), id));
        const std::vector<std::string> commands[] = {
            {"lock", "Race"},   {"rename", "Race", "Other"}, {"passwd", "Race"},
            {"remove", "Race"}, {"protect", "Race"}};
        for (const auto& command : commands) {
            CliRun run = RunCli(command, "pw\nnew\n");
            EXPECT_EQ(run.exitCode, 1) << command[0];
            EXPECT_NE(run.err.find("The vault \"Race\" is in use by another window or process."),
                      std::string::npos)
                << command[0] << ": " << run.err;
        }
        EXPECT_EQ(RunCli({"list"}).out, list);
        EXPECT_EQ(ReadFileBytes(Folder("Race") + "\\r.txt"), "race");
    }
    EXPECT_EQ(RunCli({"lock", "Race"}, "pw\n").exitCode, 0);
}

// check: a sound container of either kind exits 0 and says what was checked; a damaged one exits
// 1 and says what is wrong; refusals have the exit codes of every command. Nothing is written.
TEST_F(CliTest, CheckSaysWhetherALockedVaultIsSoundAndChangesNothing)
{
    for (bool strong : {false, true}) {
        SCOPED_TRACE(strong ? "strong" : "classic");
        const std::string secret = strong ? "secret words\n" : "secret\n";
        ASSERT_EQ(RunCli(strong ? std::vector<std::string>{"create", "--strong", "Papers"}
                                : std::vector<std::string>{"create", "Papers"},
                         secret)
                      .exitCode,
                  0);
        WriteFileBytes(Folder("Papers") + "\\letter.txt", "dear");
        CliRun unlocked = RunCli({"check", "Papers"}, secret);
        EXPECT_EQ(unlocked.exitCode, 1);
        EXPECT_NE(unlocked.err.find("The vault \"Papers\" is unlocked"), std::string::npos)
            << unlocked.err;
        ASSERT_EQ(RunCli({"lock", "Papers"}, secret).exitCode, 0);
        std::string list = RunCli({"list"}).out;
        std::string container = root / list.substr(list.rfind('\t') + 1, 12);
        const std::string sound = ReadFileBytes(container);

        CliRun checked = RunCli({"check", "Papers"}, secret);
        EXPECT_EQ(checked.exitCode, 0) << checked.err;
        EXPECT_NE(checked.out.find("is sound: 1 file (4 bytes) and 0 folders, read to its end."),
                  std::string::npos)
            << checked.out;
        EXPECT_NE(checked.err.find("Check vault Papers"), std::string::npos) << "its progress";
        EXPECT_EQ(RunCli({"check", "Papers"}, "wrong words\n").exitCode, 3);
        EXPECT_EQ(RunCli({"check", "Missing"}, secret).exitCode, 4);

        SetFileAttributesA(container.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(container, sound.substr(0, sound.size() - 8));
        CliRun damaged = RunCli({"check", "Papers"}, secret);
        EXPECT_EQ(damaged.exitCode, 1);
        EXPECT_NE(damaged.err.find("is damaged: "), std::string::npos) << damaged.err;
        EXPECT_EQ(ReadFileBytes(container), sound.substr(0, sound.size() - 8));
        EXPECT_EQ(RunCli({"list"}).out, list);
        EXPECT_EQ(NamesIn(root.Path()), std::vector<std::string>{container.substr(
                                               container.rfind('\\') + 1)})
            << "no journal, no copy";

        WriteFileBytes(container, sound);
        ASSERT_EQ(RunCli({"remove", "Papers"}, secret).exitCode, 0);
    }
}

namespace {

// The container file named on the vault's line of `orvella-cli list`.
std::string ContainerOf(const std::string& name)
{
    std::string list = RunCli({"list"}).out;
    size_t line = list.find(name + "\t");
    size_t end = list.find('\n', line);
    return list.substr(list.rfind('\t', end) + 1, 12);
}

}  // namespace

// protect: a locked and an unlocked classic vault become vaults encrypted with the password they
// have, and open with it; asked again, it changes nothing and says so.
TEST_F(CliTest, ProtectEncryptsAClassicVaultWithItsPassword)
{
    const std::string secret = "secret words\n";
    for (bool locked : {true, false}) {
        SCOPED_TRACE(locked ? "locked" : "unlocked");
        ASSERT_EQ(RunCli({"create", "Papers"}, secret).exitCode, 0);
        WriteFileBytes(Folder("Papers") + "\\letter.txt", "dear");
        std::string container = root / ContainerOf("Papers");
        if (locked) {
            ASSERT_EQ(RunCli({"lock", "Papers"}, secret).exitCode, 0);
        }
        CliRun run = RunCli({"protect", "Papers"}, secret);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "Vault \"Papers\" is encrypted with its password.\n");
        if (!locked) {
            EXPECT_FALSE(Exists(container)) << "the next lock writes it";
            ASSERT_EQ(RunCli({"lock", "Papers"}, secret).exitCode, 0);
        }
        EXPECT_EQ(ReadFileBytes(container).compare(0, 8, "OVSTRONG"), 0);
        EXPECT_FALSE(Exists(container + ".strong"));
        CliRun again = RunCli({"protect", "Papers"}, secret);
        EXPECT_EQ(again.exitCode, 0);
        EXPECT_EQ(again.out, "Vault \"Papers\" is encrypted with its password already; nothing "
                             "has been changed.\n");
        ASSERT_EQ(RunCli({"unlock", "Papers"}, secret).exitCode, 0);
        EXPECT_EQ(ReadFileBytes(Folder("Papers") + "\\letter.txt"), "dear");
        ASSERT_EQ(RunCli({"remove", "Papers"}, secret).exitCode, 0);
    }
}

// A wrong password, one too weak to protect the vault, and a vault that is not there: refused,
// with the vault's container as it was and nothing beside it.
TEST_F(CliTest, ProtectRefusesAWrongOrWeakPasswordAndChangesNothing)
{
    ASSERT_EQ(RunCli({"create", "Weak"}, "pw\n").exitCode, 0);
    ASSERT_EQ(RunCli({"create", "Fine"}, "secret words\n").exitCode, 0);
    WriteFileBytes(Folder("Weak") + "\\a.txt", "a");
    WriteFileBytes(Folder("Fine") + "\\b.txt", "b");
    ASSERT_EQ(RunCli({"lock", "Weak"}, "pw\n").exitCode, 0);
    ASSERT_EQ(RunCli({"lock", "Fine"}, "secret words\n").exitCode, 0);
    const std::string weak = root / ContainerOf("Weak"), fine = root / ContainerOf("Fine");
    const std::string weakBytes = ReadFileBytes(weak), fineBytes = ReadFileBytes(fine);
    const std::string listed = RunCli({"list"}).out;
    struct Case {
        const char* name;
        const char* input;
        int exitCode;
        const char* says;
    } const cases[] = {
        {"Fine", "secret wordS\n", 3, "Wrong password for vault \"Fine\"."},
        {"Weak", "pw\n", 1, "must have at least 8 characters"},
        {"Missing", "secret words\n", 4, "There is no vault named \"Missing\"."},
    };
    for (const Case& c : cases) {
        CliRun run = RunCli({"protect", c.name}, c.input);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    EXPECT_EQ(RunCli({"list"}).out, listed);
    EXPECT_EQ(ReadFileBytes(weak), weakBytes);
    EXPECT_EQ(ReadFileBytes(fine), fineBytes);
    EXPECT_FALSE(Exists(weak + ".strong"));
    EXPECT_FALSE(Exists(fine + ".strong"));
    ASSERT_EQ(RunCli({"unlock", "Weak"}, "pw\n").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(Folder("Weak") + "\\a.txt"), "a");
}
