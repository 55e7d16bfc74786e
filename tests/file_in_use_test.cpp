// A file that another program holds open so that a vault job can neither read it whole nor
// replace it stops the job before anything changes, and the message names the file.

#include <gtest/gtest.h>

#include "container_bytes.h"
#include "engine/jobs/restore_journal.h"
#include "engine/jobs/vault_job.h"
#include "engine/vault/vault_recovery.h"
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

namespace {

// A viewer that opens a restored file while the unlock runs: once the unlock's job has ended,
// the file at `path` is held open (others may read and write it, not delete it) until Release.
class ViewerFrontEnd : public RecordingFrontEnd {
public:
    bool RunJob(ProgressState& state, JobProc proc, void* job) override
    {
        bool done = RecordingFrontEnd::RunJob(state, proc, job);
        if (proc == DecryptVaultProc && held_ == INVALID_HANDLE_VALUE)
            held_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
        return done;
    }
    bool Holds() const { return held_ != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (Holds())
            CloseHandle(held_);
        held_ = INVALID_HANDLE_VALUE;
    }
    ~ViewerFrontEnd() override { Release(); }

    std::string path;

private:
    HANDLE held_ = INVALID_HANDLE_VALUE;
};

class HeldUndoTest : public ::testing::Test, public VaultFixture {
protected:
    HeldUndoTest() : VaultFixture("Viewed") {}
    ViewerFrontEnd viewer;
};

}  // namespace

// An unlock fails (its container is cut short) after a viewer has opened a file it restored, so
// its undo cannot remove that file. The user is told which file is still there, unencrypted, and
// where their own replaced file waits; the journal stays, and the next unlock or the next start
// finishes the undo: the folder is then exactly as it was before.
TEST_F(HeldUndoTest, AnUndoThatCannotRemoveARestoredFileSaysWhatIsLeft)
{
    struct Case {
        const char* what;
        bool intoUsersFolder;
        bool finishedByAStart;  // else by the next unlock
    } const cases[] = {
        {"into a new folder, finished by the next start", false, true},
        {"into a new folder, finished by the next unlock", false, false},
        {"into the user's folder, finished by the next start", true, true},
        {"into the user's folder, finished by the next unlock", true, false},
    };
    const std::string good = ContainerBuilder()
                                 .Entry("sub", 0x10, "")
                                 .Entry("sub\\viewed.txt", 0x20, "the vault's")
                                 .Entry("z.txt", 0x20, "the vault's z")
                                 .bytes;
    const std::string cut = good.substr(0, good.size() - 8);
    viewer.path = In("sub\\viewed.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(Folder());
        if (c.intoUsersFolder) {
            CreateDirectoryA(Folder().c_str(), nullptr);
            CreateDirectoryA(In("sub").c_str(), nullptr);
            WriteFileBytes(In("sub\\viewed.txt"), "the user's");
            WriteFileBytes(In("mine.txt"), "the user's own");
        }
        const WideTree before = SnapshotTree(Prefixed(Folder()));
        WriteFileBytes(Container(), cut);
        vault.flags = VAULT_LOCKED;
        ASSERT_TRUE(store.Save(vault));

        EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
        ASSERT_TRUE(viewer.Holds());
        std::string left = "The vault \"Viewed\" has been left locked, but its unlock could not "
                           "be undone completely:\r\nA sharing violation occurred while "
                           "accessing " + In("sub\\viewed.txt") + ".\r\nStill in the vault's "
                           "folder, not encrypted:\r\n" + In("sub\\viewed.txt");
        if (c.intoUsersFolder)
            left += "\r\nFiles of yours that the unlock replaced wait in " + Container() +
                    ".replaced.";
        left += "\r\nClose the program that uses it; the undo is finished when the vault is "
                "next unlocked or the program next starts.";
        std::vector<std::string> shown = viewer.TakeErrors();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0], "The container " + Container() +
                                " is damaged or incomplete. The vault has been left locked.");
        EXPECT_EQ(shown[1], left);
        EXPECT_EQ(vault.flags, uint32_t(VAULT_LOCKED));
        EXPECT_EQ(ReadFileBytes(Container()), cut);
        EXPECT_TRUE(Exists(RestoreJournal::PathFor(Container())));

        // Still held: a start or an unlock says the same, and changes nothing of the user's.
        if (c.finishedByAStart) {
            std::vector<std::string> notes = RecoverVaults(store, root.Path());
            ASSERT_EQ(notes.size(), 1u);
            EXPECT_NE(notes[0].find("could not be undone completely"), std::string::npos);
            EXPECT_NE(notes[0].find("not encrypted:\r\n" + In("sub\\viewed.txt")),
                      std::string::npos) << notes[0];
        } else {
            EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
            shown = viewer.TakeErrors();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].find("The vault \"Viewed\" has not been unlocked:\r\nAn earlier "
                                    "unlock of it could not be undone completely yet:\r\n"),
                      0u) << shown[0];
        }
        EXPECT_EQ(ReadFileBytes(Container()), cut);

        viewer.Release();
        if (c.finishedByAStart) {
            EXPECT_TRUE(RecoverVaults(store, root.Path()).empty());
            EXPECT_TRUE(SnapshotTree(Prefixed(Folder())) == before);
            EXPECT_FALSE(Exists(RestoreJournal::PathFor(Container())));
        } else {
            WriteFileBytes(Container(), good);
            viewer.path = In("nothing held");
            EXPECT_TRUE(vault.Unlock(root.Path(), "pw"));
            viewer.path = In("sub\\viewed.txt");
            EXPECT_EQ(ReadFileBytes(In("sub\\viewed.txt")), "the vault's");
            EXPECT_EQ(Exists(In("mine.txt")), c.intoUsersFolder);
        }
        EXPECT_FALSE(Exists(Container() + ".replaced"));
        EXPECT_TRUE(viewer.TakeErrors().empty());
    }
}
