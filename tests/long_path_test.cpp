// Vaults with files deeper than MAX_PATH. Other programs can make them, and the container keeps
// names of up to 32,767 bytes, so they are locked, unlocked, copied and removed like any other.

#include <gtest/gtest.h>

#include "container_bytes.h"
#include "engine/files/file_list.h"
#include "engine/files/long_path.h"
#include "recording_front_end.h"
#include "vault_fixture.h"
#include "wide_tree.h"

namespace {

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    uint32_t x = 7;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    return bytes;
}

// Three folders of 100-character names, one inside the other, below the vault folder.
const std::string kDeep = std::string(100, 'd') + "\\" + std::string(100, 'e') + "\\" +
                          std::string(100, 'f');

class DeepVaultTest : public ::testing::Test, public VaultFixture {
protected:
    DeepVaultTest() : VaultFixture("Deep") {}
    ~DeepVaultTest() override { RemoveWideTree(Prefixed(Folder())); }

    std::wstring At(const std::string& relative) const { return Prefixed(In(relative)); }

    void MakeDeepFolders()
    {
        for (size_t slash = kDeep.find('\\');; slash = kDeep.find('\\', slash + 1)) {
            CreateDirectoryW(At(kDeep.substr(0, slash)).c_str(), nullptr);
            if (slash == std::string::npos)
                break;
        }
    }

    RecordingFrontEnd frontEnd;
};

}  // namespace

TEST(LongPath, ShortPathsStayLongOnesTakeThePrefix)
{
    const std::string a(150, 'a'), b(150, 'b');
    struct Case {
        std::string path;
        std::wstring expected;
    } const cases[] = {
        {"C:\\short\\path.txt", L"C:\\short\\path.txt"},
        {"C:\\short/with/slashes", L"C:\\short/with/slashes"},
        {"C:\\" + a + "\\" + b, L"\\\\?\\C:\\" + Widen(a) + L"\\" + Widen(b)},
        {"C:\\" + a + "/" + b, L"\\\\?\\C:\\" + Widen(a) + L"\\" + Widen(b)},
        {"C:\\" + a + "\\\\" + b, L"\\\\?\\C:\\" + Widen(a) + L"\\" + Widen(b)},
        {"C:\\" + a + "\\.\\x\\..\\" + b, L"\\\\?\\C:\\" + Widen(a) + L"\\" + Widen(b)},
        {"\\\\server\\share\\" + a + "\\" + b,
         L"\\\\?\\UNC\\server\\share\\" + Widen(a) + L"\\" + Widen(b)},
        {"\\\\?\\C:\\" + a + "\\" + b, L"\\\\?\\C:\\" + Widen(a) + L"\\" + Widen(b)},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(LongPath(c.path) == c.expected) << c.path.substr(0, 40);
}

// The system's path lengths are 16-bit byte counts: a longer path would wrap around to a prefix
// of itself, another file, so it reaches none.
TEST(LongPath, APathLongerThanTheSystemTakesReachesNothing)
{
    ScratchFolder folder;
    for (size_t length : {32766 - 4, 32766 - 3, 32768 + 60, 65536 + 60}) {
        std::string path = folder.Path() + "\\";
        path += std::string(length - path.size(), 'x');
        std::wstring wide = LongPath(path);
        EXPECT_LE(wide.size(), 32766u) << length;
        EXPECT_FALSE(CreateDirectoryW(wide.c_str(), nullptr)) << length;
        EXPECT_EQ(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES) << length;
    }
    EXPECT_TRUE(SnapshotTree(Prefixed(folder.Path())).empty());
}

TEST_F(DeepVaultTest, ADeepTreeLocksAndUnlocksByteForByte)
{
    MakeDeepFolders();
    CreateDirectoryW(At(kDeep + "\\" + std::string(100, 'h')).c_str(), nullptr);  // stays empty
    WriteWideFile(At(kDeep + "\\" + std::string(120, 'g') + ".bin"), Pattern(70000));
    WriteWideFile(At(kDeep + "\\read only.txt"), "read only");
    SetFileAttributesW(At(kDeep + "\\read only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteWideFile(At(std::string(240, 'n') + ".txt"), "a long name at the top");
    WriteWideFile(At("short.txt"), "short");
    ASSERT_GT(In(kDeep + "\\" + std::string(120, 'g') + ".bin").size(), size_t(MAX_PATH));
    const WideTree before = SnapshotTree(Prefixed(Folder()));
    ASSERT_EQ(before.size(), 8u);

    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
    EXPECT_FALSE(WideExists(Prefixed(Folder()))) << "every deep file was deleted";
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
    EXPECT_FALSE(Exists(Container()));
    EXPECT_TRUE(SnapshotTree(Prefixed(Folder())) == before);
}

// The unlock moves a file of the user's that an entry replaces aside until it has ended: deep
// files too, so a failed unlock gives them back and a completed one replaces them.
TEST_F(DeepVaultTest, AnUnlockIntoAFolderWithDeepFilesOfTheUsersKeepsOrReplacesThem)
{
    const std::string file = kDeep + "\\file.txt";
    for (bool damaged : {true, false}) {
        RemoveWideTree(Prefixed(Folder()));
        CreateDirectoryA(Folder().c_str(), nullptr);
        MakeDeepFolders();
        WriteWideFile(At(file), "the user's");
        const WideTree before = SnapshotTree(Prefixed(Folder()));
        std::string bytes = ContainerBuilder()
                                .Entry(kDeep, 0x10, "")
                                .Entry(file, 0x20, "the vault's")
                                .Entry(kDeep + "\\new.txt", 0x20, "new")
                                .bytes;
        if (damaged)
            bytes += "junk";
        WriteFileBytes(Container(), bytes);
        vault.flags = VAULT_LOCKED;

        EXPECT_EQ(vault.Unlock(root.Path(), "pw"), !damaged);
        frontEnd.TakeErrors();
        if (damaged) {
            EXPECT_TRUE(SnapshotTree(Prefixed(Folder())) == before);
            EXPECT_EQ(ReadFileBytes(Container()), bytes);
        } else {
            EXPECT_EQ(ReadWideFile(At(file)), "the vault's");
            EXPECT_EQ(ReadWideFile(At(kDeep + "\\new.txt")), "new");
        }
        EXPECT_FALSE(Exists(Container() + ".replaced")) << "nothing is kept aside";
    }
}

TEST_F(DeepVaultTest, RemovingAVaultRemovesItsDeepFiles)
{
    ASSERT_TRUE(store.Save(vault));
    MakeDeepFolders();
    WriteWideFile(At(kDeep + "\\file.txt"), "deep");
    SetFileAttributesW(At(kDeep + "\\file.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    store.Remove(vault, root.Path());
    EXPECT_FALSE(WideExists(Prefixed(Folder())));
}

// Moving the vaults root copies the tree and then deletes it.
TEST_F(DeepVaultTest, ADeepTreeIsCopiedAndDeleted)
{
    MakeDeepFolders();
    WriteWideFile(At(kDeep + "\\file.txt"), Pattern(40000));
    WriteWideFile(At("top.txt"), "top");
    ScratchFolder destination;
    FileList list;
    list.Enumerate(Folder(), "*.*");
    ASSERT_EQ(list.problemPath, "");
    ASSERT_TRUE(list.CopyTo(destination.Path(), false));
    EXPECT_TRUE(SnapshotTree(Prefixed(destination.Path())) == SnapshotTree(Prefixed(Folder())));
    ASSERT_TRUE(list.DeleteAll());
    EXPECT_EQ(list.failedPath, "");
    EXPECT_TRUE(SnapshotTree(Prefixed(Folder())).empty());
    RemoveWideTree(Prefixed(destination.Path()));
}
