#pragma once
// The names of every persisted setting and of the registry places outside the application key.
// Each setting is a value of the application key HKCU\Software\<brand>\<title>.

// REG_SZ: root directory of all vaults. Default: AppData\<brand>\<title>\.
#define SETTING_VAULTS_ROOT "VaultsRoot"
// REG_SZ, present only while the vaults root is being moved, and after a move that was cut short
// until a start has finished or undone it: the old root, "|" and the new root (no path holds "|").
#define SETTING_VAULTS_ROOT_MOVE "VaultsRootMove"
// REG_DWORD, default 1: the next start is a first start.
#define SETTING_FIRST_RUN "FirstRun"
// REG_DWORD: the program starts with Windows. Start-up reads it with AUTORUN_ABSENT as default.
#define SETTING_AUTO_RUN "AutoRun"
// REG_DWORD, default 0: the main window opens on the Vaults tab after start.
#define SETTING_SHOW_VAULTS_ON_START "ShowVaultsOnStart"
// REG_DWORD, default 0: the running notice is not shown at start (except on a first start).
#define SETTING_DONT_SHOW_RUNNING_WARNING "DontShowRunningWarning"
// REG_DWORD, default 0: no tray icon; the main window is reached through the global hotkey.
#define SETTING_HOTKEY_ONLY "HotkeyOnly"
// REG_DWORD, default 0: the hotkey control's word (virtual key, modifier flags << 8).
#define SETTING_HOTKEY "Hotkey"
// REG_DWORD, default 0: stealth mode is on.
#define SETTING_HIDE_ICONS "HideIcons"

#define AUTORUN_ABSENT 0xFFFFFFFFu

// HKCU: the per-user Run key; the program's value is named with the application title.
#define RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\"
// HKCU, read only: "AppData" and "Programs".
#define SHELL_FOLDERS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"

// The named mutex that marks a running instance.
#define INSTANCE_MUTEX_NAME "Orvella_is_running"

// HKLM: Setup's uninstall entry for the program; stealth mode reads where Setup put it.
#define UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zovantri Orvella_is1"
#define UNINSTALL_APP_PATH "Inno Setup: App Path"
#define UNINSTALL_ICON_GROUP "Inno Setup: Icon Group"
#define SHELL_FOLDER_PROGRAMS "Programs"
