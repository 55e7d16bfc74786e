// Moving the vaults root, without windows: the order in which the copies, the new root and the
// deletions reach the disk, what a failure at each step leaves, and the start-up recovery of a
// move cut short at any instant.

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "engine/files/file_list.h"
#include "engine/jobs/file_list_jobs.h"
#include "engine/vault/vault_claim.h"
#include "engine/vault/vault_store.h"
#include "recording_front_end.h"
#include "scratch.h"
#include "shell/app_locations.h"
#include "shell/root_move_recovery.h"
#include "shell/vaults_root_move.h"

namespace {

// Relative path -> contents; a path that ends in a backslash is a folder.
using Files = std::map<std::string, std::string>;

void Put(const std::string& root, const Files& files)
{
    for (const auto& file : files) {
        std::string path = root + "\\" + file.first;
        if (file.first.back() == '\\')
            CreateDirectoryA(path.c_str(), nullptr);
        else
            WriteFileBytes(path, file.second);
    }
}

void AddListed(const std::string& root, const std::string& relative, Files* files)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\" + relative + "*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*files)[relative + name + "\\"] = "";
            AddListed(root, relative + name + "\\", files);
        } else {
            (*files)[relative + name] = ReadFileBytes(root + "\\" + relative + name);
        }
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// Everything under root, as Put takes it.
Files Listed(const std::string& root)
{
    Files files;
    AddListed(root, "", &files);
    return files;
}

// A vaults root with an unlocked vault, a locked vault's container and a file of the user's.
const Files kRoot = {{"Papers\\", ""},
                     {"Papers\\letter.txt", "Dear Sir"},
                     {"Papers\\sub\\", ""},
                     {"Papers\\sub\\deep.txt", "deep down"},
                     {"0000beef.vlt", std::string(70000, 'c')},
                     {"notes.txt", "the user's own"}};

// Runs each job as RecordingFrontEnd does, noting first which job it is and what the settings
// say at that moment.
class WatchingFrontEnd : public RecordingFrontEnd {
public:
    explicit WatchingFrontEnd(const CRegistryKey& settings) : settings_(settings) {}

    bool RunJob(ProgressState& state, JobProc proc, void* job) override
    {
        std::string name = proc == CopyFilesProc     ? "copy"
                           : proc == DeleteFilesProc ? "delete"
                                                     : "another job";
        seen.push_back(name + ": root " + settings_.ReadString("VaultsRoot", "(none)") +
                       ", journal " + settings_.ReadString("VaultsRootMove", "(none)"));
        return RecordingFrontEnd::RunJob(state, proc, job);
    }

    std::vector<std::string> seen;

private:
    const CRegistryKey& settings_;
};

// A scratch settings key and store with one vault, whose record matters only for the claims.
class RootMoveTest : public ::testing::Test {
protected:
    RootMoveTest()
    {
        EXPECT_TRUE(settings.Open("App", key.Handle()));
        EXPECT_TRUE(store.Open(settings));
        EXPECT_TRUE(papers.Create(store, scratch.Path(), "Papers", "pw"));
        EXPECT_TRUE(store.Save(papers));
    }

    std::string Journal() { return settings.ReadString("VaultsRootMove", "(none)"); }
    std::string Root() { return settings.ReadString("VaultsRoot", "(none)"); }

    ScratchKey key;
    CRegistryKey settings;
    VaultStore store;
    ScratchFolder scratch;
    VaultRecord papers;
    WatchingFrontEnd frontEnd{settings};
};

// The Options page's move, from one scratch folder to another, with the root saved as the
// program saves it unless a test fails some of the saves.
class MoveTest : public RootMoveTest {
protected:
    MoveTest()
    {
        Put(oldRoot.Path(), kRoot);
        SaveVaultsRoot(settings, oldRoot.Path());
    }

    RootMoveReport Move(int failingSaves = 0)
    {
        return MoveVaultsRoot(settings, store, oldRoot.Path(), newRoot.Path(),
                              [this, failingSaves](const std::string& root) mutable {
                                  return failingSaves-- <= 0 && SaveVaultsRoot(settings, root);
                              });
    }

    // Opens a file of the old root as another program would.
    HANDLE Hold(const std::string& relative, DWORD share)
    {
        return CreateFileA((oldRoot / relative).c_str(), GENERIC_READ, share, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }

    ScratchFolder oldRoot;
    ScratchFolder newRoot;
};

}  // namespace

TEST_F(MoveTest, TheNewRootIsSavedAfterTheCopyAndBeforeTheOriginalsGo)
{
    RootMoveReport report = Move();
    EXPECT_EQ(report.result, RootMoveResult::Moved);
    EXPECT_EQ(report.text, "");
    std::string journal = oldRoot.Path() + "|" + newRoot.Path();
    EXPECT_EQ(frontEnd.seen, (std::vector<std::string>{
                                 "copy: root " + oldRoot.Path() + ", journal " + journal,
                                 "delete: root " + newRoot.Path() + ", journal " + journal}));
    EXPECT_EQ(Journal(), "(none)");
    EXPECT_EQ(Root(), newRoot.Path());
    EXPECT_EQ(Listed(newRoot.Path()), kRoot);
    EXPECT_TRUE(Listed(oldRoot.Path()).empty());
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
}

// Until the new root is saved, a move that cannot go on removes its copies again, and only them.
TEST_F(MoveTest, AMoveGivenUpBeforeTheNewRootIsSavedLeavesTheOldRootAsItWas)
{
    const Files others = {{"Elsewhere\\", ""}, {"Elsewhere\\mine.txt", "not the vaults'"}};
    Put(newRoot.Path(), others);
    struct Case {
        const char* what;
        bool holdLetter;
        int failingSaves;
        std::string says;
    };
    const Case cases[] = {
        {"a file in use stops the copy", true, 0,
         "The vaults have not been moved:\r\nA sharing violation occurred while accessing " +
             newRoot / "Papers\\letter.txt" + "."},
        {"the new root cannot be saved", false, 1,
         "The vaults have not been moved:\r\nThe new vaults folder could not be saved in the "
         "registry"},
    };
    for (const Case& c : cases) {
        HANDLE held = c.holdLetter ? Hold("Papers\\letter.txt", 0) : INVALID_HANDLE_VALUE;
        RootMoveReport report = Move(c.failingSaves);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(report.result, RootMoveResult::NotMoved) << c.what;
        EXPECT_EQ(report.text.compare(0, c.says.size(), c.says), 0) << c.what << ": " << report.text;
        EXPECT_NE(report.text.find("\r\nNothing has been changed."), std::string::npos) << c.what;
        EXPECT_EQ(report.icon, UINT(MB_ICONHAND)) << c.what;
        EXPECT_EQ(Root(), oldRoot.Path()) << c.what;
        EXPECT_EQ(Journal(), "(none)") << c.what;
        EXPECT_EQ(Listed(oldRoot.Path()), kRoot) << c.what;
        EXPECT_EQ(Listed(newRoot.Path()), others) << c.what;
    }
}

// With neither root saved, the settings may name either: both copies stay whole, and so does the
// journal, so that the next start keeps the one they name.
TEST_F(MoveTest, WhenNeitherRootCanBeSavedBothCopiesStayForTheNextStart)
{
    RootMoveReport report = Move(2);
    EXPECT_EQ(report.result, RootMoveResult::NotMoved);
    EXPECT_NE(report.text.find("Both folders hold every vault"), std::string::npos)
        << report.text;
    EXPECT_EQ(Listed(oldRoot.Path()), kRoot);
    EXPECT_EQ(Listed(newRoot.Path()), kRoot);
    EXPECT_EQ(Journal(), oldRoot.Path() + "|" + newRoot.Path());

    EXPECT_EQ(RecoverRootMove(settings, store, oldRoot.Path()), "");
    EXPECT_EQ(Listed(oldRoot.Path()), kRoot);
    EXPECT_TRUE(Listed(newRoot.Path()).empty());
    EXPECT_EQ(Journal(), "(none)");
}

// Once the new root is saved the move stands; an original that cannot be deleted is named, as it
// is a second copy of private files.
TEST_F(MoveTest, AnOriginalThatCannotBeDeletedIsNamedAfterTheMove)
{
    HANDLE held = Hold("Papers\\sub\\deep.txt", FILE_SHARE_READ);
    RootMoveReport report = Move();
    CloseHandle(held);
    EXPECT_EQ(report.result, RootMoveResult::Moved);
    EXPECT_EQ(report.text, "The vaults have been moved to \"" + newRoot.Path() +
                               "\", but some of their files could not be removed from the old "
                               "vaults folder:\r\nA sharing violation occurred while accessing " +
                               oldRoot / "Papers\\sub\\deep.txt" + ".");
    EXPECT_EQ(report.icon, UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(Root(), newRoot.Path());
    EXPECT_EQ(Journal(), "(none)");
    EXPECT_EQ(Listed(newRoot.Path()), kRoot);
    EXPECT_EQ(Listed(oldRoot.Path()), (Files{{"Papers\\", ""},
                                             {"Papers\\sub\\", ""},
                                             {"Papers\\sub\\deep.txt", "deep down"}}));
}

// What a move cut short at any instant leaves, and what the next start makes of it: the root the
// settings name keeps everything, the other loses what the kept one holds too, and nothing else.
TEST_F(RootMoveTest, AStartFinishesOrUndoesAMoveCutShort)
{
    const Files partial = {{"Papers\\", ""}, {"Papers\\letter.txt", "Dear"}};
    const Files halfDeleted = {{"Papers\\", ""},
                               {"Papers\\sub\\", ""},
                               {"Papers\\sub\\deep.txt", "deep down"},
                               {"notes.txt", "the user's own"}};
    Files withTheirs = kRoot;
    withTheirs["Theirs\\"] = "";
    withTheirs["Theirs\\x.txt"] = "the chosen folder's own";
    withTheirs["mine.txt"] = "the chosen folder's own";
    Files late = halfDeleted;
    late["Papers\\late.txt"] = "written after the move began";
    struct Case {
        const char* what;
        const char* setting;  // "old", "new" or "elsewhere": the root the settings name
        Files atOld, atNew;
        Files oldAfter, newAfter;
        bool journalStays;
        const char* note;  // a part of what the user is told, or "" for nothing
    };
    const Case cases[] = {
        {"cut short while copying", "old", kRoot, partial, kRoot, {}, false, ""},
        {"copied, the new root not saved yet", "old", kRoot, kRoot, kRoot, {}, false, ""},
        {"the chosen folder's own files stay", "old", kRoot, withTheirs, kRoot,
         {{"Theirs\\", ""}, {"Theirs\\x.txt", "the chosen folder's own"},
          {"mine.txt", "the chosen folder's own"}},
         false, ""},
        {"the new root saved, nothing deleted yet", "new", kRoot, kRoot, {}, kRoot, false, ""},
        {"the new root saved, the old one half emptied", "new", halfDeleted, kRoot, {}, kRoot,
         false, ""},
        {"a file only in the old root stays, and is named", "new", late, kRoot,
         {{"Papers\\", ""}, {"Papers\\late.txt", "written after the move began"}}, kRoot, false,
         "late.txt has been kept"},
        {"the root set elsewhere since: nothing of ours", "elsewhere", kRoot, partial, kRoot,
         partial, false, ""},
        {"the kept root is no folder now (a drive not attached)", "old", {}, partial, {},
         partial, true, ""},
    };
    for (const Case& c : cases) {
        ScratchFolder oldRoot, newRoot, elsewhere;
        Put(oldRoot.Path(), c.atOld);
        Put(newRoot.Path(), c.atNew);
        if (c.atOld.empty())
            RemoveDirectoryA(oldRoot.Path().c_str());
        settings.WriteString("VaultsRootMove", oldRoot.Path() + "|" + newRoot.Path());
        std::string setting = std::string(c.setting) == "old"   ? oldRoot.Path()
                              : std::string(c.setting) == "new" ? newRoot.Path()
                                                                : elsewhere.Path();
        std::string note = RecoverRootMove(settings, store, setting);
        if (*c.note)
            EXPECT_NE(note.find(c.note), std::string::npos) << c.what << ": " << note;
        else
            EXPECT_EQ(note, "") << c.what;
        EXPECT_EQ(Listed(oldRoot.Path()), c.oldAfter) << c.what;
        EXPECT_EQ(Listed(newRoot.Path()), c.newAfter) << c.what;
        EXPECT_EQ(Journal() != "(none)", c.journalStays) << c.what;
        EXPECT_TRUE(frontEnd.TakeErrors().empty()) << c.what;
        settings.DeleteValue("VaultsRootMove");
    }
}

// A vault held elsewhere may be a move at work: recovery leaves it alone until a later start.
TEST_F(RootMoveTest, AStartLeavesAMoveAtWorkElsewhereAlone)
{
    ScratchFolder oldRoot, newRoot;
    Put(oldRoot.Path(), kRoot);
    Put(newRoot.Path(), kRoot);
    std::string journal = oldRoot.Path() + "|" + newRoot.Path();
    settings.WriteString("VaultsRootMove", journal);
    for (const std::string& claimedUnder : {oldRoot.Path(), newRoot.Path()}) {
        VaultClaim elsewhere;
        ASSERT_TRUE(elsewhere.ClaimVault(claimedUnder, papers.id));
        EXPECT_EQ(RecoverRootMove(settings, store, newRoot.Path()), "") << claimedUnder;
        EXPECT_EQ(Listed(oldRoot.Path()), kRoot) << claimedUnder;
        EXPECT_EQ(Journal(), journal) << claimedUnder;
    }
    EXPECT_EQ(RecoverRootMove(settings, store, newRoot.Path()), "");
    EXPECT_TRUE(Listed(oldRoot.Path()).empty());
    EXPECT_EQ(Listed(newRoot.Path()), kRoot);
}
