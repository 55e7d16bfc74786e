#include "stealth_mode.h"

#include <windows.h>

#include "../engine/base/registry_key.h"
#include "../engine/files/directory_tree.h"
#include "../engine/files/file_list.h"
#include "../engine/files/vault_path.h"
#include "../engine/names/vault_name.h"
#include "settings.h"

namespace {

const char kSetupMissingText[] =
    "Stealth mode works only with a copy of the program that was installed by its Setup, and "
    "changing it needs administrator rights. Setup's record of where it put the Start menu "
    "group and the program could not be read.\r\n\r\nNothing has been moved.";

std::string NotFoundText(const char* what, const std::string& path)
{
    return std::string(what) + " \"" + path + "\" was not found.\r\n\r\nNothing has been moved.";
}

}  // namespace

InstallerPlaces ReadInstallerPlaces()
{
    InstallerPlaces places;
    CRegistryKey shellFolders;
    if (shellFolders.Open(SHELL_FOLDERS_KEY, HKEY_CURRENT_USER))
        places.programsFolder = shellFolders.ReadString(SHELL_FOLDER_PROGRAMS, "");
    CRegistryKey setup;
    if (setup.OpenExisting(UNINSTALL_KEY, HKEY_LOCAL_MACHINE)) {
        places.appDirectory = setup.ReadString(UNINSTALL_APP_PATH, "");
        places.group = setup.ReadString(UNINSTALL_ICON_GROUP, "");
    }
    return places;
}

std::string StealthMoveProblem(const InstallerPlaces& places, bool hide)
{
    // The group must be one plain folder name: an empty or relative-looking name would turn the
    // group folder into the Programs folder or the installation folder itself.
    if (places.programsFolder.empty() || places.appDirectory.empty() ||
        !IsValidNameComponent(places.group))
        return kSetupMissingText;
    if (!IsDirectory(places.appDirectory))
        return NotFoundText("The program's folder", places.appDirectory);
    std::string from = JoinPath(hide ? places.programsFolder : places.appDirectory, places.group);
    if (!IsDirectory(from))
        return NotFoundText("The Start menu group", from);
    if (!hide && !IsDirectory(places.programsFolder))
        return NotFoundText("The Start menu folder", places.programsFolder);
    return "";
}

bool MoveStartMenuGroup(const InstallerPlaces& places, bool hide)
{
    const std::string& source = hide ? places.programsFolder : places.appDirectory;
    const std::string& destination = hide ? places.appDirectory : places.programsFolder;
    std::string group = JoinPath(source, places.group);
    FileList files;
    files.Enumerate(group, "");
    files.Enumerate(group, "*");
    if (!files.CopyTo(destination, true) || !files.DeleteAll())
        return false;
    SetFileAttributesA(places.appDirectory.c_str(),
                       hide ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL);
    return true;
}
