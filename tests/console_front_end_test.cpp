#include <gtest/gtest.h>

#include <thread>

#include "cli/console_front_end.h"
#include "engine/vault_store.h"
#include "scratch.h"

namespace {

// Asks for a cancel once the vault job is inside its (single, large) file.
std::thread CancelInsideTheFile(ConsoleFrontEnd& frontEnd)
{
    return std::thread([&frontEnd] {
        for (int i = 0; i < 10000; ++i) {
            uint64_t done, total;
            {
                ProgressLock hold(VaultJobProgress);
                done = VaultJobProgress.done;
                total = VaultJobProgress.total;
            }
            if (done > 1000000 && done < total / 2) {
                frontEnd.RequestCancel();
                return;
            }
            Sleep(1);
        }
    });
}

class ConsoleCancelTest : public ::testing::Test {
protected:
    ConsoleCancelTest() : appKey("App", key.Handle())
    {
        SetJobFrontEnd(&frontEnd);
        store.Open(appKey);
        EXPECT_TRUE(vault.Create(store, root.Path(), "Big", "pw"));
        std::string data(96 << 20, 'b');
        WriteFileBytes(vault.folder.FolderPath(root.Path()) + "\\large.bin", data);
    }
    ~ConsoleCancelTest() override { SetJobFrontEnd(nullptr); }

    ConsoleFrontEnd frontEnd;
    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
    VaultRecord vault;
};

}  // namespace

TEST_F(ConsoleCancelTest, ACancelInsideALargeFileCleansUpAsTheDialogsCancelDoes)
{
    std::thread user = CancelInsideTheFile(frontEnd);
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    user.join();
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(vault.folder.ContainerPath(root.Path())));
    EXPECT_EQ(ReadFileBytes(vault.folder.FolderPath(root.Path()) + "\\large.bin").size(),
              size_t(96 << 20));

    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    user = CancelInsideTheFile(frontEnd);
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    user.join();
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(vault.folder.FolderPath(root.Path())));
    EXPECT_TRUE(Exists(vault.folder.ContainerPath(root.Path())));
}
