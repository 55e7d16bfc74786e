#include <gtest/gtest.h>

#include <map>

#include "container_bytes.h"
#include "engine/container/strong_container.h"
#include "engine/vault/vault_check.h"
#include "engine/vault/vault_store.h"
#include "recording_front_end.h"
#include "scratch.h"

namespace {

const uint64_t kHeader = 116, kSealed = 64 * 1024 + 16;

// Everything under a registry key: each value's path, type and bytes.
void ReadKeyTree(HKEY key, const std::string& path, std::map<std::string, std::string>* values)
{
    char name[512];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        (*values)[path + "\\" + name] =
            std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataSize);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof(name);
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY sub;
        (*values)[path + "\\" + name + "\\"] = "key";
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            ReadKeyTree(sub, path + "\\" + name, values);
            RegCloseKey(sub);
        }
    }
}

// Runs each job with a cancel already asked for, as a user who cancels at once.
class CancellingFrontEnd : public JobFrontEnd {
public:
    CancellingFrontEnd() : previous_(CurrentJobFrontEnd()) { SetJobFrontEnd(this); }
    ~CancellingFrontEnd() override { SetJobFrontEnd(&previous_); }
    bool RunJob(ProgressState& state, JobProc proc, void* job) override
    {
        state.BeginJob();
        state.RequestCancel();
        proc(job);
        return state.Succeeded();
    }
    void ShowError(const std::string& text, NameEncoding) override { errors.push_back(text); }
    std::vector<std::string> errors;

private:
    JobFrontEnd& previous_;
};

class VaultCheck : public ::testing::Test {
protected:
    VaultCheck() : appKey("App", key.Handle()) { store.Open(appKey); }

    // A locked vault of a folder, a file in it and a file of more than one strong segment.
    void LockVault(bool strong)
    {
        ASSERT_TRUE(vault.Create(store, root.Path(), "Mine", "password", strong));
        CreateDirectoryA(In("docs").c_str(), nullptr);
        WriteFileBytes(In("docs\\a.txt"), PatternBytes(100, 2));
        WriteFileBytes(In("big.bin"), PatternBytes(200000, 1));
        ASSERT_TRUE(vault.Lock(root.Path(), "password"));
        ASSERT_TRUE(store.Save(vault));
        ASSERT_TRUE(frontEnd.TakeErrors().empty());
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);  // hidden: not replaceable
    }

    std::string Folder() const { return vault.folder.FolderPath(root.Path()); }
    std::string Container() const { return vault.folder.ContainerPath(root.Path()); }
    std::string In(const std::string& relative) const { return Folder() + "\\" + relative; }

    CheckOutcome Check(std::string* result, const char* password = "password")
    {
        result->clear();
        return CheckLockedVault(vault, root.Path(), password, result);
    }

    // The vaults root's files with their bytes and the store's registry values.
    std::map<std::string, std::string> Snapshot()
    {
        std::map<std::string, std::string> all;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((root / "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string path = root / found.cFileName;
                all[path] = std::to_string(found.dwFileAttributes) + ":" +
                            ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                 ? std::string()
                                 : ReadFileBytes(path));
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        ReadKeyTree(key.Handle(), "", &all);
        return all;
    }

    RecordingFrontEnd frontEnd;
    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
    VaultRecord vault;
};

TEST_F(VaultCheck, SoundContainersOfBothKindsWithWhatWasChecked)
{
    for (bool strong : {false, true}) {
        SCOPED_TRACE(strong ? "strong" : "classic");
        vault = VaultRecord();
        LockVault(strong);
        ObservingFrontEnd observer;
        std::string result;
        EXPECT_EQ(Check(&result), CheckOutcome::SOUND) << result;
        std::string found = "2 files (200100 bytes) and 1 folder, read to its end.";
        EXPECT_EQ(result, "The container " + Container() + " of vault \"Mine\" is sound: " + found +
                              (strong ? " Its header opens with the password, and every "
                                        "segment passes its check (4 segments)."
                                      : ""));
        EXPECT_EQ(observer.title, "Check vault Mine");
        EXPECT_EQ(observer.done, observer.total);
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
        ASSERT_TRUE(vault.Unlock(root.Path(), "password"));
        store.Remove(vault, root.Path());
    }
}

TEST_F(VaultCheck, AnEmptyVaultsContainerIsSound)
{
    for (bool strong : {false, true}) {
        SCOPED_TRACE(strong ? "strong" : "classic");
        VaultRecord empty;
        ASSERT_TRUE(empty.Create(store, root.Path(), strong ? "Strong" : "Classic", "password",
                                 strong));
        ASSERT_TRUE(empty.Lock(root.Path(), "password"));
        std::string result;
        EXPECT_EQ(CheckLockedVault(empty, root.Path(), "password", &result), CheckOutcome::SOUND);
        EXPECT_NE(result.find("is sound: 0 files (0 bytes) and 0 folders"), std::string::npos)
            << result;
    }
}

// Each case puts a damaged classic container, made entry by entry, in place of the vault's.
TEST_F(VaultCheck, DamagedClassicContainersSayWhichEntryAtWhichOffset)
{
    LockVault(false);
    // "docs" at 0, "docs\a.txt" at 32 (contents from 72), "b.bin" at 176 (contents 208..40208).
    const std::string sound = ContainerBuilder()
                                  .Entry("docs", 0x10, "")
                                  .Entry("docs\\a.txt", 0x20, PatternBytes(100, 2))
                                  .Entry("b.bin", 0x20, PatternBytes(40000, 3))
                                  .bytes;
    ASSERT_EQ(sound.size(), 40208u);
    struct Case {
        const char* what;
        std::string bytes;
        std::string damage;
    } const cases[] = {
        {"cut short inside an entry's header", sound.substr(0, 184),
         "entry 3 at offset 176: the container ends 8 bytes into its header, which takes 24 (it "
         "has been cut short, or holds bytes after its last entry)."},
        {"cut short inside an entry's contents", sound.substr(0, 1208),
         "entry 3 (\"b.bin\") at offset 176: its header gives 40000 bytes of contents, up to "
         "offset 40208, but the container ends at offset 1208."},
        {"a name length that runs past the end",
         sound + ContainerBuilder().Entry("x", 0x10, "", ENTRY_TYPE, 500).bytes,
         "entry 4 at offset 40208: its header gives a name of 500 bytes, up to offset 40736, but "
         "the container ends at offset 40240."},
        {"trailing bytes, fewer than a header", sound + EncryptBlocks(std::string(16, 'z')),
         "entry 4 at offset 40208: the container ends 16 bytes into its header, which takes 24 "
         "(it has been cut short, or holds bytes after its last entry)."},
        {"trailing bytes that are no header", sound + EncryptBlocks(std::string(32, '\0')),
         "entry 4 at offset 40208: its header gives the type 0 where 1 was expected (the "
         "container is damaged there, or holds bytes after its last entry)."},
        {"a name too long for an entry",
         ContainerBuilder().Entry("x", 0x10, "", ENTRY_TYPE, 40000).bytes,
         "entry 1 at offset 0: its header gives a name of 40000 bytes, where at most 32767 were "
         "expected."},
        {"a name that leaves the folder", sound + ContainerBuilder().Entry("..\\x", 0x20, "").bytes,
         "entry 4 (\"..\\x\") at offset 40208: its name cannot be restored as it is (it would "
         "leave the vault's folder, or Windows would change it)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(Container(), c.bytes);
        std::string result;
        EXPECT_EQ(Check(&result), CheckOutcome::DAMAGED);
        EXPECT_EQ(result.substr(0, result.find("\r\n")),
                  "The container " + Container() + " of vault \"Mine\" is damaged: " + c.damage);
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
    }
    WriteFileBytes(Container(), sound.substr(0, 1208));
    std::string result;
    Check(&result);
    EXPECT_NE(result.find("\r\nBefore that, 1 file (100 bytes) and 1 folder were found sound."),
              std::string::npos)
        << result;
}

TEST_F(VaultCheck, DamagedStrongContainersNameTheSegment)
{
    LockVault(true);
    const std::string sound = ReadFileBytes(Container());
    const uint64_t segments = (sound.size() - kHeader + kSealed - 1) / kSealed;
    ASSERT_EQ(segments, 4u);
    auto flipped = [&](size_t at) {
        std::string bytes = sound;
        bytes[at] ^= 0x01;
        return bytes;
    };
    auto segmentText = [](uint64_t number) {
        return "segment " + std::to_string(number) + ", at offset " +
               std::to_string(kHeader + (number - 1) * kSealed) +
               " of the container, does not pass its check (its tag): the container has been "
               "changed there, or cut short.";
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::string damage;
    } const cases[] = {
        {"a flipped byte in the second segment", flipped(kHeader + kSealed + 10), segmentText(2)},
        {"a flipped byte in a tag", flipped(kHeader + kSealed - 1), segmentText(1)},
        {"cut short in the last segment", sound.substr(0, sound.size() - 100), segmentText(4)},
        {"cut short by its last segment", sound.substr(0, kHeader + 3 * kSealed), segmentText(3)},
        {"bytes after its last segment", sound + std::string(40, 'x'), segmentText(4)},
        {"a flipped byte in the header", flipped(60),
         "its header does not open with the vault's password: the header is damaged, or the "
         "container is not this vault's."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(Container(), c.bytes);
        std::string result;
        EXPECT_EQ(Check(&result), CheckOutcome::DAMAGED);
        EXPECT_EQ(result.substr(0, result.find("\r\n")),
                  "The container " + Container() + " of vault \"Mine\" is damaged: " + c.damage);
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
    }
}

TEST_F(VaultCheck, AStrongContainerRefusesAnotherPassword)
{
    LockVault(true);
    std::string result;
    EXPECT_EQ(Check(&result, "another password"), CheckOutcome::DAMAGED);
    EXPECT_NE(result.find("its header does not open with the vault's password"),
              std::string::npos)
        << result;
}

// A new password's change cut short leaves a copy under the new password beside the container:
// the check reads the one that opens with the password it is given, as the next unlock would keep.
TEST_F(VaultCheck, ANewPasswordsCopyIsCheckedWhenItIsTheOneThatOpens)
{
    LockVault(true);
    bool refused = false;
    ASSERT_TRUE(WriteRewrappedContainer(Container(), vault.Binding(), "password", "new password",
                                        &refused));
    const std::string copy = RewrappedContainerPath(Container());
    std::string result;
    EXPECT_EQ(Check(&result), CheckOutcome::SOUND);
    EXPECT_EQ(result.find("The container " + Container() + " of vault \"Mine\" is sound"), 0u)
        << result;
    EXPECT_EQ(Check(&result, "new password"), CheckOutcome::SOUND);
    EXPECT_EQ(result.find("The container " + copy + " of vault \"Mine\" is sound"), 0u) << result;
    EXPECT_NE(result.find("\r\nIt holds the vault under its new password; the next unlock puts "
                          "it in place of " + Container() + "."),
              std::string::npos);
    EXPECT_TRUE(Exists(copy)) << "settled by the next unlock, never by a check";
    EXPECT_EQ(Check(&result, "neither"), CheckOutcome::DAMAGED);
    EXPECT_EQ(result.find("The container " + Container() + " of vault \"Mine\" is damaged: its "
                          "header does not open"),
              0u)
        << result;
}

TEST_F(VaultCheck, ACancelledCheckSaysNothing)
{
    for (bool strong : {false, true}) {
        SCOPED_TRACE(strong ? "strong" : "classic");
        vault = VaultRecord();
        LockVault(strong);
        std::string result;
        {
            CancellingFrontEnd cancelling;
            EXPECT_EQ(Check(&result), CheckOutcome::NOT_CHECKED);
            EXPECT_TRUE(cancelling.errors.empty());
        }
        EXPECT_TRUE(result.empty());
        ASSERT_TRUE(vault.Unlock(root.Path(), "password"));
        store.Remove(vault, root.Path());
    }
}

TEST_F(VaultCheck, WritesNothingSoundOrDamaged)
{
    for (bool strong : {false, true}) {
        SCOPED_TRACE(strong ? "strong" : "classic");
        vault = VaultRecord();
        LockVault(strong);
        std::string sound = ReadFileBytes(Container());
        for (const std::string& bytes : {sound, sound.substr(0, sound.size() - 100)}) {
            WriteFileBytes(Container(), bytes);
            std::map<std::string, std::string> before = Snapshot();
            std::string result;
            EXPECT_NE(Check(&result), CheckOutcome::NOT_CHECKED);
            EXPECT_EQ(Snapshot(), before);
        }
        WriteFileBytes(Container(), sound);
        ASSERT_TRUE(vault.Unlock(root.Path(), "password"));
        store.Remove(vault, root.Path());
    }
}

TEST_F(VaultCheck, AnUnlockedVaultOrAMissingContainerIsToldAndNotChecked)
{
    ASSERT_TRUE(vault.Create(store, root.Path(), "Mine", "password"));
    std::string result;
    EXPECT_EQ(Check(&result), CheckOutcome::NOT_CHECKED);
    EXPECT_EQ(frontEnd.TakeErrors(),
              std::vector<std::string>{"The vault \"Mine\" is unlocked: its files are in its "
                                       "folder, and there is no container to check. Lock it "
                                       "first."});
    ASSERT_TRUE(vault.Lock(root.Path(), "password"));
    SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(DeleteFileA(Container().c_str()));
    EXPECT_EQ(Check(&result), CheckOutcome::NOT_CHECKED);
    EXPECT_EQ(frontEnd.TakeErrors(),
              std::vector<std::string>{"The vault \"Mine\" is locked, but its container " +
                                       Container() + " is missing: there is nothing to check."});
    EXPECT_TRUE(result.empty());
}

}  // namespace
