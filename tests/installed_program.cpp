#include "installed_program.h"

#include <vector>

#include "program.h"
#include "scratch.h"
#include "wait_scale.h"

const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zovantri Orvella_is1";
const REGSAM kUninstallView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

namespace {

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// Long enough for a setup under a cold Wine server, short of the test's own time-out.
const DWORD kRunTimeoutMs = 60000;

std::string ReadString(HKEY root, const char* path, REGSAM view, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return "";
    char text[MAX_PATH * 2] = "";
    DWORD size = sizeof(text) - 1, type = 0;
    LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) ? text : "";
}

const char kGroupName[] = "Zovantri Orvella";

// The name of the calling thread's desktop.
std::string ThreadDesktopName()
{
    char name[256] = "";
    GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name,
                              sizeof(name), nullptr);
    return name;
}

// Runs `exe` with `arguments` on the calling thread's desktop and waits for it; its exit code,
// or -1 when it could not be started or did not end in time.
int RunAndWait(const std::string& exe, const std::string& arguments)
{
    std::string line = "\"" + exe + "\" " + arguments;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    std::string desktop = ThreadDesktopName();
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = desktop.empty() ? nullptr : &desktop[0];
    PROCESS_INFORMATION process;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(process.hProcess, ScaledMs(kRunTimeoutMs)) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, DWORD(-1));
    CloseHandle(process.hProcess);
    return int(code);
}

// The uninstaller named by the uninstall entry, without its quotes.
std::string UninstallerPath()
{
    std::string command = UninstallValue("UninstallString");
    if (command.size() >= 2 && command.front() == '"' && command.back() == '"')
        command = command.substr(1, command.size() - 2);
    return command;
}

}  // namespace

std::string SetupPath()
{
    std::string exe = ProgramUnderTest::ExePath();
    return exe.substr(0, exe.rfind('\\')) + "\\Orvella-setup.exe";
}

bool InstallProgram() { return RunAndWait(SetupPath(), "/S") == 0; }

int UninstallProgram()
{
    std::string uninstaller = UninstallerPath(), folder = InstallFolder();
    if (uninstaller.empty() || folder.empty())
        return -1;
    // An uninstaller started as it is copies itself to %TEMP%, starts the copy and returns at
    // once. Doing the same here, with the copy told the installation folder (_?=, always last
    // and unquoted), lets the test wait for the copy, which removes the original.
    ScratchFolder temp;
    std::string copy = temp / "uninstall.exe";
    if (!CopyFileA(uninstaller.c_str(), copy.c_str(), FALSE))
        return -1;
    return RunAndWait(copy, "/S _?=" + folder);
}

void RemoveInstallation()
{
    std::string folder = InstallFolder(), group = GroupFolder();
    if (IsInstalled())
        UninstallProgram();
    // Without an uninstall entry the setup's own places are searched.
    if (folder.empty())
        folder = DefaultInstallFolder();
    if (group.empty())
        group = ProgramsFolder() + "\\" + kGroupName;
    RemoveTree(folder);
    RemoveTree(group);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
}

bool IsInstalled()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | kUninstallView, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string UninstallValue(const char* name)
{
    return ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, kUninstallView, name);
}

std::string DefaultInstallFolder()
{
    char programFiles[MAX_PATH] = "";
    GetEnvironmentVariableA("ProgramFiles", programFiles, sizeof(programFiles));
    return std::string(programFiles) + "\\Zovantri Orvella";
}

std::string InstallFolder() { return UninstallValue("Inno Setup: App Path"); }

std::string InstalledExePath()
{
    std::string folder = InstallFolder();
    return folder.empty() ? "" : folder + "\\Orvella.exe";
}

std::string ProgramsFolder()
{
    return ReadString(HKEY_CURRENT_USER, kShellFoldersKey, 0, "Programs");
}

std::string GroupName() { return UninstallValue("Inno Setup: Icon Group"); }

std::string GroupFolder()
{
    std::string programs = ProgramsFolder(), group = GroupName();
    return programs.empty() || group.empty() ? "" : programs + "\\" + group;
}
