// The setup and the uninstaller, run silently in the test prefix as a user's machine runs them:
// what the setup puts where the program and its stealth mode look, the installed program
// running, and an uninstall that makes a running program exit, finds the group wherever stealth
// mode left it and keeps every file and record of the user's.

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <map>
#include <string>

#include "engine/base/registry_key.h"
#include "installed_program.h"
#include "program.h"
#include "program_windows.h"
#include "scratch.h"
#include "shell_desktop.h"
#include "ui_driver.h"
#include "wait_scale.h"

namespace {

const char kAppKey[] = "Software\\Zovantri\\Zovantri Orvella";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kProgramFiles[][16] = {"Orvella.exe", "Orvella.chm", "uninstall.exe"};
const char kShortcuts[][32] = {"Zovantri Orvella.lnk", "Zovantri Orvella Help.lnk",
                               "Uninstall Zovantri Orvella.lnk"};

// The program file that the Run value starts, without quotes; empty when there is none.
std::string RunValue()
{
    std::string command =
        CRegistryKey(kRunKey, HKEY_CURRENT_USER).ReadString("Zovantri Orvella", "");
    if (command.size() >= 2 && command.front() == '"' && command.back() == '"')
        command = command.substr(1, command.size() - 2);
    return command;
}

// The file a shortcut points at, as the shell reads it; empty when it cannot be read.
std::string ShortcutTarget(const std::string& link)
{
    std::string target;
    CoInitialize(nullptr);
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(link.begin(), link.end());
            char path[MAX_PATH] = "";
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ)) &&
                SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    return target;
}

// Everything that the setup put into `folder` and `group` is still there.
void ExpectInstalled(const std::string& folder, const std::string& group)
{
    EXPECT_TRUE(IsInstalled());
    for (const char* file : kProgramFiles)
        EXPECT_TRUE(Exists(folder + "\\" + file)) << file;
    for (const char* shortcut : kShortcuts)
        EXPECT_TRUE(Exists(group + "\\" + shortcut)) << shortcut;
}

// Every file and folder under `folder`, relative path to attributes and contents.
void AddTree(const std::string& folder, const std::string& relative,
             std::map<std::string, std::string>& tree)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..")
            continue;
        std::string& entry = tree[relative + name];
        entry = std::to_string(found.dwFileAttributes) + ":";
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            AddTree(path, relative + name + "\\", tree);
        else
            entry += ReadFileBytes(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The names under `folder`, for messages.
std::string Listing(const std::string& folder)
{
    std::map<std::string, std::string> tree;
    AddTree(folder, "", tree);
    std::string names;
    for (const auto& entry : tree)
        names += entry.first + "; ";
    return folder + " holds: " + names;
}

// Every value under `path`, key path and value name to type and data.
void AddKey(HKEY parent, const std::string& path, std::map<std::string, std::string>& values)
{
    HKEY key;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        values[path + "|" + name] = std::to_string(type) + ":" +
                                    std::string(reinterpret_cast<char*>(data), dataSize);
    }
    for (DWORD i = 0; RegEnumKeyA(key, i, name, sizeof(name)) == ERROR_SUCCESS; ++i)
        AddKey(parent, path + "\\" + name, values);
    RegCloseKey(key);
}

// The user's vaults on disk and the program's settings and vault records.
struct UserData {
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> records;

    static UserData Of(const std::string& root)
    {
        UserData data;
        AddTree(root, "", data.files);
        AddKey(HKEY_CURRENT_USER, "Software\\Zovantri", data.records);
        return data;
    }
    bool operator==(const UserData& other) const
    {
        return files == other.files && records == other.records;
    }
};

// Each test starts without the program (scripts/run leaves it installed in the same prefix) and
// leaves none behind for the other test programs.
class InstallTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveInstallation(); }
    void TearDown() override { RemoveInstallation(); }
};

// The installed program on the shell desktop, with a vaults root of its own: a locked vault
// "Letters" and, when asked for, an unlocked vault "Papers".
class InstalledProgramTest : public InstallTest {
protected:
    InstalledProgramTest()
    {
        CRegistryKey app(kAppKey, HKEY_CURRENT_USER);
        app.WriteDword("FirstRun", 0);
        app.WriteDword("DontShowRunningWarning", 1);
        ProgramUnderTest::SetVaultsRoot(root.Path());
    }
    ~InstalledProgramTest() override
    {
        if (process)
            CloseHandle(process);
    }

    void CreateVaults(bool withUnlocked)
    {
        ASSERT_EQ(RunCli({"create", "Letters"}, "secret\n").exitCode, 0);
        WriteFileBytes(root / "Letters\\letter.txt", "Dear user");
        ASSERT_EQ(RunCli({"lock", "Letters"}, "secret\n").exitCode, 0);
        if (withUnlocked) {
            ASSERT_EQ(RunCli({"create", "Papers"}, "secret\n").exitCode, 0);
            WriteFileBytes(root / "Papers\\paper.txt", "Dear reader");
        }
    }
    // Starts the installed program and waits for its main frame.
    void Start()
    {
        ASSERT_TRUE(desktop.IsJoined()) << "this thread could not join the shell desktop";
        process = program.Start(ShellDesktop::kName, InstalledExePath());
        ASSERT_TRUE(process) << InstalledExePath();
        ASSERT_TRUE(WaitForMainFrame(GetProcessId(process), 20000)) << "the program did not start";
    }
    bool Ends(DWORD timeoutMs = 10000) { return ProgramUnderTest::WaitForExit(process, timeoutMs); }

    // Joined first and left last: the program, the setup and the uninstaller all run there.
    ShellDesktop desktop;
    ProgramUnderTest program;
    ScratchFolder root;
    HANDLE process = nullptr;
};

}  // namespace

TEST_F(InstallTest, ASilentSetupPutsTheProgramItsGroupAndItsUninstallEntryInPlace)
{
    ASSERT_TRUE(InstallProgram()) << SetupPath();

    std::string folder = DefaultInstallFolder();
    EXPECT_STRCASEEQ(InstallFolder().c_str(), folder.c_str())
        << "Program Files of the setup's width, without a trailing backslash";
    std::string built = ProgramUnderTest::ExePath();
    std::string builtHelp = built.substr(0, built.size() - 3) + "chm";
    EXPECT_EQ(ReadFileBytes(folder + "\\Orvella.exe"), ReadFileBytes(built));
    EXPECT_EQ(ReadFileBytes(folder + "\\Orvella.chm"), ReadFileBytes(builtHelp));

    std::string exe = folder + "\\Orvella.exe", uninstaller = folder + "\\uninstall.exe";
    struct Value {
        const char* name;
        std::string expected;
    } values[] = {
        {"Inno Setup: App Path", folder},
        {"Inno Setup: Icon Group", "Zovantri Orvella"},
        {"DisplayName", "Zovantri Orvella"},
        {"DisplayIcon", exe},
        {"Publisher", "Zovantri"},
        {"DisplayVersion", "1.0"},
        {"UninstallString", "\"" + uninstaller + "\""},
    };
    for (const Value& value : values)
        EXPECT_STRCASEEQ(UninstallValue(value.name).c_str(), value.expected.c_str()) << value.name;
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | kUninstallView, &key),
              ERROR_SUCCESS);
    for (const char* flag : {"NoModify", "NoRepair"}) {
        DWORD data = 0, size = sizeof(data), type = 0;
        EXPECT_EQ(RegQueryValueExA(key, flag, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size),
                  ERROR_SUCCESS) << flag;
        EXPECT_EQ(type, DWORD(REG_DWORD)) << flag;
        EXPECT_EQ(data, 1u) << flag;
    }
    RegCloseKey(key);

    // The group is where stealth mode looks for it: the Programs folder that the Shell Folders
    // value names, under the name that the uninstall entry gives.
    char programs[MAX_PATH] = "";
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs), S_OK);
    EXPECT_STRCASEEQ(ProgramsFolder().c_str(), programs);
    std::string targets[] = {exe, folder + "\\Orvella.chm", uninstaller};
    for (int i = 0; i < 3; ++i)
        EXPECT_STRCASEEQ(ShortcutTarget(GroupFolder() + "\\" + kShortcuts[i]).c_str(),
                         targets[i].c_str())
            << kShortcuts[i];
}

TEST_F(InstallTest, TheSetupWritesTheProgramsFolderWhereTheProfileLacksIt)
{
    CRegistryKey folders(kShellFoldersKey, HKEY_CURRENT_USER);
    std::string saved = folders.ReadString("Programs", "");
    ASSERT_FALSE(saved.empty());
    folders.DeleteValue("Programs");
    bool installed = InstallProgram();
    std::string written = folders.ReadString("Programs", "");
    folders.WriteString("Programs", saved);

    ASSERT_TRUE(installed);
    EXPECT_STRCASEEQ(written.c_str(), saved.c_str());
    EXPECT_TRUE(Exists(saved + "\\Zovantri Orvella\\" + kShortcuts[0]));
}

TEST_F(InstalledProgramTest, TheInstalledProgramRunsAndAnUninstallEndsItAndRemovesIt)
{
    CreateVaults(false);
    ASSERT_TRUE(InstallProgram());
    std::string folder = InstallFolder(), group = GroupFolder();
    Start();
    EXPECT_STRCASEEQ(RunValue().c_str(), InstalledExePath().c_str())
        << "its first start registers the installed copy to start with Windows";
    UserData before = UserData::Of(root.Path());

    EXPECT_EQ(UninstallProgram(), 0);
    EXPECT_TRUE(Ends(0)) << "the uninstaller returned before the program had exited";
    EXPECT_FALSE(Exists(folder)) << Listing(folder);
    EXPECT_FALSE(Exists(group));
    EXPECT_EQ(RunValue(), "");
    EXPECT_FALSE(IsInstalled());
    EXPECT_TRUE(UserData::Of(root.Path()) == before) << "the vaults and their records are kept";
}

TEST_F(InstalledProgramTest, AnUninstallStopsWhileTheProgramAsksAndGoesOnOnceItHasExited)
{
    CreateVaults(true);
    ASSERT_TRUE(InstallProgram());
    std::string folder = InstallFolder(), group = GroupFolder();
    Start();
    UserData before = UserData::Of(root.Path());

    // With a vault unlocked the program asks its user first; a silent uninstall cannot wait.
    EXPECT_EQ(UninstallProgram(), 2);
    HWND question = WaitForDialog(IsMessageBox, 5000, GetProcessId(process));
    ASSERT_TRUE(question) << "the program was not asked to exit";
    EXPECT_EQ(ItemText(question, 0xFFFF), "There are unlocked Vaults. Close anyway?");
    EXPECT_FALSE(Ends(0));
    ExpectInstalled(folder, group);
    EXPECT_FALSE(RunValue().empty());

    SendMessageA(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(Ends());
    EXPECT_EQ(UninstallProgram(), 0);
    EXPECT_FALSE(Exists(folder)) << Listing(folder);
    EXPECT_FALSE(IsInstalled());
    EXPECT_TRUE(Exists(root / "Papers"));
    EXPECT_TRUE(UserData::Of(root.Path()) == before) << "the vaults and their records are kept";
}

TEST_F(InstallTest, AnUninstallStopsUnchangedWhileTheProgramFileIsInUse)
{
    ASSERT_TRUE(InstallProgram());
    std::string folder = InstallFolder(), group = GroupFolder();
    HANDLE held = CreateFileA(InstalledExePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    int code = UninstallProgram();
    CloseHandle(held);

    EXPECT_EQ(code, 2);
    ExpectInstalled(folder, group);
}

TEST_F(InstallTest, AnUninstallFindsTheGroupInTheHiddenFolderAndKeepsTheUsersFiles)
{
    // Stealth mode's move: the group into the installation folder, which is then hidden.
    struct Case {
        const char* what;
        bool userFiles;
    } cases[] = {{"only the program's files", false}, {"with files of the user's", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(InstallProgram());
        std::string folder = InstallFolder(), programsGroup = GroupFolder();
        std::string group = folder + "\\" + GroupName();
        ASSERT_TRUE(MoveFileA(programsGroup.c_str(), group.c_str()));
        if (c.userFiles) {
            WriteFileBytes(folder + "\\notes.txt", "mine");
            WriteFileBytes(group + "\\Mine.url", "mine too");
        }
        ASSERT_TRUE(SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN));

        EXPECT_EQ(UninstallProgram(), 0);
        EXPECT_FALSE(IsInstalled());
        EXPECT_FALSE(Exists(programsGroup));
        for (const char* shortcut : kShortcuts)
            EXPECT_FALSE(Exists(group + "\\" + shortcut)) << shortcut;
        for (const char* file : kProgramFiles)
            EXPECT_FALSE(Exists(folder + "\\" + file)) << file;
        EXPECT_EQ(Exists(folder), c.userFiles);
        if (c.userFiles) {
            EXPECT_EQ(ReadFileBytes(folder + "\\notes.txt"), "mine");
            EXPECT_EQ(ReadFileBytes(group + "\\Mine.url"), "mine too");
            EXPECT_FALSE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_HIDDEN)
                << "what is left of the folder can be seen again";
        }
        RemoveInstallation();
    }
}

TEST_F(InstalledProgramTest, ASecondSetupEndsTheProgramAndKeepsAStealthyGroupHidden)
{
    ASSERT_TRUE(InstallProgram());
    std::string folder = InstallFolder(), programsGroup = GroupFolder();
    std::string group = folder + "\\" + GroupName();
    ASSERT_TRUE(MoveFileA(programsGroup.c_str(), group.c_str()));
    ASSERT_TRUE(SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN));
    Start();

    EXPECT_TRUE(InstallProgram());
    EXPECT_TRUE(Ends(0)) << "the setup replaced the program while it ran";
    EXPECT_FALSE(Exists(programsGroup)) << "the setup brought the group back into the Start menu";
    for (const char* shortcut : kShortcuts)
        EXPECT_TRUE(Exists(group + "\\" + shortcut)) << shortcut;
    EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM parameter)
{
    ControlSearch* search = reinterpret_cast<ControlSearch*>(parameter);
    if (GetDlgCtrlID(child) != search->id)
        return TRUE;
    search->found = child;
    return FALSE;
}

// The control `id` anywhere inside `window` (the Options page is a child of the main dialog).
HWND FindDescendant(HWND window, int id)
{
    ControlSearch search = {id, nullptr};
    EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Clicks a check box of the program under test; true when its handler has returned (a message
// box it showed instead would keep it waiting).
bool ClickInProgram(HWND button)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result) != 0;
}

}  // namespace

TEST_F(InstalledProgramTest, StealthModeMovesTheGroupIntoTheHiddenFolderAndBack)
{
    ASSERT_TRUE(InstallProgram());
    std::string folder = InstallFolder(), programsGroup = GroupFolder();
    std::string hiddenGroup = folder + "\\" + GroupName();
    Start();
    HWND mainDialog = WaitForMainDialog(GetProcessId(process));
    ASSERT_TRUE(mainDialog);
    // The dialog may be found while it still creates its pages.
    HWND stealth = nullptr;
    for (int i = 0; i < 100 && !stealth; ++i, Sleep(ScaledMs(100)))
        stealth = FindDescendant(mainDialog, 1043);
    ASSERT_TRUE(stealth) << "no stealth check box on the Options page";
    CRegistryKey app(kAppKey, HKEY_CURRENT_USER);

    ASSERT_TRUE(ClickInProgram(stealth));
    EXPECT_EQ(SendMessageA(stealth, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(Exists(programsGroup)) << "the group left the Start menu";
    for (const char* shortcut : kShortcuts)
        EXPECT_TRUE(Exists(hiddenGroup + "\\" + shortcut)) << shortcut;
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(app.ReadDword("HideIcons", 7), 1u);

    ASSERT_TRUE(ClickInProgram(stealth));
    EXPECT_EQ(SendMessageA(stealth, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(Exists(hiddenGroup));
    for (const char* shortcut : kShortcuts)
        EXPECT_EQ(ShortcutTarget(programsGroup + "\\" + shortcut).empty(), false) << shortcut;
    EXPECT_FALSE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(app.ReadDword("HideIcons", 7), 0u);

    // With stealth mode on, an uninstall still finds the group and removes it.
    ASSERT_TRUE(ClickInProgram(stealth));
    EXPECT_EQ(UninstallProgram(), 0);
    EXPECT_FALSE(Exists(hiddenGroup));
    EXPECT_FALSE(Exists(programsGroup));
}
