#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <thread>

#include "engine/container/container_format.h"
#include "engine/crypto/blowfish_cipher.h"
#include "engine/files/directory_tree.h"
#include "engine/files/file_list.h"
#include "engine/jobs/file_list_jobs.h"
#include "engine/jobs/progress_dialog.h"
#include "engine/vault/vault_store.h"
#include "framework/win_app.h"
#include "recording_front_end.h"
#include "scratch.h"
#include "ui_driver.h"
#include "vault_fixture.h"
#include "wait_scale.h"

namespace {

const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_DIRECTORY;

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// The longest relative name a container holds, in folders of 200 characters: below any vault
// folder it is longer than the longest path (32,767 characters) a file system takes.
std::string DeepestName()
{
    std::string name;
    while (name.size() + 201 <= MAX_ENTRY_NAME_LENGTH)
        name += std::string(200, 'p') + "\\";
    return name + std::string(MAX_ENTRY_NAME_LENGTH - name.size(), 'q');
}

// Relative path -> attributes we care about and contents, for a whole tree.
using Tree = std::map<std::string, std::pair<DWORD, std::string>>;

void Collect(const std::string& dir, const std::string& relative, Tree& tree)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = dir + "\\" + name, rel = relative + name;
        bool isDir = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        tree[rel] = {found.dwFileAttributes & kKeptAttributes, isDir ? "" : ReadFileBytes(path)};
        if (isDir)
            Collect(path, rel + "\\", tree);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

Tree Snapshot(const std::string& dir)
{
    Tree tree;
    Collect(dir, "", tree);
    return tree;
}

struct ParsedEntry {
    EntryHeader header;
    std::string name;
    uint64_t contentBytes;
    std::string contents;
};

// Reads a container the way any implementation must: header, padded name, chunked contents.
std::vector<ParsedEntry> ParseContainer(const std::string& bytes)
{
    BlowfishCipher cipher;
    cipher.SetKey("", 0);
    std::vector<ParsedEntry> entries;
    size_t at = 0;
    while (at + ENTRY_HEADER_SIZE <= bytes.size()) {
        std::string head = bytes.substr(at, ENTRY_HEADER_SIZE);
        cipher.Decrypt(&head[0], ENTRY_HEADER_SIZE, &head[0], ENTRY_HEADER_SIZE);
        ParsedEntry entry;
        entry.header = DecodeEntryHeader(reinterpret_cast<const uint8_t*>(head.data()));
        at += ENTRY_HEADER_SIZE;
        std::string name = bytes.substr(at, PaddedSize(entry.header.nameLength));
        cipher.Decrypt(&name[0], uint32_t(name.size()), &name[0], uint32_t(name.size()));
        entry.name = name.substr(0, entry.header.nameLength);
        at += name.size();
        bool isDir = entry.header.attributes & FILE_ATTRIBUTE_DIRECTORY;
        entry.contentBytes = isDir ? 0 : ContentSize(entry.header.size);
        std::string contents = bytes.substr(at, entry.contentBytes);
        cipher.Decrypt(&contents[0], uint32_t(contents.size()), &contents[0],
                       uint32_t(contents.size()));
        entry.contents = contents.substr(0, entry.header.size);
        at += entry.contentBytes;
        entries.push_back(entry);
    }
    EXPECT_EQ(at, bytes.size()) << "the container ends with its last entry";
    return entries;
}

// Builds containers byte by byte, damaged or hostile ones included.
class ContainerWriter {
public:
    ContainerWriter() { cipher_.SetKey("", 0); }
    ContainerWriter& Entry(const std::string& name, uint32_t attributes, const std::string& data,
                           uint16_t type = ENTRY_TYPE, int nameLength = -1)
    {
        EntryHeader header;
        header.type = type;
        header.attributes = attributes;
        header.size = data.size();
        header.nameLength = uint16_t(nameLength < 0 ? name.size() : nameLength);
        uint8_t head[ENTRY_HEADER_SIZE];
        EncodeEntryHeader(header, head);
        Append(std::string(reinterpret_cast<char*>(head), ENTRY_HEADER_SIZE));
        Append(name);
        for (size_t at = 0; at < data.size(); at += CONTENT_CHUNK)
            Append(data.substr(at, CONTENT_CHUNK));
        return *this;
    }
    std::string bytes;

private:
    void Append(std::string plain)
    {
        plain.resize(PaddedSize(plain.size()), '\0');
        cipher_.Encrypt(&plain[0], uint32_t(plain.size()), &plain[0], uint32_t(plain.size()));
        bytes += plain;
    }
    BlowfishCipher cipher_;
};

class VaultLockTest : public ::testing::Test, public VaultFixture {
protected:
    VaultLockTest() : VaultFixture("My Vault") {}
};

}  // namespace

TEST_F(VaultLockTest, ARichTreeRoundTrips)
{
    CreateDirectoryA(In("Letters").c_str(), nullptr);
    CreateDirectoryA(In("Letters\\2009").c_str(), nullptr);
    CreateDirectoryA(In("Empty folder").c_str(), nullptr);
    CreateDirectoryA(In(".dotted dir").c_str(), nullptr);
    const size_t sizes[] = {0, 1, 8, 32767, 32768, 32769, 3 * 1024 * 1024 + 5};
    unsigned seed = 0;
    for (size_t size : sizes)
        WriteFileBytes(In("Letters\\2009\\file " + std::to_string(size) + ".bin"),
                       PatternBytes(size, ++seed));
    WriteFileBytes(In(".leading dot"), "dot");
    WriteFileBytes(In("read only.txt"), "ro");
    WriteFileBytes(In(".dotted dir\\hidden.txt"), "hid");
    SetFileAttributesA(In("read only.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(In(".dotted dir\\hidden.txt").c_str(),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    Tree before = Snapshot(Folder());

    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(Folder()));
    // Hidden only (Wine reports every plain file as archive as well).
    EXPECT_EQ(Attributes(Container()) & ~DWORD(FILE_ATTRIBUTE_ARCHIVE), DWORD(FILE_ATTRIBUTE_HIDDEN));

    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_TRUE(Snapshot(Folder()) == before) << "names, contents and attributes come back";
}

TEST_F(VaultLockTest, TheContainerHoldsExactlyTheDocumentedBytes)
{
    WriteFileBytes(In("abcde"), "");                       // name 5 bytes, file 0 bytes
    WriteFileBytes(In("abcdefgh"), PatternBytes(32768));        // name 8, one whole chunk
    WriteFileBytes(In("abcdefghi"), PatternBytes(32769, 2));    // name 9, a chunk and a block
    CreateDirectoryA(In("dir").c_str(), nullptr);
    WriteFileBytes(In("dir\\x"), "12345");
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));

    std::string bytes = ReadFileBytes(Container());
    EXPECT_EQ(bytes.size(), (24 + 8 + 0) + (24 + 8 + 32768) + (24 + 16 + 32776) + (24 + 8) +
                                (24 + 8 + 8));
    std::map<std::string, ParsedEntry> byName;
    size_t dirIndex = 0, childIndex = 0, index = 0;
    for (const ParsedEntry& entry : ParseContainer(bytes)) {
        EXPECT_EQ(entry.header.type, 1);
        if (entry.name == "dir")
            dirIndex = index;
        if (entry.name == "dir\\x")
            childIndex = index;
        byName[entry.name] = entry;
        ++index;
    }
    ASSERT_EQ(byName.size(), 5u);
    EXPECT_LT(dirIndex, childIndex) << "a folder comes before its contents";
    EXPECT_EQ(byName["abcdefghi"].contents, PatternBytes(32769, 2));
    EXPECT_EQ(byName["abcdefgh"].contentBytes, 32768u);
    EXPECT_EQ(byName["dir"].header.size, 0u);
    EXPECT_TRUE(byName["dir"].header.attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(byName["dir\\x"].contents, "12345");
}

TEST_F(VaultLockTest, AContainerFromAnotherImplementationUnlocks)
{
    ContainerWriter writer;
    writer.Entry("Sub", FILE_ATTRIBUTE_DIRECTORY, "")
        .Entry("Sub\\one.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, "one")
        .Entry("big", FILE_ATTRIBUTE_ARCHIVE, PatternBytes(70000, 9))
        .Entry("empty", FILE_ATTRIBUTE_ARCHIVE, "");
    RemoveTree(Folder());
    WriteFileBytes(Container(), writer.bytes);
    vault.flags = VAULT_LOCKED;

    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(ReadFileBytes(In("Sub\\one.txt")), "one");
    EXPECT_TRUE(Attributes(In("Sub\\one.txt")) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReadFileBytes(In("big")), PatternBytes(70000, 9));
    EXPECT_TRUE(Exists(In("empty")));
}

TEST_F(VaultLockTest, AnEmptyVaultLocksToAnEmptyContainerAndBack)
{
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    EXPECT_EQ(ReadFileBytes(Container()), "");
    EXPECT_FALSE(Exists(Folder()));
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_TRUE(Attributes(Folder()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_TRUE(vault.Lock(root.Path(), "pw")) << "again, a second time";
    EXPECT_TRUE(vault.Lock(root.Path(), "pw")) << "locking a locked vault is a success";
}

TEST_F(VaultLockTest, ALockedVaultRenamedUnlocksUnderItsNewName)
{
    WriteFileBytes(In("note.txt"), "hello");
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    std::string container = Container();
    ASSERT_TRUE(vault.Rename(store, root.Path(), "Renamed"));
    EXPECT_EQ(Container(), container);
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(ReadFileBytes(root / "Renamed\\note.txt"), "hello");
    EXPECT_FALSE(Exists(root / "My Vault"));
}

TEST_F(VaultLockTest, UnlockReplacesAReadOnlyFileOfTheSameName)
{
    WriteFileBytes(In("same.txt"), "from the vault");
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    CreateDirectoryA(Folder().c_str(), nullptr);
    WriteFileBytes(In("same.txt"), "stale");
    SetFileAttributesA(In("same.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(ReadFileBytes(In("same.txt")), "from the vault");
}

TEST_F(VaultLockTest, NotEnoughSpaceSaysSoAndChangesNothing)
{
    // A sparse file larger than the free space of the volume takes no room itself.
    ULARGE_INTEGER available;
    ASSERT_TRUE(GetDiskFreeSpaceExA(root.Path().c_str(), &available, nullptr, nullptr));
    HANDLE file = CreateFileA(In("huge.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = LONGLONG(available.QuadPart + (1ull << 30));
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);

    MessageBoxAnswerer answer(IDOK);
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, "You have no enough space in\r\n" + root.Path() +
                               "\r\nto complete the requested operation.");
    EXPECT_EQ(answer.caption, AfxGetAppName());
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_TRUE(Exists(In("huge.bin")));
}

TEST_F(VaultLockTest, AContainerThatCannotBeOpenedLeavesTheVaultLocked)
{
    vault.flags = VAULT_LOCKED;
    RemoveTree(Folder());
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(Folder()));
}

TEST_F(VaultLockTest, DamagedAndHostileContainersFailAndWriteNothingOutside)
{
    const std::string longName(32768, 'n');
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"first header not of type 1", ContainerWriter().Entry("a", 0x20, "x", 2).bytes},
        {"foreign bytes", PatternBytes(100)},
        {"truncated in a file's contents",
         ContainerWriter().Entry("a", 0x20, PatternBytes(40000)).bytes.substr(0, 30000)},
        {"truncated in a header", ContainerWriter().Entry("a", 0x20, "x").bytes + "123456"},
        {"a parent component", ContainerWriter().Entry("..\\escaped.txt", 0x20, "evil").bytes},
        {"a deeper parent component",
         ContainerWriter().Entry("a\\..\\..\\escaped.txt", 0x20, "evil").bytes},
        {"an absolute name", ContainerWriter().Entry("\\escaped.txt", 0x20, "evil").bytes},
        {"a drive", ContainerWriter().Entry("C:escaped.txt", 0x20, "evil").bytes},
        {"an empty name", ContainerWriter().Entry("", 0x20, "evil").bytes},
        {"a name too long for the buffer",
         ContainerWriter().Entry(longName, 0x20, "", ENTRY_TYPE, 65535).bytes},
        {"a hostile folder after a good file",
         ContainerWriter().Entry("good.txt", 0x20, "ok").Entry("..\\up", 0x10, "").bytes},
        {"a device name between two files",
         ContainerWriter().Entry("a", 0x20, "1").Entry("NUL.txt", 0x20, "lost").Entry("b", 0x20, "2")
             .bytes},
        {"a serial port", ContainerWriter().Entry("COM1", 0x20, "to the port").bytes},
        {"a device folder", ContainerWriter().Entry("aux", 0x10, "").bytes},
        {"a device deeper down",
         ContainerWriter().Entry("d", 0x10, "").Entry("d\\con.tar.gz", 0x20, "x").bytes},
        {"a trailing dot", ContainerWriter().Entry("trail.", 0x20, "x").bytes},
        {"trailing dots", ContainerWriter().Entry("x..", 0x20, "x").bytes},
        {"a trailing space", ContainerWriter().Entry("trail ", 0x20, "x").bytes},
        {"a wildcard in a folder's name", ContainerWriter().Entry("wild*", 0x10, "").bytes},
        {"a folder named like an earlier file",
         ContainerWriter().Entry("x", 0x20, "data").Entry("x", 0x10, "").bytes},
        {"a folder deeper than any path can be",
         ContainerWriter().Entry(DeepestName(), 0x10, "").bytes},
    };
    for (const Case& c : cases) {
        RemoveTree(Folder());
        WriteFileBytes(Container(), c.bytes);
        vault.flags = VAULT_LOCKED;
        EveryMessageBoxAnswerer reasons(IDOK);
        EXPECT_FALSE(vault.Unlock(root.Path(), "pw")) << c.what;
        EXPECT_EQ(vault.flags, VAULT_LOCKED) << c.what;
        EXPECT_EQ(ReadFileBytes(Container()), c.bytes) << c.what << ": the container stays";
        EXPECT_FALSE(Exists(Folder())) << c.what << ": what was restored is removed";
        EXPECT_FALSE(Exists(root / "escaped.txt")) << c.what;
        EXPECT_FALSE(Exists(root / "up")) << c.what;
    }
}

TEST_F(VaultLockTest, AFailedUnlockKeepsWhatWasInTheFolderBefore)
{
    CreateDirectoryA(Folder().c_str(), nullptr);
    WriteFileBytes(In("mine.txt"), "user's own");
    WriteFileBytes(Container(), ContainerWriter().Entry("new.txt", 0x20, "new").bytes + "junk");
    vault.flags = VAULT_LOCKED;
    MessageBoxAnswerer answer(IDOK);
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, "The container " + Container() +
                               " is damaged or incomplete. The vault has been left locked.");
    EXPECT_EQ(ReadFileBytes(In("mine.txt")), "user's own");
    EXPECT_FALSE(Exists(In("new.txt")));
}

namespace {

// Confirms a cancel on the next progress dialog, from a helper thread.
HANDLE cancelConfirmed = CreateEventA(nullptr, TRUE, FALSE, nullptr);

// Holds the worker at its first report until the cancel has been confirmed, so the job cannot
// finish before the user gets to Cancel, however slow the machine.
BOOL WINAPI PostAfterTheCancel(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WaitForSingleObject(cancelConfirmed, ScaledMs(10000));
    return PostMessageA(window, message, wParam, lParam);
}

// Confirms a cancel on the next job's progress dialog, from a helper thread.
class CancelNextJob {
public:
    CancelNextJob()
    {
        ResetEvent(cancelConfirmed);
        CProgressDlg::postFunction = PostAfterTheCancel;
        user_ = std::thread([] {
            EXPECT_TRUE(CancelProgressDialog(IDYES).asked);
            SetEvent(cancelConfirmed);
        });
    }
    ~CancelNextJob()
    {
        user_.join();
        CProgressDlg::postFunction = PostMessageA;
    }

private:
    std::thread user_;
};

}  // namespace

TEST_F(VaultLockTest, ACancelledLockLeavesTheFolderAndNoContainer)
{
    WriteFileBytes(In("large.bin"), PatternBytes(4 << 20));
    WriteFileBytes(In("small.txt"), "small");
    Tree before = Snapshot(Folder());
    {
        CancelNextJob user;
        EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    }
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_TRUE(Snapshot(Folder()) == before);
}

TEST_F(VaultLockTest, ACancelledUnlockLeavesTheContainerAndNoFolder)
{
    WriteFileBytes(In("large.bin"), PatternBytes(4 << 20));
    ASSERT_TRUE(vault.Lock(root.Path(), "pw"));
    uint64_t containerSize = ReadFileBytes(Container()).size();
    {
        CancelNextJob user;
        EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    }
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(Folder()));
    EXPECT_EQ(ReadFileBytes(Container()).size(), containerSize);
    EXPECT_TRUE(vault.Unlock(root.Path(), "pw")) << "a cancelled unlock can be retried";
    EXPECT_EQ(ReadFileBytes(In("large.bin")), PatternBytes(4 << 20));
}

TEST_F(VaultLockTest, ARestoredFileThatCannotBeCreatedIsNamedWithTheReason)
{
    WriteFileBytes(Container(),
                   ContainerWriter().Entry("no such folder\\file.txt", 0x20, "data").bytes);
    RemoveTree(Folder());
    vault.flags = VAULT_LOCKED;
    MessageBoxAnswerer answer(IDOK);
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, In("no such folder\\file.txt") + " contains an invalid path.");
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(Folder()));
}

TEST_F(VaultLockTest, RemoveDeletesFolderContainerAndRecord)
{
    ASSERT_TRUE(store.Save(vault));
    WriteFileBytes(In("inside.txt"), "x");
    WriteFileBytes(Container(), "stray container");
    SetFileAttributesA(Container().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    store.Remove(vault, root.Path());
    EXPECT_FALSE(Exists(Folder()));
    EXPECT_FALSE(Exists(Container()));
    VaultRecord loaded;
    EXPECT_FALSE(store.Load(vault.id, loaded));
}

// Whatever a command cut short left beside the container goes with the vault, in whatever state
// it is. What stays: a partial container kept as maybe the only copy of some files (the user was
// told where), a name the program does not write, and a vault's folder with such a name.
TEST_F(VaultLockTest, RemoveDeletesEveryWorkingFileButAKeptContainer)
{
    ASSERT_TRUE(store.Save(vault));
    const std::string c = Container();
    WriteFileBytes(c + ".partial", "partial");
    WriteFileBytes(c + ".unlocking", "existing folder\r\naside " + vault.ValueName() +
                                         ".replaced\r\n");
    CreateDirectoryA((c + ".replaced").c_str(), nullptr);
    CreateDirectoryA((c + ".replaced\\sub").c_str(), nullptr);
    WriteFileBytes(c + ".replaced\\sub\\a.txt", "set aside");
    CreateDirectoryA((c + ".replaced 2").c_str(), nullptr);
    WriteFileBytes(c + ".new", "rewrapped");
    SetFileAttributesA((c + ".new").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    const char* const stays[] = {".unfinished", ".unfinished 2", ".notes", ".replaced 3"};
    for (const char* suffix : {".unfinished", ".unfinished 2", ".notes"})
        WriteFileBytes(c + suffix, suffix);
    OlderVaultNamed(vault.ValueName() + ".replaced 3");
    store.Remove(vault, root.Path());
    for (const char* suffix : {"", ".partial", ".unlocking", ".replaced", ".replaced 2", ".new"})
        EXPECT_FALSE(Exists(c + suffix)) << suffix;
    for (const char* suffix : stays)
        EXPECT_TRUE(Exists(c + suffix)) << suffix;
    EXPECT_EQ(ReadFileBytes(c + ".unfinished"), ".unfinished");
    EXPECT_EQ(ReadFileBytes(c + ".replaced 3\\mine.txt"), "the older vault's");
}

namespace {

std::wstring Wide(const std::string& path) { return std::wstring(path.begin(), path.end()); }

// Makes a file by its UTF-16 name; "\\?\" paths reach names the ANSI calls cannot.
void WriteWideFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool WideExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes a tree by UTF-16 names (a "\\?\" path), whatever its names and depth.
void RemoveWideTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveWideTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

// Whatever the lock could not put into the container, or could not bring back as it is, fails
// the lock before anything is written or deleted, with a message that names it.
TEST_F(VaultLockTest, ALockThatWouldLeaveAFileBehindIsRefused)
{
    const std::wstring folder = L"\\\\?\\" + Wide(Folder());
    const std::wstring unnamable = folder + L"\\\x65e5\x672c";
    struct Case {
        const char* what;
        std::function<void()> make;
        std::wstring kept;   // a file that must still be there
        std::string named;   // in the message
    } const cases[] = {
        {"a folder whose name the code page lacks",
         [&] {
             CreateDirectoryW((unnamable + L"dir").c_str(), nullptr);
             WriteWideFile(unnamable + L"dir\\x.txt", "hidden inside");
         },
         unnamable + L"dir\\x.txt", "dir uses characters that the system's code page cannot"},
        {"a file whose name the code page lacks",
         [&] { WriteWideFile(unnamable + L".txt", "top"); }, unnamable + L".txt",
         ".txt uses characters"},
        {"a name Windows would trim", [&] { WriteWideFile(folder + L"\\trail.", "dot"); },
         folder + L"\\trail.", "trail. has a name that Windows reserves or changes"},
        {"a device name", [&] { WriteWideFile(folder + L"\\nul.txt", "nul"); },
         folder + L"\\nul.txt", "nul.txt has a name"},
    };
    for (const Case& c : cases) {
        RemoveWideTree(folder);
        CreateDirectoryA(Folder().c_str(), nullptr);
        WriteFileBytes(In("a.txt"), "plain");
        c.make();
        MessageBoxAnswerer answer(IDOK);
        EXPECT_FALSE(vault.Lock(root.Path(), "pw")) << c.what;
        ASSERT_TRUE(answer.Wait()) << c.what;
        EXPECT_EQ(answer.text.find("The vault \"My Vault\" has not been locked:\r\n"), 0u)
            << c.what << ": " << answer.text;
        EXPECT_NE(answer.text.find(c.named), std::string::npos) << c.what << ": " << answer.text;
        EXPECT_EQ(answer.icon, UINT(MB_ICONSTOP)) << c.what;
        EXPECT_EQ(vault.flags, VAULT_UNLOCKED) << c.what;
        EXPECT_FALSE(Exists(Container())) << c.what;
        EXPECT_EQ(ReadFileBytes(In("a.txt")), "plain") << c.what;
        EXPECT_TRUE(WideExists(c.kept)) << c.what;
    }
    RemoveWideTree(folder);
}

// A container already beside an unlocked vault may hold files the folder no longer has (a lock
// that was cut short while it deleted the folder): a new lock never replaces it.
TEST_F(VaultLockTest, ALockNeverReplacesAContainerItDidNotWrite)
{
    WriteFileBytes(In("a.txt"), "in the folder");
    WriteFileBytes(Container(), "an earlier container");
    MessageBoxAnswerer answer(IDOK);
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    ASSERT_TRUE(answer.Wait());
    EXPECT_NE(answer.text.find(Container() + " already exists"), std::string::npos)
        << answer.text;
    EXPECT_EQ(ReadFileBytes(Container()), "an earlier container");
    EXPECT_EQ(ReadFileBytes(In("a.txt")), "in the folder");
    EXPECT_FALSE(Exists(Container() + ".partial"));
}

TEST_F(VaultLockTest, NothingIsRestoredUnlessTheVaultFolderIsAFolder)
{
    const std::string bytes = ContainerWriter().Entry("a", 0x10, "").Entry("a\\b", 0x10, "").bytes;
    RemoveTree(Folder());
    WriteFileBytes(Folder(), "a file of the vault's name");
    WriteFileBytes(Container(), bytes);
    vault.flags = VAULT_LOCKED;
    MessageBoxAnswerer answer(IDOK);
    EXPECT_FALSE(vault.Unlock(root.Path(), "pw"));
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, Folder() + " already exists.");
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_EQ(ReadFileBytes(Folder()), "a file of the vault's name");
    EXPECT_EQ(ReadFileBytes(Container()), bytes);
}

// A restored file ends with the attributes of the entry restored last, whether the file was in
// the folder before or came earlier in the same container.
TEST_F(VaultLockTest, ARestoredFileTakesTheAttributesOfTheLastEntry)
{
    const DWORD RO = FILE_ATTRIBUTE_READONLY, PLAIN = FILE_ATTRIBUTE_ARCHIVE;
    struct Case {
        const char* what;
        DWORD before;  // 0: no such file in the folder
        std::vector<DWORD> entries;
    } const cases[] = {
        {"read-only in the folder, plain in the container", RO, {PLAIN}},
        {"plain in the folder, read-only in the container", PLAIN, {RO}},
        {"read-only, then plain, in the container", 0, {RO, PLAIN}},
        {"plain, then read-only, in the container", 0, {PLAIN, RO}},
        {"hidden, then plain, in the container", 0, {FILE_ATTRIBUTE_HIDDEN, PLAIN}},
    };
    for (const Case& c : cases) {
        RemoveTree(Folder());
        CreateDirectoryA(Folder().c_str(), nullptr);
        if (c.before) {
            WriteFileBytes(In("f.txt"), "the user's");
            SetFileAttributesA(In("f.txt").c_str(), c.before);
        }
        ContainerWriter writer;
        for (size_t i = 0; i < c.entries.size(); ++i)
            writer.Entry("f.txt", c.entries[i], "entry " + std::to_string(i));
        WriteFileBytes(Container(), writer.bytes);
        vault.flags = VAULT_LOCKED;
        ASSERT_TRUE(vault.Unlock(root.Path(), "pw")) << c.what;
        EXPECT_EQ(ReadFileBytes(In("f.txt")), "entry " + std::to_string(c.entries.size() - 1))
            << c.what;
        EXPECT_EQ(Attributes(In("f.txt")) & (RO | FILE_ATTRIBUTE_HIDDEN),
                  c.entries.back() & (RO | FILE_ATTRIBUTE_HIDDEN))
            << c.what;
    }
}

// A failed unlock into a folder that already holds the user's files leaves each of them exactly
// as it was and removes only what it added; a completed one replaces them and leaves nothing
// else behind.
TEST_F(VaultLockTest, AFailedUnlockLeavesTheUsersFilesAsTheyWere)
{
    struct Case {
        const char* what;
        bool damaged;
        bool empty;  // the folder is there but empty
    } const cases[] = {{"a damaged container", true, false},
                       {"an empty folder and a damaged container", true, true},
                       {"a good container", false, false}};
    for (const Case& c : cases) {
        RemoveTree(Folder());
        CreateDirectoryA(Folder().c_str(), nullptr);
        if (!c.empty) {
            CreateDirectoryA(In("sub").c_str(), nullptr);
            WriteFileBytes(In("a.txt"), "user's a");
            WriteFileBytes(In("sub\\b.txt"), "user's b");
            SetFileAttributesA(In("sub\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        }
        Tree before = Snapshot(Folder());
        std::string bytes = ContainerWriter()
                                .Entry("a.txt", 0x20, "vault's a")
                                .Entry("sub", 0x10, "")
                                .Entry("sub\\b.txt", 0x20, "vault's b")
                                .Entry("new\\deep", 0x10, "")
                                .Entry("new\\deep\\c.txt", 0x20, "vault's c")
                                .bytes;
        if (c.damaged)
            bytes += "junk";
        WriteFileBytes(Container(), bytes);
        vault.flags = VAULT_LOCKED;
        EveryMessageBoxAnswerer reasons(IDOK);
        bool unlocked = vault.Unlock(root.Path(), "pw");
        EXPECT_EQ(unlocked, !c.damaged) << c.what;
        if (c.damaged) {
            EXPECT_TRUE(Snapshot(Folder()) == before) << c.what;
            EXPECT_TRUE(IsDirectory(Folder())) << c.what;
            EXPECT_EQ(ReadFileBytes(Container()), bytes) << c.what;
        } else {
            EXPECT_EQ(ReadFileBytes(In("a.txt")), "vault's a");
            EXPECT_EQ(ReadFileBytes(In("sub\\b.txt")), "vault's b");
            EXPECT_FALSE(Attributes(In("sub\\b.txt")) & FILE_ATTRIBUTE_READONLY);
            EXPECT_EQ(ReadFileBytes(In("new\\deep\\c.txt")), "vault's c");
            EXPECT_FALSE(Exists(Container()));
        }
        EXPECT_FALSE(Exists(Container() + ".replaced")) << c.what << ": nothing kept aside";
    }
}

// An entry may name a file of the user's in another letter case ("a" for "A"): a failed unlock
// gives the file back under its own name, whatever made the unlock fail.
TEST_F(VaultLockTest, AFailedUnlockKeepsTheLetterCaseOfTheUsersNames)
{
    struct Case {
        const char* what;
        std::string tail;  // after the entries that meet the user's files
    } const cases[] = {
        {"a container cut short", "junk"},
        {"an entry refused later", ContainerWriter().Entry("NUL", 0x20, "device").bytes},
    };
    for (const Case& c : cases) {
        RemoveTree(Folder());
        CreateDirectoryA(Folder().c_str(), nullptr);
        CreateDirectoryA(In("Sub").c_str(), nullptr);
        WriteFileBytes(In("A"), "user's A");
        WriteFileBytes(In("Sub\\Notes.TXT"), "user's notes");
        Tree before = Snapshot(Folder());
        std::string bytes = ContainerWriter()
                                .Entry("a", 0x20, "vault's a")
                                .Entry("sub", 0x10, "")
                                .Entry("SUB\\notes.txt", 0x20, "vault's notes")
                                .bytes +
                            c.tail;
        WriteFileBytes(Container(), bytes);
        vault.flags = VAULT_LOCKED;
        EveryMessageBoxAnswerer reasons(IDOK);
        EXPECT_FALSE(vault.Unlock(root.Path(), "pw")) << c.what;
        EXPECT_TRUE(Snapshot(Folder()) == before) << c.what;
        EXPECT_EQ(ReadFileBytes(Container()), bytes) << c.what;
        EXPECT_FALSE(Exists(Container() + ".replaced")) << c.what;
    }
}

// A file that another program holds open (reading is shared, deleting is not) goes into the
// container, but stays in the folder: the user is told that it is left there unencrypted.
TEST_F(VaultLockTest, ALockSaysWhatItCouldNotDeleteFromTheFolder)
{
    WriteFileBytes(In("held.txt"), "held open");
    WriteFileBytes(In("free.txt"), "free");
    HANDLE held = CreateFileA(In("held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    MessageBoxAnswerer answer(IDOK);
    EXPECT_TRUE(vault.Lock(root.Path(), "pw"));
    CloseHandle(held);
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, "The vault \"My Vault\" has been locked, but not everything could be "
                           "deleted from its folder:\r\nA sharing violation occurred while "
                           "accessing " + In("held.txt") + ".\r\nWhat is left there is not "
                           "encrypted. Close the program that uses it and delete it.");
    EXPECT_FALSE(Exists(In("free.txt")));
    EXPECT_TRUE(Exists(Container()));
}

// Cancel while the folder of a vault that is locked already is being deleted: the user is told
// why that step goes on, and the lock ends as a lock.
TEST_F(VaultLockTest, CancelWhileTheFolderIsDeletedSaysWhyAndTheLockEnds)
{
    for (int i = 0; i < 50; ++i)
        WriteFileBytes(In("file" + std::to_string(i)), "contents");
    ObservingFrontEnd observer;
    std::thread user;
    CancelAnswer answer;
    observer.beforeEachJob = [&](JobProc proc) {
        if (proc != DeleteFilesProc)
            return;
        ResetEvent(cancelConfirmed);
        CProgressDlg::postFunction = PostAfterTheCancel;
        user = std::thread([&answer] {
            answer = CancelProgressDialog(IDOK);
            SetEvent(cancelConfirmed);
        });
    };
    EXPECT_TRUE(vault.Lock(root.Path(), "pw"));
    user.join();
    CProgressDlg::postFunction = PostMessageA;
    EXPECT_TRUE(answer.asked);
    EXPECT_EQ(answer.text, "The vault \"My Vault\" is locked already: all of its files are in its "
                           "container. They are being deleted from its folder now, and that goes "
                           "on to the end, so that no file stays there unencrypted.");
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
    EXPECT_FALSE(Exists(Folder()));
    EXPECT_TRUE(vault.Unlock(root.Path(), "pw"));
    EXPECT_EQ(ReadFileBytes(In("file49")), "contents");
}

// A file saved after the lock had read it, but before the lock deletes it, is kept with its new
// contents, and the user is told where it is and why.
TEST_F(VaultLockTest, AFileSavedJustBeforeItsDeletionIsKeptAndNamed)
{
    WriteFileBytes(In("notes.txt"), "first draft");
    WriteFileBytes(In("other.txt"), "other");
    ObservingFrontEnd observer;
    observer.beforeEachJob = [this](JobProc proc) {
        if (proc == DeleteFilesProc)
            WriteFileBytes(In("notes.txt"), "second one!");  // the same length: only its time
    };
    MessageBoxAnswerer answer(IDOK);
    EXPECT_TRUE(vault.Lock(root.Path(), "pw"));
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, "The vault \"My Vault\" has been locked, but these files were changed "
                           "after they had gone into its container. They have been left in its "
                           "folder with their new contents, unencrypted:\r\n" + In("notes.txt") +
                           "\r\nMove them out of the folder before you unlock the vault: "
                           "unlocking it restores their earlier contents.");
    EXPECT_EQ(ReadFileBytes(In("notes.txt")), "second one!");
    EXPECT_FALSE(Exists(In("other.txt")));
    EXPECT_EQ(vault.flags, VAULT_LOCKED);
}

namespace {

// Names a large file so that some small file of the folder comes before it in the order in which
// the folder is listed (and so locked); returns that small file's path.
std::string SmallFileBeforeALargeOne(const std::string& folder)
{
    for (int i = 0; i < 10; ++i)
        WriteFileBytes(folder + "\\early" + std::to_string(i) + ".txt",
                       "small file " + std::to_string(i));
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::string large = folder + "\\large" + std::to_string(attempt) + ".bin";
        WriteFileBytes(large, PatternBytes(64 << 20));
        FileList files;
        files.Enumerate(folder, "*");
        std::string before;
        for (const FileEntry& entry : files) {
            if (entry.path == large && !before.empty())
                return before;
            if (entry.path.find("early") != std::string::npos)
                before = entry.path;
        }
        DeleteFileA(large.c_str());
    }
    return std::string();
}

}  // namespace

// A file saved while the lock reads another, large file, after its own contents had been read:
// the container would hold its old contents, so the lock is undone and names it.
TEST_F(VaultLockTest, AFileSavedDuringTheLockAfterItWasReadUndoesTheLock)
{
    std::string saved = SmallFileBeforeALargeOne(Folder());
    ASSERT_FALSE(saved.empty());
    std::string newer = "saved meanwhile, newer";
    ObservingFrontEnd observer;
    std::thread user([&] {
        for (int i = 0; i < 60000; ++i) {
            uint64_t done = 0, total = 0;
            if (observer.RunningProgress(&done, &total) && done > (8u << 20)) {
                WriteFileBytes(saved, newer);
                return;
            }
            Sleep(1);
        }
    });
    MessageBoxAnswerer answer(IDOK);
    EXPECT_FALSE(vault.Lock(root.Path(), "pw"));
    user.join();
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, saved + " changed while the vault was being locked. Close the program "
                                   "that is writing it and lock the vault again.");
    EXPECT_EQ(ReadFileBytes(saved), newer);
    EXPECT_EQ(vault.flags, VAULT_UNLOCKED);
    EXPECT_FALSE(Exists(Container()));
    EXPECT_FALSE(Exists(Container() + ".partial"));
}
