// The Options page's moves: stealth mode moving the Start-menu group into the hidden
// installation folder and back, and the Select button moving the vaults root with every vault.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine/vault/vault_claim.h"
#include "options_page_host.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kSetupKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zovantri Orvella_is1";
const char kGroup[] = "Zovantri Orvella";

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool KeyExists(HKEY parent, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

// A user's Programs folder with the program's group and another program's, and Setup's entry
// naming the group and a scratch installation folder; the real values come back afterwards.
class StealthTest : public OptionsPageTest {
protected:
    StealthTest() : shellFolders_(kShellFolders, HKEY_CURRENT_USER)
    {
        savedPrograms_ = shellFolders_.ReadString("Programs", "\x01");
        shellFolders_.WriteString("Programs", programs.Path());
        setupExisted_ = KeyExists(HKEY_LOCAL_MACHINE, kSetupKey);
        CreateDirectoryA((programs / kGroup).c_str(), nullptr);
        for (const char* name : {"Zovantri Orvella.lnk", "Help.lnk", "Uninstall.lnk"})
            WriteFileBytes(programs / kGroup + "\\" + name, name);
        CreateDirectoryA((programs / "Another Program").c_str(), nullptr);
        WriteFileBytes(programs / "Another Program\\Another.lnk", "another");
        WriteFileBytes(appDir / "Orvella.exe", "program");
    }
    ~StealthTest() override
    {
        if (savedPrograms_ == "\x01")
            shellFolders_.DeleteValue("Programs");
        else
            shellFolders_.WriteString("Programs", savedPrograms_);
        if (!setupExisted_)
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSetupKey);
    }

    void WriteSetupEntry(const std::string& appPath, const std::string& group)
    {
        ASSERT_FALSE(setupExisted_) << "an installed copy's entry is in the way";
        CRegistryKey setup(kSetupKey, HKEY_LOCAL_MACHINE);
        setup.WriteString("Inno Setup: App Path", appPath);
        setup.WriteString("Inno Setup: Icon Group", group);
    }
    DWORD AppDirAttributes() const { return GetFileAttributesA(appDir.Path().c_str()); }

    ScratchFolder programs;
    ScratchFolder appDir;

private:
    CRegistryKey shellFolders_;
    std::string savedPrograms_;
    bool setupExisted_ = false;
};

TEST_F(StealthTest, TheGroupMovesIntoTheHiddenInstallationFolderAndBack)
{
    WriteSetupEntry(appDir.Path(), kGroup);
    CreatePage();
    EveryMessageBoxAnswerer unexpected(IDOK);

    Click(1043);
    EXPECT_EQ(Names(programs.Path()), std::vector<std::string>{"Another Program"});
    EXPECT_EQ(Names(appDir / kGroup),
              (std::vector<std::string>{"Help.lnk", "Uninstall.lnk", "Zovantri Orvella.lnk"}));
    EXPECT_EQ(AppDirAttributes(), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(Setting("HideIcons"), 1u);
    EXPECT_TRUE(IsChecked(1043));

    Click(1043);
    EXPECT_EQ(Names(programs.Path()), (std::vector<std::string>{"Another Program", kGroup}));
    EXPECT_EQ(Names(programs / kGroup).size(), 3u);
    EXPECT_EQ(Names(appDir.Path()), std::vector<std::string>{"Orvella.exe"});
    EXPECT_EQ(AppDirAttributes() & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(Setting("HideIcons"), 0u);
    EXPECT_FALSE(IsChecked(1043));
    EXPECT_EQ(ReadFileBytes(programs / "Another Program\\Another.lnk"), "another");
    EXPECT_TRUE(unexpected.Stop().empty());
}

TEST_F(StealthTest, WithoutSetupsRecordNothingIsMovedAndTheBoxComesBack)
{
    struct Case {
        const char* what;
        bool writeEntry;
        std::string appPath;
        std::string group;
        const char* says;
    };
    const Case cases[] = {
        {"no entry (not installed, or no administrator rights)", false, "", "", "Setup"},
        {"empty group: the whole Programs folder", true, appDir.Path(), "", "Setup"},
        {"a group that climbs out", true, appDir.Path(), "..", "Setup"},
        {"a nested group", true, appDir.Path(), "Vendor\\Orvella", "Setup"},
        {"no installation folder", true, "", kGroup, "Setup"},
        {"an installation folder that is gone", true, appDir / "gone", kGroup, "was not found"},
    };
    CreatePage();
    for (const Case& c : cases) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSetupKey);
        if (c.writeEntry)
            WriteSetupEntry(c.appPath, c.group);
        MessageBoxAnswerer answer(IDOK);
        Click(1043);
        ASSERT_TRUE(answer.Wait()) << c.what;
        EXPECT_NE(answer.text.find(c.says), std::string::npos) << c.what << ": " << answer.text;
        EXPECT_NE(answer.text.find("Nothing has been moved."), std::string::npos) << c.what;
        EXPECT_EQ(answer.icon, UINT(MB_ICONSTOP)) << c.what;
        EXPECT_FALSE(IsChecked(1043)) << c.what;
        EXPECT_EQ(Setting("HideIcons"), 0xBADu) << c.what;
        EXPECT_EQ(Names(programs.Path()), (std::vector<std::string>{"Another Program", kGroup}))
            << c.what;
        EXPECT_EQ(Names(appDir.Path()), std::vector<std::string>{"Orvella.exe"}) << c.what;
        EXPECT_EQ(AppDirAttributes() & FILE_ATTRIBUTE_HIDDEN, 0u) << c.what;
    }
}

TEST_F(StealthTest, ACancelledMoveLeavesTheCheckBoxAsItWas)
{
    WriteSetupEntry(appDir.Path(), kGroup);
    // Enough entries that the copy is still running when Cancel is pressed.
    for (int i = 0; i < 1500; ++i)
        WriteFileBytes(programs / kGroup + "\\item" + std::to_string(i) + ".lnk", "x");
    CreatePage();
    std::thread user([] { EXPECT_TRUE(CancelProgressDialog(IDYES).asked); });
    Click(1043);
    user.join();
    EXPECT_FALSE(IsChecked(1043));
    EXPECT_EQ(Setting("HideIcons"), 0xBADu);
    EXPECT_EQ(Names(programs / kGroup).size(), 1503u) << "the group is still whole where it was";
    EXPECT_EQ(AppDirAttributes() & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// The folder browser replaced: it hands back the item the test chose and keeps what it was
// asked with.
class RootMoveTest : public OptionsPageTest {
protected:
    RootMoveTest()
    {
        chosen = nullptr;
        COptionsPage::browseForFolder = FakeBrowser;
        Papers = AddVault("Papers", "letter.txt", "Dear Sir");
        Photos = AddVault("Photos", "beach.jpg", "sand and sea");
        EXPECT_TRUE(Photos.Lock(root.Path(), "pw"));
        EXPECT_TRUE(app.GetVaultStore().Save(Photos));
        rootBefore = Names(root.Path());
    }
    ~RootMoveTest() override { COptionsPage::browseForFolder = SHBrowseForFolderA; }

    VaultRecord AddVault(const std::string& name, const std::string& file,
                         const std::string& text)
    {
        VaultRecord record;
        EXPECT_TRUE(record.Create(app.GetVaultStore(), root.Path(), name, "pw"));
        EXPECT_TRUE(app.GetVaultStore().Save(record));
        WriteFileBytes(root / name + "\\" + file, text);
        return record;
    }
    static void Choose(const std::string& path) { chosen = ILCreateFromPathA(path.c_str()); }
    // Asserts that the root and its setting are as they were, with the same files.
    void ExpectRootUnchanged(const char* what)
    {
        EXPECT_EQ(ItemText(page.GetSafeHwnd(), 1029), root.Path()) << what;
        EXPECT_EQ(app.GetVaultsRoot(), root.Path()) << what;
        EXPECT_EQ(Settings().ReadString("VaultsRoot", ""), root.Path()) << what;
        EXPECT_EQ(Names(root.Path()), rootBefore) << what;
        EXPECT_EQ(ReadFileBytes(root / "Papers\\letter.txt"), "Dear Sir") << what;
    }

    static PIDLIST_ABSOLUTE WINAPI FakeBrowser(LPBROWSEINFOA info)
    {
        seenFlags = info->ulFlags;
        seenTitle = info->lpszTitle ? info->lpszTitle : "";
        seenOwner = info->hwndOwner;
        seenRoot = info->pidlRoot;
        return chosen;
    }
    static PIDLIST_ABSOLUTE chosen;
    static UINT seenFlags;
    static std::string seenTitle;
    static HWND seenOwner;
    static PCIDLIST_ABSOLUTE seenRoot;

    VaultRecord Papers, Photos;
    std::vector<std::string> rootBefore;
    ScratchFolder target;
};

PIDLIST_ABSOLUTE RootMoveTest::chosen;
UINT RootMoveTest::seenFlags;
std::string RootMoveTest::seenTitle;
HWND RootMoveTest::seenOwner;
PCIDLIST_ABSOLUTE RootMoveTest::seenRoot;

TEST_F(RootMoveTest, EveryVaultMovesAndWorksAtTheNewPlace)
{
    CreatePage();
    Choose(target.Path());
    EveryMessageBoxAnswerer unexpected(IDOK);
    Click(1030);
    EXPECT_TRUE(unexpected.Stop().empty());

    EXPECT_EQ(seenFlags, 0x8041u);
    EXPECT_EQ(seenTitle, "Choose a new parent vaults folder");
    EXPECT_EQ(seenOwner, page.GetSafeHwnd());
    EXPECT_EQ(seenRoot, nullptr);

    EXPECT_TRUE(Names(root.Path()).empty()) << "the old root is emptied";
    EXPECT_EQ(Names(target.Path()), rootBefore);
    EXPECT_EQ(ItemText(page.GetSafeHwnd(), 1029), target.Path());
    EXPECT_EQ(app.GetVaultsRoot(), target.Path());
    EXPECT_EQ(Settings().ReadString("VaultsRoot", ""), target.Path());
    EXPECT_EQ(Settings().ReadString("VaultsRootMove", "(none)"), "(none)");

    // The vaults lock and unlock where they are now.
    VaultRecord photos, papers;
    ASSERT_TRUE(app.GetVaultStore().Load(Photos.id, photos));
    ASSERT_TRUE(photos.Unlock(target.Path(), "pw"));
    EXPECT_EQ(ReadFileBytes(target / "Photos\\beach.jpg"), "sand and sea");
    ASSERT_TRUE(app.GetVaultStore().Load(Papers.id, papers));
    ASSERT_TRUE(papers.Lock(target.Path(), "pw"));
    EXPECT_FALSE(Exists(target / "Papers"));
    ASSERT_TRUE(papers.Unlock(target.Path(), "pw"));
    EXPECT_EQ(ReadFileBytes(target / "Papers\\letter.txt"), "Dear Sir");
}

TEST_F(RootMoveTest, RefusalsChangeNothing)
{
    struct Case {
        const char* what;
        std::string path;  // "" for the computer itself, a virtual item
        const char* says;
        UINT icon;
    };
    const Case cases[] = {
        {"the root itself", root.Path(), "already is the vaults folder", MB_ICONINFORMATION},
        {"the root with a trailing backslash", root.Path() + "\\", "already is", MB_ICONINFORMATION},
        {"a vault folder inside the root", root / "Papers", "lies inside the vaults folder",
         MB_ICONSTOP},
        {"a virtual item", "", "The selected folder cann't be used as root vaults folder!",
         MB_ICONSTOP},
    };
    CreatePage();
    for (const Case& c : cases) {
        if (c.path.empty())
            SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &chosen);
        else
            Choose(c.path);
        MessageBoxAnswerer answer(IDOK);
        Click(1030);
        ASSERT_TRUE(answer.Wait()) << c.what;
        EXPECT_NE(answer.text.find(c.says), std::string::npos) << c.what << ": " << answer.text;
        EXPECT_EQ(answer.icon, c.icon) << c.what;
        ExpectRootUnchanged(c.what);
    }
    chosen = nullptr;  // the browser cancelled: no message at all
    EveryMessageBoxAnswerer none(IDOK);
    Click(1030);
    EXPECT_TRUE(none.Stop().empty());
    ExpectRootUnchanged("cancelled");
    EXPECT_TRUE(Names(target.Path()).empty());
}

// The move copies nothing beside a name the chosen folder holds already, so that whatever it
// removes there again (after a failure, a cancel or a crash) is a copy of its own.
TEST_F(RootMoveTest, ANameTheChosenFolderHoldsStopsTheMoveBeforeAnythingIsCopied)
{
    struct Case {
        const char* what;
        std::string name;
        bool folder;
    };
    const Case cases[] = {
        {"a file named as a vault", "Papers", false},
        {"a folder named as a vault", "Papers", true},
        {"a file named as a container", Photos.ValueName(), false},
    };
    CreatePage();
    for (const Case& c : cases) {
        ScratchFolder chosenFolder;
        std::string taken = chosenFolder / c.name;
        if (c.folder)
            CreateDirectoryA(taken.c_str(), nullptr);
        WriteFileBytes(c.folder ? taken + "\\mine.txt" : taken, "the chosen folder's own");
        std::vector<std::string> before = Names(chosenFolder.Path());
        Choose(chosenFolder.Path());
        MessageBoxAnswerer answer(IDOK);
        Click(1030);
        ASSERT_TRUE(answer.Wait()) << c.what;
        EXPECT_EQ(answer.text, "The vaults have not been moved:\r\n" + taken +
                                   " already exists.\r\nNothing has been changed.")
            << c.what;
        EXPECT_EQ(answer.icon, UINT(MB_ICONSTOP)) << c.what;
        ExpectRootUnchanged(c.what);
        EXPECT_EQ(Names(chosenFolder.Path()), before) << c.what;
        EXPECT_EQ(ReadFileBytes(c.folder ? taken + "\\mine.txt" : taken),
                  "the chosen folder's own")
            << c.what;
    }
}

// A cancelled copy is removed again at once, and there is nothing to tell.
TEST_F(RootMoveTest, ACancelledMoveRemovesItsCopiesAndTheRootStays)
{
    // Enough files that the copy is still running when Cancel is pressed.
    for (int i = 0; i < 1500; ++i)
        WriteFileBytes(root / "Papers\\page" + std::to_string(i) + ".txt", "x");
    rootBefore = Names(root.Path());
    CreatePage();
    Choose(target.Path());
    std::atomic<bool> done{false};
    std::vector<std::string> shown;
    std::thread user([&done, &shown] {
        EXPECT_TRUE(CancelProgressDialog(IDYES).asked);
        // The question goes a moment after its answer; only what comes after it counts.
        for (int tries = 0; tries < 250 && WaitForDialog(IsMessageBox, 0); ++tries)
            Sleep(ScaledMs(20));
        EveryMessageBoxAnswerer after(IDOK);
        while (!done)
            Sleep(20);
        shown = after.Stop();
    });
    Click(1030);
    done = true;
    user.join();
    EXPECT_TRUE(shown.empty()) << shown.front();
    ExpectRootUnchanged("cancelled");
    EXPECT_EQ(Names(root / "Papers").size(), 1501u) << "the vault is still whole where it was";
    EXPECT_TRUE(Names(target.Path()).empty());
    EXPECT_EQ(Settings().ReadString("VaultsRootMove", "(none)"), "(none)");
}

TEST_F(RootMoveTest, AVaultInUseElsewhereStopsTheMoveBeforeAnythingIsCopied)
{
    VaultClaim elsewhere;
    ASSERT_TRUE(elsewhere.ClaimVault(root.Path(), Photos.id));
    CreatePage();
    Choose(target.Path());
    MessageBoxAnswerer answer(IDOK);
    Click(1030);
    ASSERT_TRUE(answer.Wait());
    EXPECT_EQ(answer.text, VaultInUseText("Photos"));
    ExpectRootUnchanged("in use");
    EXPECT_TRUE(Names(target.Path()).empty());
}
