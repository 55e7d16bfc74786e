// What start-up recovery does with each situation that a lock or unlock cut short can leave, as
// the README's table lists them: after it the record and the disk agree, no leftover remains,
// the user is told only where they must know, and unlocking gives back every file.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine/files/directory_tree.h"
#include "engine/files/win_file.h"
#include "engine/jobs/restore_journal.h"
#include "engine/vault/vault_claim.h"
#include "engine/vault/vault_protect.h"
#include "engine/vault/vault_recovery.h"
#include "recording_front_end.h"
#include "vault_fixture.h"
#include "wide_tree.h"

namespace {

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    return bytes;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The vault's files: one of several content chunks, one read-only.
const std::map<std::string, std::string> kFiles = {
    {"a.txt", "alpha"}, {"sub\\b.bin", Pattern(70000)}, {"sub\\c.txt", "gamma"}};

class RecoveryTest : public ::testing::Test, public VaultFixture {
public:
    RecoveryTest() : VaultFixture("Papers")
    {
        WriteVaultFiles();
        original = Snapshot();
        EXPECT_TRUE(store.Save(vault));
    }

    void WriteVaultFiles()
    {
        CreateDirectoryA(Folder().c_str(), nullptr);
        CreateDirectoryA(In("sub").c_str(), nullptr);
        for (const auto& file : kFiles)
            WriteFileBytes(In(file.first), file.second);
        SetFileAttributesA(In("sub\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    }

    void LockVault() { ASSERT_TRUE(vault.Lock(root.Path(), "pw")); }
    // The record as a start finds it.
    void SaveFlags(uint32_t flags)
    {
        vault.flags = flags;
        ASSERT_TRUE(store.Save(vault));
    }
    uint32_t SavedFlags() const
    {
        VaultRecord saved;
        EXPECT_TRUE(store.Load(vault.id, saved));
        return saved.flags;
    }
    void DeleteContainer()
    {
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(Container().c_str());
    }
    std::vector<std::string> Recover() { return RecoverVaults(store, root.Path()); }

    WideTree Snapshot() const { return SnapshotTree(Prefixed(Folder())); }
    // The vault's own files with `changes` (relative name -> contents) made or added.
    WideTree OriginalWith(const std::map<std::string, std::string>& changes) const
    {
        WideTree tree = original;
        for (const auto& file : changes)
            tree[Wide(file.first)] = {0, file.second};
        return tree;
    }
    static WideTree TreeOf(const std::map<std::string, std::string>& files)
    {
        WideTree tree;
        for (const auto& file : files)
            tree[Wide(file.first)] = {0, file.second};
        return tree;
    }
    // The files as the user gets them: the vault unlocked through the program's own command.
    WideTree UnlockedFiles()
    {
        VaultRecord saved;
        EXPECT_TRUE(store.Load(vault.id, saved));
        if (saved.IsLocked()) {
            EXPECT_TRUE(saved.Unlock(root.Path(), "pw"));
        }
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
        return Snapshot();
    }
    void ExpectNoLeftovers() const
    {
        EXPECT_FALSE(Exists(vault.folder.PartialContainerPath(root.Path())));
        EXPECT_FALSE(Exists(RestoreJournal::PathFor(Container())));
        EXPECT_FALSE(Exists(Container() + ".replaced"));
        EXPECT_FALSE(Exists(ConvertedContainerPath(vault, root.Path())));
    }

    RecordingFrontEnd frontEnd;
    WideTree original;
};

// One situation: how it is made, and what recovery leaves.
struct Row {
    const char* name;
    std::function<void(RecoveryTest&)> make;
    bool locked;
    const char* note;  // part of what the user is told; null: recovery is silent
    std::map<std::string, std::string> changes;  // in the files unlocked afterwards
    std::function<void(RecoveryTest&)> check;    // what the folder holds right after recovery
    bool strong = false;  // the record says strong afterwards
};

// An unlock cut short: the journal as the unlock leaves it, with the files it had restored.
void UnlockCutShort(RecoveryTest& t, bool folderIsNew)
{
    t.LockVault();
    CreateDirectoryA(t.Folder().c_str(), nullptr);
    if (!folderIsNew) {
        WriteFileBytes(t.In("a.txt"), "the user's a");
        WriteFileBytes(t.In("mine.txt"), "mine");
    }
    RestoreJournal journal;
    ASSERT_TRUE(journal.Begin(t.Folder(), t.Container(), folderIsNew));
    if (!folderIsNew) {
        ASSERT_TRUE(journal.Prepare(t.In("a.txt"), false));
    }
    WriteFileBytes(t.In("a.txt"), "alpha");
    if (!folderIsNew) {
        ASSERT_TRUE(journal.Prepare(t.In("sub\\b.bin"), false));
    }
    CreateDirectoryA(t.In("sub").c_str(), nullptr);
    WriteFileBytes(t.In("sub\\b.bin"), Pattern(1000));  // cut short
}

// The same unlock finished, but not its clean-up.
void UnlockNotCleanedUp(RecoveryTest& t, bool containerGone, uint32_t flags)
{
    t.LockVault();
    CreateDirectoryA(t.Folder().c_str(), nullptr);
    WriteFileBytes(t.In("a.txt"), "the user's a");
    RestoreJournal journal;
    ASSERT_TRUE(journal.Begin(t.Folder(), t.Container(), false));
    ASSERT_TRUE(journal.Prepare(t.In("a.txt"), false));
    t.WriteVaultFiles();
    if (containerGone)
        t.DeleteContainer();
    t.SaveFlags(flags);
}

// A locked classic vault turned into a strong one (password "pw" both ways), cut short with the
// copy beside the classic container: written in part, or complete, and then the record saved as
// strong or not yet.
void ConversionCutShort(RecoveryTest& t, bool complete, bool recorded)
{
    t.LockVault();
    VaultRecord classic = t.vault;
    std::string classicBytes = ReadFileBytes(t.Container());
    ASSERT_TRUE(t.vault.Protect(t.root.Path(), "pw", "pw"));
    std::string strongBytes = ReadFileBytes(t.Container());
    WriteFileBytes(ConvertedContainerPath(t.vault, t.root.Path()),
                   complete ? strongBytes : strongBytes.substr(0, 70000));
    SetFileAttributesA(t.Container().c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFileBytes(t.Container(), classicBytes);
    if (!recorded) {
        t.vault = classic;
        ASSERT_TRUE(t.store.Save(t.vault));
    }
}

// A lock whose container is complete, with some of the folder still there.
void LockCutShortWhileDeleting(RecoveryTest& t, uint32_t flags, const char* extra)
{
    t.LockVault();
    CreateDirectoryA(t.Folder().c_str(), nullptr);
    CreateDirectoryA(t.In("sub").c_str(), nullptr);
    WriteFileBytes(t.In("sub\\c.txt"), "gamma");
    SetFileAttributesA(t.In("sub\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    if (extra)
        WriteFileBytes(t.In(extra), "not in the container");
    t.SaveFlags(flags);
}

const Row kRows[] = {
    {"AnUnlockedVault", [](RecoveryTest&) {}, false, nullptr, {}, nullptr},
    {"ALockedVault", [](RecoveryTest& t) { t.LockVault(); }, true, nullptr, {}, nullptr},
    {"ALockCutShortWhileWritingItsContainer",
     [](RecoveryTest& t) {
         WriteFileBytes(t.vault.folder.PartialContainerPath(t.root.Path()), "half a container");
     },
     false, nullptr, {}, nullptr},
    {"ALockCutShortBeforeItsRecordWasSaved",
     [](RecoveryTest& t) {
         t.LockVault();
         t.WriteVaultFiles();
         WriteFileBytes(t.In("a.txt"), "changed while it was locked");
         t.SaveFlags(VAULT_UNLOCKED);
     },
     false, nullptr, {{"a.txt", "changed while it was locked"}}, nullptr},
    {"ALockCutShortWhileDeletingTheFolder",
     [](RecoveryTest& t) { LockCutShortWhileDeleting(t, VAULT_LOCKED, nullptr); }, true, nullptr,
     {}, [](RecoveryTest& t) { EXPECT_FALSE(Exists(t.Folder())); }},
    {"ALockCutShortWhileDeletingAFolderThatGotANewFile",
     [](RecoveryTest& t) { LockCutShortWhileDeleting(t, VAULT_LOCKED, "new.txt"); }, true,
     "is locked, but not everything had been deleted from its folder", {{"new.txt",
                                                                          "not in the container"}},
     [](RecoveryTest& t) {
         EXPECT_EQ(t.Snapshot(), RecoveryTest::TreeOf({{"new.txt", "not in the container"}}));
     }},
    {"ALockThatDeletedBeforeSavingItsRecord",
     [](RecoveryTest& t) { LockCutShortWhileDeleting(t, VAULT_UNLOCKED, "new.txt"); }, true,
     "was being locked when the program ended, and only its container still holds some of its "
     "files. It is locked now",
     {{"new.txt", "not in the container"}},
     [](RecoveryTest& t) {
         EXPECT_EQ(t.Snapshot(), RecoveryTest::TreeOf({{"new.txt", "not in the container"}}));
     }},
    {"ALockDoneButItsRecordNotSaved",
     [](RecoveryTest& t) {
         t.LockVault();
         t.SaveFlags(VAULT_UNLOCKED);
     },
     true, nullptr, {}, nullptr},
    {"AFolderOfOtherFilesBesideALockedVault",
     [](RecoveryTest& t) {
         t.LockVault();
         CreateDirectoryA(t.Folder().c_str(), nullptr);
         WriteFileBytes(t.In("other.txt"), "the user's");
     },
     true, nullptr, {{"other.txt", "the user's"}},
     [](RecoveryTest& t) {
         EXPECT_EQ(t.Snapshot(), RecoveryTest::TreeOf({{"other.txt", "the user's"}}));
     }},
    {"AnUnlockCutShortIntoANewFolder", [](RecoveryTest& t) { UnlockCutShort(t, true); }, true,
     nullptr, {}, [](RecoveryTest& t) { EXPECT_FALSE(Exists(t.Folder())); }},
    {"AnUnlockCutShortIntoAFolderThatWasThere",
     [](RecoveryTest& t) { UnlockCutShort(t, false); }, true, nullptr, {{"mine.txt", "mine"}},
     [](RecoveryTest& t) {
         EXPECT_EQ(t.Snapshot(),
                   RecoveryTest::TreeOf({{"a.txt", "the user's a"}, {"mine.txt", "mine"}}));
     }},
    {"AnUnlockDoneButNotCleanedUp",
     [](RecoveryTest& t) { UnlockNotCleanedUp(t, false, VAULT_UNLOCKED); }, false, nullptr, {},
     nullptr},
    {"AnUnlockWhoseContainerWentBeforeItsRecordWasSaved",
     [](RecoveryTest& t) { UnlockNotCleanedUp(t, true, VAULT_LOCKED); }, false, nullptr, {},
     nullptr},
    {"AnUnlockDoneButItsRecordNotSaved",
     [](RecoveryTest& t) { t.SaveFlags(VAULT_LOCKED); }, false, nullptr, {}, nullptr},
    {"AConversionCutShortWhileWritingItsCopy",
     [](RecoveryTest& t) { ConversionCutShort(t, false, false); }, true, nullptr, {}, nullptr},
    {"AConversionCutShortBeforeItsRecordWasSaved",
     [](RecoveryTest& t) { ConversionCutShort(t, true, false); }, true, nullptr, {}, nullptr},
    {"AConversionCutShortAfterItsRecordWasSaved",
     [](RecoveryTest& t) { ConversionCutShort(t, true, true); }, true, nullptr, {},
     [](RecoveryTest& t) {
         EXPECT_EQ(ReadFileBytes(t.Container()).compare(0, 8, "OVSTRONG"), 0);
     },
     true},
};

class RecoveryRowTest : public RecoveryTest, public ::testing::WithParamInterface<Row> {};

}  // namespace

TEST_P(RecoveryRowTest, LeavesOneCompleteCopyOfEveryFile)
{
    const Row& row = GetParam();
    row.make(*this);
    ASSERT_FALSE(HasFatalFailure());
    std::vector<std::string> notes = Recover();
    if (row.note) {
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find("The vault \"Papers\" "), std::string::npos) << notes[0];
        EXPECT_NE(notes[0].find(row.note), std::string::npos) << notes[0];
        EXPECT_NE(notes[0].find(Folder() + ","), std::string::npos) << "names the folder";
    } else {
        EXPECT_TRUE(notes.empty()) << notes[0];
    }
    EXPECT_EQ(SavedFlags(), (row.locked ? VAULT_LOCKED : VAULT_UNLOCKED) |
                                (row.strong ? uint32_t(VAULT_STRONG) : 0u));
    EXPECT_EQ(Exists(Container()), row.locked);
    // A locked vault keeps a folder only for files that are not in its container.
    EXPECT_EQ(IsDirectory(Folder()), !row.locked || !row.changes.empty());
    ExpectNoLeftovers();
    if (row.check)
        row.check(*this);
    EXPECT_TRUE(Recover().empty()) << "the next start finds nothing to do";
    EXPECT_EQ(UnlockedFiles(), OriginalWith(row.changes));
}

INSTANTIATE_TEST_SUITE_P(Situations, RecoveryRowTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

// The one row that no program of ours leaves: a partial container whose folder has gone since.
// It may be all that is left of some files: it is kept under a name that no command deletes, and
// the user hears where at every start. The next lock of the vault (without its folder, so of
// nothing), its unlock and its removal leave it as it is.
TEST_F(RecoveryTest, AnUnfinishedContainerWithoutItsFolderIsKeptWhereTheUserIsTold)
{
    std::string partial = vault.folder.PartialContainerPath(root.Path());
    std::string kept = Container() + ".unfinished";
    RemoveTree(Folder());
    WriteFileBytes(partial, "the only copy");
    auto expectTold = [&](const std::vector<std::string>& notes) {
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0], "The vault \"Papers\" has an unfinished container, " + kept +
                                ", from a lock that was cut short, and its folder was gone. The "
                                "container is kept there and the program never deletes it: it "
                                "may hold the only copy of some of the vault's files. Delete it "
                                "yourself once you no longer need it.");
    };
    for (int start = 0; start < 2; ++start) {
        expectTold(Recover());
        EXPECT_FALSE(Exists(partial));
        EXPECT_EQ(ReadFileBytes(kept), "the only copy");
    }
    LockVault();
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
    expectTold(Recover());
    store.Remove(vault, root.Path());
    EXPECT_EQ(ReadFileBytes(kept), "the only copy");
}

// A lock that finds a partial container without the folder (a lock cut short since the last
// start) keeps it as recovery would, beside one kept before, and says where before it goes on.
TEST_F(RecoveryTest, ALockKeepsAPartialContainerWhoseFolderHasGone)
{
    std::string partial = vault.folder.PartialContainerPath(root.Path());
    RemoveTree(Folder());
    WriteFileBytes(Container() + ".unfinished", "kept at an earlier start");
    WriteFileBytes(partial, "the only copy");
    LockVault();
    std::vector<std::string> shown = frontEnd.TakeErrors();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], KeptContainerText("Papers", Container() + ".unfinished 2"));
    EXPECT_NE(shown[0].find(Container() + ".unfinished 2, "), std::string::npos) << shown[0];
    EXPECT_FALSE(Exists(partial));
    EXPECT_EQ(ReadFileBytes(Container() + ".unfinished 2"), "the only copy");
    EXPECT_EQ(ReadFileBytes(Container() + ".unfinished"), "kept at an earlier start");
    std::vector<std::string> notes = Recover();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], KeptContainerText("Papers", Container() + ".unfinished") + " " +
                            KeptContainerText("Papers", Container() + ".unfinished 2"))
        << "both are named at every start";
}

namespace {

// A vault named like a file kept beside Papers's container, as a program before the name rule
// refused such names could save it, and what Papers's last command left beside its container.
struct NamedLikeAWorkingFile {
    const char* name;
    const char* suffix;  // after the container's name
    std::function<void(RecoveryTest&)> make;
};

const NamedLikeAWorkingFile kNamedLike[] = {
    {"APartialContainer", ".partial", [](RecoveryTest& t) { t.LockVault(); }},
    {"AJournal", ".unlocking", [](RecoveryTest& t) { t.LockVault(); }},
    // The worst case: the folder of files an unlock set aside, taken over by a new vault.
    {"TheReplacedFilesOfAnUnlockToUndo", ".replaced",
     [](RecoveryTest& t) { UnlockCutShort(t, false); }},
    {"TheReplacedFilesOfAnUnlockToFinish", ".replaced",
     [](RecoveryTest& t) { UnlockNotCleanedUp(t, false, VAULT_UNLOCKED); }},
    {"ANewPasswordsCopy", ".new", [](RecoveryTest& t) { t.LockVault(); }},
    {"AKeptContainer", ".unfinished", [](RecoveryTest& t) { t.LockVault(); }},
};

class NamedLikeAWorkingFileTest : public RecoveryTest,
                                  public ::testing::WithParamInterface<NamedLikeAWorkingFile> {};

}  // namespace

// Such a vault's folder is its own: neither recovery nor Remove of the other vault deletes or
// empties it, and the vault still locks and unlocks.
TEST_P(NamedLikeAWorkingFileTest, KeepsItsFolder)
{
    GetParam().make(*this);
    ASSERT_FALSE(HasFatalFailure());
    VaultRecord older = OlderVaultNamed(vault.ValueName() + GetParam().suffix);
    std::string folder = older.folder.FolderPath(root.Path());
    const WideTree before = SnapshotTree(Prefixed(folder));
    ASSERT_FALSE(before.empty());
    for (const std::string& note : Recover())
        EXPECT_EQ(note.find("The vault \"" + older.Name() + "\""), std::string::npos) << note;
    EXPECT_EQ(SnapshotTree(Prefixed(folder)), before);

    VaultRecord papers;
    ASSERT_TRUE(store.Load(vault.id, papers));
    store.Remove(papers, root.Path());
    EXPECT_EQ(SnapshotTree(Prefixed(folder)), before);
    EXPECT_TRUE(Recover().empty());

    ASSERT_TRUE(older.Lock(root.Path(), "pw"));
    EXPECT_FALSE(Exists(folder));
    ASSERT_TRUE(older.Unlock(root.Path(), "pw"));
    EXPECT_EQ(SnapshotTree(Prefixed(folder)), before);
    frontEnd.TakeErrors();
}

INSTANTIATE_TEST_SUITE_P(Kinds, NamedLikeAWorkingFileTest, ::testing::ValuesIn(kNamedLike),
                         [](const ::testing::TestParamInfo<NamedLikeAWorkingFile>& info) {
                             return std::string(info.param.name);
                         });

// A file in the container's place that is not a container this program can read may be
// anything of the user's: it stays, and so does the folder.
TEST_F(RecoveryTest, AContainerThatCannotBeReadStaysBesideTheFolder)
{
    WriteFileBytes(Container(), "not a container at all!");
    EXPECT_TRUE(Recover().empty());
    EXPECT_EQ(ReadFileBytes(Container()), "not a container at all!");
    EXPECT_EQ(Snapshot(), original);
    EXPECT_EQ(SavedFlags(), VAULT_UNLOCKED);
}

TEST_F(RecoveryTest, AVaultAtWorkElsewhereIsLeftAlone)
{
    LockVault();
    SaveFlags(VAULT_UNLOCKED);
    {
        VaultClaim elsewhere;
        ASSERT_TRUE(elsewhere.ClaimVault(root.Path(), vault.id));
        EXPECT_TRUE(Recover().empty());
        EXPECT_EQ(SavedFlags(), VAULT_UNLOCKED);
    }
    EXPECT_TRUE(Recover().empty());
    EXPECT_EQ(SavedFlags(), VAULT_LOCKED);
}

// Recovery itself may be cut short, or fail at any step: whatever it could not finish, the next
// start does, and the user's files come back as they were.
TEST_F(RecoveryTest, RecoveryThatFailsAtAnyStepIsFinishedByTheNextStart)
{
    auto reset = [this] {
        RemoveTree(Folder());
        RemoveTree(Container() + ".replaced");
        RemoveTree(RestoreJournal::PathFor(Container()));
        RemoveTree(Container());
        WriteVaultFiles();
        SaveFlags(VAULT_UNLOCKED);
        UnlockCutShort(*this, false);
    };
    reset();
    file_faults::Disarm();
    ASSERT_TRUE(Recover().empty());
    uint32_t steps = file_faults::Count();
    ASSERT_GT(steps, 3u);
    for (uint32_t at = 1; at <= steps; ++at) {
        SCOPED_TRACE("recovery failing at step " + std::to_string(at));
        reset();
        file_faults::Arm(at, file_faults::FAIL, ERROR_SHARING_VIOLATION);
        std::vector<std::string> notes = Recover();
        file_faults::Disarm();
        EXPECT_LE(notes.size(), 1u);
        if (!notes.empty()) {
            EXPECT_NE(notes[0].find("could not be undone completely"), std::string::npos)
                << notes[0];
        }
        EXPECT_TRUE(Recover().empty());
        EXPECT_EQ(Snapshot(), TreeOf({{"a.txt", "the user's a"}, {"mine.txt", "mine"}}));
        EXPECT_EQ(SavedFlags(), VAULT_LOCKED);
        ExpectNoLeftovers();
    }
    EXPECT_EQ(UnlockedFiles(), OriginalWith({{"mine.txt", "mine"}}));
}

// A lock or an unlock cleans up first what the last one of the same vault could not: the
// journal of a finished unlock with its container, a partial container, the journal of an unlock
// that could not be undone. None of them holds it up or says anything.
TEST_F(RecoveryTest, ALockOrUnlockFirstCleansUpAfterTheLastOne)
{
    LockVault();
    std::string container = ReadFileBytes(Container());
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    WriteFileBytes(Container(), container);
    {
        RestoreJournal finished;
        ASSERT_TRUE(finished.Begin(Folder(), Container(), false));
    }
    WriteFileBytes(vault.folder.PartialContainerPath(root.Path()), "stale");
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    ExpectNoLeftovers();
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(Snapshot(), original);

    UnlockCutShort(*this, false);
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    ExpectNoLeftovers();
    EXPECT_EQ(Snapshot(), OriginalWith({{"mine.txt", "mine"}}));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
}

// Without its record saved, neither a lock nor an unlock may delete anything: the one that
// cannot save it is undone and says why.
TEST_F(RecoveryTest, ALockWhoseRecordCannotBeSavedChangesNothing)
{
    DeleteKeyTree(appKey.GetHandle(), "Vaults");
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    std::vector<std::string> shown = frontEnd.TakeErrors();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "The vault \"Papers\" has not been locked:\r\nIts record could not be "
                        "saved in the registry (error 1018).\r\nNothing has been changed.");
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_EQ(Snapshot(), original);
    ExpectNoLeftovers();
}

TEST_F(RecoveryTest, AnUnlockWhoseRecordCannotBeSavedChangesNothing)
{
    LockVault();
    std::string container = ReadFileBytes(Container());
    DeleteKeyTree(appKey.GetHandle(), "Vaults");
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    std::vector<std::string> shown = frontEnd.TakeErrors();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "The vault \"Papers\" has not been unlocked:\r\nIts record could not be "
                        "saved in the registry (error 1018).\r\nThe vault has been left locked.");
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_EQ(ReadFileBytes(Container()), container);
    EXPECT_FALSE(Exists(Folder()));
    ExpectNoLeftovers();
}
