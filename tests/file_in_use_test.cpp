// A file that another program holds open so that a vault job can neither read it whole nor
// replace it stops the job before anything changes, and the message names the file.

#include <gtest/gtest.h>

#include "recording_front_end.h"
#include "vault_fixture.h"
#include "wide_tree.h"

namespace {

// How another program may hold a file open.
struct Holder {
    const char* what;
    DWORD access;
    DWORD share;
};

class FileInUseTest : public ::testing::Test, public VaultFixture {
protected:
    FileInUseTest() : VaultFixture("Busy") {}

    void Fill(const std::string& held)
    {
        RemoveTree(Folder());
        CreateDirectoryA(Folder().c_str(), nullptr);
        CreateDirectoryA(In("sub").c_str(), nullptr);
        WriteFileBytes(In("a.txt"), "a");
        WriteFileBytes(In("sub\\held.txt"), held);
        WriteFileBytes(In("z.txt"), "z");
    }

    HANDLE Hold(const Holder& holder)
    {
        return CreateFileA(In("sub\\held.txt").c_str(), holder.access, holder.share, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }

    std::vector<std::string> InUse() const
    {
        return {"A sharing violation occurred while accessing " + In("sub\\held.txt") + "."};
    }

    RecordingFrontEnd frontEnd;
};

}  // namespace

// The lock reads each file sharing it only with readers, so that it does not change while it is
// read: a writer, or a program that shares it with no one, keeps it from being read.
TEST_F(FileInUseTest, ALockStopsAtAFileInUseAndNamesIt)
{
    const Holder holders[] = {
        {"open for reading, shared with no one", GENERIC_READ, 0},
        {"open for writing, shared with readers", GENERIC_WRITE, FILE_SHARE_READ},
        {"open for writing, shared with readers and writers", GENERIC_READ | GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE},
    };
    for (const Holder& holder : holders) {
        Fill("the user's");
        const WideTree before = SnapshotTree(Prefixed(Folder()));
        HANDLE held = Hold(holder);
        ASSERT_NE(held, INVALID_HANDLE_VALUE) << holder.what;
        EXPECT_FALSE(vault.Lock(root.Path(), "pw")) << holder.what;
        CloseHandle(held);
        EXPECT_EQ(frontEnd.TakeErrors(), InUse()) << holder.what;
        EXPECT_EQ(vault.flags, uint32_t(VAULT_UNLOCKED)) << holder.what;
        EXPECT_FALSE(Exists(Container())) << holder.what;
        EXPECT_FALSE(Exists(Container() + ".partial")) << holder.what;
        EXPECT_TRUE(SnapshotTree(Prefixed(Folder())) == before) << holder.what;
    }
}

// A file of the folder that an entry would replace is moved aside first, which a program that
// holds it open without sharing its deletion prevents.
TEST_F(FileInUseTest, AnUnlockStopsAtATargetInUseAndNamesIt)
{
    Fill("the vault's");
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    const std::string container = ReadFileBytes(Container());
    const Holder holders[] = {
        {"open for reading, shared with no one", GENERIC_READ, 0},
        {"open for writing, shared with readers and writers", GENERIC_READ | GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE},
    };
    for (const Holder& holder : holders) {
        RemoveTree(Folder());
        CreateDirectoryA(Folder().c_str(), nullptr);
        CreateDirectoryA(In("sub").c_str(), nullptr);
        WriteFileBytes(In("sub\\held.txt"), "the user's");
        const WideTree before = SnapshotTree(Prefixed(Folder()));
        HANDLE held = Hold(holder);
        ASSERT_NE(held, INVALID_HANDLE_VALUE) << holder.what;
        EXPECT_FALSE(vault.Unlock(root.Path(), "pw")) << holder.what;
        CloseHandle(held);
        EXPECT_EQ(frontEnd.TakeErrors(), InUse()) << holder.what;
        EXPECT_EQ(vault.flags, uint32_t(VAULT_LOCKED)) << holder.what;
        EXPECT_EQ(ReadFileBytes(Container()), container) << holder.what;
        EXPECT_TRUE(SnapshotTree(Prefixed(Folder())) == before) << holder.what;
        EXPECT_FALSE(Exists(Container() + ".replaced")) << holder.what;
    }
    EXPECT_TRUE(vault.Unlock(root.Path(), "pw")) << "once the file is closed, the unlock works";
    EXPECT_EQ(ReadFileBytes(In("sub\\held.txt")), "the vault's");
}
