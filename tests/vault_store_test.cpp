#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "engine/vault/vault_store.h"
#include "scratch.h"

namespace {

class VaultStoreTest : public ::testing::Test {
protected:
    VaultStoreTest() : appKey("App", scratch.Handle()) { EXPECT_TRUE(store.Open(appKey)); }

    static VaultRecord Make(uint32_t id, const char* name, uint32_t flags = VAULT_UNLOCKED)
    {
        VaultRecord record;
        record.id = id;
        std::strcpy(record.valueName, VaultRecord::ValueNameOf(id).c_str());
        std::strcpy(record.name, name);
        record.flags = flags;
        record.SetPassword("pw");
        return record;
    }

    static void PutRaw(const VaultStore& store, const char* valueName, const void* data,
                       DWORD size)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(store.Key().GetHandle(), valueName, 0, REG_BINARY,
                                                static_cast<const BYTE*>(data), size));
    }

    static std::vector<std::string> Names(const VaultStore& store)
    {
        std::vector<std::string> names;
        VaultRecord record;
        for (bool found = store.First(record); found; found = store.Next(record))
            names.push_back(record.name);
        return names;
    }

    ScratchKey scratch;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
};

}  // namespace

TEST(VaultRecordLayout, ValueNamesAreEightHexDigits)
{
    EXPECT_EQ(VaultRecord::ValueNameOf(5), "00000005.vlt");
    EXPECT_EQ(VaultRecord::ValueNameOf(3000000000u), "b2d05e00.vlt");
}

TEST_F(VaultStoreTest, SaveAndLoadKeepAllThreeHundredBytes)
{
    VaultRecord saved = Make(3000000000u, "Letters", VAULT_LOCKED);
    saved.padding[0] = 0x11;
    ASSERT_TRUE(store.Save(saved));

    DWORD size = 0;
    RegQueryValueExA(store.Key().GetHandle(), "b2d05e00.vlt", nullptr, nullptr, nullptr, &size);
    EXPECT_EQ(size, 300u);

    VaultRecord loaded;
    ASSERT_TRUE(store.Load(3000000000u, loaded));
    EXPECT_EQ(0, std::memcmp(&saved, &loaded, VAULT_RECORD_SIZE));
    EXPECT_FALSE(store.Load(12345, loaded));
}

TEST_F(VaultStoreTest, PersistedBytesFollowTheRecordLayout)
{
    VaultRecord record = Make(0x01020304, "Name", VAULT_UNLOCKED);
    ASSERT_TRUE(store.Save(record));
    uint8_t raw[300];
    ASSERT_TRUE(appKey.GetHandle());
    CRegistryKey vaults("Vaults", appKey.GetHandle());
    ASSERT_NE(vaults.ReadBinary("01020304.vlt", raw, sizeof(raw)), nullptr);
    const uint8_t head[] = {1, 0, 0, 0, 4, 3, 2, 1};
    EXPECT_EQ(0, std::memcmp(raw, head, sizeof(head)));
    EXPECT_EQ(0, std::memcmp(raw + 24, "01020304.vlt", 13));
    EXPECT_EQ(0, std::memcmp(raw + 37, "Name", 5));
    // MD5("pw")
    const uint8_t digest[] = {0x8f, 0xe4, 0xc1, 0x14, 0x51, 0x28, 0x1c, 0x09,
                              0x4a, 0x65, 0x78, 0xe6, 0xdd, 0xbf, 0x5e, 0xed};
    EXPECT_EQ(0, std::memcmp(raw + 8, digest, 16));
}

TEST_F(VaultStoreTest, AnEmptyStoreHasNoVaults)
{
    VaultRecord record;
    EXPECT_FALSE(store.First(record));
    EXPECT_TRUE(store.IsNameFree("anything", root.Path()));
    EXPECT_FALSE(store.HasUnlockedVault());
}

TEST_F(VaultStoreTest, EnumerationListsRecordsAndAnswersNameAndLockQuestions)
{
    store.Save(Make(1, "One", VAULT_LOCKED));
    store.Save(Make(2, "Two", VAULT_LOCKED));
    EXPECT_EQ(Names(store), (std::vector<std::string>{"One", "Two"}));
    EXPECT_FALSE(store.HasUnlockedVault());

    store.Save(Make(3, "Three", VAULT_UNLOCKED));
    EXPECT_TRUE(store.HasUnlockedVault());
}

TEST_F(VaultStoreTest, AForeignValueEndsTheEnumeration)
{
    // The foreign value's name sorts between the two records, so it stands between them in both
    // insertion and name order; it hides every record after it.
    struct Case {
        const char* what;
        std::function<void(const VaultStore&)> putForeign;
    } const cases[] = {
        {"a value whose name differs from its valueName",
         [](const VaultStore& s) {
             VaultRecord other = Make(9, "Hidden?");
             PutRaw(s, "00000005.vlt", &other, VAULT_RECORD_SIZE);
         }},
        {"a value larger than a record",
         [](const VaultStore& s) {
             std::vector<uint8_t> big(301, 0);
             VaultRecord other = Make(8, "Big");
             std::memcpy(big.data(), &other, VAULT_RECORD_SIZE);
             PutRaw(s, "00000008.vlt", big.data(), DWORD(big.size()));
         }},
        {"a value with a long name",
         [](const VaultStore& s) { PutRaw(s, "00000005-not-a-vault-value", "x", 1); }},
    };
    for (const Case& c : cases) {
        ScratchKey scratchKey;
        CRegistryKey app("App", scratchKey.Handle());
        VaultStore local;
        ASSERT_TRUE(local.Open(app));
        local.Save(Make(1, "Before", VAULT_LOCKED));
        c.putForeign(local);
        local.Save(Make(0x10, "After"));
        EXPECT_EQ(Names(local), std::vector<std::string>{"Before"}) << c.what;
        EXPECT_TRUE(local.IsNameFree("After", root.Path())) << c.what;
        EXPECT_FALSE(local.HasUnlockedVault()) << c.what;
    }
}

// A name is taken when a vault would reach another vault's files through it: another record's
// name or container name as the file system compares names, or a file in the root.
TEST_F(VaultStoreTest, ANameIsTakenByAnythingAVaultCouldClashWith)
{
    store.Save(Make(0x6b1a9973, "Alpha", VAULT_LOCKED));
    store.Save(Make(2, "Beta"));
    CreateDirectoryA((root / "Beta").c_str(), nullptr);
    CreateDirectoryA((root / "Plain folder").c_str(), nullptr);
    WriteFileBytes(root / "stray.vlt", "a file of someone's");
    struct Case {
        const char* name;
        uint32_t exceptId;
        bool free;
    } const cases[] = {
        {"Alpha", 0, false},
        {"ALPHA", 0, false},         // one folder on disk, whatever the case
        {"beta", 0, false},
        {"6b1a9973.vlt", 0, false},  // Alpha's container
        {"6B1A9973.VLT", 0, false},
        {"stray.vlt", 0, false},     // a file in the root
        {"STRAY.VLT", 0, false},
        {"Plain folder", 0, true},   // a folder of no vault may become one
        {"Gamma", 0, true},
        {"beta", 2, true},           // Beta itself, renamed to another case
        {"alpha", 2, false},         // ...but not to another vault's name
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.IsNameFree(c.name, root.Path(), c.exceptId), c.free)
            << c.name << " except " << c.exceptId;

    // A folder that answers to a name only as its short alias is not a folder of that name: a
    // vault made under the alias of Alpha's working folder would take it over.
    std::string aside = root / "6b1a9973.vlt.replaced";
    CreateDirectoryA(aside.c_str(), nullptr);
    char alias[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA(aside.c_str(), alias, MAX_PATH), 0u);
    std::string shortName = std::string(alias).substr(std::string(alias).rfind('\\') + 1);
    ASSERT_NE(shortName, "6b1a9973.vlt.replaced") << "the file system gives short aliases";
    EXPECT_FALSE(store.IsNameFree(shortName, root.Path())) << shortName;
}
