// Names the ANSI code page cannot hold, in a vault encrypted with its password (which keeps them
// as UTF-8) and in a classic one (which refuses them, as it always did).

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "engine/base/name_encoding.h"
#include "engine/container/container_format.h"
#include "engine/jobs/restore_journal.h"
#include "engine/vault/vault_check.h"
#include "engine/vault/vault_recovery.h"
#include "engine/vault/vault_store.h"
#include "recording_front_end.h"
#include "scratch.h"
#include "strong_layout.h"
#include "wide_tree.h"

namespace {

std::string InCodePage(const std::wstring& text, UINT codePage)
{
    int length = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(length - 1, '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, &bytes[0], length, nullptr, nullptr);
    return bytes;
}

std::string Utf8(const std::wstring& text) { return InCodePage(text, CP_UTF8); }

bool AnsiHolds(const std::wstring& name)
{
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, nullptr, 0, nullptr,
                        &lost);
    return !lost;
}

// The name of the file at path as the file system gives it.
std::wstring NameOnDisk(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return L"";
    FindClose(search);
    return found.cFileName;
}

// One entry of an entry stream, as the container's layout has it.
std::string Entry(const std::string& name, uint32_t attributes, const std::string& contents)
{
    EntryHeader header;
    header.attributes = attributes;
    header.size = contents.size();
    header.nameLength = uint16_t(name.size());
    uint8_t head[ENTRY_HEADER_SIZE];
    EncodeEntryHeader(header, head);
    std::string entry(reinterpret_cast<char*>(head), ENTRY_HEADER_SIZE);
    entry += name + std::string(PaddedSize(name.size()) - name.size(), '\0');
    entry += contents + std::string(PaddedSize(contents.size()) - contents.size(), '\0');
    return entry;
}

class AnyName : public ::testing::Test {
protected:
    AnyName() : appKey("App", key.Handle()) { store.Open(appKey); }
    ~AnyName() override { RemoveWideTree(Prefixed(root.Path())); }

    void MakeVault(bool strong, const char* name = "Names")
    {
        ASSERT_TRUE(vault.Create(store, root.Path(), name, "pw", strong));
        ASSERT_TRUE(store.Save(vault));
    }
    std::string Container() const { return vault.folder.ContainerPath(root.Path()); }
    std::wstring Folder() const { return Prefixed(vault.folder.FolderPath(root.Path())); }
    std::wstring In(const std::wstring& relative) const { return Folder() + L"\\" + relative; }
    // Puts a file at `relative`, making the folders on its way.
    void Put(const std::wstring& relative, const std::string& bytes)
    {
        CreateDirectoryW(Folder().c_str(), nullptr);
        for (size_t slash = relative.find(L'\\'); slash != std::wstring::npos;
             slash = relative.find(L'\\', slash + 1))
            CreateDirectoryW(In(relative.substr(0, slash)).c_str(), nullptr);
        WriteWideFile(In(relative), bytes);
    }
    void PutContainer(const std::string& bytes)
    {
        SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_NORMAL);  // hidden: not replaceable
        WriteFileBytes(Container(), bytes);
    }
    std::string Stream()
    {
        std::string stream;
        EXPECT_TRUE(DecodeStrongContainer(ReadFileBytes(Container()), "pw", vault.id,
                                          vault.ValueName(), &stream));
        return stream;
    }

    RecordingFrontEnd frontEnd;
    ScratchKey key;
    CRegistryKey appKey;
    VaultStore store;
    ScratchFolder root;
    VaultRecord vault;
};

// Names in several scripts (an emoji is a surrogate pair in UTF-16), in folders of such names
// too: locked into a container of version 3 that holds them as UTF-8, and back byte for byte,
// attributes included. Removing the unlocked vault deletes them all.
TEST_F(AnyName, EveryScriptLocksAndUnlocksByteForByte)
{
    const struct {
        const wchar_t* path;
        size_t size;
    } files[] = {
        {L"Отчёт.docx", 5000},
        {L"日記.txt", 70000},  // beyond one segment
        {L"\U0001F600 smile.txt", 10},
        {L"Ελληνικά\\κείμενο.txt", 0},
        {L"Ελληνικά\\日本語\\深い名前.bin", 300},
        {L"mixed Ünïcödé 한국어.txt", 1},
    };
    MakeVault(true);
    unsigned seed = 1;
    for (const auto& file : files) {
        EXPECT_FALSE(AnsiHolds(file.path)) << Utf8(file.path);
        Put(file.path, PatternBytes(file.size, seed++));
    }
    SetFileAttributesW(In(L"日記.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WideTree before = SnapshotTree(Folder());
    ASSERT_EQ(before.size(), 8u);

    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
    EXPECT_FALSE(WideExists(Folder()));
    std::string bytes = ReadFileBytes(Container());
    EXPECT_EQ(U32(bytes, 8), 3u) << "every container is written in the latest version";
    std::string stream = Stream();
    for (const auto& file : files)
        EXPECT_NE(stream.find(Utf8(file.path)), std::string::npos) << Utf8(file.path);
    // A check reads the same names, in the container's encoding, and finds it sound.
    std::string checked;
    EXPECT_EQ(CheckLockedVault(vault, root.Path(), "pw", &checked), CheckOutcome::SOUND);
    EXPECT_NE(checked.find("is sound: 6 files (75311 bytes) and 2 folders"), std::string::npos)
        << checked;
    EXPECT_TRUE(frontEnd.TakeErrors().empty());

    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
    EXPECT_EQ(SnapshotTree(Folder()), before);

    ASSERT_TRUE(vault.DeleteFiles(store, root.Path()));
    EXPECT_FALSE(WideExists(Folder()));
}

// A message of an unlock names such a file in UTF-8, and says so, so that the window or the
// console shows it as it is: here a folder of the user's stands where the file is to go.
TEST_F(AnyName, MessagesNameTheFileInUtf8)
{
    MakeVault(true);
    Put(L"Ελληνικά\\κείμενο.txt", "text");
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    CreateDirectoryW(Folder().c_str(), nullptr);
    CreateDirectoryW(In(L"Ελληνικά").c_str(), nullptr);
    CreateDirectoryW(In(L"Ελληνικά\\κείμενο.txt").c_str(), nullptr);
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    std::vector<std::string> errors = frontEnd.TakeErrors();
    std::vector<NameEncoding> encodings = frontEnd.TakeEncodings();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(encodings[0], NameEncoding::UTF8);
    EXPECT_NE(errors[0].find(Utf8(L"Ελληνικά\\κείμενο.txt")), std::string::npos) << errors[0];
    EXPECT_TRUE(vault.IsLocked());
    EXPECT_EQ(SnapshotTree(Folder()).size(), 2u) << "the user's folders, as they were";
}

// A classic container keeps ANSI names only: such a name is refused before anything is
// written, and the message points to a vault encrypted with its password.
TEST_F(AnyName, AClassicVaultRefusesAndSuggestsOneEncryptedWithItsPassword)
{
    MakeVault(false);
    Put(L"plain.txt", "plain");
    Put(L"日記.txt", "diary");
    WideTree before = SnapshotTree(Folder());
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    std::vector<std::string> errors = frontEnd.TakeErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("cannot represent"), std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("A vault whose contents are encrypted with its password can keep "
                             "such names."),
              std::string::npos)
        << errors[0];
    EXPECT_FALSE(vault.IsLocked());
    EXPECT_FALSE(Exists(Container()));
    EXPECT_EQ(SnapshotTree(Folder()), before);
}

// Two names that differ only by letter case in Cyrillic are one name to Windows, and to Wine:
// the second is the first file. What the folder holds comes back as it was.
TEST_F(AnyName, NamesDifferingOnlyByCaseAreOneFile)
{
    MakeVault(true);
    Put(L"Отчёт.txt", "first");
    HANDLE second = CreateFileW(In(L"ОТЧЁТ.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                0, nullptr);
    DWORD error = GetLastError();
    if (second != INVALID_HANDLE_VALUE)
        CloseHandle(second);
    EXPECT_EQ(second, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error, DWORD(ERROR_FILE_EXISTS));
    WriteWideFile(In(L"ОТЧЁТ.txt"), "second");
    WideTree before = SnapshotTree(Folder());
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(before.begin()->first, L"Отчёт.txt");
    EXPECT_EQ(before.begin()->second.contents, "second");

    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(SnapshotTree(Folder()), before);
    EXPECT_TRUE(frontEnd.TakeErrors().empty());
}

// An unlock into a folder that holds a file of the user's under the same name in another
// letter case sets that file aside under its own name; when the unlock fails later (a damaged
// segment), the file comes back under that name, with its contents.
TEST_F(AnyName, AFailedUnlockPutsTheUsersFileBackUnderItsOwnCase)
{
    MakeVault(true);
    Put(L"Отчёт.txt", "locked");
    Put(L"после.bin", PatternBytes(3 * kSegment, 7));  // its segments come after the first
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    std::string bytes = ReadFileBytes(Container());
    bytes[bytes.size() - 20] ^= 1;
    PutContainer(bytes);
    Put(L"ОТЧЁТ.txt", "the user's");

    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    EXPECT_FALSE(frontEnd.TakeErrors().empty());
    EXPECT_TRUE(vault.IsLocked());
    EXPECT_EQ(NameOnDisk(In(L"отчёт.txt")), L"ОТЧЁТ.txt");
    EXPECT_EQ(ReadWideFile(In(L"ОТЧЁТ.txt")), "the user's");
    EXPECT_FALSE(WideExists(In(L"после.bin")));
}

// An unlock killed while it restored such names: the journal on the disk is of UTF-8 paths, and
// recovery at the next start reads it so. Undone when the record still says locked (the user's
// file back under its own name, the restored ones gone), finished when it says unlocked.
TEST_F(AnyName, RecoveryEndsAKilledUnlockOfSuchNames)
{
    const struct {
        const char* what;
        bool recordSaysUnlocked;
    } cases[] = {{"undone", false}, {"finished", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MakeVault(true, c.what);
        Put(L"Отчёт.txt", "locked");
        ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
        Put(L"ОТЧЁТ.txt", "the user's");
        std::string folder = InEncoding(vault.folder.FolderPath(root.Path()), NameEncoding::UTF8);
        std::string container = InEncoding(Container(), NameEncoding::UTF8);
        {
            // What the unlock had done when it was killed.
            RestoreJournal journal;
            ASSERT_TRUE(journal.Begin(folder, container, false, NameEncoding::UTF8));
            ASSERT_TRUE(journal.Prepare(folder + "\\" + Utf8(L"Отчёт.txt"), false));
            ASSERT_TRUE(journal.Prepare(folder + "\\" + Utf8(L"日記\\新.txt"), false));
            WriteWideFile(In(L"Отчёт.txt"), "restored");
            CreateDirectoryW(In(L"日記").c_str(), nullptr);
            WriteWideFile(In(L"日記\\新.txt"), "restored");
        }
        if (c.recordSaysUnlocked)
            ASSERT_TRUE(vault.CommitState(VAULT_UNLOCKED));
        ASSERT_TRUE(store.Load(vault.id, vault));
        EXPECT_EQ(RecoverVault(vault, root.Path()), "");
        EXPECT_FALSE(Exists(RestoreJournal::PathFor(Container())));
        if (c.recordSaysUnlocked) {
            EXPECT_EQ(ReadWideFile(In(L"Отчёт.txt")), "restored");
            EXPECT_EQ(ReadWideFile(In(L"日記\\新.txt")), "restored");
            EXPECT_FALSE(Exists(Container()));
        } else {
            EXPECT_EQ(NameOnDisk(In(L"отчёт.txt")), L"ОТЧЁТ.txt");
            EXPECT_EQ(ReadWideFile(In(L"ОТЧЁТ.txt")), "the user's");
            EXPECT_FALSE(WideExists(In(L"日記")));
            EXPECT_TRUE(Exists(Container()));
        }
        EXPECT_TRUE(frontEnd.TakeErrors().empty());
        ASSERT_TRUE(vault.DeleteFiles(store, root.Path()));
        EXPECT_FALSE(WideExists(Folder()));
    }
}

// A container of version 2 holds ANSI names and still opens so; a new password keeps its
// version, so its names are never read as UTF-8. The same bytes in a container of version 3 are
// not UTF-8: refused, nothing restored.
TEST_F(AnyName, AVersion2ContainerStillOpensWithItsAnsiNames)
{
    const std::wstring name = L"Ordner\\café.txt";
    ASSERT_TRUE(AnsiHolds(name));
    const std::string ansi = InCodePage(name, CP_ACP);
    const std::string stream = Entry("Ordner", FILE_ATTRIBUTE_DIRECTORY, "") +
                               Entry(ansi, FILE_ATTRIBUTE_ARCHIVE, "hello");
    const struct {
        const char* what;
        uint32_t version;
        std::string stream;
        bool opens;
    } cases[] = {
        {"version 2, ANSI names", 2, stream, true},
        {"version 3, UTF-8 names", 3,
         Entry("Ordner", FILE_ATTRIBUTE_DIRECTORY, "") +
             Entry(Utf8(name), FILE_ATTRIBUTE_ARCHIVE, "hello"),
         true},
        {"version 3, the ANSI bytes", 3, stream, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MakeVault(true, c.what);
        Put(L"x", "x");
        ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
        std::string made = WithStream(ReadFileBytes(Container()), "pw", vault.id,
                                      vault.ValueName(), c.version, c.stream);
        ASSERT_FALSE(made.empty());
        PutContainer(made);
        if (c.opens) {
            ASSERT_TRUE(vault.ChangePassword(root.Path(), "pw", "new"));
            EXPECT_EQ(U32(ReadFileBytes(Container()), 8), c.version);
            ASSERT_TRUE(vault.Unlock(root.Path(), "new"));
            EXPECT_EQ(ReadWideFile(In(name)), "hello");
            EXPECT_TRUE(frontEnd.TakeErrors().empty());
        } else {
            EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
            std::vector<std::string> errors = frontEnd.TakeErrors();
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_NE(errors[0].find("cannot be restored under its own name"), std::string::npos)
                << errors[0];
            EXPECT_TRUE(vault.IsLocked());
            EXPECT_FALSE(WideExists(Folder()));
        }
        ASSERT_TRUE(vault.DeleteFiles(store, root.Path()));
    }
}

}  // namespace

namespace {

// Half of a surrogate pair is allowed in a name by Windows but is not text, so UTF-8 cannot hold
// it: the lock is refused with a message, and nothing is changed. (Wine, which keeps names as
// UTF-8 on the host, may refuse to make such a file at all.)
TEST_F(AnyName, HalfASurrogatePairIsRefusedAndNothingChanges)
{
    MakeVault(true);
    Put(L"whole.txt", "whole");
    std::wstring half = In(std::wstring(L"half") + wchar_t(0xD800) + L".txt");
    HANDLE made = CreateFileW(half.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (made == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "this file system takes no such name (error " << GetLastError() << ")";
    CloseHandle(made);
    WideTree before = SnapshotTree(Folder());
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    std::vector<std::string> errors = frontEnd.TakeErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("cannot represent"), std::string::npos) << errors[0];
    EXPECT_EQ(errors[0].find("encrypted with its password can keep"), std::string::npos);
    EXPECT_FALSE(vault.IsLocked());
    EXPECT_FALSE(Exists(Container()));
    EXPECT_EQ(SnapshotTree(Folder()), before);
}

}  // namespace
