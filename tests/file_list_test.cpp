#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine/base/progress_state.h"
#include "engine/files/file_list.h"
#include "recording_front_end.h"
#include "scratch.h"
#include "ui_driver.h"

namespace {

std::vector<std::string> Paths(const FileList& list)
{
    std::vector<std::string> paths;
    for (const FileEntry& entry : list)
        paths.push_back(entry.path);
    return paths;
}

size_t IndexOf(const std::vector<std::string>& paths, const std::string& path)
{
    return std::find(paths.begin(), paths.end(), path) - paths.begin();
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// d\a\b.txt, d\c.txt, d\.hidden
class FileTreeTest : public ::testing::Test {
protected:
    FileTreeTest() : d(folder / "d"), e(folder / "e")
    {
        CreateDirectoryA(d.c_str(), nullptr);
        CreateDirectoryA((d + "\\a").c_str(), nullptr);
        WriteFileBytes(d + "\\a\\b.txt", "bee");
        WriteFileBytes(d + "\\c.txt", "sea");
        WriteFileBytes(d + "\\.hidden", "dot");
        CreateDirectoryA(e.c_str(), nullptr);  // copies go into an existing folder
    }

    ScratchFolder folder;
    std::string d, e;
};

}  // namespace

TEST_F(FileTreeTest, EnumerateListsEveryEntryInPreOrder)
{
    FileList list;
    EXPECT_EQ(list.Enumerate(d, "*.*"), 4);
    std::vector<std::string> paths = Paths(list);
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()),
              (std::set<std::string>{d + "\\a", d + "\\a\\b.txt", d + "\\c.txt", d + "\\.hidden"}));
    EXPECT_LT(IndexOf(paths, d + "\\a"), IndexOf(paths, d + "\\a\\b.txt"));
    for (const FileEntry& entry : list)
        EXPECT_EQ(entry.size, entry.IsDirectory() ? 0u : 3u) << entry.path;
}

TEST_F(FileTreeTest, AnEmptyMaskListsTheEntryItself)
{
    FileList list;
    EXPECT_EQ(list.Enumerate(d, ""), 1);
    EXPECT_EQ(list.begin()->path, d);
    EXPECT_TRUE(list.begin()->IsDirectory());
    EXPECT_EQ(list.Enumerate(folder / "missing", ""), 1);
    EXPECT_EQ(list.Enumerate(folder / "missing", "*"), 1);
}

TEST_F(FileTreeTest, CopyRecreatesTheTreeWithItsAttributes)
{
    SetFileAttributesA((d + "\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((d + "\\a\\b.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    FileList list;
    list.Enumerate(d, "*.*");
    ObservingFrontEnd observer;
    ASSERT_TRUE(list.CopyTo(e, false)) << list.lastError;
    EXPECT_EQ(ReadFileBytes(e + "\\a\\b.txt"), "bee");
    EXPECT_EQ(ReadFileBytes(e + "\\c.txt"), "sea");
    EXPECT_EQ(ReadFileBytes(e + "\\.hidden"), "dot");
    EXPECT_TRUE(Attributes(e + "\\c.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Attributes(e + "\\a\\b.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(observer.status, "Done.");
    EXPECT_EQ(observer.title, "Copy files to " + e);
}

TEST_F(FileTreeTest, AListThatStartsWithTheFolderCopiesItByName)
{
    FileList list;
    list.Enumerate(d, "");
    list.Enumerate(d, "*");
    ASSERT_TRUE(list.CopyTo(e, false));
    EXPECT_EQ(ReadFileBytes(e + "\\d\\a\\b.txt"), "bee");
}

TEST_F(FileTreeTest, OverwriteDecidesWhatHappensToAnExistingFile)
{
    WriteFileBytes(e + "\\c.txt", "old");
    SetFileAttributesA((e + "\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    FileList list;
    list.Enumerate(d, "*.*");

    EXPECT_FALSE(list.CopyTo(e, false));
    EXPECT_EQ(list.lastError, uint32_t(ERROR_FILE_EXISTS));

    SetFileAttributesA((d + "\\c.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    FileList again;
    again.Enumerate(d, "*.*");
    EXPECT_TRUE(again.CopyTo(e, true));
    EXPECT_EQ(again.lastError, 0u);
    EXPECT_EQ(ReadFileBytes(e + "\\c.txt"), "sea");
    EXPECT_EQ(Attributes(e + "\\c.txt") & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              DWORD(FILE_ATTRIBUTE_HIDDEN));
}

TEST_F(FileTreeTest, DeleteRemovesReadOnlyFilesAndHiddenFolders)
{
    SetFileAttributesA((d + "\\c.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((d + "\\a").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    FileList list;
    list.Enumerate(d, "");
    list.Enumerate(d, "*.*");
    EXPECT_TRUE(list.DeleteAll());
    EXPECT_FALSE(Exists(d));
    EXPECT_EQ(list.lastError, 0u);
}

TEST_F(FileTreeTest, AnEntryThatCannotBeRemovedLeavesItsFolderAndTheJobGoesOn)
{
    FileList list;
    list.Enumerate(d, "");
    list.Enumerate(d, "*.*");
    WriteFileBytes(d + "\\a\\late.txt", "not listed");
    EXPECT_TRUE(list.DeleteAll());
    EXPECT_EQ(list.lastError, 0u) << "a job that ran to its end reports no error";
    EXPECT_TRUE(Exists(d + "\\a\\late.txt"));
    EXPECT_FALSE(Exists(d + "\\c.txt"));
}

TEST(FileList, EmptyListsCompleteAtOnce)
{
    ScratchFolder folder;
    FileList list;
    EXPECT_TRUE(list.CopyTo(folder / "anywhere", false));
    EXPECT_TRUE(list.DeleteAll());
}

TEST(RelativePathTracker, KeepsTheBaseWhilePathsStayBelowIt)
{
    RelativePathTracker tracker;
    EXPECT_EQ(tracker.Next("C:\\r\\d"), "\\d");
    EXPECT_EQ(tracker.Next("C:\\r\\d\\a"), "\\d\\a");
    EXPECT_EQ(tracker.Next("C:\\r\\d\\a\\b.txt"), "\\d\\a\\b.txt");
    RelativePathTracker inside;
    EXPECT_EQ(inside.Next("C:\\r\\d\\a"), "\\a");
    EXPECT_EQ(inside.Next("C:\\r\\d\\c.txt"), "\\c.txt");
}

TEST_F(FileTreeTest, CancellingACopyStopsItBeforeTheEnd)
{
    FileList list;
    for (int i = 0; i < 3000; ++i)
        list.Enumerate(d, "*.*");
    ObservingFrontEnd observer;
    std::thread user([] { CancelProgressDialog(IDYES); });
    EXPECT_FALSE(list.CopyTo(e, true));
    user.join();
    EXPECT_EQ(list.lastError, 0u);
    EXPECT_LT(observer.done, observer.total);
}

TEST_F(FileTreeTest, LinksAreListedButNeverFollowed)
{
    std::string outside = folder / "outside";
    CreateDirectoryA(outside.c_str(), nullptr);
    WriteFileBytes(outside + "\\precious.txt", "keep me");
    if (!MakeHostSymlink(outside, d + "\\link"))
        GTEST_SKIP() << "no host symlink";
    ASSERT_EQ(Attributes(d + "\\link") & 0x410, 0x410u);

    FileList list;
    list.Enumerate(d, "");
    list.Enumerate(d, "*.*");
    std::vector<std::string> paths = Paths(list);
    EXPECT_NE(IndexOf(paths, d + "\\link"), paths.size());
    EXPECT_EQ(IndexOf(paths, d + "\\link\\precious.txt"), paths.size());

    ASSERT_TRUE(list.CopyTo(e, false));
    EXPECT_TRUE(Attributes(e + "\\d\\link") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(Exists(e + "\\d\\link\\precious.txt"));

    // Windows removes the link itself; Wine cannot remove a host symlink and leaves it. Either
    // way, nothing it points to is touched.
    EXPECT_TRUE(list.DeleteAll());
    EXPECT_FALSE(Exists(d + "\\c.txt"));
    EXPECT_EQ(ReadFileBytes(outside + "\\precious.txt"), "keep me");
}
