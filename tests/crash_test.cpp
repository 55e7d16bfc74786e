// A lock, an unlock and the conversion of a locked classic vault into one encrypted with its
// password through the console companion, with the process ended at each of their file
// operations in turn: after each, the next start of the companion finds the vault in one of its
// two forms, has nothing to tell, and unlocking gives back every file byte for byte.

#include <gtest/gtest.h>

#include "companion_process.h"
#include "companion_vault.h"
#include "engine/files/win_file.h"

namespace {

const std::map<std::string, std::string> kFiles = {{"a.txt", "alpha"},
                                                   {"sub\\b.bin", std::string(100000, 'b')},
                                                   {"sub\\c.txt", "gamma"},
                                                   {"empty.txt", ""}};

// Runs `command` on the vault with the companion's file operation `at` ending its process.
// True when the process ended there; false when the command ran to its end first.
bool EndedAt(uint32_t at, const char* command, const CompanionVault& vault)
{
    CompanionProcess host(FaultHostPath(), {std::to_string(at), command, vault.name},
                          vault.password + "\n");
    int code = host.Wait();
    EXPECT_TRUE(code == 0 || code == file_faults::ENDED_BY_FAULT) << code;
    return code == file_faults::ENDED_BY_FAULT;
}

// What the next start finds: one form, and nothing to tell. Returns whether it is locked.
bool ExpectOneFormAfterTheNextStart(const CompanionVault& vault)
{
    std::string notes;
    std::string state = vault.ListedState(&notes);
    EXPECT_EQ(notes, "");
    EXPECT_TRUE(state == "locked" || state == "unlocked") << state;
    vault.ExpectOneForm(state == "locked");
    return state == "locked";
}

}  // namespace

// An unfinished lock leaves the folder as it was; a finished one unlocks to it.
TEST(CutShort, ALockEndedAtAnyStepLosesNothing)
{
    CompanionVault vault("Cut", kFiles);
    uint32_t at = 1;
    for (; EndedAt(at, "lock", vault); ++at) {
        SCOPED_TRACE("the lock ended at step " + std::to_string(at));
        if (ExpectOneFormAfterTheNextStart(vault)) {
            ASSERT_TRUE(vault.Unlock());
        }
        ASSERT_EQ(vault.Files(), vault.original);
        ASSERT_LT(at, 500u);
    }
    EXPECT_GT(at, 10u) << "the lock takes that many steps";
    EXPECT_TRUE(ExpectOneFormAfterTheNextStart(vault)) << "the lock that ran to its end";
}

// An unfinished unlock leaves the container byte for byte as it was; a finished one gives back
// the files.
TEST(CutShort, AnUnlockEndedAtAnyStepLosesNothing)
{
    CompanionVault vault("Cut", kFiles);
    ASSERT_TRUE(vault.Lock());
    std::string container = ReadFileBytes(vault.Container());
    uint32_t at = 1;
    for (; EndedAt(at, "unlock", vault); ++at) {
        SCOPED_TRACE("the unlock ended at step " + std::to_string(at));
        if (ExpectOneFormAfterTheNextStart(vault)) {
            ASSERT_EQ(ReadFileBytes(vault.Container()), container);
        } else {
            ASSERT_EQ(vault.Files(), vault.original);
            ASSERT_TRUE(vault.Lock());
            container = ReadFileBytes(vault.Container());
        }
        ASSERT_LT(at, 500u);
    }
    EXPECT_GT(at, 10u) << "the unlock takes that many steps";
    EXPECT_FALSE(ExpectOneFormAfterTheNextStart(vault)) << "the unlock that ran to its end";
    EXPECT_EQ(vault.Files(), vault.original);
}

// A locked vault's conversion ended at each step: the next start finds it locked, with one
// container, the classic one until the conversion was recorded and the strong one from then on,
// which unlocks with the password to every file.
TEST(CutShort, AConversionEndedAtAnyStepLeavesOneContainerThatOpens)
{
    CompanionVault vault("Cut", kFiles, "protect me well");
    ASSERT_TRUE(vault.Lock());
    bool strong = false;
    uint32_t at = 1;
    for (; !strong; ++at) {
        SCOPED_TRACE("the conversion ended at step " + std::to_string(at));
        bool ended = EndedAt(at, "protect", vault);
        ASSERT_TRUE(ExpectOneFormAfterTheNextStart(vault));
        strong = ReadFileBytes(vault.Container()).compare(0, 8, "OVSTRONG") == 0;
        EXPECT_TRUE(ended || strong) << "the conversion that ran to its end";
        ASSERT_TRUE(vault.Unlock());
        ASSERT_EQ(vault.Files(), vault.original);
        ASSERT_TRUE(vault.Lock());
        ASSERT_LT(at, 500u);
    }
    EXPECT_GT(at, 8u) << "the conversion takes that many steps";
}
