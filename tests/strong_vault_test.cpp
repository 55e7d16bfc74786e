#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "engine/cng_crypto.h"
#include "engine/md5_digest.h"
#include "engine/vault_recovery.h"
#include "engine/vault_store.h"
#include "recording_front_end.h"
#include "scratch.h"

namespace {

const uint32_t kSegment = 64 * 1024, kSealed = kSegment + 16, kHeader = 116;

uint32_t U32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}

const uint8_t* At(const std::string& bytes, size_t at)
{
    return reinterpret_cast<const uint8_t*>(bytes.data()) + at;
}

std::string LittleEndian(uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += char(value >> (8 * i));
    return bytes;
}

// What the content key's tag covers in a header of version 2: the first 68 bytes, the vault's
// id, the length of its container's name and that name.
std::string BoundPart(const std::string& bytes, uint32_t vaultId, const std::string& name)
{
    return bytes.substr(0, 68) + LittleEndian(vaultId) + LittleEndian(uint32_t(name.size())) +
           name;
}

// Reads a strong container of version 2 from its documented layout alone: parses the header,
// unwraps the content key for the vault named and opens segment by segment. The entry stream,
// or false.
bool DecodeStrongContainer(const std::string& bytes, const char* password, uint32_t vaultId,
                           const std::string& containerName, std::string* stream)
{
    if (bytes.size() < kHeader || bytes.compare(0, 8, "OVSTRONG") != 0 || U32(bytes, 8) != 2 ||
        U32(bytes, 12) != 1 || U32(bytes, 20) != kSegment || U32(bytes, 16) < 600000)
        return false;
    uint8_t derived[32], contentKey[32];
    AesGcmKey wrapping, content;
    std::string bound = BoundPart(bytes, vaultId, containerName);
    if (!DerivePbkdf2Sha256(password, At(bytes, 40), 16, U32(bytes, 16), derived, 32) ||
        !wrapping.SetKey(derived) ||
        !wrapping.Open(At(bytes, 56), At(bound, 0), uint32_t(bound.size()), At(bytes, 68), 32,
                       contentKey, At(bytes, 100)) ||
        !content.SetKey(contentKey))
        return false;
    stream->clear();
    size_t at = kHeader;
    for (uint64_t number = 0;; ++number) {
        size_t sealed = std::min<size_t>(bytes.size() - at, kSealed);
        if (sealed < 16)
            return false;
        bool last = at + sealed == bytes.size();
        uint8_t nonce[12] = {};
        for (int i = 0; i < 8; ++i)
            nonce[i] = uint8_t(number >> (8 * i));
        nonce[11] = last;
        std::string plain(sealed - 16, '\0');
        if (!content.Open(nonce, At(bytes, 24), 16, At(bytes, at), uint32_t(plain.size()),
                          reinterpret_cast<uint8_t*>(&plain[0]), At(bytes, at + sealed - 16)))
            return false;
        *stream += plain;
        at += sealed;
        if (last)
            return true;
    }
}

class StrongVault : public ::testing::Test {
protected:
    StrongVault() : appKey("App", key.Handle()) { store.Open(appKey); }

    void MakeVault(bool strong)
    {
        ASSERT_TRUE(vault.Create(store, root.Path(), "Mine", "pw", strong));
        ASSERT_TRUE(store.Save(vault));
        WriteFileBytes(In("big.bin"), PatternBytes(200000, 1));
        CreateDirectoryA(In("sub").c_str(), nullptr);
        WriteFileBytes(In("sub\\small.txt"), "hello");
    }
    std::string Folder() const { return vault.folder.FolderPath(root.Path()); }
    std::string Container() const { return vault.folder.ContainerPath(root.Path()); }
    std::string In(const std::string& relative) const { return Folder() + "\\" + relative; }
    void ExpectRestored()
    {
        EXPECT_EQ(ReadFileBytes(In("big.bin")), PatternBytes(200000, 1));
        EXPECT_EQ(ReadFileBytes(In("sub\\small.txt")), "hello");
    }

    RecordingFrontEnd frontEnd;
    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
    VaultRecord vault;
};

TEST_F(StrongVault, ClassicVaultKeepsItsFlagsAndMd5Digest)
{
    MakeVault(false);
    EXPECT_EQ(vault.flags, uint32_t(VAULT_UNLOCKED));
    uint8_t digest[16];
    Md5Digest("pw").Final(digest);
    EXPECT_EQ(0, std::memcmp(digest, vault.passwordDigest, 16));
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    EXPECT_NE(ReadFileBytes(Container()).compare(0, 8, "OVSTRONG"), 0);
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    ExpectRestored();
}

TEST_F(StrongVault, RoundTripWithSlowVerifierAndDecodableLayout)
{
    MakeVault(true);
    EXPECT_EQ(vault.flags, uint32_t(VAULT_UNLOCKED | VAULT_STRONG));
    uint8_t digest[16];
    Md5Digest("pw").Final(digest);
    EXPECT_NE(0, std::memcmp(digest, vault.passwordDigest, 16)) << "never the fast MD5";
    EXPECT_TRUE(vault.CheckPassword("pw"));
    EXPECT_FALSE(vault.CheckPassword("pW"));
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    EXPECT_EQ(GetFileAttributesA(Folder().c_str()), INVALID_FILE_ATTRIBUTES);
    std::string bytes = ReadFileBytes(Container());
    std::string stream;
    ASSERT_TRUE(DecodeStrongContainer(bytes, "pw", vault.id, vault.ValueName(), &stream));
    EXPECT_NE(stream.find("sub\\small.txt"), std::string::npos);
    EXPECT_NE(stream.find(PatternBytes(200000, 1)), std::string::npos);
    EXPECT_EQ(bytes.find("small.txt"), std::string::npos) << "nothing readable on the disk";
    EXPECT_FALSE(DecodeStrongContainer(bytes, "other", vault.id, vault.ValueName(), &stream));
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    ExpectRestored();
    EXPECT_EQ(GetFileAttributesA(Container().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(StrongVault, EmptyVaultRoundTrips)
{
    ASSERT_TRUE(vault.Create(store, root.Path(), "Empty", "pw", true));
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    std::string stream = "x";
    ASSERT_TRUE(DecodeStrongContainer(ReadFileBytes(Container()), "pw", vault.id,
                                      vault.ValueName(), &stream));
    EXPECT_TRUE(stream.empty());
    EXPECT_TRUE(vault.Unlock(root.Path(), "pw"));
}

// Every damaged container and a wrong password: unlock fails, nothing is restored, the
// container is untouched and the vault stays locked.
TEST_F(StrongVault, DamageAndWrongPasswordRestoreNothing)
{
    MakeVault(true);
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    const std::string good = ReadFileBytes(Container());
    ASSERT_GT(good.size(), kHeader + 3 * kSealed);
    auto flip = [](size_t at) {
        return [at](std::string& b) { b[at] = char(b[at] ^ 0x01); };
    };
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        const char* password;
    } cases[] = {
        {"wrong password", [](std::string&) {}, "wrong"},
        {"header: iterations", flip(16), "pw"},
        {"header: stream id", flip(30), "pw"},
        {"header: wrapped key", flip(70), "pw"},
        {"segment byte", flip(kHeader + kSealed + 100), "pw"},
        {"tag byte", flip(kHeader + kSealed - 3), "pw"},
        {"last segment byte", flip(good.size() - 20), "pw"},
        {"cut at a segment boundary", [](std::string& b) { b.resize(kHeader + 2 * kSealed); }, "pw"},
        {"cut inside a segment", [](std::string& b) { b.resize(kHeader + kSealed + 500); }, "pw"},
        {"cut inside the header", [](std::string& b) { b.resize(50); }, "pw"},
        {"segments swapped",
         [](std::string& b) {
             std::string first = b.substr(kHeader, kSealed);
             b.replace(kHeader, kSealed, b.substr(kHeader + kSealed, kSealed));
             b.replace(kHeader + kSealed, kSealed, first);
         },
         "pw"},
        {"segment appended", [](std::string& b) { b += b.substr(kHeader, kSealed); }, "pw"},
        {"header of another container", nullptr, "pw"},
    };
    // A header from another strong container of the same password.
    std::string otherHeader;
    {
        VaultRecord other;
        ASSERT_TRUE(other.Create(store, root.Path(), "Other", "pw", true));
        ASSERT_TRUE(other.Lock(root.Path(), "pw"));
        otherHeader = ReadFileBytes(other.folder.ContainerPath(root.Path())).substr(0, kHeader);
    }
    cases[12].damage = [&](std::string& b) { b.replace(0, kHeader, otherHeader); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string damaged = good;
        c.damage(damaged);
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);  // hidden: not replaceable
        WriteFileBytes(Container(), damaged);
        EXPECT_FALSE(vault.Unlock(root.Path(), c.password));
        EXPECT_TRUE(vault.IsLocked());
        EXPECT_EQ(GetFileAttributesA(Folder().c_str()), INVALID_FILE_ATTRIBUTES)
            << "nothing restored";
        EXPECT_EQ(ReadFileBytes(Container()), damaged) << "the container is untouched";
        EXPECT_FALSE(frontEnd.TakeErrors().empty());
    }
    SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFileBytes(Container(), good);
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    ExpectRestored();
}

TEST_F(StrongVault, NewPasswordOnALockedVaultRewrapsTheHeaderOnly)
{
    MakeVault(true);
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    std::string before = ReadFileBytes(Container());
    EXPECT_FALSE(vault.ChangePassword(root.Path(), "wrong", "new"));
    EXPECT_TRUE(vault.CheckPassword("pw"));
    EXPECT_EQ(ReadFileBytes(Container()), before);
    ASSERT_TRUE(vault.ChangePassword(root.Path(), "pw", "new"));
    std::string after = ReadFileBytes(Container());
    EXPECT_EQ(after.substr(kHeader), before.substr(kHeader)) << "the segments are kept";
    EXPECT_EQ(after.substr(0, 40), before.substr(0, 40));
    EXPECT_FALSE(vault.CheckPassword("pw"));
    EXPECT_TRUE(vault.CheckPassword("new"));
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    frontEnd.TakeErrors();
    ASSERT_TRUE(vault.Unlock(root.Path(), "new"));
    ExpectRestored();
    // Unlocked: only the verifier changes.
    ASSERT_TRUE(vault.ChangePassword(root.Path(), "new", "third"));
    EXPECT_TRUE(vault.CheckPassword("third"));
}

// A new password on a locked vault cut short by a crash: the copy under the new password was
// written, and the record had or had not taken the new password. The next unlock with the
// password the record accepts finishes or drops the change; nothing is lost either way.
TEST_F(StrongVault, AnUnlockSettlesANewPasswordThatWasCutShort)
{
    struct Case {
        const char* what;
        bool recordTookIt;
    };
    const Case cases[] = {
        {"the record took the new password, the copy is beside the container", true},
        {"the record never took the new password", false},
    };
    MakeVault(true);
    std::string password = "pw";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(vault.Lock(root.Path(), password.c_str()));
        const std::string before = ReadFileBytes(Container());
        const std::string next = password + "+";
        ASSERT_TRUE(vault.ChangePassword(root.Path(), password.c_str(), next.c_str()));
        const std::string after = ReadFileBytes(Container());
        if (c.recordTookIt)
            password = next;
        else
            ASSERT_TRUE(vault.SetPassword(password.c_str()));
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(Container(), before);
        WriteFileBytes(Container() + ".new", after);
        ASSERT_TRUE(vault.Unlock(root.Path(), password.c_str()));
        ExpectRestored();
        EXPECT_EQ(GetFileAttributesA((Container() + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetFileAttributesA(Container().c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
    }
}

// The copy a new password cut short leaves beside the container. Recovery deletes it where it is
// certainly not needed: cut short while it was written (the record never took its password), or
// beside a vault unlocked with its folder (the unlock settled the change first). A complete copy
// beside a locked vault stays for the unlock, which alone can tell by the password which of the
// two the record accepts. Remove takes it with the vault.
TEST_F(StrongVault, RecoveryAndRemoveEndANewPasswordsCopy)
{
    MakeVault(true);
    const std::string copy = Container() + ".new";
    auto recover = [&] { EXPECT_TRUE(RecoverVaults(store, root.Path()).empty()); };
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    const std::string container = ReadFileBytes(Container());
    const std::string cutShort[] = {
        container.substr(0, container.size() - 1000),
        container.substr(0, container.size() - 4096) + std::string(4096, '\0'),
        container.substr(0, 100),
    };
    for (const std::string& bytes : cutShort) {
        WriteFileBytes(copy, bytes);
        recover();
        EXPECT_FALSE(Exists(copy));
        EXPECT_EQ(ReadFileBytes(Container()), container);
    }

    ASSERT_TRUE(vault.ChangePassword(root.Path(), "pw", "new"));
    const std::string rewrapped = ReadFileBytes(Container());
    SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFileBytes(Container(), container);
    WriteFileBytes(copy, rewrapped);
    recover();
    EXPECT_EQ(ReadFileBytes(copy), rewrapped);
    ASSERT_TRUE(vault.Unlock(root.Path(), "new"));
    ExpectRestored();

    WriteFileBytes(copy, rewrapped);
    recover();
    EXPECT_FALSE(Exists(copy));
    ExpectRestored();

    // The case: a locked vault whose new password was cut short, then removed.
    ASSERT_TRUE(vault.Lock(root.Path(), "new"));
    WriteFileBytes(copy, rewrapped);
    store.Remove(vault, root.Path());
    EXPECT_FALSE(Exists(copy));
    EXPECT_FALSE(Exists(Container()));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
}

// Recovery at start cannot compare a strong container with the folder: it deletes nothing that
// may be the only copy, and says so when both remain.
TEST_F(StrongVault, RecoveryKeepsBothCopiesUnlessTheFolderIsWhole)
{
    MakeVault(true);
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    const std::string container = ReadFileBytes(Container());
    // Locked, folder half deleted: both stay, at every start, and the user is told.
    CreateDirectoryA(Folder().c_str(), nullptr);
    WriteFileBytes(In("left.txt"), "left");
    for (int start = 0; start < 2; ++start) {
        std::vector<std::string> notes = RecoverVaults(store, root.Path());
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find("Both have been kept"), std::string::npos) << notes[0];
        EXPECT_EQ(ReadFileBytes(Container()), container);
        EXPECT_EQ(ReadFileBytes(In("left.txt")), "left");
    }
    // Still unlocked when the lock ended: the folder is whole, the container only its copy.
    vault.flags = VAULT_UNLOCKED | VAULT_STRONG;
    ASSERT_TRUE(store.Save(vault));
    EXPECT_TRUE(RecoverVaults(store, root.Path()).empty());
    EXPECT_EQ(GetFileAttributesA(Container().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(In("left.txt")), "left");
}

}  // namespace
