#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "cli/console_front_end.h"
#include "engine/vault/vault_store.h"
#include "recording_front_end.h"
#include "scratch.h"
#include "vault_fixture.h"

namespace {

// Asks for a cancel, as Ctrl+C does, once the vault job is well under way.
std::thread CancelMidway(ConsoleFrontEnd& frontEnd, ObservingFrontEnd& observer)
{
    return std::thread([&frontEnd, &observer] {
        for (int i = 0; i < 20000; ++i) {
            uint64_t done = 0, total = 0;
            if (observer.RunningProgress(&done, &total) && total > 0 && done > total / 20 &&
                done < total / 2) {
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
        for (int i = 0; i < GetParam().files; ++i)
            WriteFileBytes(In("file" + std::to_string(i)), std::string(GetParam().size, 'b'));
    }
    ConsoleFrontEnd frontEnd;
    ObservingFrontEnd observer{frontEnd};
};

}  // namespace

TEST_P(ConsoleCancelTest, ACancelCleansUpAsTheDialogsCancelDoes)
{
    std::thread user = CancelMidway(frontEnd, observer);
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    user.join();
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_EQ(ReadFileBytes(In("file0")).size(), GetParam().size);

    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    user = CancelMidway(frontEnd, observer);
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

namespace {

// A console front end that keeps what it would print as errors.
class QuietConsole : public ConsoleFrontEnd {
public:
    void ShowError(const std::string& text, NameEncoding) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

class ConsoleDeleteStepTest : public ::testing::Test, public VaultFixture {
protected:
    ConsoleDeleteStepTest() : VaultFixture("Many")
    {
        for (int i = 0; i < 3000; ++i)
            WriteFileBytes(In("file" + std::to_string(i)), "small");
    }
    QuietConsole frontEnd;
    ObservingFrontEnd observer{frontEnd};
};

}  // namespace

// Once the record says locked, the folder's files are deleted to the end whatever the user
// presses: a cancel there would leave files unencrypted beside a locked vault.
TEST_F(ConsoleDeleteStepTest, CtrlCWhileTheFolderIsDeletedSaysWhyAndTheLockEnds)
{
    std::thread user([this] {
        for (int i = 0; i < 60000; ++i) {
            uint64_t done = 0, total = 0;
            std::string title;
            if (observer.RunningProgress(&done, &total, &title) && title == "Delete files" &&
                done > 10) {
                frontEnd.RequestCancel();
                frontEnd.RequestCancel();  // said once only
                return;
            }
            Sleep(1);
        }
    });
    EXPECT_TRUE(vault.Lock(root.Path(), "pw"));
    user.join();
    ASSERT_EQ(frontEnd.shown.size(), 1u);
    EXPECT_EQ(frontEnd.shown[0],
              "The vault \"Many\" is locked already: all of its files are in its container. They "
              "are being deleted from its folder now, and that goes on to the end, so that no "
              "file stays there unencrypted.");
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    VaultRecord saved;
    ASSERT_TRUE(store.Load(vault.id, saved));
    EXPECT_EQ(saved.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(Folder()));
    EXPECT_TRUE(Exists(Container()));
}
