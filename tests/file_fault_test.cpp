// A small lock and a small unlock with each of their file operations failing in turn (the disk
// full, access denied, the file in use): whichever fails, nothing is lost, the vault is in one
// of its two states with the record saying which, the user gets one message that gives the
// reason, and the next start finds nothing to put right. And the registry failing as a lock, an
// unlock or a new password saves the record: whatever the disk kept, nothing is lost.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/files/directory_tree.h"
#include "engine/files/win_file.h"
#include "engine/jobs/restore_journal.h"
#include "engine/jobs/vault_job.h"
#include "engine/vault/vault_recovery.h"
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

namespace {

// How the registry fails while a record is saved. A failed write changes nothing; after a
// failed flush the record is in the registry and may or may not reach the disk, so the record as
// it was is written back; when that fails too, the disk may hold either record.
struct RegistryFault {
    const char* name;
    uint32_t failing;  // the registry operations that fail: write, flush, write back, its flush
    bool unsure;       // the disk may hold either record afterwards
};

const RegistryFault kRegistryFaults[] = {
    {"TheWrite", 0x1, false},
    {"TheFlush", 0x2, false},
    {"TheFlushAndTheWriteBack", 0x6, true},
    {"TheFlushAndTheWriteBacksFlush", 0xA, true},
};

// A step that saves the record before it deletes anything.
struct RecordStep {
    const char* name;
    bool strong;
    bool startsLocked;
    bool intoUsersFolder;  // the user has a folder of the vault's name, with a file of its names
    uint32_t reaches;      // the state it saves
    const char* newPassword;  // the password it saves, or null
};

const RecordStep kRecordSteps[] = {
    {"ALock", false, false, false, VAULT_LOCKED, nullptr},
    {"AnUnlockIntoTheUsersFolder", false, true, true, VAULT_UNLOCKED, nullptr},
    {"AStrongUnlockIntoTheUsersFolder", true, true, true, VAULT_UNLOCKED, nullptr},
    {"ANewPasswordForALockedStrongVault", true, true, false, VAULT_LOCKED, "new"},
};

class RegistryFaultTest
    : public ::testing::TestWithParam<std::tuple<RecordStep, RegistryFault>> {
protected:
    RegistryFaultTest() : appKey("App", key.Handle())
    {
        store.Open(appKey);
        EXPECT_TRUE(original.Create(store, root.Path(), "Records", "pw", Step().strong));
    }

    const RecordStep& Step() const { return std::get<0>(GetParam()); }
    const RegistryFault& Fault() const { return std::get<1>(GetParam()); }
    std::string Folder() const { return vault.folder.FolderPath(root.Path()); }
    std::string Container() const { return vault.folder.ContainerPath(root.Path()); }
    std::string In(const std::string& relative) const { return Folder() + "\\" + relative; }
    WideTree Snapshot() const { return SnapshotTree(Prefixed(Folder())); }
    VaultRecord Stored() const
    {
        VaultRecord saved;
        EXPECT_TRUE(store.Load(vault.id, saved));
        return saved;
    }

    // A new vault with its files, brought to where the step starts, its record saved.
    void Prepare()
    {
        vault = original;
        RemoveTree(Folder());
        RemoveTree(Container() + ".replaced");
        for (const char* suffix : {"", ".new", ".unlocking"})
            RemoveTree(Container() + suffix);
        ASSERT_TRUE(store.Save(vault));
        CreateDirectoryA(Folder().c_str(), nullptr);
        CreateDirectoryA(In("sub").c_str(), nullptr);
        WriteFileBytes(In("a.txt"), "the vault's a");
        WriteFileBytes(In("sub\\b.txt"), "the vault's b");
        unlocked = Snapshot();
        if (Step().startsLocked) {
            ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
        }
        if (Step().intoUsersFolder) {
            CreateDirectoryA(Folder().c_str(), nullptr);
            WriteFileBytes(In("a.txt"), "the user's a");
            WriteFileBytes(In("mine.txt"), "the user's own");
            unlocked[L"mine.txt"] = {0, "the user's own"};
        }
        ASSERT_TRUE(frontEnd.TakeErrors().empty());
    }
    bool Run()
    {
        registry_faults::Arm(Fault().failing);
        bool done = Step().newPassword
                        ? vault.ChangePassword(root.Path(), "pw", Step().newPassword)
                        : Step().reaches == VAULT_LOCKED ? vault.Lock(root.Path(), "pw")
                                                         : vault.Unlock(root.Path(), "pw");
        registry_faults::Disarm();
        return done;
    }
    // The record the step saves when nothing fails.
    VaultRecord Reached(VaultRecord record) const
    {
        record.flags = (record.flags & ~uint32_t(VAULT_LOCKED | VAULT_UNLOCKED)) | Step().reaches;
        if (Step().newPassword) {
            EXPECT_TRUE(record.SetPassword(Step().newPassword));
        }
        return record;
    }
    // With the password its record accepts, the vault gives back every file, and nothing of
    // the steps' is left beside it.
    void ExpectEveryFileBack()
    {
        VaultRecord saved = Stored();
        bool kept = std::memcmp(saved.passwordDigest, original.passwordDigest, 16) == 0;
        const char* password = kept ? "pw" : Step().newPassword;
        ASSERT_TRUE(password);
        if (saved.IsLocked()) {
            ASSERT_TRUE(saved.Unlock(root.Path(), password));
        }
        EXPECT_EQ(Snapshot(), unlocked);
        for (const char* suffix : {"", ".new", ".unlocking", ".replaced", ".partial"})
            EXPECT_FALSE(Exists(Container() + suffix)) << suffix;
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
    }

    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
    VaultRecord original, vault;
    RecordingFrontEnd frontEnd;
    WideTree unlocked;  // what the vault's folder holds once it is unlocked
};

}  // namespace

// The step fails and says why. When the registry surely holds the record as it was, so does the
// disk, and the vault is as it was. Otherwise everything that either record needs is kept, and
// the next start, whichever of the two records the disk kept, puts the vault right.
TEST_P(RegistryFaultTest, AFailingSaveLosesNothingWhateverTheDiskKept)
{
    for (int kept = 0; kept < (Fault().unsure ? 2 : 1); ++kept) {
        SCOPED_TRACE(kept ? "the disk kept the new record" : "the disk kept the record as it was");
        Prepare();
        ASSERT_FALSE(HasFatalFailure());
        const std::vector<std::string> told = RecoverVaults(store, root.Path());
        const VaultRecord before = Stored();
        const WideTree folder = Snapshot();
        const std::string container = Exists(Container()) ? ReadFileBytes(Container()) : "";
        EXPECT_FALSE(Run());
        std::vector<std::string> shown = frontEnd.TakeErrors();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_NE(shown[0].find("could not be saved in the registry (error 1016)."),
                  std::string::npos) << shown[0];
        EXPECT_EQ(shown[0].find(" may not have been ") != std::string::npos, Fault().unsure)
            << shown[0];
        if (!Fault().unsure) {
            EXPECT_EQ(std::memcmp(&vault, &before, VAULT_RECORD_SIZE), 0);
            VaultRecord saved = Stored();
            EXPECT_EQ(std::memcmp(&saved, &before, VAULT_RECORD_SIZE), 0);
            EXPECT_EQ(Snapshot(), folder);
            EXPECT_EQ(Exists(Container()) ? ReadFileBytes(Container()) : "", container);
            EXPECT_EQ(RecoverVaults(store, root.Path()), told) << "a start finds it as before";
        } else {
            ASSERT_TRUE(store.Save(kept ? Reached(before) : before));
            RecoverVaults(store, root.Path());
        }
        ExpectEveryFileBack();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RegistryFaultTest,
    ::testing::Combine(::testing::ValuesIn(kRecordSteps), ::testing::ValuesIn(kRegistryFaults)),
    [](const ::testing::TestParamInfo<std::tuple<RecordStep, RegistryFault>>& info) {
        return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });
