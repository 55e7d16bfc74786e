// A small lock and a small unlock with each of their file operations failing in turn (the disk
// full, access denied, the file in use): whichever fails, nothing is lost, the vault is in one
// of its two states with the record saying which, the user gets one message that gives the
// reason, and the next start finds nothing to put right.

#include <gtest/gtest.h>

#include "engine/directory_tree.h"
#include "engine/restore_journal.h"
#include "engine/vault_job.h"
#include "engine/vault_recovery.h"
#include "engine/win_file.h"
#include "recording_front_end.h"
#include "vault_fixture.h"
#include "wide_tree.h"

namespace {

struct Fault {
    const char* name;
    DWORD error;
    const char* reason;  // how the user is told
};

const Fault kFaults[] = {
    {"DiskFull", ERROR_DISK_FULL, "Disk full while accessing "},
    {"AccessDenied", ERROR_ACCESS_DENIED, "Access to "},
    {"SharingViolation", ERROR_SHARING_VIOLATION, "A sharing violation occurred while accessing "},
};

class FileFaultTest : public ::testing::TestWithParam<Fault>, public VaultFixture {
protected:
    FileFaultTest() : VaultFixture("Faults")
    {
        CreateDirectoryA(In("sub").c_str(), nullptr);
        WriteFileBytes(In("a.txt"), "alpha");
        // Larger than the unlock's transfer buffer, so it is restored on a writer thread of its
        // own and its failed writes reach the job from there.
        WriteFileBytes(In("sub\\big.bin"), std::string(TRANSFER_BUFFER_SIZE + 123, 'b'));
        WriteFileBytes(In("sub\\ro.txt"), "read-only");
        SetFileAttributesA(In("sub\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        original = Snapshot();
        EXPECT_TRUE(store.Save(vault));
    }

    WideTree Snapshot() const { return SnapshotTree(Prefixed(Folder())); }
    uint32_t SavedFlags() const
    {
        VaultRecord saved;
        EXPECT_TRUE(store.Load(vault.id, saved));
        return saved.flags;
    }

    // Runs the lock or unlock with operation `at` failing; whether it reached its state.
    bool FailingAt(uint32_t at, bool lock)
    {
        file_faults::Arm(at, file_faults::FAIL, GetParam().error);
        bool reached = lock ? vault.Lock(root.Path(), "pw") : vault.Unlock(root.Path(), "pw");
        file_faults::Disarm();
        return reached;
    }
    // How many operations the whole lock or unlock takes; it is done.
    uint32_t StepsOf(bool lock)
    {
        file_faults::Disarm();
        EXPECT_TRUE(lock ? vault.Lock(root.Path(), "pw") : vault.Unlock(root.Path(), "pw"));
        return file_faults::Count();
    }

    // A job that did not reach its state told the user why, once; one that did, said nothing.
    void ExpectToldWhyOnce(bool reached)
    {
        std::vector<std::string> shown = frontEnd.TakeErrors();
        if (reached) {
            EXPECT_TRUE(shown.empty()) << shown[0];
            return;
        }
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find(GetParam().reason + root.Path()), std::string::npos) << shown[0];
    }
    // The record says which state was reached; the next start has nothing to tell, and whatever
    // clean-up the failure cut short (a partial container, a finished unlock's container and
    // journal) is done by then.
    void ExpectConsistent(bool locked)
    {
        EXPECT_EQ(SavedFlags(), locked ? VAULT_LOCKED : VAULT_UNLOCKED);
        EXPECT_EQ(vault.flags, SavedFlags());
        std::vector<std::string> notes = RecoverVaults(store, root.Path());
        EXPECT_TRUE(notes.empty()) << notes[0];
        EXPECT_EQ(Exists(Container()), locked);
        EXPECT_FALSE(Exists(vault.folder.PartialContainerPath(root.Path())));
        EXPECT_FALSE(Exists(RestoreJournal::PathFor(Container())));
        EXPECT_FALSE(Exists(Container() + ".replaced"));
    }

    RecordingFrontEnd frontEnd;
    WideTree original;
};

}  // namespace

TEST_P(FileFaultTest, ALockFailingAtAnyStepLosesNothing)
{
    uint32_t steps = StepsOf(true);
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    ASSERT_GT(steps, 10u);
    for (uint32_t at = 1; at <= steps; ++at) {
        SCOPED_TRACE("the lock failing at step " + std::to_string(at));
        bool locked = FailingAt(at, true);
        ExpectToldWhyOnce(locked);
        ExpectConsistent(locked);
        if (locked) {
            EXPECT_FALSE(Exists(Folder()));
            ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
        }
        ASSERT_EQ(Snapshot(), original);
    }
}

// Into a new folder, and into one that holds the user's files (one of them of a name the vault
// has too): a failed unlock leaves that folder exactly as it was.
TEST_P(FileFaultTest, AnUnlockFailingAtAnyStepLosesNothing)
{
    for (bool intoUsersFolder : {false, true}) {
        SCOPED_TRACE(intoUsersFolder ? "into the user's folder" : "into a new folder");
        auto prepare = [&] {
            if (!intoUsersFolder)
                return;
            CreateDirectoryA(Folder().c_str(), nullptr);
            WriteFileBytes(In("a.txt"), "the user's a");
            WriteFileBytes(In("mine.txt"), "the user's own");
        };
        WideTree unlocked = original;
        if (intoUsersFolder)
            unlocked[L"mine.txt"] = {0, "the user's own"};

        ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
        prepare();
        WideTree before = Snapshot();
        uint32_t steps = StepsOf(false);
        ASSERT_EQ(Snapshot(), unlocked);
        for (uint32_t at = 1; at <= steps; ++at) {
            SCOPED_TRACE("the unlock failing at step " + std::to_string(at));
            RemoveTree(In("mine.txt"));
            ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
            std::string container = ReadFileBytes(Container());
            prepare();
            bool reached = FailingAt(at, false);
            ExpectToldWhyOnce(reached);
            ExpectConsistent(!reached);
            if (reached) {
                EXPECT_EQ(Snapshot(), unlocked);
            } else {
                EXPECT_EQ(ReadFileBytes(Container()), container);
                EXPECT_EQ(IsDirectory(Folder()), intoUsersFolder);
                EXPECT_EQ(Snapshot(), before);
                ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
            }
        }
        RemoveTree(In("mine.txt"));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                             return std::string(info.param.name);
                         });
