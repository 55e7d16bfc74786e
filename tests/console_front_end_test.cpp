#include <gtest/gtest.h>

#include <thread>

#include "cli/console_front_end.h"
#include "engine/vault_store.h"
#include "scratch.h"
#include "vault_fixture.h"

namespace {

// Asks for a cancel, as Ctrl+C does, once the vault job is well under way.
std::thread CancelMidway(ConsoleFrontEnd& frontEnd)
{
    {
        ProgressLock hold(VaultJobProgress);  // forget what the last job left
        VaultJobProgress.done = VaultJobProgress.total = 0;
    }
    return std::thread([&frontEnd] {
        for (int i = 0; i < 20000; ++i) {
            uint64_t done, total;
            {
                ProgressLock hold(VaultJobProgress);
                done = VaultJobProgress.done;
                total = VaultJobProgress.total;
            }
            if (total > 0 && done > total / 20 && done < total / 2) {
                frontEnd.RequestCancel();
                return;
            }
            Sleep(1);
        }
    });
}

struct Contents {
    const char* what;
    int files;
    size_t size;
};

class ConsoleCancelTest : public ::testing::TestWithParam<Contents>, public VaultFixture {
protected:
    ConsoleCancelTest() : VaultFixture("Vault")
    {
        SetJobFrontEnd(&frontEnd);
        for (int i = 0; i < GetParam().files; ++i)
            WriteFileBytes(In("file" + std::to_string(i)), std::string(GetParam().size, 'b'));
    }
    ~ConsoleCancelTest() override { SetJobFrontEnd(nullptr); }

    ConsoleFrontEnd frontEnd;
};

}  // namespace

TEST_P(ConsoleCancelTest, ACancelCleansUpAsTheDialogsCancelDoes)
{
    std::thread user = CancelMidway(frontEnd);
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    user.join();
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_EQ(ReadFileBytes(In("file0")).size(), GetParam().size);

    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    user = CancelMidway(frontEnd);
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    user.join();
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(Folder()));
    EXPECT_TRUE(Exists(Container()));
}

INSTANTIATE_TEST_SUITE_P(
    BetweenChunksAndBetweenEntries, ConsoleCancelTest,
    ::testing::Values(Contents{"inside one large file", 1, 96 << 20},
                      Contents{"between many small entries", 3000, 100}),
    [](const ::testing::TestParamInfo<Contents>& info) {
        return std::string(info.param.files == 1 ? "InsideALargeFile" : "BetweenEntries");
    });
