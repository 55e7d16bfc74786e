#include <gtest/gtest.h>

#include <cstring>

#include "engine/vault/vault_store.h"
#include "scratch.h"

namespace {

class VaultRecordTest : public ::testing::Test {
protected:
    VaultRecordTest() : appKey("App", key.Handle()) { store.Open(appKey); }

    ScratchKey key;
    ScratchFolder root;
    CRegistryKey appKey;
    VaultStore store;
};

}  // namespace

TEST_F(VaultRecordTest, CreateMakesAnUnlockedVaultWithItsFolder)
{
    VaultRecord record;
    ASSERT_TRUE(record.Create(store, root.Path(), "My Files", "secret"));
    EXPECT_EQ(record.flags, VAULT_UNLOCKED);
    EXPECT_STREQ(record.name, "My Files");
    EXPECT_EQ(record.ValueName(), VaultRecord::ValueNameOf(record.id));
    EXPECT_TRUE(record.CheckPassword("secret"));
    DWORD attributes = GetFileAttributesA((root / "My Files").c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    uint32_t now = uint32_t(time(nullptr));
    EXPECT_LE(record.id, now);
    EXPECT_GE(record.id + 5, now);
}

TEST_F(VaultRecordTest, VaultsCreatedInOneSecondGetDistinctIds)
{
    VaultRecord first, second;
    ASSERT_TRUE(first.Create(store, root.Path(), "First", "a"));
    ASSERT_TRUE(store.Save(first));
    // A stray container in the root also keeps its id from being taken, and so does a file kept
    // beside a container whose vault has gone (a new vault would take it over).
    WriteFileBytes(root / VaultRecord::ValueNameOf(first.id + 1), "orphan");
    WriteFileBytes(root / (VaultRecord::ValueNameOf(first.id + 2) + ".unfinished"), "kept");
    CreateDirectoryA((root / (VaultRecord::ValueNameOf(first.id + 3) + ".replaced 2")).c_str(),
                     nullptr);
    ASSERT_TRUE(second.Create(store, root.Path(), "Second", "b"));
    EXPECT_NE(first.id, second.id);
    EXPECT_NE(second.id, first.id + 1);
    EXPECT_NE(second.id, first.id + 2);
    EXPECT_NE(second.id, first.id + 3);
    ASSERT_TRUE(store.Save(second));
    VaultRecord loaded;
    ASSERT_TRUE(store.Load(first.id, loaded));
    EXPECT_STREQ(loaded.name, "First");
    EXPECT_EQ(ReadFileBytes(root / VaultRecord::ValueNameOf(first.id + 1)), "orphan");
}

TEST_F(VaultRecordTest, CreateRefusesBadNamesAndLeavesTheRecordUntouched)
{
    const std::string tooLong(260, 'n');
    const char* names[] = {tooLong.c_str(), "", "a\\b", "..\\outside", "dots.", "CON"};
    for (const char* name : names) {
        VaultRecord record;
        record.id = 77;
        EXPECT_FALSE(record.Create(store, root.Path(), name, "pw")) << name;
        EXPECT_EQ(record.id, 77u) << name;
    }
    EXPECT_FALSE(Exists(root.Path() + "\\" + tooLong));
    EXPECT_FALSE(Exists(root.Path() + "\\..\\outside"));
    VaultRecord plain;
    EXPECT_TRUE(plain.Create(store, root.Path(), std::string(100, 'm'), "pw"));
}

TEST_F(VaultRecordTest, CreateFailsWhenTheFolderCannotBeMade)
{
    WriteFileBytes(root / "file", "x");
    VaultRecord record;
    EXPECT_FALSE(record.Create(store, root / "file", "Sub", "pw"));
    EXPECT_EQ(record.id, 0u);
}

TEST_F(VaultRecordTest, PasswordsCompareByteForByte)
{
    VaultRecord record, twin;
    record.SetPassword("Pass");
    twin.SetPassword("Pass");
    EXPECT_EQ(0, std::memcmp(record.passwordDigest, twin.passwordDigest, 16));
    EXPECT_TRUE(record.CheckPassword("Pass"));
    EXPECT_FALSE(record.CheckPassword("pass"));
    EXPECT_FALSE(record.CheckPassword("Pass "));
    record.SetPassword("");
    EXPECT_TRUE(record.CheckPassword(""));
    EXPECT_FALSE(record.CheckPassword("Pass"));
}

TEST_F(VaultRecordTest, RenamingAnUnlockedVaultMovesItsFolder)
{
    VaultRecord record;
    ASSERT_TRUE(record.Create(store, root.Path(), "Old", "pw"));
    WriteFileBytes(root / "Old\\note.txt", "hello");
    EXPECT_TRUE(record.Rename(store, root.Path(), "New"));
    EXPECT_STREQ(record.name, "New");
    EXPECT_FALSE(Exists(root / "Old"));
    EXPECT_EQ(ReadFileBytes(root / "New\\note.txt"), "hello");
}

TEST_F(VaultRecordTest, AFailedMoveKeepsNameAndFolderInAgreement)
{
    VaultRecord record;
    ASSERT_TRUE(record.Create(store, root.Path(), "Mine", "pw"));
    CreateDirectoryA((root / "Taken").c_str(), nullptr);
    EXPECT_FALSE(record.Rename(store, root.Path(), "Taken"));
    EXPECT_STREQ(record.name, "Mine");
    EXPECT_TRUE(Exists(root / "Mine"));

    EXPECT_FALSE(record.Rename(store, root.Path(), std::string(260, 'x')));
    EXPECT_STREQ(record.name, "Mine");
}

TEST_F(VaultRecordTest, RenamingALockedVaultChangesOnlyTheRecord)
{
    VaultRecord record;
    ASSERT_TRUE(record.Create(store, root.Path(), "Locked", "pw"));
    record.flags = VAULT_LOCKED;
    CreateDirectoryA((root / "Other").c_str(), nullptr);
    EXPECT_TRUE(record.Rename(store, root.Path(), "Other"));
    EXPECT_STREQ(record.name, "Other");
    EXPECT_TRUE(Exists(root / "Locked"));
    EXPECT_EQ(0, std::memcmp(record.name + 6, std::string(254, '\0').data(), 254))
        << "the name field is zero-filled";
}

// Neither a new vault nor a renamed one may take over another vault's folder or container, or a
// file that happens to lie in the root.
TEST_F(VaultRecordTest, NamesThatReachAnotherVaultsFilesAreRefused)
{
    VaultRecord alpha, beta;
    ASSERT_TRUE(alpha.Create(store, root.Path(), "Alpha", "pw"));
    alpha.flags = VAULT_LOCKED;
    ASSERT_TRUE(store.Save(alpha));
    WriteFileBytes(alpha.folder.ContainerPath(root.Path()), "Alpha's container");
    RemoveDirectoryA(alpha.folder.FolderPath(root.Path()).c_str());
    ASSERT_TRUE(beta.Create(store, root.Path(), "Beta", "pw"));
    ASSERT_TRUE(store.Save(beta));
    WriteFileBytes(root / "Beta\\mine.txt", "Beta's file");
    WriteFileBytes(root / "notes.txt", "a file in the root");

    VaultRecord gamma;
    ASSERT_TRUE(gamma.Create(store, root.Path(), "Gamma", "pw"));
    ASSERT_TRUE(store.Save(gamma));
    const std::string taken[] = {alpha.ValueName(), "alpha", "beta", "BETA", "notes.txt",
                                 "NOTES.TXT", alpha.ValueName() + ".unlocking",
                                 alpha.ValueName() + ".replaced"};
    for (const std::string& name : taken) {
        VaultRecord created;
        EXPECT_FALSE(created.Create(store, root.Path(), name, "pw")) << name;
        EXPECT_EQ(created.id, 0u) << name;
        for (uint32_t state : {VAULT_UNLOCKED, VAULT_LOCKED}) {
            VaultRecord renamed = gamma;
            renamed.flags = state;
            EXPECT_FALSE(renamed.Rename(store, root.Path(), name)) << name;
            EXPECT_STREQ(renamed.name, "Gamma") << name;
        }
    }
    EXPECT_EQ(ReadFileBytes(alpha.folder.ContainerPath(root.Path())), "Alpha's container");
    EXPECT_EQ(ReadFileBytes(root / "Beta\\mine.txt"), "Beta's file");
    EXPECT_EQ(ReadFileBytes(root / "notes.txt"), "a file in the root");

    VaultRecord renamed = beta;
    EXPECT_TRUE(renamed.Rename(store, root.Path(), "BETA")) << "its own name in another case";
    EXPECT_EQ(ReadFileBytes(root / "BETA\\mine.txt"), "Beta's file");

    // A name the rule refuses now, saved before it did, is kept when the name does not change.
    std::string older = alpha.ValueName() + ".new";
    std::strcpy(renamed.name, older.c_str());
    EXPECT_TRUE(renamed.Rename(store, root.Path(), older));
    EXPECT_STREQ(renamed.name, older.c_str());
}
