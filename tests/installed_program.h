#pragma once
// The program as a user gets it: the build tree's setup (Orvella-setup.exe beside Orvella.exe)
// run silently in the test prefix, and its uninstaller. What the setup wrote is read back where
// the program reads it: the uninstall entry in the registry view of this build's width (the
// setup of each width writes the view that the program of the same width sees) and the value
// "Programs" under HKCU's Shell Folders.
//
// The setup and the uninstaller run on the desktop of the calling thread, so that their request
// to exit reaches a program that the test started there (as on ShellDesktop).
//
// A test installs, works on the installed program and always removes it again, because the
// tests share one prefix:
//
//     ASSERT_TRUE(InstallProgram());
//     ... start InstalledExePath(), move GroupFolder() ...
//     RemoveInstallation();  // in the teardown

#include <windows.h>

#include <string>

// The uninstall entry, under HKEY_LOCAL_MACHINE, and the view to open it in.
extern const char kUninstallKey[];
extern const REGSAM kUninstallView;

std::string SetupPath();
// Runs the setup silently and waits for it; true when it succeeded.
bool InstallProgram();
// Runs the installed uninstaller silently and waits until it is done. Its exit code: 0 done,
// 2 stopped before it changed anything (the program did not exit); -1 when nothing is installed
// or the uninstaller could not be started.
int UninstallProgram();
// Uninstalls when installed, then removes whatever an uninstall left of the program, its group
// and its uninstall entry, so that a failed test leaves the prefix as it was.
void RemoveInstallation();

// True while the uninstall entry exists.
bool IsInstalled();
// A string value of the uninstall entry; empty when absent.
std::string UninstallValue(const char* name);
// Where the setup installs unless told otherwise: "Zovantri Orvella" in the Program Files folder
// of this build's width (the 64-bit one for a 64-bit build).
std::string DefaultInstallFolder();
// The installation folder ("Inno Setup: App Path", no trailing backslash) and the program in it;
// empty while nothing is installed.
std::string InstallFolder();
std::string InstalledExePath();
// The user's Programs folder (Shell Folders "Programs"), the group's name in it ("Inno Setup:
// Icon Group") and the group folder there, where the setup creates it; the group's name and
// folder are empty while nothing is installed.
std::string ProgramsFolder();
std::string GroupName();
std::string GroupFolder();
