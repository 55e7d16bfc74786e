// A classic vault turned into one encrypted with its password (VaultRecord::Protect): a locked
// vault's container rewritten as a stream, an unlocked vault's record alone, a strong vault left
// as it is, and every failure on the way leaving the classic vault as it was.

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "engine/container/strong_container.h"
#include "engine/crypto/blowfish_cipher.h"
#include "engine/files/win_file.h"
#include "engine/vault/vault_protect.h"
#include "engine/vault/vault_recovery.h"
#include "recording_front_end.h"
#include "vault_fixture.h"
#include "wide_tree.h"

namespace {

const char kStrong[] = "protect me well";

uint32_t U32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}

// The entry stream of a classic container: every block deciphered with the password's key.
std::string ClassicStream(const std::string& bytes, const char* password)
{
    BlowfishCipher cipher;
    cipher.SetKey(password, uint32_t(std::strlen(password)));
    std::string plain(bytes.size(), '\0');
    uint32_t written = 0;
    EXPECT_TRUE(cipher.Decrypt(bytes.data(), uint32_t(bytes.size()), &plain[0],
                               uint32_t(plain.size()), &written));
    plain.resize(written);
    return plain;
}

class ProtectTest : public ::testing::Test, public VaultFixture {
protected:
    ProtectTest() : VaultFixture("Papers")
    {
        CreateDirectoryA(In("sub").c_str(), nullptr);
        WriteFileBytes(In("big.bin"), PatternBytes(200000, 3));
        WriteFileBytes(In("sub\\small.txt"), "hello");
        original = Files();
        EXPECT_TRUE(store.Save(vault));
    }

    WideTree Files() const { return SnapshotTree(Prefixed(Folder())); }
    // Makes `vault` another classic vault with the same files, locked.
    void MakeLockedClassicVault(const std::string& name)
    {
        ASSERT_TRUE(vault.Create(store, root.Path(), name, "pw"));
        CreateDirectoryA(In("sub").c_str(), nullptr);
        WriteFileBytes(In("big.bin"), PatternBytes(200000, 3));
        WriteFileBytes(In("sub\\small.txt"), "hello");
        ASSERT_TRUE(store.Save(vault));
        ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    }
    std::string Copy() const { return ConvertedContainerPath(vault, root.Path()); }
    VaultRecord Saved() const
    {
        VaultRecord saved;
        EXPECT_TRUE(store.Load(vault.id, saved));
        return saved;
    }
    void PutContainer(const std::string& bytes)
    {
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);  // hidden: not replaceable
        WriteFileBytes(Container(), bytes);
    }
    // The classic vault as it was: locked, its container and record unchanged, nothing beside it.
    void ExpectClassicAsItWas(const std::string& container)
    {
        EXPECT_FALSE(vault.IsStrong());
        EXPECT_EQ(Saved().flags, uint32_t(VAULT_LOCKED));
        EXPECT_EQ(ReadFileBytes(Container()), container);
        EXPECT_FALSE(Exists(Copy()));
        EXPECT_TRUE(Saved().CheckPassword("pw"));
    }
    // Unlocks the vault as the store keeps it, with `password`, and compares every file.
    void ExpectUnlocksToTheOriginal(const char* password)
    {
        VaultRecord saved = Saved();
        ASSERT_TRUE(saved.Unlock(root.Path(), password))
            << ::testing::PrintToString(frontEnd.TakeErrors());
        EXPECT_EQ(Files(), original);
        EXPECT_FALSE(Exists(Container()));
        EXPECT_FALSE(Exists(Copy()));
        vault = Saved();
    }

    RecordingFrontEnd frontEnd;
    WideTree original;
};

}  // namespace

// The strong container holds the classic entry stream byte for byte, in the header version the
// conversion writes, under the new stream id the seals keep; then it unlocks to every file.
TEST_F(ProtectTest, ALockedVaultsContainerIsRewrittenWithItsEntryStreamAsItIs)
{
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    std::string classic = ReadFileBytes(Container());
    ASSERT_TRUE(vault.Protect(root.Path(), "pw", kStrong));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
    EXPECT_EQ(Saved().flags, uint32_t(VAULT_LOCKED | VAULT_STRONG));
    EXPECT_TRUE(Saved().CheckPassword(kStrong));
    EXPECT_FALSE(Saved().CheckPassword("pw"));
    EXPECT_FALSE(Exists(Copy()));

    std::string strong = ReadFileBytes(Container());
    ASSERT_EQ(strong.compare(0, 8, "OVSTRONG"), 0);
    EXPECT_EQ(U32(strong, 8), 2u);
    EXPECT_EQ(strong.size(), StrongContainerSize(classic.size()));
    WinFile file;
    ASSERT_TRUE(file.OpenForReading(Container()));
    StrongContainerReader reader(file, 1 << 16);
    ASSERT_EQ(reader.Open(kStrong, vault.Binding()), StrongContainerReader::OPENED);
    std::string stream;
    const uint8_t* data = nullptr;
    while (reader.Take(8, &data) == EntryReader::OK)
        stream.append(reinterpret_cast<const char*>(data), 8);
    EXPECT_EQ(stream, ClassicStream(classic, "pw"));
    uint8_t kept[STREAM_ID_SIZE];
    ASSERT_TRUE(store.Seals().ReadStream(vault.ValueName(), kept));
    EXPECT_EQ(std::memcmp(kept, reader.StreamId(), STREAM_ID_SIZE), 0);
    file.Close();

    EXPECT_FALSE(Saved().Unlock(root.Path(), "pw"));
    frontEnd.TakeErrors();
    ExpectUnlocksToTheOriginal(kStrong);
    // There is no way back: a second conversion changes nothing.
    VaultRecord before = vault;
    EXPECT_TRUE(vault.Protect(root.Path(), kStrong, kStrong));
    EXPECT_EQ(std::memcmp(&before, &vault, VAULT_RECORD_SIZE), 0);
}

// Unlocked, only the record changes; the next lock writes the strong container.
TEST_F(ProtectTest, AnUnlockedVaultIsLockedAsAStrongOneNextTime)
{
    ASSERT_TRUE(vault.Protect(root.Path(), "pw", kStrong));
    EXPECT_EQ(Saved().flags, uint32_t(VAULT_UNLOCKED | VAULT_STRONG));
    EXPECT_FALSE(Exists(Container()));
    EXPECT_EQ(Files(), original);
    ASSERT_TRUE(vault.Lock(root.Path(), kStrong));
    EXPECT_EQ(ReadFileBytes(Container()).compare(0, 8, "OVSTRONG"), 0);
    ExpectUnlocksToTheOriginal(kStrong);
}

// A vault encrypted with its password is left as it is: no record, no container changes.
TEST_F(ProtectTest, AStrongVaultIsLeftAsItIs)
{
    VaultRecord strong;
    ASSERT_TRUE(strong.Create(store, root.Path(), "Strong", kStrong, true));
    ASSERT_TRUE(store.Save(strong));
    ASSERT_TRUE(strong.Lock(root.Path(), kStrong));
    std::string container = ReadFileBytes(strong.folder.ContainerPath(root.Path()));
    VaultRecord before = strong;
    EXPECT_TRUE(strong.Protect(root.Path(), kStrong, "another password"));
    EXPECT_EQ(std::memcmp(&before, &strong, VAULT_RECORD_SIZE), 0);
    EXPECT_EQ(ReadFileBytes(strong.folder.ContainerPath(root.Path())), container);
    EXPECT_TRUE(strong.CheckPassword(kStrong));
}

// A full disk, or any other failed file operation, at each step in turn: until the conversion is
// recorded the classic container, the record and the disk are as they were. A failure after
// that (the copy could not take the container's place) is finished by the next unlock.
TEST_F(ProtectTest, AFailedFileOperationAtAnyStepLeavesTheClassicVaultAsItWas)
{
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    const std::string classic = ReadFileBytes(Container());
    uint32_t at = 1;
    for (;; ++at) {
        SCOPED_TRACE("file operation " + std::to_string(at) + " failed");
        file_faults::Arm(at, file_faults::FAIL, ERROR_DISK_FULL);
        bool done = vault.Protect(root.Path(), "pw", kStrong);
        file_faults::Disarm();
        if (done)
            break;
        EXPECT_FALSE(frontEnd.TakeErrors().empty()) << "the user is told";
        ExpectClassicAsItWas(classic);
        ASSERT_LT(at, 200u);
    }
    EXPECT_GT(at, 6u) << "the conversion takes that many steps";
    frontEnd.TakeErrors();
    ExpectUnlocksToTheOriginal(kStrong);
}

// The record cannot be saved: written, flushed, or neither with the record as it was back.
// When the disk surely holds the classic record, nothing has changed; when it may hold either,
// both containers stay and the next start settles by the record it finds.
TEST_F(ProtectTest, ARecordThatCannotBeSavedLeavesOneContainerThatOpens)
{
    struct Case {
        const char* what;
        uint32_t failing;  // registry_faults: 1 write, 2 flush, 3 write back, 4 flush back
        bool unsure;
    } const cases[] = {
        {"the write fails", 0x1, false},
        {"the flush fails, the record as it was is back", 0x2, false},
        {"the flush fails, and so does the write back", 0x6, true},
        {"the flush fails, and so does the flush back", 0xA, true},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(MakeLockedClassicVault("Case " + std::to_string(++number)));
        const std::string classic = ReadFileBytes(Container());
        registry_faults::Arm(c.failing);
        EXPECT_FALSE(vault.Protect(root.Path(), "pw", kStrong));
        registry_faults::Disarm();
        EXPECT_FALSE(frontEnd.TakeErrors().empty());
        if (!c.unsure) {
            ExpectClassicAsItWas(classic);
            continue;
        }
        EXPECT_EQ(ReadFileBytes(Container()), classic);
        EXPECT_TRUE(Exists(Copy()));
        EXPECT_TRUE(RecoverVaults(store, root.Path()).empty());
        EXPECT_FALSE(Exists(Copy()));
        bool strong = Saved().IsStrong();
        EXPECT_EQ(ReadFileBytes(Container()).compare(0, 8, "OVSTRONG") == 0, strong);
        ExpectUnlocksToTheOriginal(strong ? kStrong : "pw");
    }
}

// A conversion cut short after its copy was complete: the next unlock, before it reads anything,
// keeps the container the record it finds takes (as recovery at a start does).
TEST_F(ProtectTest, AnUnlockSettlesAConversionCutShort)
{
    for (bool recorded : {false, true}) {
        SCOPED_TRACE(recorded ? "the record says strong" : "the record is still classic");
        ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
        VaultRecord classic = vault;
        std::string classicBytes = ReadFileBytes(Container());
        ASSERT_TRUE(vault.Protect(root.Path(), "pw", kStrong));
        WriteFileBytes(Copy(), ReadFileBytes(Container()));
        PutContainer(classicBytes);
        if (!recorded) {
            vault = classic;
            ASSERT_TRUE(store.Save(vault));
        }
        ExpectUnlocksToTheOriginal(recorded ? kStrong : "pw");
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
    }
}
