#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "engine/base/secret_memory.h"
#include "engine/crypto/cng_crypto.h"
#include "engine/crypto/md5_digest.h"
#include "engine/crypto/password_rule.h"
#include "engine/crypto/password_text.h"
#include "engine/crypto/password_verifier.h"
#include "engine/vault/vault_recovery.h"
#include "engine/vault/vault_store.h"
#include "recording_front_end.h"
#include "scratch.h"
#include "strong_layout.h"

namespace {

// The container as a program from before containers were bound to their vault wrote it: the
// header of version 1, its content key wrapped under `earlierPassword` (the bytes that program
// took) and covering the header alone. The segments stay as they are.
std::string AsVersion1(const std::string& bytes, const char* password, uint32_t vaultId,
                       const std::string& containerName, const std::string& earlierPassword)
{
    uint8_t contentKey[32], derived[32];
    AesGcmKey wrapping;
    if (!UnwrapContentKey(bytes, password, vaultId, containerName, contentKey))
        return "";
    std::string earlier = bytes;
    earlier.replace(8, 4, LittleEndian(1));
    uint8_t* header = reinterpret_cast<uint8_t*>(&earlier[0]);
    if (!DerivePbkdf2Sha256(earlierPassword.c_str(), header + 40, 16, U32(earlier, 16), derived,
                            32) ||
        !wrapping.SetKey(derived) ||
        !wrapping.Seal(header + 56, header, 68, contentKey, 32, header + 68, header + 100))
        return "";
    return earlier;
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
    void PutContainer(const std::string& bytes)
    {
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);  // hidden: not replaceable
        WriteFileBytes(Container(), bytes);
    }
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

// A container in a locked vault's place that is not the one its latest lock wrote: another
// vault's (same password), or an earlier one of its own put back. Either is refused with the
// vault left as it was, unless the record keeps no stream id (made before it was kept, or the
// registry lost it, or the user accepted an earlier container with the console companion).
TEST_F(StrongVault, AContainerOpensOnlyAsItsVaultsLatest)
{
    MakeVault(true);
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    const std::string earlier = ReadFileBytes(Container());
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    WriteFileBytes(In("sub\\small.txt"), "changed since");
    DeleteFileA(In("big.bin").c_str());
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    const std::string latest = ReadFileBytes(Container());
    std::string others;
    {
        VaultRecord other;
        ASSERT_TRUE(other.Create(store, root.Path(), "Other", "pw", true));
        WriteFileBytes(other.folder.FolderPath(root.Path()) + "\\theirs.txt", "theirs");
        ASSERT_TRUE(other.Lock(root.Path(), "pw"));
        others = ReadFileBytes(other.folder.ContainerPath(root.Path()));
    }
    auto forgetStream = [&] { ASSERT_TRUE(store.Seals().ForgetStream(vault.ValueName())); };
    struct Case {
        const char* what;
        const std::string* container;
        std::function<void()> before;
        const char* refusal;  // null: opens
    } cases[] = {
        {"another vault's container", &others, [] {}, "does not open with this password"},
        {"an earlier container of its own", &earlier, [] {},
         "not the one the latest lock of vault \"Mine\" wrote"},
        {"its latest container", &latest, [] {}, nullptr},
        {"an earlier one, accepted", &earlier, forgetStream, nullptr},
        {"another vault's, with no stream id kept", &others, forgetStream,
         "does not open with this password"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutContainer(*c.container);
        c.before();
        bool opened = vault.Unlock(root.Path(), "pw");
        std::vector<std::string> errors = frontEnd.TakeErrors();
        if (c.refusal) {
            EXPECT_FALSE(opened);
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_NE(errors[0].find(c.refusal), std::string::npos) << errors[0];
            if (c.container == &earlier)
                EXPECT_NE(errors[0].find("orvella-cli unlock --accept-earlier \"Mine\""),
                          std::string::npos)
                    << "the way to accept it anyway";
            EXPECT_TRUE(vault.IsLocked());
            EXPECT_FALSE(Exists(Folder())) << "nothing restored";
            EXPECT_EQ(ReadFileBytes(Container()), *c.container) << "the container is untouched";
            continue;
        }
        ASSERT_TRUE(opened) << (errors.empty() ? "" : errors[0]);
        bool isEarlier = c.container == &earlier;
        EXPECT_EQ(ReadFileBytes(In("sub\\small.txt")), isEarlier ? "hello" : "changed since");
        EXPECT_EQ(Exists(In("big.bin")), isEarlier);
        ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    }
}

// Vaults made before containers were bound and salts were random still open, with the password
// as it was typed then: in the windows' ANSI code page, or the console's. The next lock writes
// the latest version, and a new password takes a random salt.
TEST_F(StrongVault, ContainersAndVerifiersFromBeforeStillOpen)
{
    const std::wstring typed = L"Grüße-Paßwort";
    const std::string utf8 = PasswordBytes(typed, true);
    struct Case {
        const char* what;
        const char* name;
        std::string earlierPassword;
    } const cases[] = {
        {"typed in a window", "Window", CodePageFromWide(typed, CP_ACP)},
        {"typed at a console", "Console", CodePageFromWide(typed, CP_OEMCP)},
        {"piped to the console companion as UTF-8", "Pipe", utf8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(vault.Create(store, root.Path(), c.name, utf8.c_str(), true));
        WriteFileBytes(In("note.txt"), c.what);
        ASSERT_TRUE(vault.Lock(root.Path(), utf8.c_str()));
        // Back to how the program left such a vault: the header of version 1 under the bytes
        // taken then, the verifier salted with the id and value name, nothing kept beside.
        std::string earlier =
            AsVersion1(ReadFileBytes(Container()), utf8.c_str(), vault.id, vault.ValueName(),
                       c.earlierPassword);
        ASSERT_FALSE(earlier.empty());
        PutContainer(earlier);
        ASSERT_TRUE(MakeEarlierPasswordVerifier(c.earlierPassword.c_str(), vault.id,
                                                vault.ValueName(), vault.passwordDigest));
        store.Seals().Remove(vault.ValueName());
        ASSERT_TRUE(store.Save(vault));

        EXPECT_TRUE(vault.CheckPassword(utf8.c_str()));
        EXPECT_FALSE(vault.CheckPassword("Grusse-Passwort"));
        ASSERT_TRUE(vault.Unlock(root.Path(), utf8.c_str())) << frontEnd.TakeErrors().size();
        EXPECT_EQ(ReadFileBytes(In("note.txt")), c.what);
        ASSERT_TRUE(vault.Lock(root.Path(), utf8.c_str()));
        std::string stream;
        EXPECT_TRUE(DecodeStrongContainer(ReadFileBytes(Container()), utf8.c_str(), vault.id,
                                          vault.ValueName(), &stream))
            << "the next lock writes the latest version, keyed by the UTF-8 password";
        uint8_t salt[16];
        EXPECT_FALSE(store.Seals().ReadSalt(vault.ValueName(), vault.passwordDigest, salt));
        ASSERT_TRUE(vault.ChangePassword(root.Path(), utf8.c_str(), "another password"));
        EXPECT_TRUE(store.Seals().ReadSalt(vault.ValueName(), vault.passwordDigest, salt))
            << "a new password takes a random salt";
        ASSERT_TRUE(vault.Unlock(root.Path(), "another password"));
        EXPECT_EQ(ReadFileBytes(In("note.txt")), c.what);
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
    }
}

// The verifier's salt is random and new with every password: the same password gives another
// verifier each time, in one vault or in two, and a record holding either of two passwords
// (a new one whose record did not reach the disk) finds its salt.
TEST_F(StrongVault, EveryPasswordHasASaltOfItsOwn)
{
    MakeVault(true);
    VaultRecord twin;
    ASSERT_TRUE(twin.Create(store, root.Path(), "Twin", "pw", true));
    EXPECT_NE(0, std::memcmp(vault.passwordDigest, twin.passwordDigest, 16));
    const VaultRecord first = vault;
    ASSERT_TRUE(vault.ChangePassword(root.Path(), "pw", "other"));
    ASSERT_TRUE(vault.ChangePassword(root.Path(), "other", "pw"));
    EXPECT_NE(0, std::memcmp(vault.passwordDigest, first.passwordDigest, 16))
        << "an old password again gives a new verifier";
    EXPECT_TRUE(vault.CheckPassword("pw"));
    VaultRecord before = vault;
    ASSERT_TRUE(vault.SetPassword("next one"));  // the record not saved yet
    EXPECT_TRUE(before.CheckPassword("pw"));
    EXPECT_TRUE(vault.CheckPassword("next one"));
}

TEST(StrongPasswordRule, NeedsEightCharactersAndNoCommonPassword)
{
    struct Case {
        std::wstring password;
        const char* problem;  // a part of the refusal, or null
    } const cases[] = {
        {L"", "at least 8 characters"},
        {L"seven c", "at least 8 characters"},
        {L"ΩΩΩΩΩΩΩ", "at least 8 characters"},  // 14 bytes, but 7 characters
        {L"password", "most common"},
        {L"PassWord1", "most common"},
        {L"12345678", "most common"},
        {L"ΩΩΩΩΩΩΩΩ", nullptr},
        {L"Grüße-Ωμέγα-2026", nullptr},
        {L"correct horse", nullptr},
    };
    for (const Case& c : cases) {
        std::string problem = StrongPasswordProblem(PasswordBytes(c.password, true));
        if (c.problem)
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        else
            EXPECT_EQ(problem, "");
    }
}

TEST(SecretMemory, ComparesAndWipes)
{
    const uint8_t a[4] = {1, 2, 3, 4}, first[4] = {9, 2, 3, 4}, last[4] = {1, 2, 3, 9};
    EXPECT_TRUE(SameSecretBytes(a, a, 4));
    EXPECT_FALSE(SameSecretBytes(a, first, 4));
    EXPECT_FALSE(SameSecretBytes(a, last, 4));
    std::string secret(100, 's');
    const char* storage = secret.data();
    size_t capacity = secret.capacity();
    WipeString(secret);
    EXPECT_TRUE(secret.empty());
    ASSERT_EQ(secret.data(), storage) << "wiped where it lay";
    EXPECT_EQ(std::string(storage, capacity), std::string(capacity, '\0'));
}

}  // namespace
