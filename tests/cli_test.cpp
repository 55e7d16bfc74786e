#include <gtest/gtest.h>

#include "program.h"
#include "scratch.h"

namespace {

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

TEST_F(CliTest, EveryCommandWorksOnTheProgramsOwnStore)
{
    EXPECT_EQ(RunCli({"root"}).out, root.Path() + "\n");

    CliRun created = RunCli({"create", "Papers"}, "secret\n");
    ASSERT_EQ(created.exitCode, 0) << created.err;
    WriteFileBytes(Folder("Papers") + "\\letter.txt", "dear");

    CliRun list = RunCli({"list"});
    ASSERT_EQ(list.exitCode, 0);
    ASSERT_EQ(list.out.find("Papers\tunlocked\t"), 0u) << list.out;
    std::string container = list.out.substr(list.out.rfind('\t') + 1, 12);

    EXPECT_EQ(RunCli({"lock", "Papers"}, "secret\n").exitCode, 0);
    EXPECT_FALSE(Exists(Folder("Papers")));
    EXPECT_TRUE(Exists(root / container));
    EXPECT_EQ(RunCli({"list"}).out, "Papers\tlocked\t" + container + "\n");

    EXPECT_EQ(RunCli({"rename", "Papers", "Letters"}, "secret\n").exitCode, 0);
    EXPECT_EQ(RunCli({"passwd", "Letters"}, "secret\nnewer\n").exitCode, 0);
    CliRun unlocked = RunCli({"unlock", "Letters"}, "newer\n");
    EXPECT_EQ(unlocked.exitCode, 0) << unlocked.err;
    EXPECT_EQ(ReadFileBytes(Folder("Letters") + "\\letter.txt"), "dear");
    EXPECT_FALSE(Exists(root / container));

    EXPECT_EQ(RunCli({"remove", "Letters"}, "newer\n").exitCode, 0);
    EXPECT_FALSE(Exists(Folder("Letters")));
    EXPECT_EQ(RunCli({"list"}).out, "");
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
    EXPECT_EQ(RunCli({"lock", "Mine"}, "pw\n").exitCode, 0) << "the password is unchanged";
    EXPECT_EQ(RunCli({"--help"}).exitCode, 0);
}
